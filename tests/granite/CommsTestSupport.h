#pragma once
// Helpers of the stand-in communications service tests: a home with its own XDG folders (nothing of the
// machine's desktop entries), desktop entries and programs written into it, a fake proc file system, a
// recording event sink, and a launcher that records instead of starting.
#include "CEventLog.h"
#include "granite/comms/CGraniteCommsControl.h"
#include "services/IBrenCommunicationManagerEvents.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class CommsRecordingSink : public IBrenCommunicationManagerEvents, public CEventLog<std::string> {
public:
    void IC_OnCallEvent(const std::string&, const std::string&, const std::string&, const std::string&,
                        int32_t) override {
        Add("call");
    }
    void IC_OnContactlistUpdate(const std::string&, const std::string&, const std::string&,
                                int32_t) override {
        Add("contacts");
    }
    void OnMessageReceivedInfo(const std::string&, const std::string&, const std::string&,
                               const std::string&) override {
        Add("message");
    }
    void IC_OnVoicemailChanged(const std::string&, const std::string&, int32_t, int32_t) override {
        Add("voicemail");
    }
    void IC_OnContactStatusChanged(const std::string&, const std::string&, const std::string&,
                                   int32_t) override {
        Add("contact-status");
    }
    void IC_OnDeviceAdded(const std::string&, int32_t, const std::string&) override { Add("device-added"); }
    void IC_OnDeviceRemoved(const std::string&, int32_t, const std::string&, const std::string&) override {
        Add("device-removed");
    }
    void IC_OnApplicationStatusChanged(const std::string& id, const std::string& name,
                                       int32_t status) override {
        Add("status:" + id + "," + name + "," + std::to_string(status));
    }
    void IC_OnDefaultICApplicationChanged(const std::string& previous, const std::string& name,
                                          const std::string& id) override {
        Add("default:" + previous + "," + name + "," + id);
    }
    void IC_OnShutdown() override { Add("shutdown"); }
    void IC_OnCallReadinessChange() override { Add("readiness"); }
    void IC_OnDeviceSelectionChanged(const std::string& previous, int32_t kind,
                                     const std::string& device) override {
        Add("device:" + previous + "," + std::to_string(kind) + "," + device);
    }
};

// A home whose desktop entries, mimeapps lists, programs and processes the test writes.
class CommsDesktop {
public:
    CommsDesktop() {
        env.SetEnv("XDG_DATA_DIRS", env.Path("share1") + ":" + env.Path("share2"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("etc-xdg"));
        env.SetEnv("XDG_CURRENT_DESKTOP", "");
        env.SetEnv("PATH", env.Path("path-bin"));
        env.SetEnv("LANG", "C");
        env.SetEnv("LC_ALL", "");
        env.SetEnv("LC_MESSAGES", "");
        std::filesystem::create_directories(env.Path("proc"));
        std::filesystem::create_directories(env.Path("path-bin"));
    }

    // An executable file (never run: the tests' launcher only records).
    std::string Program(const std::string& relative) {
        env.WriteFile(relative, "#!/bin/sh\nexit 0\n");
        std::filesystem::permissions(env.Path(relative), std::filesystem::perms::owner_all);
        return env.Path(relative);
    }
    // An entry in data home ("data") or a data dir ("share1", "share2"), relative to its applications folder.
    void Entry(const std::string& dataDir, const std::string& relative, const std::string& text) {
        env.WriteFile(dataDir + "/applications/" + relative, text);
    }
    // A plain calling-program entry whose Exec starts `program`.
    static std::string Simple(const std::string& name, const std::string& program,
                              const std::string& categories = "Network;VideoConference;") {
        return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + program +
               " %U\nIcon=chat\nCategories=" + categories + "\n";
    }
    // A process of this user in the fake proc folder.
    void Process(int pid, const std::string& comm, const std::string& argv0) {
        std::string base = "proc/" + std::to_string(pid);
        env.WriteFile(base + "/comm", comm + "\n");
        env.WriteFile(base + "/cmdline", argv0 + std::string(1, '\0') + "--flag" + std::string(1, '\0'));
    }
    void EndProcess(int pid) { std::filesystem::remove_all(env.Path("proc/" + std::to_string(pid))); }

    CTempEnvironment env;
};
