#pragma once
// The communications-manager service's events, in the order of its event interface; delivered to the
// communications facade on the user-interface thread through CGCMEventSerializer. The meaning of the texts
// and values belongs to the service and is passed on unchanged.
#include <cstdint>
#include <string>

class IBrenCommunicationManagerEvents {
public:
    virtual ~IBrenCommunicationManagerEvents() = default;

    virtual void IC_OnCallEvent(const std::string& text1, const std::string& text2, const std::string& text3,
                                const std::string& text4, int32_t value) = 0;
    virtual void IC_OnContactlistUpdate(const std::string& text1, const std::string& text2,
                                        const std::string& text3, int32_t value) = 0;
    virtual void OnMessageReceivedInfo(const std::string& text1, const std::string& text2,
                                       const std::string& text3, const std::string& text4) = 0;
    virtual void IC_OnVoicemailChanged(const std::string& text1, const std::string& text2, int32_t value1,
                                       int32_t value2) = 0;
    virtual void IC_OnContactStatusChanged(const std::string& text1, const std::string& text2,
                                           const std::string& text3, int32_t value) = 0;
    virtual void IC_OnDeviceAdded(const std::string& text1, int32_t value, const std::string& text2) = 0;
    virtual void IC_OnDeviceRemoved(const std::string& text1, int32_t value, const std::string& text2,
                                    const std::string& text3) = 0;
    virtual void IC_OnApplicationStatusChanged(const std::string& text1, const std::string& text2,
                                               int32_t value) = 0;
    virtual void IC_OnDefaultICApplicationChanged(const std::string& text1, const std::string& text2,
                                                  const std::string& text3) = 0;
    virtual void IC_OnShutdown() = 0;
    virtual void IC_OnCallReadinessChange() = 0;
    virtual void IC_OnDeviceSelectionChanged(const std::string& text1, int32_t value,
                                             const std::string& text2) = 0;
};
