// Naming new captures: the numbers tried from the counter, the counter kept, names taken whatever their case,
// the search after a folder full of captures, and the file reserved for the capture.
#include "app/CVidoraSettings.h"
#include "capture/CCaptureFileNamer.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

class CaptureFileNamerTest : public ::testing::Test {
protected:
    void SetUp() override {
        pictures = env.Path("pics");
        movies = env.Path("movies");
        QDir().mkpath(QString::fromStdString(pictures));
        QDir().mkpath(QString::fromStdString(movies));
    }
    void Touch(const std::string& folder, const std::string& name) {
        QFile f(QString::fromStdString(folder + "/" + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    std::string Next(int kind, HRESULT* hr = nullptr) {
        CCaptureFileNamer namer(pictures, movies);
        std::string path;
        const HRESULT r = namer.NextFileName(kind, path);
        if (hr != nullptr)
            *hr = r;
        return path;
    }

    CTempEnvironment env;
    std::string pictures;
    std::string movies;
};

TEST_F(CaptureFileNamerTest, NumbersTriedFromTheCounter) {
    struct Case {
        const char* what;
        uint32_t counter;
        std::vector<int> present;
        int expected;
    };
    const std::vector<int> oneToTen{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const Case cases[] = {
        {"empty folder", 1, {}, 1},
        {"counter on a free number", 5, {1, 2, 3, 4}, 5},
        {"counter on the last capture", 3, {1, 2, 3}, 4},
        {"ten taken in a row jump to +20", 1, oneToTen, 21},
        {"then +31", 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 21}, 32},
        {"gaps are used", 1, {1, 2, 4}, 3},
        {"numbers between the tries are skipped", 1, {11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 1},
        {"counter zero", 0, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(QString::fromStdString(pictures)).removeRecursively();
        QDir().mkpath(QString::fromStdString(pictures));
        for (int n : c.present)
            Touch(pictures, "Picture " + std::to_string(n) + ".jpg");
        CVidoraSettings::SetPictureIndex(c.counter);
        HRESULT hr = E_FAIL;
        const std::string path = Next(CCaptureFileNamer::Picture, &hr);
        ASSERT_EQ(hr, S_OK);
        EXPECT_EQ(path, pictures + "/Picture " + std::to_string(c.expected) + ".jpg");
        EXPECT_EQ(CVidoraSettings::GetPictureIndex(), static_cast<uint32_t>(c.expected));
    }
}

TEST_F(CaptureFileNamerTest, EachKindHasItsFolderNameAndCounter) {
    EXPECT_EQ(Next(CCaptureFileNamer::MotionClip), movies + "/Motion 1.wmv") << "the counter starts at one";
    CVidoraSettings::SetPictureIndex(3);
    CVidoraSettings::SetMovieIndex(7);
    CVidoraSettings::SetMotionIndex(11);
    EXPECT_EQ(Next(CCaptureFileNamer::Picture), pictures + "/Picture 3.jpg");
    EXPECT_EQ(Next(CCaptureFileNamer::Movie), movies + "/Video 7.wmv");
    EXPECT_EQ(Next(CCaptureFileNamer::MotionClip), movies + "/Motion 11.wmv");
    // A second call starts on the number just used and moves on by one.
    EXPECT_EQ(Next(CCaptureFileNamer::Movie), movies + "/Video 8.wmv");
    EXPECT_EQ(CVidoraSettings::GetMovieIndex(), 8u);
    EXPECT_EQ(CVidoraSettings::GetMotionIndex(), 11u);
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 3u);
}

TEST_F(CaptureFileNamerTest, NamesTakenInAnyCaseOrByAFolderAreNotFree) {
    Touch(pictures, "PICTURE 1.JPG");
    QDir().mkpath(QString::fromStdString(pictures + "/Picture 2.jpg"));
    Touch(pictures, "picture 3.jpg");
    Touch(movies, "VIDEO 1.wmv");
    EXPECT_EQ(Next(CCaptureFileNamer::Picture), pictures + "/Picture 4.jpg");
    EXPECT_EQ(Next(CCaptureFileNamer::Movie), movies + "/Video 2.wmv");
}

TEST_F(CaptureFileNamerTest, AfterAHundredTakenNamesTheSearchGoesOnAfterTheHighest) {
    // Every number the hundred tries reach from 1: 1..10, then 21, 32, ..., 1000.
    std::vector<int64_t> tried;
    for (int64_t i = 1, t = 1; t <= CCaptureFileNamer::kMaxTries; ++t, ++i) {
        if (t > 10)
            i += 10;
        tried.push_back(i);
    }
    for (int64_t n : tried)
        Touch(pictures, "Picture " + std::to_string(n) + ".jpg");
    Touch(pictures, "Picture 4711.jpg");
    Touch(pictures, "Picture 99999.txt"); // not a picture capture
    HRESULT hr = E_FAIL;
    EXPECT_EQ(Next(CCaptureFileNamer::Picture, &hr), pictures + "/Picture 4712.jpg");
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 4712u);
}

TEST_F(CaptureFileNamerTest, TheNameIsReservedAsAnEmptyFile) {
    const std::string path = Next(CCaptureFileNamer::Picture);
    const QFileInfo info(QString::fromStdString(path));
    ASSERT_TRUE(info.exists());
    EXPECT_EQ(info.size(), 0);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0600, 0600u);
    EXPECT_EQ(st.st_mode & 0022, 0u);
    // The next call does not hand out the same name even though the counter points at it.
    EXPECT_NE(Next(CCaptureFileNamer::Picture), path);
}

TEST_F(CaptureFileNamerTest, TwoNamersAtOnceNeverShareAName) {
    // Both start from the same counter value; only the exclusive creation keeps them apart.
    std::vector<std::string> a(20), b(20);
    CCaptureFileNamer::CounterStore fixed{[](int) -> uint32_t { return 1; },
                                          [](int, uint32_t) { return S_OK; }};
    auto run = [&](std::vector<std::string>& out) {
        CCaptureFileNamer namer(pictures, movies);
        namer.SetCounterStore(fixed);
        for (std::string& p : out)
            namer.NextFileName(CCaptureFileNamer::Picture, p);
    };
    std::thread t1(run, std::ref(a));
    std::thread t2(run, std::ref(b));
    t1.join();
    t2.join();
    std::set<std::string> all(a.begin(), a.end());
    all.insert(b.begin(), b.end());
    all.erase("");
    EXPECT_EQ(all.size(), 40u);
}

TEST_F(CaptureFileNamerTest, FailuresLeaveTheCounterAlone) {
    CVidoraSettings::SetPictureIndex(9);
    std::string path = "unchanged";
    struct Case {
        const char* what;
        std::string pictureFolder;
        int kind;
    };
    const Case cases[] = {
        {"unknown kind", pictures, 3},
        {"negative kind", pictures, -1},
        {"empty folder", "", CCaptureFileNamer::Picture},
        {"relative folder", "pics", CCaptureFileNamer::Picture},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCaptureFileNamer namer(c.pictureFolder, movies);
        EXPECT_EQ(namer.NextFileName(c.kind, path), E_FAIL);
        EXPECT_EQ(path, "unchanged");
    }
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 9u);
    EXPECT_FALSE(QDir("pics").exists());
}

TEST_F(CaptureFileNamerTest, AFolderThatRefusesNewFilesFails) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    CVidoraSettings::SetPictureIndex(4);
    ASSERT_EQ(::chmod(pictures.c_str(), 0500), 0);
    HRESULT hr = S_OK;
    Next(CCaptureFileNamer::Picture, &hr);
    ::chmod(pictures.c_str(), 0700);
    EXPECT_EQ(hr, E_FAIL);
    EXPECT_EQ(CVidoraSettings::GetPictureIndex(), 4u);
}

