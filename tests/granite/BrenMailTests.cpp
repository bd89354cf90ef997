// The mail description as the mail-sending program reads it, and the program itself run as the camera
// program runs it, with the desktop's xdg-email replaced through PATH by a script that records its arguments.
#include "ProgramRun.h"
#include "granite/mail/CMailDescription.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

using Granite::CMailDescription;

namespace {
const std::string kFolder = "/run/user/1000/vidora/mail/BrenMailTemp0001";

std::string Entry(const std::string& key, const std::string& value) {
    return "[" + key + "]=" + value + ";\r\n";
}

std::string Description(const std::string& subject, const std::string& body,
                        const std::vector<std::string>& attachments, const std::string& client = "") {
    std::string text = Entry("ClientName", client) + Entry("Subject", subject) + Entry("Body", body);
    for (std::size_t i = 0; i < attachments.size(); ++i)
        text += Entry(std::to_string(i), attachments[i]);
    return text;
}

void WriteFile(const std::string& path, const std::string& content) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content.data(), static_cast<qint64>(content.size()));
}
} // namespace

TEST(BrenMailDescription, RefusesMalformedDescriptions) {
    const std::string good = Entry("ClientName", "") + Entry("Subject", "s") + Entry("Body", "b");
    const std::string attachment = Entry("0", kFolder + "/a.jpg");
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"empty", "", "line end"},
        {"bare LF ends a line", good + "[0]=" + kFolder + "/a.jpg;\n", "line end"},
        {"LF inside a value", Description("two\nlines", "b", {kFolder + "/a.jpg"}), "line break"},
        {"CR inside a key",
         Entry("Client\rName", "") + Entry("Subject", "s") + Entry("Body", "b") + attachment, "line break"},
        {"]= inside a value", Description("a]=b", "b", {kFolder + "/a.jpg"}), "\"]=\""},
        {"no semicolon", good + "[0]=" + kFolder + "/a.jpg\r\n", "not of the form"},
        {"blank line", good + "\r\n" + attachment, "not of the form"},
        {"empty key", good + Entry("", kFolder + "/a.jpg"), "key is empty"},
        {"keys out of order",
         Entry("Subject", "s") + Entry("ClientName", "") + Entry("Body", "b") + attachment,
         "where \"ClientName\" belongs"},
        {"attachment numbers skip", good + Entry("1", kFolder + "/a.jpg"), "where \"0\" belongs"},
        {"unknown key", good + attachment + Entry("Cc", "x@example.org"), "where \"1\" belongs"},
        {"no attachment", good, "no attachment"},
        {"only a client name", Entry("ClientName", ""), "lacks"},
        {"not UTF-8", Description("\xE9t\xE9", "b", {kFolder + "/a.jpg"}), "UTF-8"},
        {"relative attachment", good + Entry("0", "a.jpg"), "not a file path"},
        {"attachment elsewhere", good + Entry("0", "/home/user/.ssh/id_rsa"), "outside"},
        {"attachment in a sub-folder", good + Entry("0", kFolder + "/sub/a.jpg"), "outside"},
    };
    for (const auto& c : cases) {
        CMailDescription d;
        EXPECT_FALSE(d.Parse(c.text, kFolder, false)) << c.what;
        EXPECT_NE(d.Error().find(c.error), std::string::npos) << c.what << ": " << d.Error();
    }
}

TEST(BrenMailDescription, Utf8Check) {
    for (const char* good : {"plain", "\u00E9\u2122\U0001F600"})
        EXPECT_TRUE(CMailDescription::IsValidUtf8(good)) << good;
    // Cut short, overlong, a surrogate, beyond U+10FFFF, never a byte of UTF-8, a lone continuation.
    for (const char* bad :
         {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\x80"})
        EXPECT_FALSE(CMailDescription::IsValidUtf8(bad)) << bad;
}

class BrenMailApp : public ::testing::Test {
protected:
    void SetUp() override {
        root = dir.path().toStdString();
        folder = root + "/BrenMailTemp0001";
        fakeBin = root + "/bin";
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder + "/sub")));
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(fakeBin)));
        // Each argument followed by a NUL, so that any text at all is seen as the one argument it was.
        WriteFile(fakeBin + "/xdg-email",
                  "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n"
                  "exit ${FAKE_MAIL_EXIT:-0}\n");
        ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(fakeBin + "/xdg-email"),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    // Runs the program with the fake mail program first on the path, or alone on it.
    ProgramRun Start(const QStringList& args, bool systemPath = true) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", QString::fromStdString(fakeBin) + (systemPath ? ":/usr/bin:/bin" : ""));
        environment.insert("FAKE_MAIL_EXIT", fakeExit);
        return RunProgram(QStringLiteral(VIDORA_BIN_DIR "/brenmailapp.exe"), args, environment);
    }
    ProgramRun Send(const std::string& description, bool systemPath = true) {
        WriteFile(folder + "/brenmail.ini", description);
        return Start({QString::fromStdString(folder + "/brenmail.ini")}, systemPath);
    }
    // The arguments the mail program got; none when it did not run.
    std::vector<std::string> MailArguments() const {
        QFile f(QString::fromStdString(fakeBin + "/xdg-email.args"));
        std::vector<std::string> args;
        const std::string all = f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "";
        for (std::size_t start = 0; start < all.size();) {
            const std::size_t end = all.find('\0', start);
            args.push_back(all.substr(start, end - start));
            start = end + 1;
        }
        return args;
    }
    std::string Attachment(const std::string& name) {
        WriteFile(folder + "/" + name, "data of " + name);
        return folder + "/" + name;
    }

    QTemporaryDir dir;
    std::string root, folder, fakeBin;
    QString fakeExit = "0";
};

