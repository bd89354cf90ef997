// The mail description as the mail-sending program reads it: the form of every line, the order of the keys,
// and which attachments it accepts.
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
                        const std::vector<std::string>& attachments) {
    std::string text = Entry("ClientName", "Mailer") + Entry("Subject", subject) + Entry("Body", body);
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

TEST(BrenMailDescriptionTest, ReadsAWellFormedDescription) {
    CMailDescription d;
    const std::string text = Description("Photos (R) \u00E9t\u00E9", "Hello; [friend] = you",
                                         {kFolder + "/Picture1.jpg", kFolder + "/Movie 2.wmv"});
    ASSERT_TRUE(d.Parse(text, kFolder, false)) << d.Error();
    EXPECT_EQ(d.ClientName(), "Mailer");
    EXPECT_EQ(d.Subject(), "Photos (R) \u00E9t\u00E9");
    EXPECT_EQ(d.Body(), "Hello; [friend] = you");
    EXPECT_EQ(d.Attachments(),
              (std::vector<std::string>{kFolder + "/Picture1.jpg", kFolder + "/Movie 2.wmv"}));
}

TEST(BrenMailDescriptionTest, RefusesMalformedDescriptions) {
    const std::string good = Entry("ClientName", "") + Entry("Subject", "s") + Entry("Body", "b");
    const std::string attachment = Entry("0", kFolder + "/a.jpg");
    struct Case {
        const char* what;
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"empty", "", "line end"},
        {"no final line end", good + "[0]=" + kFolder + "/a.jpg;", "line end"},
        {"bare LF ends a line", good + "[0]=" + kFolder + "/a.jpg;\n", "line end"},
        {"LF inside a value",
         Entry("ClientName", "") + Entry("Subject", "two\nlines") + Entry("Body", "b") + attachment,
         "line break"},
        {"CR inside a key",
         Entry("Client\rName", "") + Entry("Subject", "s") + Entry("Body", "b") + attachment, "line break"},
        {"]= inside a value",
         Entry("ClientName", "") + Entry("Subject", "a]=b") + Entry("Body", "b") + attachment, "\"]=\""},
        {"no semicolon", good + "[0]=" + kFolder + "/a.jpg\r\n", "not of the form"},
        {"no brackets", good + "0=" + kFolder + "/a.jpg;\r\n", "not of the form"},
        {"blank line", good + "\r\n" + attachment, "not of the form"},
        {"empty key", good + Entry("", kFolder + "/a.jpg"), "key is empty"},
        {"keys out of order",
         Entry("Subject", "s") + Entry("ClientName", "") + Entry("Body", "b") + attachment,
         "where \"ClientName\" belongs"},
        {"attachment numbers skip", good + Entry("1", kFolder + "/a.jpg"), "where \"0\" belongs"},
        {"unknown key", good + attachment + Entry("Cc", "x@example.org"), "where \"1\" belongs"},
        {"no attachment", good, "no attachment"},
        {"only a client name", Entry("ClientName", ""), "lacks"},
        {"not UTF-8",
         Entry("ClientName", "") + Entry("Subject", "\xE9t\xE9") + Entry("Body", "b") + attachment, "UTF-8"},
        {"relative attachment", good + Entry("0", "a.jpg"), "not a file path"},
        {"attachment elsewhere", good + Entry("0", "/home/user/.ssh/id_rsa"), "outside"},
        {"attachment in a sub-folder", good + Entry("0", kFolder + "/sub/a.jpg"), "outside"},
        {"attachment is the folder", good + Entry("0", kFolder + "/.."), "not a file path"},
    };
    for (const Case& c : cases) {
        CMailDescription d;
        EXPECT_FALSE(d.Parse(c.text, kFolder, false)) << c.what;
        EXPECT_NE(d.Error().find(c.error), std::string::npos) << c.what << ": " << d.Error();
    }
}

TEST(BrenMailDescriptionTest, AttachmentsMustBeFilesInTheDescriptionsOwnFolder) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string folder = root + "/BrenMailTemp0001";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder + "/sub")));
    WriteFile(folder + "/Picture1.jpg", "picture");
    WriteFile(root + "/secret.txt", "secret");
    ASSERT_EQ(symlink((root + "/secret.txt").c_str(), (folder + "/link.jpg").c_str()), 0);
    const std::string description = folder + "/brenmail.ini";

    struct Case {
        std::string attachment;
        bool accepted;
    };
    const Case cases[] = {
        {folder + "/Picture1.jpg", true},
        {folder + "/sub/../Picture1.jpg", true}, // the same folder, however it is written
        {folder + "/Missing.jpg", false},
        {folder + "/link.jpg", false}, // a link to a file elsewhere is not a copy
        {folder + "/sub", false},      // a folder is not a file
        {folder + "/../secret.txt", false},
        {root + "/secret.txt", false},
    };
    for (const Case& c : cases) {
        WriteFile(description, Description("s", "b", {c.attachment}));
        CMailDescription d;
        EXPECT_EQ(d.Load(description), c.accepted) << c.attachment << ": " << d.Error();
    }

    CMailDescription d;
    EXPECT_FALSE(d.Load(folder + "/none.ini"));
    EXPECT_FALSE(d.Load(folder));
    WriteFile(description, std::string(CMailDescription::kMaxFileBytes + 1, 'x'));
    EXPECT_FALSE(d.Load(description));
    EXPECT_NE(d.Error().find("too large"), std::string::npos);
}

TEST(BrenMailDescriptionTest, Utf8Check) {
    struct Case {
        const char* text;
        bool valid;
    };
    for (const Case& c : {Case{"plain", true}, Case{"\u00E9\u2122\U0001F600", true}, Case{"\xC3", false},
                          Case{"\xC0\xAF", false}, Case{"\xE0\x80\xAF", false}, Case{"\xED\xA0\x80", false},
                          Case{"\xF4\x90\x80\x80", false}, Case{"\xFF", false}, Case{"a\x80", false}})
        EXPECT_EQ(CMailDescription::IsValidUtf8(c.text), c.valid) << c.text;
}
