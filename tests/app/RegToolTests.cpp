// vidora-reg: the commands in-process, then the real program against a temporary environment.
#include "app/CRegTool.h"
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <sstream>

namespace {

using Args = std::vector<std::string>;
const std::string kRoot = "Software\\Brenmoor\\Vidora10";

struct ToolResult {
    int code = -1;
    std::string out;
    std::string err;
};

ToolResult RunInProcess(const Args& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    CRegTool tool(CRegistry::Instance(), in, out, err);
    const int code = tool.Run(args);
    return {code, out.str(), err.str()};
}

// The built program, with the environment of the test (CTempEnvironment set the variables).
ToolResult RunProgram(const Args& args, const std::string& input = "") {
    QProcess p;
    QStringList list;
    for (const auto& a : args)
        list << QString::fromStdString(a);
    p.start(QStringLiteral(VIDORA_BIN_DIR "/vidora-reg"), list);
    if (!p.waitForStarted(10000))
        return {};
    p.write(input.data(), qint64(input.size()));
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

std::string Joined(const Args& args) {
    std::string joined;
    for (const auto& a : args)
        joined += a + " ";
    return joined;
}

class RegToolTest : public ::testing::Test {
protected:
    CTempEnvironment env;
};

TEST_F(RegToolTest, CommandsReadAndWriteWhatTheProgramReadsAndWrites) {
    const std::string key = "HKCU\\" + kRoot;
    ASSERT_EQ(Settings::WriteString(kRoot, "PhotoFolder", "/home/u/Pictures"), S_OK);
    struct Step {
        Args args;
        int code;
        std::string out;
    } steps[] = {
        {{"set", key, "RibbonXPos", "REG_DWORD", "-1"}, 0, ""},
        {{"set", "hkey_current_user\\" + kRoot, "Mask", "reg_dword", "0x1F"}, 0, ""},
        {{"set", key, "@", "REG_SZ", "default text"}, 0, ""},
        {{"set", key, "Blob", "REG_BINARY", "01,ff,00"}, 0, ""},
        {{"set", "--volatile", key + "\\Cameras\\Cam A", "STMode", "REG_DWORD", "3"}, 0, ""},
        {{"set", key + "\\Cameras\\Cam A\\Sub", "X", "REG_DWORD", "1"}, 1, ""}, // not below a volatile key
        {{"get", "HKCU\\SOFTWARE\\brenmoor\\vidora10", "ribbonxpos"}, 0, "4294967295\n"},
        {{"get", key},
         0,
         "@\tREG_SZ\tdefault text\nBlob\tREG_BINARY\t01ff00\nMask\tREG_DWORD\t31\n"
         "PhotoFolder\tREG_SZ\t/home/u/Pictures\nRibbonXPos\tREG_DWORD\t4294967295\n"},
        {{"list", key}, 0, "Cameras\n"},
        {{"delete", key, "Mask"}, 0, ""},
        {{"get", key, "Mask"}, 1, ""},
        {{"delete", key + "\\Cameras"}, 0, ""},
        {{"list", key}, 0, ""},
    };
    for (const Step& step : steps) {
        ToolResult r = RunInProcess(step.args);
        EXPECT_EQ(r.code, step.code) << Joined(step.args) << ": " << r.err;
        EXPECT_EQ(r.out, step.out) << Joined(step.args);
        EXPECT_EQ(r.err.empty(), step.code == 0) << r.err;
    }
    uint32_t number = 0;
    ASSERT_EQ(Settings::ReadNumber(kRoot, "RibbonXPos", &number, 0), S_OK);
    EXPECT_EQ(number, 0xFFFFFFFFu);
}

TEST_F(RegToolTest, UsageErrorsExitWithTwoAndSayWhyAndWriteNothing) {
    for (const Args& args : std::vector<Args>{
             {},
             {"frobnicate"},
             {"set", "HKCU\\Software\\X", "N", "REG_DWORD", "12abc"},
             {"set", "HKCU\\Software\\X", "N", "REG_BINARY", "abc"},
             {"--volatile", "get", "HKCU\\A", "B"},
         }) {
        ToolResult r = RunInProcess(args);
        EXPECT_EQ(r.code, 2) << Joined(args);
        EXPECT_NE(r.err.find("vidora-reg: "), std::string::npos) << Joined(args);
    }
    EXPECT_FALSE(CRegistry::Instance().KeyExists(Hive::CurrentUser, "Software\\X"));
}

TEST_F(RegToolTest, ImportAppliesGoodLinesAndReportsBadOnesByLine) {
    const std::string input = "Vidora Registry Export 1\n"
                              "\r\n"
                              "; a comment\n"
                              "[HKEY_CURRENT_USER\\Software\\Imp]\r\n"
                              "\"Num\"=dword:0000002a\n"
                              "\"Bad\"=dword:xyz\n"
                              "\"Long\"=hex:01,02,\\\n"
                              "  03,04\n"
                              "\"Odd\"=hex(0):05\n"
                              "@=\"def\"\n"
                              "\"Gone\"=\"x\"\n"
                              "\"Gone\"=-\n"
                              "[HKCU\\Software\\Imp\\Vol]\n"
                              ";volatile\n"
                              "\"V\"=expand:\"%X%\"\n"
                              "[HKXX\\Software]\n"
                              "\"Orphan\"=\"x\"\n"
                              "[HKCU\\Software\\Old\\Sub]\n"
                              "[-HKCU\\Software\\Old]\n";
    ToolResult r = RunInProcess({"import", "-"}, input);
    EXPECT_EQ(r.code, 1);
    for (const char* line : {"<stdin>:6:", "<stdin>:16:", "<stdin>:17:"})
        EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
    CRegistry& reg = CRegistry::Instance();
    const std::string imp = "Software\\Imp";
    RegValue v;
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, imp, "Num", v), S_OK);
    EXPECT_EQ(v.dword, 42u);
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, imp, "Long", v), S_OK);
    EXPECT_EQ(v.bytes, std::vector<uint8_t>({1, 2, 3, 4}));
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, imp, "Odd", v), S_OK);
    EXPECT_EQ(v.type, REG_NONE);
    for (const char* absent : {"Gone", "Bad"})
        EXPECT_NE(reg.QueryValue(Hive::CurrentUser, imp, absent, v), S_OK) << absent;
    EXPECT_TRUE(reg.IsVolatile(Hive::CurrentUser, imp + "\\Vol"));
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\Old"));
    EXPECT_EQ(RunInProcess({"import", env.Path("no-such-file.txt")}).code, 1);
}

