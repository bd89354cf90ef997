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

    struct stat info {};
    ASSERT_EQ(lstat(root.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(lstat(next.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(ReadAll(next + "/" + CMailTempFolders::kRecordFileName), CMailTempFolders::OwnRecord());
    // A folder made by somebody else is never given our record.
    EXPECT_FALSE(Exists(root + "/BrenMailTemp0002/" + CMailTempFolders::kRecordFileName));
}

TEST_F(MailTempFoldersTest, RecognisesItsFolderNamesAndRecords) {
    struct NameCase {
        const char* name;
        bool ours;
    };
    for (const NameCase& c : {NameCase{"BrenMailTemp0001", true}, NameCase{"BRENMAILTEMP12", true},
                              NameCase{"BrenMailTemp", false}, NameCase{"BrenMailTemp00a1", false},
                              NameCase{"XBrenMailTemp0001", false}, NameCase{"BrenMailTemp0001.old", false}})
        EXPECT_EQ(CMailTempFolders::IsFolderName(c.name), c.ours) << c.name;

    struct RecordCase {
        const char* record;
        long pid;
    };
    for (const RecordCase& c :
         {RecordCase{"vidora-mail 42 0123456789abcdef\n", 42}, RecordCase{"vidora-mail 42", 0},
          RecordCase{"vidora-mail -3 x\n", 0}, RecordCase{"vidora-mail 0 x\n", 0},
          RecordCase{"other 42 x\n", 0}, RecordCase{"", 0}})
        EXPECT_EQ(CMailTempFolders::RecordedProcess(c.record), c.pid) << c.record;
    EXPECT_EQ(CMailTempFolders::RecordedProcess(CMailTempFolders::OwnRecord()), static_cast<long>(getpid()));
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
    for (const std::string& kept : {running, foreign, garbled, linked, otherName})
        EXPECT_TRUE(Exists(kept + "/Picture1.jpg")) << kept;
}

TEST_F(MailTempFoldersTest, DeletingNeverFollowsALink) {
    // Outside the mail folder: a folder and a file that links inside our folder point at.
    const std::string outside = env.Path("outside");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(outside + "/keep")));
    Write(outside + "/keep/precious.jpg", "precious");
    Write(outside + "/precious.txt", "precious");
    const std::string mine = CMailTempFolders::CreateNext();
    ASSERT_EQ(symlink((outside + "/keep").c_str(), (mine + "/linked-folder").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/precious.txt").c_str(), (mine + "/linked-file").c_str()), 0);
    // A link in place of a numbered folder, to a folder that carries a record of an ended run.
    Write(outside + "/keep/" + CMailTempFolders::kRecordFileName, kEndedRunRecord);
    ASSERT_EQ(symlink((outside + "/keep").c_str(), (root + "/BrenMailTemp0009").c_str()), 0);

    EXPECT_EQ(CMailTempFolders::RemoveOwn(), 1);
    EXPECT_EQ(CMailTempFolders::RemoveStale(), 0);
    EXPECT_FALSE(Exists(mine));
    EXPECT_TRUE(Exists(root + "/BrenMailTemp0009"));
    EXPECT_EQ(ReadAll(outside + "/keep/precious.jpg"), "precious");
    EXPECT_EQ(ReadAll(outside + "/precious.txt"), "precious");
}

TEST_F(MailTempFoldersTest, AMailFolderThatIsALinkIsNeitherUsedNorSearched) {
    const std::string outside = env.Path("outside");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(outside + "/BrenMailTemp0001")));
    Write(outside + "/BrenMailTemp0001/" + CMailTempFolders::kRecordFileName, kEndedRunRecord);
    ASSERT_EQ(symlink(outside.c_str(), root.c_str()), 0);

    EXPECT_EQ(CMailTempFolders::CreateNext(), "");
    EXPECT_EQ(CMailTempFolders::RemoveStale(), 0);
    EXPECT_TRUE(Exists(outside + "/BrenMailTemp0001/" + CMailTempFolders::kRecordFileName));
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
