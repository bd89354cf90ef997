// What the audio tuning button and the first-use start run: the audio wizard beside the executable when it
// is really there, else the desktop's own sound settings found on PATH, else nothing.
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

// How a file of a program's name is there.
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
        env.SetEnv("XDG_CURRENT_DESKTOP", "");
        QDir().mkpath(QString::fromStdString(Folder(0)));
        QDir().mkpath(QString::fromStdString(Folder(1)));
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
    const Case cases[] = {
        {"nothing installed", {}, "", std::nullopt},
        {"the wizard comes first",
         {{-1, "ATWizard.exe"}, {0, "pavucontrol"}},
         "GNOME",
         Expected{-1, "ATWizard.exe"}},
        {"a wizard that cannot run is not there",
         {{-1, "ATWizard.exe", Kind::NotExecutable}, {1, "gnome-control-center"}},
         "",
         Expected{1, "gnome-control-center", {"sound"}}},
        {"a folder of the wizard's name is not the wizard",
         {{-1, "ATWizard.exe", Kind::Folder}},
         "",
         std::nullopt},
        {"the only one installed",
         {{0, "gnome-control-center"}},
         "",
         Expected{0, "gnome-control-center", {"sound"}}},
        {"the volume control leads when no program is the desktop's",
         {{0, "gnome-control-center"}, {0, "systemsettings"}, {1, "pavucontrol"}},
         "Unity",
         Expected{1, "pavucontrol"}},
        {"the running desktop's program comes first",
         {{0, "gnome-control-center"}, {0, "pavucontrol"}},
         "ubuntu:GNOME",
         Expected{0, "gnome-control-center", {"sound"}}},
        {"Plasma's audio page",
         {{0, "pavucontrol"}, {1, "systemsettings"}},
         "KDE",
         Expected{1, "systemsettings", {"kcm_pulseaudio"}}},
        {"desktop names are compared without case",
         {{0, "pavucontrol"}, {0, "mate-volume-control"}},
         "mate",
         Expected{0, "mate-volume-control"}},
        {"Cinnamon's sound page",
         {{1, "pavucontrol"}, {0, "cinnamon-settings"}},
         "X-Cinnamon",
         Expected{0, "cinnamon-settings", {"sound"}}},
        {"LXQt's volume control",
         {{0, "pavucontrol"}, {0, "pavucontrol-qt"}},
         "LXQt",
         Expected{0, "pavucontrol-qt"}},
        {"XFCE uses the volume control",
         {{0, "gnome-control-center"}, {1, "pavucontrol"}},
         "XFCE",
         Expected{1, "pavucontrol"}},
        {"the desktop's program not installed: the others in turn",
         {{0, "gnome-control-center"}, {1, "pavucontrol"}},
         "KDE",
         Expected{1, "pavucontrol"}},
        {"files that cannot run are passed over",
         {{0, "pavucontrol", Kind::NotExecutable},
          {1, "pavucontrol", Kind::Folder},
          {1, "gnome-control-center"}},
         "XFCE",
         Expected{1, "gnome-control-center", {"sound"}}},
        {"the earlier folder of PATH gives the path",
         {{0, "pavucontrol"}, {1, "pavucontrol"}},
         "",
         Expected{0, "pavucontrol"}},
        {"a file of another name is no program",
         {{0, "pavucontrol.sh"}, {0, "Pavucontrol"}},
         "",
         std::nullopt},
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

TEST_F(AudioTuningTest, AProgramThatDoesNotStartIsNotReported) {
    env.WriteProgram("bin/ATWizard.exe");
    launcher.SetSucceeds(false);
    EXPECT_TRUE(LaunchAudioTuning());
    LaunchAudioWizard();
    EXPECT_EQ(launcher.Started(),
              (std::vector<Args>{{env.ExeDir() + "/ATWizard.exe"}, {env.ExeDir() + "/ATWizard.exe"}}));
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
