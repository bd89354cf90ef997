// The preferences' rules that need no window: how calling programs are named and matched, and which folders
// may hold the captures.
#include "settings/CCallingProgramNames.h"
#include "settings/CCaptureFolderCheck.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Names = CCallingProgramNames;
using Verdict = CCaptureFolderCheck::Verdict;

TEST(CallingProgramNamesTest, TritonIsDroppedAndBlanksTrimmedWhenShownAndCompared) {
    struct Case {
        const char* name;
        const char* shown;
    } cases[] = {
        {"AIM Triton", "AIM"}, {"AIM", "AIM"}, {"Triton AIM  ", "AIM"},      {"AIMTritonTriton", "AIM"},
        {"Triton", ""},        {"  ", ""},     {"AIM triton", "AIM triton"}, // only the word as the program
                                                                             // writes it
    };
    for (const Case& c : cases)
        EXPECT_EQ(Names::Shown(c.name), c.shown) << c.name;

    const std::vector<std::string> entries = {"Skype", "AIM", "Yahoo! Messenger"};
    EXPECT_EQ(Names::Find(entries, "aim Triton"), 1);
    EXPECT_EQ(Names::Find(entries, "SKYPE "), 0);
    EXPECT_EQ(Names::Find(entries, "Skype2"), -1);
    EXPECT_EQ(Names::Find({""}, ""), -1) << "an empty stored choice matches nothing, not the empty entry";
}

class CaptureFolderCheckTest : public ::testing::Test {
protected:
    std::string Folder(const std::string& relative) {
        const std::string path = env.Path(relative);
        QDir().mkpath(QString::fromStdString(path));
        return path;
    }
    CTempEnvironment env;
};

TEST_F(CaptureFolderCheckTest, SystemFoldersAreRefusedButTheUsersOwnAreNot) {
    struct Case {
        const char* path;
        const char* home;
        bool system;
    } cases[] = {
        {"/", "/home/ann", true},
        {"/etc", "/home/ann", true},
        {"/usr/share/pictures", "/home/ann", true},
        {"/var/tmp/shots", "/home/ann", true},
        {"/proc/1", "/home/ann", true},
        {"/home", "/home/ann", true},
        {"/tmp", "/home/ann", true},
        {"/home/ann", "/home/ann", false},
        {"/home/bob/Pictures", "/home/ann", false},
        {"/media/ann/CARD", "/home/ann", false},
        {"/tmp/shots", "/home/ann", false},
        {"/usrdata/photos", "/home/ann", false},
        {"/etcetera", "/home/ann", false},
        {"/var/home/ann/Pictures", "/var/home/ann", false}, // a home inside a system tree stays the user's
        {"/var/home/bob", "/var/home/ann", true},
        {"/etc/x", "/", true}, // a home of "/" makes nothing the user's
        {"relative/folder", "/home/ann", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCaptureFolderCheck::IsSystemFolder(c.path, c.home), c.system) << c.path;
}

TEST_F(CaptureFolderCheckTest, AFolderMustExistBeOurOwnAndTakeAFile) {
    const std::string shots = Folder("home/Shots");
    EXPECT_EQ(CCaptureFolderCheck::Check(shots), Verdict::Usable);
    EXPECT_TRUE(QDir(QString::fromStdString(shots)).isEmpty()) << "the test file is removed again";
    EXPECT_EQ(CCaptureFolderCheck::Check(env.Path("home/missing")), Verdict::Missing);
    env.WriteFile("home/file.txt", "x");
    EXPECT_EQ(CCaptureFolderCheck::Check(env.Path("home/file.txt")), Verdict::Missing);
    EXPECT_EQ(CCaptureFolderCheck::Check(""), Verdict::Missing);
    EXPECT_EQ(CCaptureFolderCheck::Check("/etc"), Verdict::SystemFolder);
    // A link is judged by where it leads.
    ASSERT_EQ(symlink("/usr/share", env.Path("home/shared").c_str()), 0);
    EXPECT_EQ(CCaptureFolderCheck::Check(env.Path("home/shared")), Verdict::SystemFolder);

    const std::string locked = Folder("home/Locked");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    if (geteuid() != 0) { // the superuser writes anywhere
        EXPECT_EQ(CCaptureFolderCheck::Check(locked), Verdict::NotWritable);
    }
    chmod(locked.c_str(), 0755);
}

} // namespace
