// Replaceable graphics and icons: the OEM folder's pictures, the "NoReplace" table and hostile image files.
#include "COEMTestFixture.h"
#include "config/CVidoraOEMInfo.h"

#include <QImageWriter>

namespace {
class OEMGraphicsTest : public COEMTestFixture {
protected:
    void SetUp() override {
        COEMTestFixture::SetUp();
        // The built-in images: a 1x1 picture for resource 42, nothing for anything else.
        COEMInfo::SetImageSource([this](uint32_t id, QImage& image) {
            ++builtInRequests;
            if (id != 42)
                return false;
            image = QImage(1, 1, QImage::Format_RGB32);
            image.fill(Qt::blue);
            return true;
        });
    }
    void TearDown() override {
        COEMInfo::SetImageSource(nullptr);
        COEMTestFixture::TearDown();
    }
    // A real PNG of that size in the OEM folder.
    void WriteOEMPicture(const std::string& name, int width, int height, const char* format = "PNG") {
        env.WriteFile("bin/OEM/.keep", "");
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString(env.Path("bin/OEM/" + name)), format));
    }
    std::string Media(const std::string& name) { return TestMediaDir() + "/" + name; }

    int builtInRequests = 0;
};
} // namespace

// Names of pictures and of "NoReplace" entries are compared without regard to case.
TEST_F(OEMGraphicsTest, NoReplaceKeepsTheBuiltInPictureForItsLanguageOnly) {
    WriteOEMBody(R"(<Graphics><NoReplace Id="LOGO.png" LanguageId="1033"/></Graphics>)");
    WriteOEMPicture("Logo.PNG", 4, 2);
    CVidoraOEMInfo info;
    QImage image;

    SetUiLanguage(1033);
    EXPECT_FALSE(info.LoadGraphic("logo.png", image));
    ASSERT_TRUE(info.GetGraphic("logo.png", 42, image));
    EXPECT_EQ(image.size(), QSize(1, 1)); // the built-in logo

    SetUiLanguage(1031);
    ASSERT_TRUE(info.LoadGraphic("logo.png", image));
    EXPECT_EQ(image.size(), QSize(4, 2));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    builtInRequests = 0;
    ASSERT_TRUE(info.GetGraphic("logo.png", 42, image));
    EXPECT_EQ(image.size(), QSize(4, 2));
    EXPECT_EQ(builtInRequests, 0);
}

TEST_F(OEMGraphicsTest, MissingBrokenAndOversizedPicturesFallBackToTheBuiltInOne) {
    CVidoraOEMInfo info;
    QImage builtIn, untouched;
    EXPECT_FALSE(info.LoadGraphic("logo.png", builtIn)) << "no OEM picture";
    ASSERT_TRUE(info.GetGraphic("logo.png", 42, builtIn));
    EXPECT_EQ(builtIn.size(), QSize(1, 1));
    EXPECT_FALSE(info.GetGraphic("logo.png", 7, untouched)) << "no picture and no built-in one";
    EXPECT_TRUE(untouched.isNull());
    VIDORA_REQUIRE_TEST_MEDIA();
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"jpeg-bomb-65535x65535-186bytes.jpg", "bomb.jpg"},
        {"gif-malformed-empty-loop-stall.gif", "stall.gif"},
        {"gif-malformed-frame-65535x65535-bomb.gif", "frame.gif"},
    };
    for (const auto& [source, name] : hostile) {
        CopyIntoOEM(Media(source), name);
        QImage image;
        EXPECT_FALSE(info.LoadGraphic(name, image)) << source;
        ASSERT_TRUE(info.GetGraphic(name, 42, image)) << source;
        EXPECT_EQ(image.size(), QSize(1, 1)) << source;
    }
    env.WriteFile("bin/OEM/text.png", "this is not a picture");
    QImage image;
    EXPECT_FALSE(info.LoadGraphic("text.png", image));
    WriteOEMPicture("wide.png", COEMInfo::kMaxImageSide + 1, 1);
    EXPECT_FALSE(info.LoadGraphic("wide.png", image));
    EXPECT_TRUE(image.isNull());
}

TEST_F(OEMGraphicsTest, IconsComeFromTheOEMFolderElseTheResourceLibrary) {
    WriteOEMPicture("app.png", 16, 16);
    const bool icoFormat = QImageWriter::supportedImageFormats().contains("ico");
    if (icoFormat)
        WriteOEMPicture("app.ico", 32, 32, "ICO");
    CVidoraOEMInfo info;
    QIcon icon = info.LoadIconFile("App.png", 1999999);
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    if (icoFormat) {
        icon = info.LoadIconFile("app.ico", 1999999);
        ASSERT_FALSE(icon.isNull());
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    }
    // No OEM file and no such resource: a null icon, not a crash.
    EXPECT_TRUE(info.LoadIconFile("missing.ico", 1999999).isNull());
    env.WriteFile("bin/OEM/broken.ico", "garbage");
    EXPECT_TRUE(info.LoadIconFile("broken.ico", 1999999).isNull());
    if (TestMediaAvailable()) {
        CopyIntoOEM(Media("jpeg-bomb-65535x65535-186bytes.jpg"), "bomb.ico");
        EXPECT_TRUE(info.LoadIconFile("bomb.ico", 1999999).isNull());
    }
}
