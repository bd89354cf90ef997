// Moving captures to the Trash (a temporary one under XDG_DATA_HOME): what goes, what is already gone, and
// that nothing outside the gallery's folder is ever moved.
#include "capture/CCaptureTrash.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

using Outcome = CCaptureTrash::Outcome;

class CaptureTrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = env.Path("Pictures/Vidora");
        QDir().mkpath(QString::fromStdString(folder));
        env.WriteFile("Pictures/Vidora/Picture 1.jpg", "one");
        env.WriteFile("Pictures/outside.jpg", "outside");
        QDir().mkpath(QString::fromStdString(folder + "/Picture 9.jpg"));
        QFile::link(QString::fromStdString(env.Path("Pictures/outside.jpg")),
                    QString::fromStdString(folder + "/Picture 2.jpg"));
        QFile::link(QString::fromStdString(env.Path("nowhere.jpg")),
                    QString::fromStdString(folder + "/Picture 3.jpg"));
    }
    bool Exists(const std::string& relative) const {
        return QFileInfo(QString::fromStdString(env.Path(relative))).exists();
    }

    CTempEnvironment env;
    std::string folder;
};

TEST_F(CaptureTrashTest, OnlyPlainFilesInsideTheFolderGo) {
    struct Case {
        const char* what;
        std::string path;
        Outcome outcome;
    };
    const Case cases[] = {
        {"a link leading out of the folder", folder + "/Picture 2.jpg", Outcome::Refused},
        {"a dangling link", folder + "/Picture 3.jpg", Outcome::Refused},
        {"a folder with a capture's name", folder + "/Picture 9.jpg", Outcome::Refused},
        {"a file outside", env.Path("Pictures/outside.jpg"), Outcome::Refused},
        {"a way out through ..", folder + "/../outside.jpg", Outcome::Refused},
        {"the folder itself", folder, Outcome::Refused},
        {"a file that has gone", folder + "/Picture 4.jpg", Outcome::Gone},
        {"a capture", folder + "/Picture 1.jpg", Outcome::Trashed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCaptureTrash::MoveToTrash(c.path, folder), c.outcome) << c.what;
    EXPECT_TRUE(Exists("Pictures/outside.jpg"));
    EXPECT_FALSE(Exists("Pictures/Vidora/Picture 1.jpg"));
    EXPECT_TRUE(Exists("data/Trash/files/Picture 1.jpg"));
    QFile info(QString::fromStdString(env.Path("data/Trash/info/Picture 1.jpg.trashinfo")));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    const QByteArray text = info.readAll();
    EXPECT_TRUE(text.contains("[Trash Info]"));
    EXPECT_TRUE(text.contains("Path="));
}

TEST_F(CaptureTrashTest, AFileThatCannotBeTrashedStays) {
    QDir().mkpath(QString::fromStdString(env.Path("data")));
    env.WriteFile("data/Trash", "a file where the Trash folder should be");
    EXPECT_EQ(CCaptureTrash::MoveToTrash(folder + "/Picture 1.jpg", folder), Outcome::Failed);
    EXPECT_TRUE(Exists("Pictures/Vidora/Picture 1.jpg"));
}

} // namespace
