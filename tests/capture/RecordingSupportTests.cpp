// What recording needs from the machine: the .wmv plug-ins (some hidden from GStreamer's registry to stand
// for a machine without them) and room on the disk.
#include "RecordingFixture.h"
#include "capture/CRecordingSupport.h"

#include <QStorageInfo>

#include <memory>

namespace {

TEST(RecordingSupport, MissingPlugInsAreNamedWithThePackagesThatBringThem) {
    CRecordingSupport::EnsureGStreamer();
    ASSERT_TRUE(CRecordingSupport::WmvAvailable()) << "this machine records movies";
    EXPECT_TRUE(CRecordingSupport::MissingRecordingPlugins().empty());
    EXPECT_EQ(CRecordingSupport::MissingPackagesHint(), "");

    struct Row {
        std::vector<const char*> hidden;
        std::vector<std::string> missing;
        std::string hint;
    };
    const Row rows[] = {
        {{"avenc_wmv2"}, {"avenc_wmv2"}, "gstreamer1.0-libav"},
        {{"avenc_wmav2", "avenc_wmv2"}, {"avenc_wmv2", "avenc_wmav2"}, "gstreamer1.0-libav"},
        {{"asfdemux"}, {"asfdemux"}, "gstreamer1.0-plugins-ugly"},
        {{"asfmux"}, {"asfmux"}, "gstreamer1.0-plugins-bad"},
        {{"asfdemux", "avenc_wmav2", "asfmux"},
         {"avenc_wmav2", "asfmux", "asfdemux"},
         "gstreamer1.0-libav gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hint);
        std::vector<std::unique_ptr<CHiddenElement>> hidden;
        for (const char* name : row.hidden) {
            hidden.push_back(std::make_unique<CHiddenElement>(name));
            ASSERT_TRUE(hidden.back()->Hidden()) << name;
        }
        EXPECT_FALSE(CRecordingSupport::WmvAvailable());
        EXPECT_EQ(CRecordingSupport::MissingRecordingPlugins(), row.missing);
        EXPECT_EQ(CRecordingSupport::MissingPackagesHint(), row.hint);
    }
    EXPECT_TRUE(CRecordingSupport::WmvAvailable()) << "every element is back";
    EXPECT_EQ(CRecordingSupport::PackageOf("videoconvert"), "") << "not one of the recording elements";
}

TEST(RecordingSupport, RoomToRecordFollowsTheFreeSpaceOfTheFolderDisk) {
    CTempEnvironment env;
    const std::string folder = env.Path("videos");
    ASSERT_TRUE(std::filesystem::create_directories(folder));
    const QStorageInfo storage(QString::fromStdString(folder));
    ASSERT_TRUE(storage.isValid());
    const auto total = static_cast<uint64_t>(storage.bytesTotal());

    // A floor above anything the disk can have free stops recording; no floor lets it go on.
    EXPECT_FALSE(CRecordingSupport::HasRoomToRecord(folder, total));
    EXPECT_TRUE(CRecordingSupport::HasRoomToRecord(folder, 0));
    // A movie file that is still to be written is judged by its folder, however deep the missing part.
    EXPECT_FALSE(CRecordingSupport::HasRoomToRecord(folder + "/Video 1.wmv", total));
    EXPECT_TRUE(CRecordingSupport::HasRoomToRecord(folder + "/not/yet/made/Video 1.wmv", 0));
    EXPECT_FALSE(CRecordingSupport::HasRoomToRecord(folder + "/not/yet/made/Video 1.wmv", total));
    // Nothing to judge by: recording is not blocked.
    EXPECT_TRUE(CRecordingSupport::HasRoomToRecord("", total));
}

} // namespace
