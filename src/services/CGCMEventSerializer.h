#pragma once
// Moves the communications-manager service's events to the user-interface thread (see CEventSerializer).
#include "services/CEventSerializer.h"
#include "services/IBrenCommunicationManagerEvents.h"

#include <memory>

class CGCMEventSerializer : public CEventSerializer<IBrenCommunicationManagerEvents> {
public:
    enum Event : size_t {
        CallEvent,
        ContactlistUpdate,
        MessageReceivedInfo,
        VoicemailChanged,
        ContactStatusChanged,
        DeviceAdded,
        DeviceRemoved,
        ApplicationStatusChanged,
        DefaultICApplicationChanged,
        Shutdown,
        CallReadinessChange,
        DeviceSelectionChanged,
        EventCount
    };
    static const std::vector<std::string>& EventNames();

    CGCMEventSerializer();
    std::shared_ptr<IBrenCommunicationManagerEvents> Sink() const;

    void IC_OnCallEvent(const std::string& text1, const std::string& text2, const std::string& text3,
                        const std::string& text4, int32_t value) override;
    void IC_OnContactlistUpdate(const std::string& text1, const std::string& text2, const std::string& text3,
                                int32_t value) override;
    void OnMessageReceivedInfo(const std::string& text1, const std::string& text2, const std::string& text3,
                               const std::string& text4) override;
    void IC_OnVoicemailChanged(const std::string& text1, const std::string& text2, int32_t value1,
                               int32_t value2) override;
    void IC_OnContactStatusChanged(const std::string& text1, const std::string& text2,
                                   const std::string& text3, int32_t value) override;
    void IC_OnDeviceAdded(const std::string& text1, int32_t value, const std::string& text2) override;
    void IC_OnDeviceRemoved(const std::string& text1, int32_t value, const std::string& text2,
                            const std::string& text3) override;
    void IC_OnApplicationStatusChanged(const std::string& text1, const std::string& text2,
                                       int32_t value) override;
    void IC_OnDefaultICApplicationChanged(const std::string& text1, const std::string& text2,
                                          const std::string& text3) override;
    // Events without arguments carry no record.
    void IC_OnShutdown() override;
    void IC_OnCallReadinessChange() override;
    void IC_OnDeviceSelectionChanged(const std::string& text1, int32_t value,
                                     const std::string& text2) override;

    static constexpr const char* kClassName = "CGCMEventSerializer";
    static constexpr const char* kInterfaceName = "IBrenCommunicationManagerEvents";

private:
    explicit CGCMEventSerializer(std::shared_ptr<Channel> channel) : CEventSerializer(std::move(channel)) {}
};
