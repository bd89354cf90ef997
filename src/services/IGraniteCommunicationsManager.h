#pragma once
// The communications facade as windows see it: the calling applications, the default one, starting and
// closing them, the devices and options calls use, and the listener table. Obtain it with
// GetGraniteCommunicationsManager() and give the reference back with Release(); call it on the
// user-interface thread only.
//
// Results: S_OK; E_FAIL when there is no service or the service fails; E_INVALIDARG for a bad index or a
// missing out-pointer. Out-values are written only on success unless stated.
//
// How windows read what the application records do not carry directly:
// - An application's status is its record's `type` (CommsAppStatus): 3 running, 4 in a call, 6 found by the
//   program itself. Video support is the record's `flag2`. The user signed in to an application is asked
//   with ServiceCall27(name); an empty answer means nobody is signed in. IsVideoCallCandidate() below puts
//   the three together: it is the one test for "a running calling program ready for a video call".
// - Starting a video call with an application is ServiceCall26(name).
// - The first-launch operation, for products that do not offer calling programs, is ServiceCall38
//   (VARIANT_FALSE): it tells the service to stop listing and following calling programs for this user.
// - Call settings: 1 camera, 2 microphone, 3 speaker (device ids), 5 ringing speaker, 6 call picture size.
#include "platform/HResult.h"
#include "platform/Variant.h"
#include "services/ApplicationInfo.h"

#include <cstdint>
#include <string>

class IGraniteCommunicationsManagerEvent;

// Listeners the facade keeps at most; further registrations are accepted but never called.
constexpr int kMaxCommunicationsListeners = 25;

class IGraniteCommunicationsManager {
public:
    // --- references and listeners ---
    virtual HRESULT AddRef() = 0;
    // At the last reference the facade shuts down and is freed. Extra calls do nothing.
    virtual HRESULT Release() = 0;
    // Takes the first free slot; when all are taken the call still succeeds and the listener is not kept.
    virtual HRESULT AddListener(IGraniteCommunicationsManagerEvent* listener, uint32_t cookie) = 0;
    // Clears every slot holding the listener; it is not called again, not even later in a walk under way.
    virtual HRESULT RemoveListener(IGraniteCommunicationsManagerEvent* listener) = 0;

    // --- applications ---
    // Rebuilds the list: the service's applications, then the three the program looks for itself. On a
    // failure part-way the records made so far stay.
    virtual HRESULT RefreshApplications() = 0;
    virtual int32_t GetApplicationCount() = 0;
    virtual HRESULT GetApplication(int32_t index, ApplicationInfo* out) = 0;
    // The first record whose id (or name) equals the text without regard to case; E_FAIL for an empty text
    // or when there is none.
    virtual HRESULT FindApplicationById(const std::string& id, ApplicationInfo* out) = 0;
    virtual HRESULT FindApplicationByName(const std::string& name, ApplicationInfo* out) = 0;
    virtual HRESULT SetDefaultApplication(int32_t index) = 0;
    // The default application's place in the list; E_FAIL when the service names none or it is not listed.
    virtual HRESULT GetDefaultApplicationIndex(int32_t* index) = 0;
    // Starts the application: the ones the program found itself are opened by the desktop (and the call
    // succeeds whatever happens then), the others by the service.
    virtual HRESULT LaunchApplication(int32_t index) = 0;
    // The default application's status (CommsAppStatus); *out = 0 on failure.
    virtual HRESULT GetDefaultApplicationValue(int32_t* out) = 0;

    // --- call settings (device ids and texts the service keeps) ---
    virtual HRESULT GetCallSetting3(std::string& value) = 0;
    virtual HRESULT GetCallSetting2(std::string& value) = 0;
    virtual HRESULT SetCallSetting3(const std::string& value) = 0;
    virtual HRESULT SetCallSetting2(const std::string& value) = 0;
    virtual HRESULT GetCallSetting5(std::string& value) = 0;
    virtual HRESULT SetCallSetting5(const std::string& value) = 0;
    virtual HRESULT GetCallSetting6(std::string& value) = 0;
    virtual HRESULT SetCallSetting6(const std::string& value) = 0;
    virtual HRESULT GetCallSetting1(std::string& value) = 0;
    virtual HRESULT SetCallSetting1(const std::string& value) = 0;

    // --- forwarded service operations (arguments passed unchanged; a service failure becomes E_FAIL) ---
    // Options (CommsOption in ICommunicationsService.h).
    virtual HRESULT ServiceCall23(int32_t option, Variant* value) = 0;
    virtual HRESULT ServiceCall24(int32_t option, const Variant& value) = 0;
    // Call readiness: 1 when the default application can start a video call now.
    virtual HRESULT ServiceCall25(int32_t* ready) = 0;
    // Starts a video call with the named application.
    virtual HRESULT ServiceCall26(const std::string& name) = 0;
    // The user signed in to the named application; empty when nobody is.
    virtual HRESULT ServiceCall27(const std::string& name, std::string* user) = 0;
    // The named application's icon name.
    virtual HRESULT ServiceCall28(const std::string& name, std::string* icon) = 0;
    // The program the named application runs.
    virtual HRESULT ServiceCall29(const std::string& name, std::string* program) = 0;
    virtual HRESULT ServiceCall30(const std::string& name, VARIANT_BOOL* running) = 0;
    virtual HRESULT ServiceCall31(const std::string& name, int32_t* processId) = 0;
    // One line describing the named application.
    virtual HRESULT ServiceCall32(const std::string& name, std::string* description) = 0;
    // The service's version.
    virtual HRESULT ServiceCall33(std::string* version) = 0;
    // How many calling applications run.
    virtual HRESULT ServiceCall34(int32_t* count) = 0;
    // The application in a call; empty when none is.
    virtual HRESULT ServiceCall35(std::string* name) = 0;
    // The named application's desktop entry id.
    virtual HRESULT ServiceCall36(const std::string& name, std::string* desktopId) = 0;
    // Whether the service lists and follows calling programs (option 9).
    virtual HRESULT ServiceCall37(VARIANT_BOOL* enabled) = 0;
    virtual HRESULT ServiceCall38(VARIANT_BOOL enabled) = 0;

    // --- the user's status message in the calling programs ---
    virtual HRESULT GetServiceText26(std::string& value) = 0;
    virtual HRESULT SetServiceText25(const std::string& value) = 0;

    // Asks the application to end.
    virtual HRESULT CloseApplication(int32_t index) = 0;

protected:
    virtual ~IGraniteCommunicationsManager() = default;
};

// The process-wide facade with a reference added for the caller, created and initialised on first use; null
// when the service cannot be reached (the next call tries again). User-interface thread only.
IGraniteCommunicationsManager* GetGraniteCommunicationsManager();

// True when the application runs (status 3 or 4, or 6 for one the program found itself), makes video calls
// and has a user signed in: the application a video call can start with.
bool IsVideoCallCandidate(IGraniteCommunicationsManager& manager, const ApplicationInfo& application);