TEST_F(CaptureFileNamerTest, AMissingFolderIsMade) {
    pictures = env.Path("new/Vidora");
    EXPECT_EQ(Next(CCaptureFileNamer::Picture), pictures + "/Picture 1.jpg");
}

TEST(CaptureFileNames, NumbersAreReadOnlyFromCaptureNames) {
    struct Case {
        int kind;
        const char* name;
        int64_t number;
    };
    const Case cases[] = {
        {CCaptureFileNamer::Picture, "Picture 12.jpg", 12},
        {CCaptureFileNamer::Picture, "picture 7.JPG", 7},
        {CCaptureFileNamer::Picture, "Picture12.jpg", -1},
        {CCaptureFileNamer::Picture, "Picture .jpg", -1},
        {CCaptureFileNamer::Picture, "Picture 1a.jpg", -1},
        {CCaptureFileNamer::Picture, "Picture 3.wmv", -1},
        {CCaptureFileNamer::Movie, "Video 3.wmv", 3},
        {CCaptureFileNamer::Movie, "Motion 3.wmv", -1},
        {CCaptureFileNamer::MotionClip, "MOTION 40.WMV", 40},
        {5, "Picture 1.jpg", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCaptureFileNamer::NumberInName(c.kind, c.name), c.number) << c.name;
}

} // namespace
