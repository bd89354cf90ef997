// The mail-sending program, run as the camera program runs it, against descriptions in temporary folders.
// The desktop's xdg-email is replaced through PATH by a script that records the arguments it was given.
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {
void WriteFile(const std::string& path, const std::string& content) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content.data(), static_cast<qint64>(content.size()));
}

std::string Entry(const std::string& key, const std::string& value) {
    return "[" + key + "]=" + value + ";\r\n";
}

class BrenMailAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = dir.path().toStdString();
        folder = root + "/BrenMailTemp0001";
        fakeBin = root + "/bin";
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(fakeBin)));
        // Each argument followed by a NUL, so that any text at all is seen as the one argument it was.
        WriteFile(fakeBin + "/xdg-email", "#!/bin/sh\n"
                                          "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n"
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
        if (!f.open(QIODevice::ReadOnly))
            return args;
        const std::string all = f.readAll().toStdString();
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
} // namespace

TEST_F(BrenMailAppTest, HandsTheMessageToTheMailProgramAsSingleLiteralArguments) {
    const std::string subject = "Look: \"quoted\" 'single' $(touch " + root + "/pwned) `id` ; rm -rf ~ & |";
    const std::string body = "--attach /etc/passwd $HOME *.jpg \u00E9t\u00E9";
    const std::string first = Attachment("Picture 1.jpg");
    const std::string second = Attachment("$(touch pwned);.jpg");
    const ProgramRun run = Send(Entry("ClientName", "Some Mailer") + Entry("Subject", subject) +
                                Entry("Body", body) + Entry("0", first) + Entry("1", second));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(MailArguments(), (std::vector<std::string>{"--utf8", "--subject", subject, "--body", body,
                                                         "--attach", first, "--attach", second}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(root + "/pwned")));
}

TEST_F(BrenMailAppTest, TheMailProgramsFailureIsPassedOn) {
    fakeExit = "5";
    const ProgramRun run = Send(Entry("ClientName", "") + Entry("Subject", "") + Entry("Body", "") +
                                Entry("0", Attachment("Picture1.jpg")));
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_EQ(MailArguments(), (std::vector<std::string>{"--utf8", "--subject", "", "--body", "", "--attach",
                                                         folder + "/Picture1.jpg"}));
}

TEST_F(BrenMailAppTest, RefusesBadDescriptionsWithAMessageAndStartsNothing) {
    const std::string head = Entry("ClientName", "") + Entry("Subject", "s") + Entry("Body", "b");
    WriteFile(root + "/private.txt", "not for mailing");
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"line break in a value",
         Entry("ClientName", "") + Entry("Subject", "a\nb") + Entry("Body", "b") +
             Entry("0", Attachment("a.jpg")),
         "line break"},
        {"]= in a value", head + Entry("0", folder + "/x]=y.jpg"), "\"]=\""},
        {"not a line of the form", head + "0=" + Attachment("a.jpg") + "\r\n", "not of the form"},
        {"attachment outside the folder", head + Entry("0", root + "/private.txt"), "outside"},
        {"missing attachment", head + Entry("0", folder + "/Gone.jpg"), "missing"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = Send(c.text);
        EXPECT_EQ(run.exitCode, 3) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ": " << run.err;
        EXPECT_TRUE(MailArguments().empty()) << c.what;
    }
}

TEST_F(BrenMailAppTest, WrongUseAndAMissingMailProgram) {
    EXPECT_EQ(Start({}).exitCode, 2);
    EXPECT_EQ(Start({"a", "b"}).exitCode, 2);
    EXPECT_EQ(Start({QString::fromStdString(folder + "/none.ini")}).exitCode, 3);

    // Without xdg-email on the path the program says so.
    ASSERT_TRUE(QFile::remove(QString::fromStdString(fakeBin + "/xdg-email")));
    const ProgramRun run = Send(Entry("ClientName", "") + Entry("Subject", "s") + Entry("Body", "b") +
                                    Entry("0", Attachment("a.jpg")),
                                false);
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_NE(run.err.find("xdg-email could not be started"), std::string::npos) << run.err;
}
