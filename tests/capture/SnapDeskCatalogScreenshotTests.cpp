// A picture of both galleries side by side, for reviewing their look: written
// only when VIDORA_SCREENSHOT_DIR names a folder (scripts/screenshot.sh sets
// it); skipped otherwise.
#include "SnapDeskCatalogTestSupport.h"
#include "support/EventPump.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

TEST_F(SnapDeskCatalogTest, ScreenshotOfBothGalleries) {
    const char* folder = std::getenv("VIDORA_SCREENSHOT_DIR");
    if (folder == nullptr || *folder == '\0')
        GTEST_SKIP() << "VIDORA_SCREENSHOT_DIR is not set";
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::string media = TestMediaDir() + "/";
    const std::pair<const char*, const char*> copies[] = {
        {"jpeg-exif-orientation6-1200x1800.jpg", "Picture 1.jpg"},
        {"jpeg-grayscale-512x512.jpg", "Picture 2.jpg"},
        {"jpeg-progressive-444-512x512.jpg", "Picture 3.jpg"},
        {"jpeg-baseline-420-227x149-ijg.jpg", "Picture 4.jpg"},
        {"jpeg-exif-orientation8-1800x1200.jpg", "Picture 5.jpg"},
        {"wmv1-wma2-160x120-wmfsdk7.wmv", "Video 1.wmv"},
        {"wmv3-wma2-320x240-moviemaker21.wmv", "Motion 1.wmv"},
        {"wmv2-wma2-640x356-ffmpeg-lavf56.asf", "Video 2.wmv"},
    };
    int minute = 0;
    for (const auto& [from, to] : copies)
        Capture(to, 60 * ++minute, {}, media + from);
    Capture("Picture 6.jpg", 3600);

    QWidget window;
    window.setObjectName("galleries");
    window.setWindowTitle("Galleries");
    auto* row = new QHBoxLayout(&window);
    auto column = [&](const char* title, CSnapDeskCatalog* gallery) {
        auto* box = new QVBoxLayout;
        box->addWidget(new QLabel(QString::fromLatin1(title)));
        box->addWidget(gallery, 1);
        row->addLayout(box);
    };
    catalog->setParent(&window);
    auto videos = std::make_unique<CSnapDeskCatalog>(&window);
    videos->SetFolders(pictures, movies);
    column("Photos", catalog.get());
    column("Videos", videos.get());
    window.resize(820, 380);
    window.show();
    ASSERT_EQ(catalog->Fill(CSnapDeskCatalog::Pictures), S_OK);
    ASSERT_EQ(videos->Fill(CSnapDeskCatalog::Videos), S_OK);
    catalog->SelectItem(1, true);
    videos->SelectItem(0, true);
    DrainEvents();
    window.grab();
    PumpUntil(
        [&] {
            for (CSnapDeskCatalog* g : {catalog.get(), videos.get()})
                for (int i = 0; i < g->ItemCount(); ++i)
                    if (!g->HasThumbnail(i))
                        return false;
            return true;
        },
        10000);
    DrainEvents();
    const QString path = QString::fromLocal8Bit(folder) + "/gallery-both.png";
    EXPECT_TRUE(window.grab().save(path));
    videos.reset();
    catalog.release(); // the window owns it now and deletes it
}

} // namespace
