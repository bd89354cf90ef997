#pragma once
// Process-wide control of the stand-in communications service, for tests and diagnostics: operations made
// to fail, where processes are looked for, how often the service looks, what it cannot know by itself
// (who is signed in, which program is in a call), and events raised on demand on every live service
// object. Thread-safe.
#include "granite/devices/CFailureTable.h"
#include "platform/HResult.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

class IBrenCommunicationManagerEvents;

namespace Granite {

class CGraniteCommunicationsService;

// The service's operations as it numbers them, plus the two steps that have no number.
enum CommsOperation : int32_t {
    kCommsCreate = -1,
    kCommsAdvise = -2,
    kCommsRegister = 7,
    kCommsRefresh = 9,
    kCommsCount = 10,
    kCommsId = 11,
    kCommsName = 12,
    kCommsSetDefault = 13,
    kCommsMessaging = 14,
    kCommsVideo = 15,
    kCommsStatus = 16,
    kCommsLaunch = 18,
    kCommsStatusByName = 19,
    kCommsSetSetting = 20,
    kCommsGetSetting = 21,
    kCommsSetStatusMessage = 25,
    kCommsGetStatusMessage = 26,
    kCommsSignedInUser = 27,
    kCommsIcon = 28,
    kCommsProgram = 29,
    kCommsRunning = 30,
    kCommsProcessId = 31,
    kCommsDescription = 32,
    kCommsDesktopId = 35,
    kCommsVersion = 48,
    kCommsDefaultName = 59,
    kCommsCallApplication = 60,
    kCommsRunningCount = 61,
    kCommsClose = 62,
    kCommsReadiness = 65,
    kCommsStartVideo = 66,
    kCommsGetOption = 67,
    kCommsSetOption = 68,
};

class CGraniteCommsControl {
public:
    using Terminator = std::function<bool(int32_t pid)>;
    using Event = std::function<void(IBrenCommunicationManagerEvents&)>;

    static CGraniteCommsControl& Instance();

    // Everything back to its default; live services stay.
    void Reset();

    // The operation answers `result` from now on, `times` times (or until cleared when times < 0).
    void Fail(int32_t operation, HRESULT result = E_FAIL, int times = -1);
    void ClearFailures();
    // S_OK, or the failure this call must answer.
    HRESULT Take(int32_t operation);

    // Where the proc file system is ("/proc" by default).
    void SetProcRoot(const std::string& root);
    std::string ProcRoot() const;
    // How often a live service looks at the running programs and the default (2 s by default); applies to
    // services made afterwards and to live ones.
    void SetPollInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds PollInterval() const;
    // How CloseApplication ends a process. By default a termination signal, sent only when the processes
    // come from the real proc file system and belong to this user.
    void SetTerminator(Terminator terminator);
    bool Terminate(int32_t pid);

    // Who is signed in to a program (by id or name, case ignored); no value lets the service decide (the
    // user running the program).
    void SetSignedInUser(const std::string& program, std::optional<std::string> user);
    std::optional<std::string> SignedInUser(const std::string& id, const std::string& name) const;
    // Whether a running program is in a call.
    void SetInCall(const std::string& program, bool inCall);
    bool InCall(const std::string& id, const std::string& name) const;

    // Every live service looks at once (programs running, the default, readiness).
    void ScanNow();
    // Raises an event on every live service's thread, to every sink connected there.
    void Raise(Event event);
    void RaiseShutdown();
    size_t LiveServices() const;

    void Attach(CGraniteCommunicationsService* service);
    void Detach(CGraniteCommunicationsService* service);

private:
    static std::string Key(const std::string& text);

    mutable std::mutex lock_;
    CFailureTable failures_;
    std::string procRoot_ = "/proc";
    std::chrono::milliseconds pollInterval_{2000};
    Terminator terminator_;
    std::map<std::string, std::optional<std::string>> signedIn_;
    std::set<std::string> inCall_;
    std::set<CGraniteCommunicationsService*> live_;
};

} // namespace Granite
