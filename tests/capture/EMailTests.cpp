// Mailing captures: copies and a description in a fresh private folder, handed to the mail program.
#include "app/CMailTempFolders.h"
#include "app/CVidoraSettings.h"
#include "capture/CEMail.h"
#include "config/CVidoraOEMInfo.h"
#include "support/CFakeProcessLauncher.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<unreadable>";
}

const auto Exists = [](const std::string& path) { return QFile::exists(QString::fromStdString(path)); };

class EMailTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetOEMInfo(&oem);
        SetProcessLauncher(&launcher);
        env.WriteFile("bin/brenmailapp.exe", "#!/bin/sh\nexit 0\n");
    }
    void TearDown() override {
        SetProcessLauncher(nullptr);
        SetOEMInfo(nullptr);
    }
    // A capture in the picture folder with some content of its own.
    std::string Capture(const std::string& name, const std::string& content = "") {
        env.WriteFile("pictures/" + name, content.empty() ? "image data of " + name : content);
        return env.Path("pictures/" + name);
    }
    std::string MailProgram() const { return env.ExeDir() + "/brenmailapp.exe"; }
    static bool IsEmpty(const std::string& folder) {
        return QDir(QString::fromStdString(folder))
            .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    // A mail that needs no default mail program.
    static CEMail Mail() {
        return CEMail([](std::string& name) { return name = "Default Mailer", S_OK; });
    }
    CTempEnvironment env;
    CVidoraOEMInfo oem;
    CFakeProcessLauncher launcher;
};
} // namespace

