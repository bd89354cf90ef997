#pragma once
// Removes the folder a web installer unpacked itself into, once the installer is done with it. The folder
// is named by the setting "WebUnzipPath"; an installer that is still busy holds the setup mutex, and the
// thread waits for it (or for Stop()).
//
// Because the folder name comes from a settings value, the thread deletes only what can be an unpack
// folder: a real folder (not a link) of this user strictly inside the temporary folder or the user's data
// or cache folder, that is none of those folders itself, nor "/", nor the home folder or one that holds
// it. Anything else is left alone together with the value. Links inside the folder are removed, never
// followed.
#include "platform/CEvent.h"

#include <atomic>
#include <optional>
#include <string>
#include <thread>

class CSetupCleanupThread {
public:
    enum class State { NotStarted, Running, WaitingForInstaller, Finished };
    enum class Outcome {
        None,          // still running, or not started
        NothingToDo,   // no value, or it names no existing folder
        Refused,       // the value names something that is not an unpack folder
        InstallerBusy, // the setup mutex could not be opened: left for the next start
        Stopped,       // Stop() came while waiting for the installer
        Deleted,       // the folder is gone and the value cleared
        DeleteFailed,  // part of the folder could not be deleted; the value stays for the next start
    };

    CSetupCleanupThread() = default;
    // Stops the thread and waits for it.
    ~CSetupCleanupThread();
    CSetupCleanupThread(const CSetupCleanupThread&) = delete;
    CSetupCleanupThread& operator=(const CSetupCleanupThread&) = delete;

    // Starts the thread once; false when it was started before or could not be started.
    bool Start();
    // Signals the stop event and waits for the thread, without a time limit. Safe to call more than once.
    void Stop();
    // Waits for the thread to end by itself.
    void Join();

    State GetState() const { return state_.load(); }
    Outcome GetOutcome() const { return outcome_.load(); }

    // The folder's resolved path when `path` names a folder that may be deleted; nothing otherwise.
    static std::optional<std::string> CheckUnpackFolder(const std::string& path);

    static constexpr const char* kSetupMutexName = "SETUP_71A972D7-674A-42bb-959D-B733ADC68D75";

private:
    Outcome Run();

    CEvent stop_{true, false};
    std::thread thread_;
    std::atomic<State> state_{State::NotStarted};
    std::atomic<Outcome> outcome_{Outcome::None};
};
