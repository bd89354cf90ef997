#pragma once
// Our stand-in for the maker's communications-manager service. It knows the video-calling and messaging
// programs installed on this desktop (their freedesktop desktop entries), which one is the default (the one
// the user chose through the service, else the handler of a calling address scheme, else the first), whether
// each runs (the user's processes), who is signed in (the user running it), and keeps the call settings and
// options for the user in its own key of the settings store. Programs start from their desktop entry's
// argument list, never through a shell.
//
// Its own thread looks at the running programs and the default every poll interval and raises
// IC_OnApplicationStatusChanged, IC_OnDefaultICApplicationChanged and IC_OnCallReadinessChange on change;
// changing call setting 1, 2 or 3 raises IC_OnDeviceSelectionChanged. CGraniteCommsControl steers it in
// tests.
#include "granite/comms/CCallingProgramScanner.h"
#include "granite/comms/CEventPump.h"
#include "granite/comms/CProcessSnapshot.h"
#include "platform/CRefCounted.h"
#include "services/IBrenCommunicationManagerEvents.h"
#include "services/ICommunicationsService.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace Granite {

class CGraniteCommunicationsService final : public CRefCounted<ICommunicationsService> {
public:
    // Object-factory creator.
    static HRESULT Create(const Guid& iid, void** object);

    // The service's key of the settings store (current user).
    static constexpr const char* kSettingsKey = "Software\\Brenmoor\\Granite\\Communications";
    // Longest call setting or status message kept, in characters.
    static constexpr size_t kMaxTextChars = 1024;
    // How long a program started by the service counts as starting before it is seen running.
    static constexpr std::chrono::seconds kStartingGrace{30};

    HRESULT QueryInterface(const Guid& iid, void** object) override;

    HRESULT Advise(IBrenCommunicationManagerEvents* sink, uint32_t* cookie) override;
    HRESULT Unadvise(uint32_t cookie) override;
    HRESULT RegisterClient(const std::string& clientId) override;

    HRESULT RefreshApplications() override;
    HRESULT GetApplicationCount(int32_t* count) override;
    HRESULT GetApplicationId(int32_t index, std::string* id) override;
    HRESULT GetApplicationName(int32_t index, std::string* name) override;
    HRESULT GetApplicationMessaging(int32_t index, VARIANT_BOOL* supported) override;
    HRESULT GetApplicationVideo(int32_t index, VARIANT_BOOL* supported) override;
    HRESULT GetApplicationStatus(int32_t index, int32_t* status) override;

    HRESULT GetApplicationStatusByName(const std::string& name, int32_t* status) override;
    HRESULT LaunchApplication(const std::string& name) override;
    HRESULT CloseApplication(const std::string& name) override;
    HRESULT StartVideoCall(const std::string& name) override;
    HRESULT GetSignedInUser(const std::string& name, std::string* user) override;
    HRESULT GetApplicationIcon(const std::string& name, std::string* icon) override;
    HRESULT GetApplicationProgram(const std::string& name, std::string* program) override;
    HRESULT IsApplicationRunning(const std::string& name, VARIANT_BOOL* running) override;
    HRESULT GetApplicationProcessId(const std::string& name, int32_t* processId) override;
    HRESULT GetApplicationDescription(const std::string& name, std::string* description) override;
    HRESULT GetApplicationDesktopId(const std::string& name, std::string* desktopId) override;

    HRESULT SetDefaultApplication(const std::string& name) override;
    HRESULT GetDefaultApplicationName(std::string* name) override;

    HRESULT GetCallReadiness(int32_t* ready) override;
    HRESULT GetCallApplication(std::string* name) override;
    HRESULT GetRunningApplicationCount(int32_t* count) override;

    HRESULT GetCallSetting(int32_t which, std::string* value) override;
    HRESULT SetCallSetting(int32_t which, const std::string& value) override;
    HRESULT GetOption(int32_t option, Variant* value) override;
    HRESULT SetOption(int32_t option, const Variant& value) override;
    HRESULT GetStatusMessage(std::string* text) override;
    HRESULT SetStatusMessage(const std::string& text) override;
    HRESULT GetServiceVersion(std::string* version) override;

    // For CGraniteCommsControl.
    void RequestScan();
    void PostEvent(CEventPump<IBrenCommunicationManagerEvents>::Event event);
    void SetPollInterval(std::chrono::milliseconds interval);

    static constexpr const char* kVersion = "1.0.0";

private:
    struct Entry {
        CallingProgram program;
        int32_t status = COMMS_APP_UNKNOWN;
        int32_t pid = 0;
        std::chrono::steady_clock::time_point startingUntil{};
    };
    using Lock = std::unique_lock<std::mutex>;

    CGraniteCommunicationsService();
    ~CGraniteCommunicationsService() override;

    // Looks at the processes, the default and readiness, and posts an event for each change.
    void Update();
    void UpdateLocked(const std::vector<ProcessInfo>& processes, const Lock& held);
    int32_t StatusOf(const Entry& entry, const std::vector<ProcessInfo>& processes, int32_t* pid) const;
    std::string SignedInUserOf(const Entry& entry) const;
    const Entry* DefaultEntry(const Lock& held) const;
    int32_t Readiness(const Lock& held) const;
    const Entry* FindEntry(const std::string& name, const Lock& held) const;
    Entry* FindEntry(const std::string& name, const Lock& held);
    HRESULT EntryAt(int32_t index, const Entry** entry, const Lock& held) const;
    HRESULT Start(const std::string& name, bool needVideo);
    bool CallingProgramsEnabled() const;

    mutable std::mutex lock_;
    std::vector<Entry> entries_;
    std::string chosenDefault_;  // id of the default the user chose through the service; "" for none
    std::string desktopDefault_; // desktop id the mimeapps lists name, as last read
    std::string lastDefaultName_;
    int32_t lastReadiness_ = 0;
    std::string clientId_;
    CEventPump<IBrenCommunicationManagerEvents> pump_;
};

} // namespace Granite
