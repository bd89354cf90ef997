// The check of a finished recording: real movies from the simulated camera and from other software are
// kept, files too small or unreadable are deleted, and nothing is deleted when this machine lacks the
// plug-ins to read it (hidden from GStreamer's registry here).
#include "RecordingFixture.h"
#include "capture/CMovieRecording.h"
#include "capture/CRecordedMovieCheck.h"

#include <fstream>
#include <iterator>

namespace {

using V = RecordedMovieVerdict;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecordedMovieCheckTest : public RecordingFixture {
protected:
    // A real movie of two seconds from the simulated camera.
    std::string Record(const std::string& name) {
        const std::string file = Path(name);
        CMovieRecording recording;
        EXPECT_EQ(recording.Prepare(capture, file, false, false, "", {}), S_OK);
        EXPECT_EQ(recording.Start(&events, 0), S_OK);
        EXPECT_TRUE(RecordFrames());
        EXPECT_TRUE(recording.Stop());
        EXPECT_GT(SizeOf(file), 2 * CRecordedMovieCheck::kMinimumBytes);
        return file;
    }
    // A copy of a sample movie in the test's folder (the check may delete it).
    std::string Copy(const char* sample, size_t keepBytes = std::string::npos) {
        const std::string bytes = ReadAll(TestMediaDir() + "/" + sample);
        EXPECT_FALSE(bytes.empty()) << sample;
        env.WriteFile(std::string("copy of ") + sample, bytes.substr(0, keepBytes));
        return Path(std::string("copy of ") + sample);
    }

    CEventLog events;
};

TEST_F(RecordedMovieCheckTest, SmallEmptyAndMissingFilesAreToldApart) {
    const std::string small = Path("Video 1.wmv");
    const std::string junk = Path("Video 2.wmv");
    env.WriteFile("Video 1.wmv", std::string(CRecordedMovieCheck::kMinimumBytes, 'x'));
    env.WriteFile("Video 2.wmv", std::string(CRecordedMovieCheck::kMinimumBytes + 1, '\0'));
    ASSERT_TRUE(std::filesystem::create_directories(Path("Video 3.wmv")));

    const std::pair<std::string, V> rows[] = {
        {small, V::DeletedTooSmall},
        {junk, V::DeletedUnreadable},
        {Path("Video 3.wmv"), V::Missing}, // a folder is no recording, and is left alone
        {Path("never written.wmv"), V::Missing},
        {"", V::Missing},
    };
    for (const auto& [path, verdict] : rows)
        EXPECT_EQ(CRecordedMovieCheck::Check(path), verdict) << path;
    EXPECT_FALSE(Exists(small));
    EXPECT_FALSE(Exists(junk));
    EXPECT_TRUE(Exists(Path("Video 3.wmv")));
}

TEST_F(RecordedMovieCheckTest, ARecordingIsKeptAndOneCutOffInItsHeaderIsNot) {
    const std::string movie = Record("Video 1.wmv");
    EXPECT_EQ(CRecordedMovieCheck::Check(movie), V::Kept);
    ASSERT_TRUE(Exists(movie));

    // The start of the same recording padded past the minimum size: a broken file on which the gallery's
    // reader can only wait for its deadline; the check does not wait for it on top of its own.
    const std::string headerOnly = Path("Video 2.wmv");
    env.WriteFile("Video 2.wmv",
                  ReadAll(movie).substr(0, 100) + std::string(CRecordedMovieCheck::kMinimumBytes, '\0'));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(CRecordedMovieCheck::Check(headerOnly), V::DeletedUnreadable);
    EXPECT_LT(std::chrono::steady_clock::now() - started,
              std::chrono::milliseconds(CRecordedMovieCheck::kReadTimeoutMs + 2000));
    EXPECT_FALSE(Exists(headerOnly));
}

TEST_F(RecordedMovieCheckTest, MoviesFromOtherSoftwareAreJudgedByTheirPicture) {
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::pair<const char*, V> rows[] = {
        {"wmv3-wma2-320x240-moviemaker21.wmv", V::Kept},
        {"wmv1-wma2-160x120-wmfsdk7.wmv", V::Kept},
        {"vc1adv-wmapro-512x288-wmfsdk12.wmv", V::Kept},
        {"wmv2-wmavoice-160x112-wmfsdk9.wmv", V::Kept}, // its sound cannot be decoded, its picture can
        {"wmv2-wma2-640x356-ffmpeg-lavf56.asf", V::Kept},
        {"broken-headeronly-wvp2-wma-photostory3.wmv", V::DeletedUnreadable},
    };
    for (const auto& [sample, verdict] : rows) {
        const std::string copy = Copy(sample);
        EXPECT_EQ(CRecordedMovieCheck::Check(copy), verdict) << sample;
        EXPECT_EQ(Exists(copy), CRecordedMovieCheck::IsKept(verdict)) << sample;
    }
    // A real movie cut off a third of the way keeps its first picture.
    const std::string cut = Copy("vc1adv-wmapro-512x288-wmfsdk12.wmv", 853574 / 3);
    EXPECT_EQ(CRecordedMovieCheck::Check(cut), V::Kept);
}

TEST_F(RecordedMovieCheckTest, WithoutThePlugInsToReadItARecordingIsKeptUnread) {
    const std::string movie = Record("Video 1.wmv");
    const std::string contents = ReadAll(movie);
    const std::string zeros = Path("Video 2.wmv");
    env.WriteFile("Video 2.wmv", std::string(3 * CRecordedMovieCheck::kMinimumBytes, '\0'));

    for (const char* element : {"asfdemux", "avdec_wmv2"}) {
        SCOPED_TRACE(element);
        CHiddenElement hidden(element);
        ASSERT_TRUE(hidden.Hidden());
        EXPECT_TRUE(CRecordedMovieCheck::ReadingPluginMissing(movie));
        EXPECT_EQ(CRecordedMovieCheck::Check(movie), V::KeptUnchecked);
        EXPECT_EQ(ReadAll(movie), contents) << "left exactly as it was";
    }
    {
        // A missing demuxer does not shelter a file that is no movie at all.
        CHiddenElement hidden("asfdemux");
        EXPECT_EQ(CRecordedMovieCheck::Check(zeros), V::DeletedUnreadable);
    }
    EXPECT_FALSE(CRecordedMovieCheck::ReadingPluginMissing(movie)) << "all back";
    EXPECT_EQ(CRecordedMovieCheck::Check(movie), V::Kept);
}

} // namespace
