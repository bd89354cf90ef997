// What the audio tuning button and the first-use start run: the audio wizard beside the executable, else the
// desktop's own sound settings found on PATH, else nothing.
#include "app/ExternalPrograms.h"
#include "platform/CSoundSettingsFinder.h"
#include "platform/IProcessLauncher.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <optional>

namespace {

using Args = std::vector<std::string>;

enum class Kind { Program, NotExecutable, Folder };

struct File {
    int folder; // 0 or 1: the first or second folder of PATH; -1: the executable's folder
    const char* name;
    Kind kind = Kind::Program;
};

struct Expected {
    int folder; // as in File
    const char* program;
    Args arguments = {};
};

struct Case {
    const char* name;
    std::vector<File> files;
    const char* desktop;
    std::optional<Expected> started; // by the button; none: the button has nothing to start
};

class AudioTuningTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Only the test's own folders are searched (an empty entry and a trailing slash among them), so the
        // machine's own programs play no part.
        env.SetEnv("PATH", Folder(0) + "::" + Folder(1) + "/");
        SetProcessLauncher(&launcher);
    }
    void TearDown() override { SetProcessLauncher(nullptr); }
    static std::string Relative(int folder) {
        return folder < 0 ? "bin" : folder == 0 ? "path one" : "path-two";
    }
    std::string Folder(int folder) const { return env.Path(Relative(folder)); }
    void Put(const File& file) const {
        const std::string relative = Relative(file.folder) + "/" + file.name;
        switch (file.kind) {
        case Kind::Program:
            env.WriteProgram(relative);
            break;
        case Kind::NotExecutable:
            env.WriteFile(relative, "#!/bin/sh\nexit 0\n");
            break;
        case Kind::Folder:
            QDir().mkpath(QString::fromStdString(env.Path(relative)));
            break;
        }
    }
    Args Command(const Expected& expected) const {
        Args argv{Folder(expected.folder) + "/" + expected.program};
        argv.insert(argv.end(), expected.arguments.begin(), expected.arguments.end());
        return argv;
    }
    CTempEnvironment env;
    CFakeProcessLauncher launcher;
};

TEST_F(AudioTuningTest, TheWizardIfInstalledElseTheDesktopsSoundSettingsElseNothing) {
    const auto NotRunnable = Kind::NotExecutable;
    const char *W = "ATWizard.exe", *G = "gnome-control-center", *P = "pavucontrol";
    const Case cases[] = {
        {"nothing installed", {}, "", std::nullopt},
        {"wizard first", {{-1, W}, {0, P}}, "GNOME", Expected{-1, W}},
        {"wizard not runnable", {{-1, W, NotRunnable}, {1, G}}, "", Expected{1, G, {"sound"}}},
        {"volume control leads without the desktop's",
         {{0, G}, {0, "systemsettings"}, {1, P}},
         "Unity",
         Expected{1, P}},
        {"desktop's program first", {{0, G}, {0, P}}, "ubuntu:GNOME", Expected{0, G, {"sound"}}},
        {"case-blind desktop",
         {{0, P}, {0, "mate-volume-control"}},
         "mate",
         Expected{0, "mate-volume-control"}},
        {"unrunnable passed over",
         {{0, P, NotRunnable}, {1, P, Kind::Folder}, {1, G}},
         "XFCE",
         Expected{1, G, {"sound"}}},
        {"earlier PATH folder wins", {{0, P}, {1, P}}, "", Expected{0, P}},
        {"names are exact", {{0, "pavucontrol.sh"}, {0, "Pavucontrol"}}, "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        env.SetEnv("XDG_CURRENT_DESKTOP", c.desktop);
        for (int folder : {-1, 0, 1}) {
            QDir(QString::fromStdString(Folder(folder))).removeRecursively();
            QDir().mkpath(QString::fromStdString(Folder(folder)));
        }
        for (const File& file : c.files)
            Put(file);
        launcher.Clear();
        EXPECT_EQ(AudioTuningCommand(), c.started ? Command(*c.started) : Args{});
        EXPECT_EQ(LaunchAudioTuning(), c.started.has_value());
        EXPECT_EQ(launcher.Started(),
                  c.started ? std::vector<Args>{Command(*c.started)} : std::vector<Args>{});
        // The first-use start is for the wizard alone: nothing else reports back that it finished.
        launcher.Clear();
        LaunchAudioWizard();
        const bool wizard = c.started && c.started->folder < 0;
        EXPECT_EQ(AudioWizardInstalled(), wizard);
        EXPECT_EQ(launcher.Started(), wizard ? std::vector<Args>{Command(*c.started)} : std::vector<Args>{});
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(AudioTuningTest, RelativeFoldersOfThePathAreNotSearched) {
    env.WriteProgram("relative/pavucontrol");
    env.WriteProgram("path one/gnome-control-center");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(env.Root())));
    const Args fromPath = CSoundSettingsFinder("relative:.:" + Folder(0), "").Find();
    const Args onlyRelative = CSoundSettingsFinder("relative:./relative", "XFCE").Find();
    QDir::setCurrent(before);
    EXPECT_EQ(fromPath, (Args{Folder(0) + "/gnome-control-center", "sound"}));
    EXPECT_EQ(onlyRelative, Args{});
}

} // namespace