TEST_F(BrenMailApp, HandsTheMessageToTheMailProgramAsSingleLiteralArguments) {
    const std::string subject = "Look: \"quoted\" 'single' $(touch " + root + "/pwned) `id` ; rm -rf ~ & |";
    const std::string body = "--attach /etc/passwd $HOME *.jpg \u00E9t\u00E9";
    const std::string first = Attachment("Picture 1.jpg"), second = Attachment("$(touch pwned);.jpg");
    const ProgramRun run = Send(Description(subject, body, {first, second}, "Some Mailer"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(MailArguments(), (std::vector<std::string>{"--utf8", "--subject", subject, "--body", body,
                                                         "--attach", first, "--attach", second}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(root + "/pwned")));
}

TEST_F(BrenMailApp, OnlyFilesInTheDescriptionsOwnFolderAreSentAndBadDescriptionsStartNothing) {
    WriteFile(root + "/secret.txt", "secret");
    ASSERT_EQ(symlink((root + "/secret.txt").c_str(), (folder + "/link.jpg").c_str()), 0);
    const std::string picture = Attachment("Picture1.jpg");
    const struct {
        std::string attachment;
        const char* message; // empty when sent
    } cases[] = {
        {folder + "/sub/../Picture1.jpg", ""}, // the same folder, however it is written
        {folder + "/Missing.jpg", "missing"},
        {folder + "/link.jpg", ""}, // a link to a file elsewhere is not a copy
        {folder + "/sub", ""},      // a folder is not a file
        {folder + "/../secret.txt", "outside"},
        {root + "/secret.txt", "outside"},
    };
    for (const auto& c : cases) {
        QFile::remove(QString::fromStdString(fakeBin + "/xdg-email.args"));
        const ProgramRun run = Send(Description("s", "b", {c.attachment}));
        const bool sent = c.attachment == cases[0].attachment;
        EXPECT_EQ(run.exitCode, sent ? 0 : 3) << c.attachment << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.attachment << ": " << run.err;
        EXPECT_EQ(MailArguments().empty(), !sent) << c.attachment;
    }
    EXPECT_NE(Send(Description("a\nb", "b", {picture})).err.find("line break"), std::string::npos);
    WriteFile(folder + "/brenmail.ini", std::string(CMailDescription::kMaxFileBytes + 1, 'x'));
    const ProgramRun large = Start({QString::fromStdString(folder + "/brenmail.ini")});
    EXPECT_EQ(large.exitCode, 3);
    EXPECT_NE(large.err.find("too large"), std::string::npos) << large.err;
}

TEST_F(BrenMailApp, WrongUseAMissingOrFailingMailProgramEndWithTheirOwnCodes) {
    fakeExit = "5";
    EXPECT_EQ(Send(Description("", "", {Attachment("Picture1.jpg")})).exitCode, 5);
    EXPECT_EQ(MailArguments(), (std::vector<std::string>{"--utf8", "--subject", "", "--body", "", "--attach",
                                                         folder + "/Picture1.jpg"}));
    EXPECT_EQ(Start({}).exitCode, 2);
    EXPECT_EQ(Start({"a", "b"}).exitCode, 2);
    EXPECT_EQ(Start({QString::fromStdString(folder + "/none.ini")}).exitCode, 3);
    EXPECT_EQ(Start({QString::fromStdString(folder)}).exitCode, 3);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(fakeBin + "/xdg-email")));
    const ProgramRun run = Send(Description("s", "b", {Attachment("a.jpg")}), false);
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_NE(run.err.find("xdg-email could not be started"), std::string::npos) << run.err;
}
