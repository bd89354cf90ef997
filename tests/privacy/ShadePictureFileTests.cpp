// Telling a usable shade picture from a broken one, on real files made by other programs, and finding a
// stand-in in a folder.
#include "privacy/CShadeMruList.h"
#include "privacy/CShadePictureFile.h"
#include "support/CTempEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using Problem = CShadePictureFile::Problem;

TEST(ShadePictureFile, ReadsRealPicturesAndRefusesBrokenOnes) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const struct {
        const char* file;
        Problem expected;
    } cases[] = {
        {"jpeg-baseline-420-227x149-ijg.jpg", Problem::None},
        {"jpeg-progressive-444-512x512.jpg", Problem::None},
        {"jpeg-grayscale-512x512.jpg", Problem::None},
        {"jpeg-exif-orientation6-1200x1800.jpg", Problem::None},
        {"bmp-24bit-127x64.bmp", Problem::None},
        {"jpeg-truncated-progressive-100x100-noeoi.jpg", Problem::NotAPicture},
        {"jpeg-bomb-65535x65535-186bytes.jpg", Problem::NotAPicture},
        {"gif-malformed-frame-65535x65535-bomb.gif", Problem::NotAPicture},
        {"xml-bad/w3c-notwf-sa039-mismatched-end-tag.xml", Problem::NotAPicture},
        {"no-such-file.jpg", Problem::Missing},
    };
    for (const auto& c : cases) {
        QImage image;
        EXPECT_EQ(CShadePictureFile::Decode(TestMediaDir() + "/" + c.file, image), c.expected) << c.file;
        EXPECT_EQ(image.isNull(), c.expected != Problem::None) << c.file;
    }
    // The orientation the camera wrote is applied: the picture stands as it was taken.
    QImage turned;
    ASSERT_EQ(CShadePictureFile::Decode(TestMediaDir() + "/jpeg-exif-orientation6-1200x1800.jpg", turned),
              Problem::None);
    EXPECT_GT(turned.width(), turned.height());
    QImage folder;
    EXPECT_EQ(CShadePictureFile::Decode(TestMediaDir(), folder), Problem::Unreadable);
}

TEST(ShadePictureFile, StandInIsTheFirstUsableJpegOfTheFolder) {
    VIDORA_REQUIRE_TEST_MEDIA();
    CTempEnvironment env;
    const QString folder = QString::fromStdString(env.Path("pictures"));
    QDir().mkpath(folder);
    const QString media = QString::fromStdString(TestMediaDir());
    QFile::copy(media + "/jpeg-truncated-progressive-100x100-noeoi.jpg", folder + "/broken.jpg");
    QFile::copy(media + "/bmp-24bit-127x64.bmp", folder + "/picture.bmp");
    QFile::copy(media + "/jpeg-grayscale-512x512.jpg", folder + "/skipped.JPG");
    env.WriteFile("pictures/notes.jpeg", "not a picture");
    EXPECT_EQ(CShadePictureFile::FirstPictureIn(folder.toStdString()), folder.toStdString() + "/skipped.JPG");
    EXPECT_EQ(CShadePictureFile::FirstPictureIn(folder.toStdString(), folder.toStdString() + "/SKIPPED.jpg"),
              "");
    EXPECT_EQ(CShadePictureFile::FirstPictureIn(env.Path("nowhere")), "");
    // What the shutter shows: the stored picture while it is usable, else the folder's stand-in.
    const std::string folderPath = folder.toStdString();
    EXPECT_EQ(CShadePictureFile::Usable(folderPath + "/skipped.JPG", env.Path("nowhere")),
              folderPath + "/skipped.JPG");
    EXPECT_EQ(CShadePictureFile::Usable(folderPath + "/gone.jpg", folderPath), folderPath + "/skipped.JPG");
    EXPECT_EQ(CShadePictureFile::Usable(folderPath + "/broken.jpg", env.Path("nowhere")), "");
}

// The most-recent order and the limit of five are checked through the window; here, what it does not show.
TEST(ShadeMruList, APictureUsedAgainMovesToTheFrontAndAShorterListLeavesNoStaleEntries) {
    CTempEnvironment env;
    CShadeMruList list;
    for (const char* path : {"/a.jpg", "/b.jpg", "/c.jpg"})
        list.Promote(path);
    list.Promote("/A.JPG"); // names compare without case
    EXPECT_EQ(list.Paths(), (std::vector<std::string>{"/A.JPG", "/c.jpg", "/b.jpg"}));
    list.Save();
    EXPECT_EQ(CShadeMruList::Load().Paths(), list.Paths());
    CShadeMruList shorter;
    shorter.Promote("/x.jpg");
    shorter.Save();
    EXPECT_EQ(CShadeMruList::Load().Paths(), std::vector<std::string>{"/x.jpg"});
}

} // namespace
