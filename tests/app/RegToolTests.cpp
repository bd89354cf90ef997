// vidora-reg: the commands in-process, then the real program against a temporary environment.
#include "app/CRegTool.h"
#include "platform/SettingsPrimitives.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <sstream>

namespace {

const std::string kRoot = "Software\\Brenmoor\\Vidora10";

struct ToolResult {
    int code = -1;
    std::string out;
    std::string err;
};

ToolResult RunInProcess(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    CRegTool tool(CRegistry::Instance(), in, out, err);
    ToolResult r;
    r.code = tool.Run(args);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// The built program, with the environment of the test (CTempEnvironment set the variables).
ToolResult RunProgram(const std::vector<std::string>& args, const std::string& input = "") {
    QProcess p;
    QStringList list;
    for (const auto& a : args)
        list << QString::fromStdString(a);
    p.start(QStringLiteral(VIDORA_BIN_DIR "/vidora-reg"), list);
    ToolResult r;
    if (!p.waitForStarted(10000))
        return r;
    p.write(input.data(), qint64(input.size()));
    p.closeWriteChannel();
    p.waitForFinished(30000);
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

class RegToolTest : public ::testing::Test {
protected:
    CTempEnvironment env;
};

TEST_F(RegToolTest, CommandsReadAndWriteWhatTheProgramReadsAndWrites) {
    const std::string key = "HKCU\\" + kRoot;
    ASSERT_EQ(Settings::WriteString(kRoot, "PhotoFolder", "/home/u/Pictures"), S_OK);
    struct Step {
        std::vector<std::string> args;
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
        {{"get", key, "Mask"}, 0, "31\n"},
        {{"get", key, ""}, 0, "default text\n"},
        {{"get", key, "PhotoFolder"}, 0, "/home/u/Pictures\n"},
        {{"get", key},
         0,
         "@\tREG_SZ\tdefault text\nBlob\tREG_BINARY\t01ff00\nMask\tREG_DWORD\t31\n"
         "PhotoFolder\tREG_SZ\t/home/u/Pictures\nRibbonXPos\tREG_DWORD\t4294967295\n"},
        {{"list", key}, 0, "Cameras\n"},
        {{"get", key, "Missing"}, 1, ""},
        {{"list", "HKCU\\Software\\Nope"}, 1, ""},
        {{"delete", key, "Missing"}, 1, ""},
        {{"delete", key, "Mask"}, 0, ""},
        {{"get", key, "Mask"}, 1, ""},
        {{"delete", key + "\\Cameras"}, 0, ""},
        {{"list", key}, 0, ""},
    };
    for (const Step& step : steps) {
        ToolResult r = RunInProcess(step.args);
        EXPECT_EQ(r.code, step.code) << step.args[0] << " " << step.args[1] << ": " << r.err;
        EXPECT_EQ(r.out, step.out) << step.args[0] << " " << step.args[1];
        EXPECT_EQ(r.err.empty(), step.code == 0) << r.err;
    }
    uint32_t number = 0;
    ASSERT_EQ(Settings::ReadNumber(kRoot, "RibbonXPos", &number, 0), S_OK);
    EXPECT_EQ(number, 0xFFFFFFFFu);
}

TEST_F(RegToolTest, UsageErrorsExitWithTwoAndSayWhy) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"get"},
             {"get", "HKXX\\Software"},
             {"get", "Software\\Brenmoor"},
             {"set", "HKCU\\Software\\X", "N", "REG_DWORD"},
             {"set", "HKCU\\Software\\X", "N", "REG_QWORD", "1"},
             {"set", "HKCU\\Software\\X", "N", "REG_DWORD", "12abc"},
             {"set", "HKCU\\Software\\X", "N", "REG_DWORD", "4294967296"},
             {"set", "HKCU\\Software\\X", "N", "REG_DWORD", "0x"},
             {"set", "HKCU\\Software\\X", "N", "REG_BINARY", "0g"},
             {"set", "HKCU\\Software\\X", "N", "REG_BINARY", "abc"},
             {"list"},
             {"list", "HKCU\\A", "HKCU\\B"},
             {"delete", "HKCU"},
             {"export", "HKCU\\A", "HKCU\\B"},
             {"import"},
             {"--bogus", "list", "HKCU"},
             {"--volatile", "get", "HKCU\\A", "B"},
         }) {
        ToolResult r = RunInProcess(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(r.code, 2) << joined;
        EXPECT_NE(r.err.find("vidora-reg: "), std::string::npos) << joined;
    }
    // Nothing of the refused commands reached the store.
    EXPECT_FALSE(CRegistry::Instance().KeyExists(Hive::CurrentUser, "Software\\X"));

    ToolResult help = RunInProcess({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("get KEY [NAME]"), std::string::npos);
    EXPECT_NE(help.out.find(env.Path("config/vidora/registry.db")), std::string::npos);
}

TEST_F(RegToolTest, ExportWritesAReadableDumpWithEveryForm) {
    CRegistry& reg = CRegistry::Instance();
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Dump", "DEFAULT_CLASS", false), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Dump", "", RegValue::Dword(1)), S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Dump", "Text",
                           RegValue::String("say \"hi\"\\ or\nnot\tnow\x01")),
              S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Dump", "Grüße", RegValue::String("Ärger")), S_OK);
    ASSERT_EQ(
        reg.SetValue(Hive::CurrentUser, "Software\\Dump", "Exp", RegValue::String("%HOME%", REG_EXPAND_SZ)),
        S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Dump", "Bin", RegValue::Binary({0, 0xab, 0x10})),
              S_OK);
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Dump\\Vol", "", true), S_OK);
    ASSERT_EQ(reg.CreateKey(Hive::CurrentUser, "Software\\Dump\\Empty", "", false), S_OK);

    ToolResult r = RunInProcess({"export", "HKCU\\software\\dump"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Vidora Registry Export 1\n"
                     "\n"
                     "[HKEY_CURRENT_USER\\Software\\Dump]\n"
                     ";class=\"DEFAULT_CLASS\"\n"
                     "@=dword:00000001\n"
                     "\"Bin\"=hex:00,ab,10\n"
                     "\"Exp\"=expand:\"%HOME%\"\n"
                     "\"Grüße\"=\"Ärger\"\n"
                     "\"Text\"=\"say \\\"hi\\\"\\\\ or\\nnot\\tnow\\x01\"\n"
                     "\n"
                     "[HKEY_CURRENT_USER\\Software\\Dump\\Empty]\n"
                     "\n"
                     "[HKEY_CURRENT_USER\\Software\\Dump\\Vol]\n"
                     ";volatile\n"
                     "\n");
    EXPECT_EQ(RunInProcess({"export", "HKCU\\Software\\Missing"}).code, 1);
}

