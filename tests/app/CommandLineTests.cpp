#include "app/CVD10CommandLineInfo.h"

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
        {{"-HIDE"}, 1, 0, false, false, Shell::FileNew},
        {{"/SnapDesk"}, 0, 1, false, false, Shell::FileNew},
        {{"/vdap", "/Hide"}, 1, 1, false, false, Shell::FileNew},
        {{"/Embedding"}, 0, 0, true, false, Shell::FileNew},
        {{"-automation"}, 0, 0, false, true, Shell::FileNew},
        {{"/RegServer"}, 0, 0, false, false, Shell::AppRegister},
        {{"/UNREGSERVER"}, 0, 0, false, false, Shell::AppUnregister},
        {{"/p", "x"}, 0, 0, false, false, Shell::FilePrint},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
        const CVD10CommandLineInfo i = Parsed(c.args);
        EXPECT_EQ(std::tie(i.hide, i.openSnapDesk, i.runEmbedded, i.runAutomated, i.shellCommand),
                  std::tie(c.hide, c.snapDesk, c.embedded, c.automated, c.shell));
    }
    // The argv form skips the program's name.
    Args argvForm{"/usr/bin/vidora", "/hide", "-vdap"};
    auto argv = Argv(argvForm);
    CVD10CommandLineInfo info;
    info.Parse(3, argv.data());
    EXPECT_EQ(info.hide + info.openSnapDesk, 2u);
    EXPECT_TRUE(info.fileName.empty());
    CVD10CommandLineInfo print = Parsed({"/pt", "doc.jpg", "Office Printer", "driver", "port", "extra"});
    EXPECT_EQ(print.shellCommand, Shell::FilePrintTo);
    EXPECT_EQ(print.fileName + "|" + print.printerName + "|" + print.driverName + "|" + print.portName,
              "doc.jpg|Office Printer|driver|port");
}

TEST(CommandLine, UnknownSwitchesAndParametersChangeNothingThatIsActedOn) {
    for (const std::string& arg :
         std::vector<std::string>{"--hide", "hide", "/hid", "/hidex", "/", "-", "", "/snap desk",
                                  std::string(100000, 'x'), "/\xff\xfe", "/embedding=1"}) {
        CVD10CommandLineInfo info = Parsed({arg});
        SCOPED_TRACE(arg.substr(0, 20));
        EXPECT_EQ(info.hide + info.openSnapDesk, 0u);
        EXPECT_FALSE(info.runEmbedded || info.runAutomated);
        EXPECT_NE(info.shellCommand, Shell::AppRegister);
        EXPECT_NE(info.shellCommand, Shell::AppUnregister);
    }
    EXPECT_EQ(Parsed({"picture.jpg", "/hide"}).fileName, "picture.jpg");
}

TEST(CommandLine, InitializeAppOnlyWhenItIsTheWholeRest) {
    const std::pair<Args, bool> cases[] = {
        {{"vidora", "/initializeapp"}, true},
        {{"/any/path/vidora", "/InitializeApp"}, true},
        {{"vidora"}, false},
        {{"vidora", "-initializeapp"}, false},
        {{"vidora", "/initializeapp", "/hide"}, false},
        {{"vidora", "/initializeapp "}, false},
        {{"vidora", "", "/initializeapp"}, false},
    };
    for (const auto& [args, expected] : cases) {
        auto argv = Argv(args);
        EXPECT_EQ(
            CVD10CommandLineInfo::IsInitializeAppCommandLine(static_cast<int>(args.size()), argv.data()),
            expected)
            << args.back();
    }
}
