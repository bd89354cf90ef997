#pragma once
// The process-wide communications facade: the one object through which windows reach the
// communications-manager service (ICommunicationsService). It keeps the list of calling applications, adds
// three the program looks for itself in the machine's settings, starts and closes applications, and passes
// the service's events, moved to the user-interface thread by CGCMEventSerializer, on to up to 25
// listeners. Windows know it as IGraniteCommunicationsManager (see there for results and meanings).
#include "services/CGCMEventSerializer.h"
#include "services/CListenerTable.h"
#include "services/ICommunicationsService.h"
#include "services/IGraniteCommunicationsManager.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class IGraniteCommunicationsManagerEvent;

class CGraniteCommunicationsManager final : public IGraniteCommunicationsManager,
                                            private IBrenCommunicationManagerEvents {
public:
    // The key listeners look an application up by (empty for names outside the known few).
    static std::string ApplicationKeyFor(const std::string& name);

    // String resources naming the three applications the program looks for itself.
    static constexpr uint32_t kLiveMessengerNameId = 187;
    static constexpr uint32_t kCallhubNameId = 188;
    static constexpr uint32_t kQQNameId = 350;
    // Their display names: the resource texts, or built-in names when the resource library has none.
    static std::string LiveMessengerName();
    static std::string CallhubName();
    static std::string QQName();

    // This program's id with the service.
    static constexpr const char* kClientId = "6F3A2C1E-8B4D-4E7A-9C2F-1D5B7A3E9F40";

    // The live facade, or null (no reference is added; for tests and diagnostics).
    static CGraniteCommunicationsManager* Current();

    HRESULT AddRef() override;
    HRESULT Release() override;
    HRESULT AddListener(IGraniteCommunicationsManagerEvent* listener, uint32_t cookie) override;
    HRESULT RemoveListener(IGraniteCommunicationsManagerEvent* listener) override;

    HRESULT RefreshApplications() override;
    int32_t GetApplicationCount() override;
    HRESULT GetApplication(int32_t index, ApplicationInfo* out) override;
    HRESULT FindApplicationById(const std::string& id, ApplicationInfo* out) override;
    HRESULT FindApplicationByName(const std::string& name, ApplicationInfo* out) override;
    HRESULT SetDefaultApplication(int32_t index) override;
    HRESULT GetDefaultApplicationIndex(int32_t* index) override;
    HRESULT LaunchApplication(int32_t index) override;
    HRESULT GetDefaultApplicationValue(int32_t* out) override;

    HRESULT GetCallSetting3(std::string& value) override;
    HRESULT GetCallSetting2(std::string& value) override;
    HRESULT SetCallSetting3(const std::string& value) override;
    HRESULT SetCallSetting2(const std::string& value) override;
    HRESULT GetCallSetting5(std::string& value) override;
    HRESULT SetCallSetting5(const std::string& value) override;
    HRESULT GetCallSetting6(std::string& value) override;
    HRESULT SetCallSetting6(const std::string& value) override;
    HRESULT GetCallSetting1(std::string& value) override;
    HRESULT SetCallSetting1(const std::string& value) override;

    HRESULT ServiceCall23(int32_t option, Variant* value) override;
    HRESULT ServiceCall24(int32_t option, const Variant& value) override;
    HRESULT ServiceCall25(int32_t* ready) override;
    HRESULT ServiceCall26(const std::string& name) override;
    HRESULT ServiceCall27(const std::string& name, std::string* user) override;
    HRESULT ServiceCall28(const std::string& name, std::string* icon) override;
    HRESULT ServiceCall29(const std::string& name, std::string* program) override;
    HRESULT ServiceCall30(const std::string& name, VARIANT_BOOL* running) override;
    HRESULT ServiceCall31(const std::string& name, int32_t* processId) override;
    HRESULT ServiceCall32(const std::string& name, std::string* description) override;
    HRESULT ServiceCall33(std::string* version) override;
    HRESULT ServiceCall34(int32_t* count) override;
    HRESULT ServiceCall35(std::string* name) override;
    HRESULT ServiceCall36(const std::string& name, std::string* desktopId) override;
    HRESULT ServiceCall37(VARIANT_BOOL* enabled) override;
    HRESULT ServiceCall38(VARIANT_BOOL enabled) override;

    HRESULT GetServiceText26(std::string& value) override;
    HRESULT SetServiceText25(const std::string& value) override;
    HRESULT CloseApplication(int32_t index) override;

private:
    friend IGraniteCommunicationsManager* GetGraniteCommunicationsManager();

    // Keeps the facade alive while it calls out to listeners: a last Release made by a listener shuts the
    // facade down at once but frees it only when the outermost call-out has returned.
    class CallOutScope {
    public:
        explicit CallOutScope(CGraniteCommunicationsManager* owner);
        ~CallOutScope();

    private:
        CGraniteCommunicationsManager* owner_;
    };

    CGraniteCommunicationsManager();
    ~CGraniteCommunicationsManager() override;

    HRESULT Initialise();
    void Shutdown();

    HRESULT AppendServiceApplication(int32_t index);
    void AppendLocalApplications();
    void AskWhichAreEnabled();
    const ApplicationInfo* Record(int32_t index) const;
    HRESULT FindBy(const std::string& text, bool byId, ApplicationInfo* out) const;
    HRESULT GetSetting(int32_t which, std::string& value);
    HRESULT SetSetting(int32_t which, const std::string& value);
    template <class Call> void ForEachListener(Call&& call);

    // IBrenCommunicationManagerEvents, on the user-interface thread through the serializer.
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
    void IC_OnShutdown() override;
    void IC_OnCallReadinessChange() override;
    void IC_OnDeviceSelectionChanged(const std::string& text1, int32_t value,
                                     const std::string& text2) override;

    ICommunicationsService* service_ = nullptr;
    std::shared_ptr<IBrenCommunicationManagerEvents> sink_;
    uint32_t sinkCookie_ = GCM_SINK_NOT_CONNECTED;
    uint32_t refCount_ = 0;
    std::vector<std::unique_ptr<ApplicationInfo>> applications_;
    CListenerTable<IGraniteCommunicationsManagerEvent, kMaxCommunicationsListeners> listeners_;
    CGCMEventSerializer events_;

    int callOutDepth_ = 0;
    bool shutDown_ = false;
    bool destroyPending_ = false;
    bool refreshing_ = false;
};
