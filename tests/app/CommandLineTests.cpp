#include "app/CVD10CommandLineInfo.h"
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

namespace {
using Args = std::vector<std::string>;
using Shell = CVD10CommandLineInfo::ShellCommand;

CVD10CommandLineInfo Parsed(const Args& arguments) {
    CVD10CommandLineInfo info;
    info.Parse(arguments);
    return info;
}

std::vector<const char*> Argv(const Args& args) {
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    return argv;
}
} // namespace

TEST(CommandLine, SwitchesIgnoreCaseAndPrefix) {
    struct Case {
        Args args;
        uint32_t hide, snapDesk;
        bool embedded, automated;
        Shell shell;
    } cases[] = {
        {{}, 0, 0, false, false, Shell::FileNew},
        {{"/hide"}, 1, 0, false, false, Shell::FileNew},
        {{"-HIDE"}, 1, 0, false, false, Shell::FileNew},
        {{"/SnapDesk"}, 0, 1, false, false, Shell::FileNew},
        {{"-vdap"}, 0, 1, false, false, Shell::FileNew},
        {{"/vdap", "/Hide"}, 1, 1, false, false, Shell::FileNew},
        {{"/Embedding"}, 0, 0, true, false, Shell::FileNew},
        {{"-automation"}, 0, 0, false, true, Shell::FileNew},
        {{"/RegServer"}, 0, 0, false, false, Shell::AppRegister},
        {{"/register"}, 0, 0, false, false, Shell::AppRegister},
        {{"/UNREGSERVER"}, 0, 0, false, false, Shell::AppUnregister},
        {{"-Unregister"}, 0, 0, false, false, Shell::AppUnregister},
        {{"/p", "x"}, 0, 0, false, false, Shell::FilePrint},
    };
    for (const Case& c : cases) {
        const CVD10CommandLineInfo info = Parsed(c.args);
        const std::string line = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(info.hide, c.hide) << line;
        EXPECT_EQ(info.openSnapDesk, c.snapDesk) << line;
        EXPECT_EQ(info.runEmbedded, c.embedded) << line;
        EXPECT_EQ(info.runAutomated, c.automated) << line;
        EXPECT_EQ(info.shellCommand, c.shell) << line;
    }
    CVD10CommandLineInfo print = Parsed({"/pt", "doc.jpg", "Office Printer", "driver", "port", "extra"});
    EXPECT_EQ(print.shellCommand, Shell::FilePrintTo);
    EXPECT_EQ(print.fileName, "doc.jpg");
    EXPECT_EQ(print.printerName, "Office Printer");
    EXPECT_EQ(print.driverName, "driver");
    EXPECT_EQ(print.portName, "port");
}

TEST(CommandLine, UnknownSwitchesAndParametersChangeNothingThatIsActedOn) {
    for (const Args& args : std::vector<Args>{{"--hide"},
                                              {"hide"},
                                              {"/hid"},
                                              {"/hidex"},
                                              {"/"},
                                              {"-"},
                                              {""},
                                              {"/snap desk"},
                                              {std::string(100000, 'x')},
                                              {"/\xff\xfe"},
                                              {"/embedding=1"}}) {
        CVD10CommandLineInfo info = Parsed(args);
        EXPECT_EQ(info.hide, 0u) << args[0].substr(0, 20);
        EXPECT_EQ(info.openSnapDesk, 0u);
        EXPECT_FALSE(info.runEmbedded);
        EXPECT_FALSE(info.runAutomated);
        EXPECT_NE(info.shellCommand, Shell::AppRegister);
        EXPECT_NE(info.shellCommand, Shell::AppUnregister);
    }
    EXPECT_EQ(Parsed({"picture.jpg", "/hide"}).fileName, "picture.jpg");
}

TEST(CommandLine, TheArgvFormsSkipOrQuoteTheProgramName) {
    Args switches{"/usr/bin/vidora", "/hide", "-vdap"};
    auto switchesArgv = Argv(switches);
    CVD10CommandLineInfo info;
    info.Parse(3, switchesArgv.data());
    EXPECT_EQ(info.hide, 1u);
    EXPECT_EQ(info.openSnapDesk, 1u);
    EXPECT_TRUE(info.fileName.empty());

    Args args{"/opt/Vidora App/vidora", "/initializeapp"};
    auto argv = Argv(args);
    int argc = static_cast<int>(args.size());
    EXPECT_EQ(CVD10CommandLineInfo::WholeCommandLine(argc, argv.data()),
              "\"/opt/Vidora App/vidora\" /initializeapp");
    EXPECT_EQ(CVD10CommandLineInfo::CommandLineAfterProgram(argc, argv.data()), " /initializeapp");

    Args spaced{"vidora", "a b", "say \"hi\"", ""};
    auto spacedArgv = Argv(spaced);
    std::string line = CVD10CommandLineInfo::WholeCommandLine(4, spacedArgv.data());
    EXPECT_EQ(SplitCommandLine(line), spaced);
    EXPECT_EQ(CVD10CommandLineInfo::WholeCommandLine(0, nullptr), "\"\"");
}

TEST(CommandLine, InitializeAppOnlyWhenItIsTheWholeRest) {
    auto check = [](const Args& args) {
        auto argv = Argv(args);
        return CVD10CommandLineInfo::IsInitializeAppCommandLine(static_cast<int>(args.size()), argv.data());
    };
    EXPECT_TRUE(check({"vidora", "/initializeapp"}));
    EXPECT_TRUE(check({"vidora", "/INITIALIZEAPP"}));
    EXPECT_TRUE(check({"/any/path/vidora", "/InitializeApp"}));
    EXPECT_FALSE(check({"vidora"}));
    EXPECT_FALSE(check({"vidora", "-initializeapp"}));
    EXPECT_FALSE(check({"vidora", "/initializeapp", "/hide"}));
    EXPECT_FALSE(check({"vidora", "/initializeapp "}));
    EXPECT_FALSE(check({"vidora", "", "/initializeapp"}));
}
