#pragma once
// A temporary desktop for the tool tests: its own settings store, PATH, XDG data and config folders (no
// desktop entry or association of this machine leaks in), a process launcher that starts nothing, and a
// desktop opener that records what it was handed.
#include "platform/CRegistry.h"
#include "platform/CResourceLibrary.h"
#include "platform/DesktopLinks.h"
#include "platform/IProcessLauncher.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>

#include <string>
#include <vector>

class ToolTestDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        env.SetEnv("PATH", env.Path("bin/programs"));
        env.SetEnv("XDG_DATA_DIRS", env.Path("share"));
        env.SetEnv("XDG_CONFIG_DIRS", env.Path("etc/xdg"));
        env.SetEnv("XDG_CURRENT_DESKTOP", "");
        SetUiLanguage(0x0409);
        SetProcessLauncher(&launcher);
        DesktopLinks::SetOpenHook([this](const std::string& address) {
            desktopOpened.push_back(address);
            return true;
        });
    }
    void TearDown() override {
        DesktopLinks::SetOpenHook({});
        SetProcessLauncher(nullptr);
    }

    // An executable file (mode 0755) at `relative`; its full path.
    std::string Program(const std::string& relative) {
        env.WriteFile(relative, "#!/bin/sh\n");
        QFile(QString::fromStdString(env.Path(relative)))
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                            QFile::ExeGroup);
        return env.Path(relative);
    }
    void Record(Hive hive, const std::string& key, const std::string& value) {
        CRegistry& registry = CRegistry::Instance();
        ASSERT_TRUE(SUCCEEDED(registry.CreateKey(hive, key, "DEFAULT_CLASS", false)));
        ASSERT_TRUE(SUCCEEDED(registry.SetValue(hive, key, "Path", RegValue::String(value))));
    }
    std::string Recorded(Hive hive, const std::string& key) {
        RegValue value;
        return SUCCEEDED(CRegistry::Instance().QueryValue(hive, key, "Path", value)) ? value.text : "<none>";
    }

    CTempEnvironment env;
    CFakeProcessLauncher launcher;
    std::vector<std::string> desktopOpened;
};