TEST_F(RegToolTest, ImportAppliesGoodLinesAndReportsBadOnesByLine) {
    const std::string input = "Vidora Registry Export 1\n"
                              "\r\n"
                              "; a comment\n"
                              "[HKEY_CURRENT_USER\\Software\\Imp]\r\n"
                              ";class=\"MyClass\"\n"
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
    EXPECT_NE(r.err.find("<stdin>:7:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("<stdin>:17:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("<stdin>:18:"), std::string::npos) << r.err;

    CRegistry& reg = CRegistry::Instance();
    RegValue v;
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\Imp", "Num", v), S_OK);
    EXPECT_EQ(v.dword, 42u);
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\Imp", "Long", v), S_OK);
    EXPECT_EQ(v.bytes, std::vector<uint8_t>({1, 2, 3, 4}));
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\Imp", "Odd", v), S_OK);
    EXPECT_EQ(v.type, REG_NONE);
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\Imp", "", v), S_OK);
    EXPECT_EQ(v.text, "def");
    EXPECT_NE(reg.QueryValue(Hive::CurrentUser, "Software\\Imp", "Gone", v), S_OK);
    EXPECT_NE(reg.QueryValue(Hive::CurrentUser, "Software\\Imp", "Bad", v), S_OK);
    std::string keyClass;
    ASSERT_EQ(reg.GetKeyClass(Hive::CurrentUser, "Software\\Imp", keyClass), S_OK);
    EXPECT_EQ(keyClass, "MyClass");
    EXPECT_TRUE(reg.IsVolatile(Hive::CurrentUser, "Software\\Imp\\Vol"));
    ASSERT_EQ(reg.QueryValue(Hive::CurrentUser, "Software\\Imp\\Vol", "V", v), S_OK);
    EXPECT_EQ(v.type, REG_EXPAND_SZ);
    EXPECT_FALSE(reg.KeyExists(Hive::CurrentUser, "Software\\Old"));

    EXPECT_EQ(RunInProcess({"import", env.Path("no-such-file.txt")}).code, 1);
}

// A store with every kind of content, written through the real program.
void FillThroughTheProgram() {
    const std::vector<std::vector<std::string>> commands = {
        {"set", "HKCU\\" + kRoot, "RibbonXPos", "REG_DWORD", "4294967295"},
        {"set", "HKCU\\" + kRoot, "@", "REG_SZ", "root default"},
        {"set", "HKCU\\" + kRoot, "PrivacyShadeFilename", "REG_EXPAND_SZ", "%CSIDL_COMMON_APPDATA%/ps.jpg"},
        {"set", "HKCU\\" + kRoot, "Tricky \"name\"", "REG_SZ",
         "back\\slash \"quote\"\nnew line; [not a key]"},
        {"set", "HKCU\\" + kRoot, "Blob", "REG_BINARY", "00ff7f80"},
        {"set", "HKCU\\" + kRoot, "Empty", "REG_SZ", ""},
        {"set", "HKCU\\" + kRoot + "\\Cameras\\Kamera Über", "STMode", "REG_DWORD", "3"},
        {"set", "HKCU\\" + kRoot + "\\Cameras\\Attached\\0x0809", "@", "REG_DWORD", "1"},
        {"set", "--volatile", "HKCU\\Software\\Brenmoor\\SunTune", "ST2AppUI_0809", "REG_DWORD", "2"},
        {"set", "--class", "", "HKLM\\Software\\Brenmoor\\Installed", "Version", "REG_SZ", "11.0"},
        {"set", "HKCR\\.htm", "@", "REG_SZ", "htmlfile"},
        {"set", "HKCC\\System", "Depth", "REG_DWORD", "0x20"},
    };
    for (const auto& c : commands) {
        ToolResult r = RunProgram(c);
        ASSERT_EQ(r.code, 0) << c[1] << " " << r.err;
    }
}

TEST_F(RegToolTest, TheProgramExportsAndImportsItsOwnDumpUnchanged) {
    FillThroughTheProgram();
    ToolResult first = RunProgram({"export"});
    ASSERT_EQ(first.code, 0) << first.err;
    EXPECT_NE(first.out.find(
                  "[HKEY_CURRENT_USER\\Software\\Brenmoor\\SunTune]\n;class=\"DEFAULT_CLASS\"\n;volatile\n"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("[HKEY_CLASSES_ROOT\\.htm]"), std::string::npos);
    env.WriteFile("dump.txt", first.out);

    // A second, empty home: import the dump there, from a file and through standard input.
    for (bool fromStdin : {false, true}) {
        CTempEnvironment other;
        ToolResult before = RunProgram({"export"});
        EXPECT_EQ(before.out, "Vidora Registry Export 1\n\n");
        ToolResult imported =
            fromStdin ? RunProgram({"import", "-"}, first.out) : RunProgram({"import", env.Path("dump.txt")});
        ASSERT_EQ(imported.code, 0) << imported.err;
        ToolResult second = RunProgram({"export"});
        EXPECT_EQ(second.out, first.out);
        // And the program reads the imported values.
        uint32_t number = 0;
        ASSERT_EQ(Settings::ReadNumber(kRoot, "RibbonXPos", &number, 0), S_OK);
        EXPECT_EQ(number, 0xFFFFFFFFu);
        std::string text;
        ASSERT_EQ(Settings::ReadString(kRoot, "Tricky \"name\"", &text, ""), S_OK);
        EXPECT_EQ(text, "back\\slash \"quote\"\nnew line; [not a key]");
        EXPECT_TRUE(CRegistry::Instance().IsVolatile(Hive::CurrentUser, "Software\\Brenmoor\\SunTune"));
    }
}

} // namespace
