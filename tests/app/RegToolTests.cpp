// vidora-reg: the commands in-process, then the real program against a temporary environment.
#include "app/CRegTool.h"
#include "platform/SettingsPrimitives.h"
#include "platform/TextUtil.h"
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

TEST_F(RegToolTest, SetGetListAndDeleteWithTheirExitCodes) {
    EXPECT_EQ(RunInProcess({"set", "HKCU\\" + kRoot, "RibbonXPos", "REG_DWORD", "-1"}).code, 0);
    EXPECT_EQ(RunInProcess({"set", "hkey_current_user\\" + kRoot, "Mask", "reg_dword", "0x1F"}).code, 0);
    EXPECT_EQ(RunInProcess({"set", "HKCU\\" + kRoot, "@", "REG_SZ", "default text"}).code, 0);
    EXPECT_EQ(RunInProcess({"set", "HKCU\\" + kRoot, "Path", "REG_EXPAND_SZ", "%HOME%/x"}).code, 0);
    EXPECT_EQ(RunInProcess({"set", "HKCU\\" + kRoot, "Blob", "REG_BINARY", "01,ff,00"}).code, 0);
    EXPECT_EQ(RunInProcess({"set", "HKCU\\" + kRoot + "\\Cameras\\Cam A", "STMode", "REG_DWORD", "3"}).code, 0);

    // What the program reads is what the tool wrote, and the other way round.
    uint32_t number = 0;
    ASSERT_EQ(Settings::ReadNumber(kRoot, "RibbonXPos", &number, 0), S_OK);
    EXPECT_EQ(number, 0xFFFFFFFFu);
    ASSERT_EQ(Settings::WriteString(kRoot, "PhotoFolder", "/home/u/Pictures"), S_OK);

    ToolResult r = RunInProcess({"get", "HKCU\\SOFTWARE\\brenmoor\\vidora10", "ribbonxpos"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "4294967295\n");
    EXPECT_EQ(RunInProcess({"get", "HKCU\\" + kRoot, "Mask"}).out, "31\n");
    EXPECT_EQ(RunInProcess({"get", "HKCU\\" + kRoot, "Blob"}).out, "01ff00\n");
    EXPECT_EQ(RunInProcess({"get", "HKCU\\" + kRoot, "@"}).out, "default text\n");
    EXPECT_EQ(RunInProcess({"get", "HKCU\\" + kRoot, ""}).out, "default text\n");
    EXPECT_EQ(RunInProcess({"get", "HKCU\\" + kRoot, "PhotoFolder"}).out, "/home/u/Pictures\n");

    r = RunInProcess({"get", "HKCU\\" + kRoot});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "@\tREG_SZ\tdefault text\n"
                     "Blob\tREG_BINARY\t01ff00\n"
                     "Mask\tREG_DWORD\t31\n"
                     "Path\tREG_EXPAND_SZ\t%HOME%/x\n"
                     "PhotoFolder\tREG_SZ\t/home/u/Pictures\n"
                     "RibbonXPos\tREG_DWORD\t4294967295\n");

    r = RunInProcess({"list", "HKCU\\Software\\Brenmoor\\Vidora10"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Cameras\n");

    r = RunInProcess({"get", "HKCU\\" + kRoot, "Missing"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Missing"), std::string::npos);
    EXPECT_EQ(RunInProcess({"get", "HKCU\\Software\\Nope"}).code, 1);
    EXPECT_EQ(RunInProcess({"list", "HKCU\\Software\\Nope"}).code, 1);
    EXPECT_EQ(RunInProcess({"delete", "HKCU\\Software\\Nope"}).code, 1);
    EXPECT_EQ(RunInProcess({"delete", "HKCU\\" + kRoot, "Missing"}).code, 1);

    EXPECT_EQ(RunInProcess({"delete", "HKCU\\" + kRoot, "Mask"}).code, 0);
    EXPECT_EQ(RunInProcess({"get", "HKCU\\" + kRoot, "Mask"}).code, 1);
    EXPECT_EQ(RunInProcess({"delete", "HKCU\\" + kRoot + "\\Cameras"}).code, 0);
    EXPECT_FALSE(CRegistry::Instance().KeyExists(Hive::CurrentUser, kRoot + "\\Cameras\\Cam A"));
    EXPECT_EQ(RunInProcess({"list", "HKCU\\" + kRoot}).out, "");
}

TEST_F(RegToolTest, VolatileKeysAndTheirRules) {
    EXPECT_EQ(RunInProcess({"set", "--volatile", "HKCU\\Software\\Brenmoor\\SunTune", "ST2AppUI_0809", "REG_DWORD",
                            "1"})
                  .code,
              0);
    EXPECT_TRUE(CRegistry::Instance().IsVolatile(Hive::CurrentUser, "Software\\Brenmoor\\SunTune"));
    ToolResult r = RunInProcess({"set", "HKCU\\Software\\Brenmoor\\SunTune\\Sub", "X", "REG_DWORD", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("volatile"), std::string::npos) << r.err;
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
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Dump", "Exp", RegValue::String("%HOME%", REG_EXPAND_SZ)),
              S_OK);
    ASSERT_EQ(reg.SetValue(Hive::CurrentUser, "Software\\Dump", "Bin", RegValue::Binary({0, 0xab, 0x10})), S_OK);
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
        {"set", "HKCU\\" + kRoot, "Tricky \"name\"", "REG_SZ", "back\\slash \"quote\"\nnew line; [not a key]"},
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
    EXPECT_NE(first.out.find("[HKEY_CURRENT_USER\\Software\\Brenmoor\\SunTune]\n;class=\"DEFAULT_CLASS\"\n;volatile\n"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("[HKEY_CLASSES_ROOT\\.htm]"), std::string::npos);
    env.WriteFile("dump.txt", first.out);

    // A second, empty home: import the dump there, from a file and through standard input.
    for (bool fromStdin : {false, true}) {
        CTempEnvironment other;
        ToolResult before = RunProgram({"export"});
        EXPECT_EQ(before.out, "Vidora Registry Export 1\n\n");
        ToolResult imported = fromStdin ? RunProgram({"import", "-"}, first.out)
                                        : RunProgram({"import", env.Path("dump.txt")});
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

TEST_F(RegToolTest, TheProgramExitsWithOneForMissingAndTwoForUsage) {
    ToolResult r = RunProgram({"get", "HKCU\\Software\\Nothing", "X"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
    r = RunProgram({"set", "HKCU\\Software\\X", "N", "REG_DWORD", "many"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("not a 32-bit number"), std::string::npos) << r.err;
    EXPECT_EQ(RunProgram({}).code, 2);
    r = RunProgram({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Usage: vidora-reg"), std::string::npos);

    // Written by the program running now, read by the tool at once: there is no cache in between.
    ASSERT_EQ(Settings::WriteNumber(kRoot, "AlwaysOnTop", 0), S_OK);
    r = RunProgram({"get", "HKCU\\" + kRoot, "AlwaysOnTop"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "0\n");
    ASSERT_EQ(RunProgram({"set", "HKCU\\" + kRoot, "AlwaysOnTop", "REG_DWORD", "1"}).code, 0);
    uint32_t number = 0;
    ASSERT_EQ(Settings::ReadNumber(kRoot, "AlwaysOnTop", &number, 7), S_OK);
    EXPECT_EQ(number, 1u);
}

TEST_F(RegToolTest, TwoProgramsWritingAtOnceLoseNoWrite) {
    // Two imports of many distinct values run side by side, while two chains of single "set" runs go on.
    constexpr int kValues = 400;
    std::string dumps[2];
    for (int w = 0; w < 2; ++w) {
        dumps[w] = "Vidora Registry Export 1\n\n";
        for (int k = 0; k < 4; ++k) {
            dumps[w] += "[HKEY_CURRENT_USER\\" + kRoot + "\\Load" + std::to_string(k) + "]\n";
            for (int i = k; i < kValues; i += 4)
                dumps[w] += "\"W" + std::to_string(w) + "_" + std::to_string(i) + "\"=dword:" +
                            Text::Format("%08x", unsigned(i)) + "\n";
        }
        env.WriteFile("load" + std::to_string(w) + ".txt", dumps[w]);
    }
    QProcess importers[2];
    for (int w = 0; w < 2; ++w)
        importers[w].start(QStringLiteral(VIDORA_BIN_DIR "/vidora-reg"),
                           {"import", QString::fromStdString(env.Path("load" + std::to_string(w) + ".txt"))});
    constexpr int kSets = 15;
    for (int i = 0; i < kSets; ++i) {
        QProcess setters[2];
        for (int w = 0; w < 2; ++w)
            setters[w].start(QStringLiteral(VIDORA_BIN_DIR "/vidora-reg"),
                             {"set", QString::fromStdString("HKCU\\" + kRoot + "\\Sets"),
                              QString("S%1_%2").arg(w).arg(i), "REG_DWORD", QString::number(i)});
        for (auto& s : setters) {
            ASSERT_TRUE(s.waitForFinished(30000));
            EXPECT_EQ(s.exitCode(), 0) << s.readAllStandardError().toStdString();
        }
    }
    for (auto& p : importers) {
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }

    CRegistry& reg = CRegistry::Instance();
    int missing = 0;
    for (int w = 0; w < 2; ++w) {
        for (int i = 0; i < kValues; ++i) {
            RegValue v;
            std::string key = kRoot + "\\Load" + std::to_string(i % 4);
            if (reg.QueryValue(Hive::CurrentUser, key, "W" + std::to_string(w) + "_" + std::to_string(i), v) != S_OK ||
                v.dword != uint32_t(i))
                ++missing;
        }
        for (int i = 0; i < kSets; ++i) {
            RegValue v;
            if (reg.QueryValue(Hive::CurrentUser, kRoot + "\\Sets", "S" + std::to_string(w) + "_" + std::to_string(i),
                               v) != S_OK ||
                v.dword != uint32_t(i))
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
}

} // namespace
