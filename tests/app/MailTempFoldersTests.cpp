// The e-mail folders: made privately and exclusively, and deleted only when this program recorded them.
#include "app/CMailTempFolders.h"
#include "app/CVidoraApp.h"
#include "support/CTempEnvironment.h"
#include "ui/CDialogBase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// A process id no process can have (above the kernel's largest).
constexpr const char* kEndedRunRecord = "vidora-mail 999999999 00000000deadbeef\n";

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::string ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<unreadable>");
}

class MailTempFoldersTest : public ::testing::Test {
protected:
    void SetUp() override { root = CMailTempFolders::Root(); }
    // A folder under the root with, when given, a record and one more file.
    std::string Folder(const std::string& name, const std::string& record = "") {
        const std::string path = root + "/" + name;
        EXPECT_TRUE(QDir().mkpath(QString::fromStdString(path)));
        if (!record.empty())
            Write(path + "/" + CMailTempFolders::kRecordFileName, record);
        Write(path + "/Picture1.jpg", "picture");
        return path;
    }
    static void Write(const std::string& path, const std::string& content) {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content.data(), static_cast<qint64>(content.size()));
    }
    CTempEnvironment env;
    std::string root;
};
} // namespace

TEST_F(MailTempFoldersTest, FoldersAreNumberedPrivateAndRecorded) {
    EXPECT_EQ(CMailTempFolders::CreateNext(), root + "/BrenMailTemp0001");
    Folder("BrenMailTemp0002");
    const std::string next = CMailTempFolders::CreateNext();
    EXPECT_EQ(next, root + "/BrenMailTemp0003");
    for (const std::string& folder : {root, next}) {
        struct stat info {};
        ASSERT_EQ(lstat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_EQ(ReadAll(next + "/" + CMailTempFolders::kRecordFileName), CMailTempFolders::OwnRecord());
    // A folder made by somebody else is never given our record.
    EXPECT_FALSE(Exists(root + "/BrenMailTemp0002/" + CMailTempFolders::kRecordFileName));
}

TEST_F(MailTempFoldersTest, StartDeletesEndedRunsFoldersAndExitDeletesOnlyItsOwn) {
    const std::string first = CMailTempFolders::CreateNext();
    const std::string second = CMailTempFolders::CreateNext();
    Write(second + "/Picture1.jpg", "picture");
    const std::string ended = Folder("BrenMailTemp0003", kEndedRunRecord);
    // A running process (our parent) still using its folder.
    const std::string running =
        Folder("BrenMailTemp0004", "vidora-mail " + std::to_string(getppid()) + " 0000000000000001\n");
    const std::string foreign = Folder("BrenMailTemp0005");
    const std::string garbled = Folder("BrenMailTemp0006", "not a record of ours");
    const std::string noProcess = Folder("BrenMailTemp0009", "vidora-mail 0 0000000000000001\n");
    // A record that is a link to a good record elsewhere does not count.
    const std::string linked = Folder("BrenMailTemp0007");
    Write(env.Path("record"), kEndedRunRecord);
    ASSERT_EQ(symlink(env.Path("record").c_str(), (linked + "/" + CMailTempFolders::kRecordFileName).c_str()),
              0);
    const std::string otherName = Folder("Mail0008", kEndedRunRecord);
    EXPECT_EQ(CMailTempFolders::RemoveStale(), 1);
    EXPECT_FALSE(Exists(ended));
    EXPECT_TRUE(Exists(second + "/Picture1.jpg"));
    EXPECT_EQ(CMailTempFolders::RemoveOwn(), 2);
    EXPECT_FALSE(Exists(first));
    EXPECT_FALSE(Exists(second));
    for (const std::string& kept : {running, foreign, garbled, noProcess, linked, otherName})
        EXPECT_TRUE(Exists(kept + "/Picture1.jpg")) << kept;
}

// Folders that are links themselves (the tree removal never follows links inside a folder).
TEST_F(MailTempFoldersTest, NeitherANumberedFolderNorTheMailFolderIsFollowedWhenItIsALink) {
    const std::string outside = env.Path("outside");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(outside + "/BrenMailTemp0001")));
    ASSERT_FALSE(CMailTempFolders::CreateNext().empty()); // the private mail folder, with one of ours
    Write(outside + "/BrenMailTemp0001/" + CMailTempFolders::kRecordFileName, kEndedRunRecord);
    Write(outside + "/BrenMailTemp0001/Picture1.jpg", "picture");
    ASSERT_EQ(symlink((outside + "/BrenMailTemp0001").c_str(), (root + "/BrenMailTemp0009").c_str()), 0);
    EXPECT_EQ(CMailTempFolders::RemoveStale(), 0);
    EXPECT_TRUE(Exists(root + "/BrenMailTemp0009"));
    ASSERT_TRUE(QDir(QString::fromStdString(root)).removeRecursively());
    ASSERT_EQ(symlink(outside.c_str(), root.c_str()), 0);
    EXPECT_EQ(CMailTempFolders::RemoveStale(), 0);
    EXPECT_EQ(CMailTempFolders::CreateNext(), "");
    EXPECT_EQ(ReadAll(outside + "/BrenMailTemp0001/Picture1.jpg"), "picture");
    EXPECT_FALSE(Exists(outside + "/BrenMailTemp0002"));
}

TEST_F(MailTempFoldersTest, TheFirstInstanceCleansUpAtStartAndAtExit) {
    const std::string stale = Folder("BrenMailTemp0001", kEndedRunRecord);
    const std::string foreign = Folder("BrenMailTemp0002");
    bool staleSeen = true;
    std::string made;
    {
        CVidoraApp app;
        // Where the main window is made: which folders are there while the program runs, and one made as a
        // send would.
        app.SetMainWindowFactory([&]() -> std::unique_ptr<CDialogBase> {
            staleSeen = Exists(stale);
            made = CMailTempFolders::CreateNext();
            return nullptr;
        });
        const char* args[] = {"vidora", "-hide"};
        app.InitInstance(2, const_cast<char**>(args));
        EXPECT_FALSE(staleSeen);
        EXPECT_EQ(made, root + "/BrenMailTemp0001");
        EXPECT_TRUE(Exists(made));
        app.ExitInstance();
    }
    EXPECT_FALSE(Exists(made));
    EXPECT_TRUE(Exists(foreign + "/Picture1.jpg"));
}