TEST_F(RegToolTest, TheProgramExportsAndImportsItsOwnDumpUnchanged) {
    const std::string key = "HKCU\\" + kRoot;
    for (const Args& c : std::vector<Args>{
             {"set", key, "RibbonXPos", "REG_DWORD", "4294967295"},
             {"set", key, "PrivacyShadeFilename", "REG_EXPAND_SZ", "%CSIDL_COMMON_APPDATA%/ps.jpg"},
             {"set", key, "Tricky \"name\"", "REG_SZ", "back\\slash \"quote\"\nnew line; [not a key]"},
             {"set", key, "Blob", "REG_BINARY", "00ff7f80"},
             {"set", key + "\\Cameras\\Kamera Über", "STMode", "REG_DWORD", "3"},
             {"set", "--volatile", "HKCU\\Software\\Brenmoor\\SunTune", "ST2AppUI_0809", "REG_DWORD", "2"},
             {"set", "--class", "", "HKLM\\Software\\Brenmoor\\Installed", "Version", "REG_SZ", "11.0"},
         }) {
        ToolResult r = RunProgram(c);
        ASSERT_EQ(r.code, 0) << Joined(c) << r.err;
    }
    ToolResult first = RunProgram({"export"});
    ASSERT_EQ(first.code, 0) << first.err;
    // The dump is the readable text form, every value in it escaped.
    for (const char* line :
         {"\"RibbonXPos\"=dword:ffffffff\n", "\"Blob\"=hex:00,ff,7f,80\n",
          "\"PrivacyShadeFilename\"=expand:\"%CSIDL_COMMON_APPDATA%/ps.jpg\"\n",
          "\"Tricky \\\"name\\\"\"=\"back\\\\slash \\\"quote\\\"\\nnew line; [not a key]\"\n",
          "[HKEY_CURRENT_USER\\Software\\Brenmoor\\SunTune]\n;class=\"DEFAULT_CLASS\"\n;volatile\n",
          "[HKEY_LOCAL_MACHINE\\Software\\Brenmoor\\Installed]\n\"Version\"=\"11.0\"\n"})
        EXPECT_NE(first.out.find(line), std::string::npos) << line << " in\n" << first.out;
    env.WriteFile("dump.txt", first.out);
    // A second, empty home: import the dump there, from a file and through standard input.
    for (bool fromStdin : {false, true}) {
        CTempEnvironment other;
        EXPECT_EQ(RunProgram({"export"}).out, "Vidora Registry Export 1\n\n");
        ToolResult imported =
            fromStdin ? RunProgram({"import", "-"}, first.out) : RunProgram({"import", env.Path("dump.txt")});
        ASSERT_EQ(imported.code, 0) << imported.err;
        EXPECT_EQ(RunProgram({"export"}).out, first.out);
        // And the program reads the imported values.
        std::string text;
        ASSERT_EQ(Settings::ReadString(kRoot, "Tricky \"name\"", &text, ""), S_OK);
        EXPECT_EQ(text, "back\\slash \"quote\"\nnew line; [not a key]");
        EXPECT_TRUE(CRegistry::Instance().IsVolatile(Hive::CurrentUser, "Software\\Brenmoor\\SunTune"));
    }
}

} // namespace