TEST_F(EMailTest, EachSendTakesTheNextFreeNumberedFolderAndNoLinkIsFollowed) {
    // Someone else's link in place of the mail folder: nothing is made through it.
    const std::string root = CMailTempFolders::Root(), outside = env.Path("elsewhere");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(outside)));
    ASSERT_EQ(symlink(outside.c_str(), root.c_str()), 0);
    CEMail mail = Mail();
    EXPECT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::NoFolder);
    EXPECT_TRUE(IsEmpty(outside) && launcher.Started().empty());
    ASSERT_EQ(unlink(root.c_str()), 0);
    // Folders of the same name that are not ours count as taken too and stay untouched; a link planted
    // under a folder name is passed over, not followed.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(root + "/BrenMailTemp0001")));
    ASSERT_EQ(symlink(outside.c_str(), (root + "/BrenMailTemp0002").c_str()), 0);
    ASSERT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::Started);
    EXPECT_EQ(mail.TempFolder(), root + "/BrenMailTemp0003");
    ASSERT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::Started);
    EXPECT_EQ(mail.TempFolder(), root + "/BrenMailTemp0004");
    EXPECT_TRUE(IsEmpty(outside) && IsEmpty(root + "/BrenMailTemp0001"));
    struct stat info {};
    ASSERT_EQ(lstat(mail.TempFolder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// Copying stops at the first capture that cannot be copied.
TEST_F(EMailTest, WritesTheDescriptionCopiesTheCapturesAndStartsTheMailProgram) {
    ASSERT_TRUE(SUCCEEDED(CVidoraSettings::SetEmailClient("Mailer X")));
    const std::string first = Capture("Picture1.jpg", "first picture");
    const std::string second = Capture("Movie 2.wmv", "second movie");
    CEMail mail = Mail();
    ASSERT_EQ(mail.Send({first, second, env.Path("pictures/Gone.jpg"), Capture("Picture3.jpg")},
                        "Vidora\u00AE Snap\u2122 \u00E9t\u00E9", "Look\u2122:\r\nmy \u00AE pictures\n[x]=y"),
              CEMail::Result::Started);
    const std::string folder = mail.TempFolder();
    EXPECT_EQ(mail.DescriptionPath(), folder + "/brenmail.ini");
    const std::string expected = "[ClientName]=Mailer X;\r\n"
                                 "[Subject]=Vidora(R) Snap(TM) \u00E9t\u00E9;\r\n"
                                 "[Body]=Look(TM):  my (R) pictures [x] =y;\r\n"
                                 "[0]=" +
                                 folder + "/Picture1.jpg;\r\n" + "[1]=" + folder + "/Movie 2.wmv;\r\n";
    EXPECT_EQ(ReadAll(mail.DescriptionPath()), expected);
    EXPECT_EQ(ReadAll(folder + "/Picture1.jpg") + ReadAll(folder + "/Movie 2.wmv"),
              "first picturesecond movie");
    EXPECT_EQ(mail.Attachments(),
              (std::vector<std::string>{folder + "/Picture1.jpg", folder + "/Movie 2.wmv"}));
    EXPECT_FALSE(Exists(folder + "/Picture3.jpg"));
    ASSERT_EQ(launcher.Started().size(), 1u);
    EXPECT_EQ(launcher.Started()[0], (std::vector<std::string>{MailProgram(), folder + "/brenmail.ini"}));
}

TEST_F(EMailTest, FileNamesTheDescriptionCannotCarryCountAsFailedCopies) {
    for (const std::string& name :
         std::vector<std::string>{"Picture\n1.jpg", "a]=b.jpg", "brenmail.ini", "BRENMAIL.INI",
                                  std::string(CMailTempFolders::kRecordFileName)}) {
        SCOPED_TRACE(name);
        launcher.Clear();
        CEMail mail = Mail();
        EXPECT_EQ(mail.Send({Capture(name), Capture("Picture2.jpg")}, "s", "b"),
                  CEMail::Result::NothingCopied);
        EXPECT_TRUE(launcher.Started().empty());
        EXPECT_FALSE(Exists(mail.TempFolder() + "/Picture2.jpg"));
        // The folder keeps its record, so it is still cleaned up.
        EXPECT_EQ(ReadAll(mail.TempFolder() + "/" + CMailTempFolders::kRecordFileName),
                  CMailTempFolders::OwnRecord());
    }
    // Nothing to copy at all: no description either.
    CEMail mail = Mail();
    EXPECT_EQ(mail.Send({env.Path("pictures/Gone.jpg")}, "s", "b"), CEMail::Result::NothingCopied);
    EXPECT_EQ(mail.Send({}, "s", "b"), CEMail::Result::NothingCopied);
    EXPECT_FALSE(Exists(mail.TempFolder() + "/brenmail.ini"));
}

TEST_F(EMailTest, TheMailProgramNameComesFromTheSettingElseTheDesktopDefault) {
    // No mail program set: what the desktop says (null: it cannot tell) and the name written.
    for (const auto& [desktop, expected] : {std::pair{"Desktop Mailer", "Desktop Mailer"}, {nullptr, ""}}) {
        CEMail mail([desktop = desktop](std::string& name) {
            return name = desktop != nullptr ? desktop : "Half an answer", desktop != nullptr ? S_OK : E_FAIL;
        });
        ASSERT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::Started);
        EXPECT_EQ(ReadAll(mail.DescriptionPath()).rfind(std::string("[ClientName]=") + expected + ";\r\n", 0),
                  0u);
    }
    // Without the application object the desktop's default is unknown.
    CEMail mail;
    ASSERT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::Started);
    EXPECT_EQ(ReadAll(mail.DescriptionPath()).rfind("[ClientName]=;\r\n", 0), 0u);
}

TEST_F(EMailTest, AMissingOrFailingMailProgramIsReported) {
    launcher.SetSucceeds(false);
    CEMail mail = Mail();
    EXPECT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::LaunchFailed);
    EXPECT_EQ(launcher.Started().size(), 1u);
    // A folder under the program's name is not the program either.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(MailProgram())));
    EXPECT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::NoMailProgram);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(MailProgram())));
    EXPECT_EQ(mail.Send({Capture("Picture1.jpg")}, "s", "b"), CEMail::Result::NoMailProgram);
    EXPECT_EQ(launcher.Started().size(), 1u);
}
