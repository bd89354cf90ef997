// Printing pictures: one page per readable picture (copies made when the printer cannot), the picture fitted
// and centred in the printable area, the dialog step replaced by a PDF printer.
#include "PdfOutput.h"
#include "capture/CPicturePrinter.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <memory>

namespace {

class PicturePrinterTest : public ::testing::Test {
protected:
    std::string Picture(const std::string& name, QSize size, const char* format = "JPG") {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const std::string path = env.Path(name);
        EXPECT_TRUE(image.save(QString::fromStdString(path), format));
        return path;
    }
    void TearDown() override { CPicturePrinter::SetPrinterChooserHook(nullptr); }

    CTempEnvironment env;
};

TEST_F(PicturePrinterTest, EachReadablePictureGetsAPage) {
    const std::string a = Picture("a.jpg", {64, 48});
    const std::string b = Picture("b.png", {30, 90}, "PNG");
    env.WriteFile("broken.jpg", "not a picture");
    auto printer = PdfPrinter(env.Path("out.pdf"));
    EXPECT_EQ(CPicturePrinter::Print(*printer, {a, env.Path("broken.jpg"), env.Path("gone.jpg"), b}), 2);
    EXPECT_EQ(PdfPageCount(env.Path("out.pdf")), 2);
    // Nothing readable starts no document.
    auto none = PdfPrinter(env.Path("none.pdf"));
    EXPECT_EQ(CPicturePrinter::Print(*none, {env.Path("broken.jpg"), env.Path("missing.jpg")}), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(env.Path("none.pdf"))));
}

TEST_F(PicturePrinterTest, CopiesArePrintedWhenThePrinterCannotMakeThem) {
    const std::string a = Picture("a.jpg", {64, 48});
    const std::string b = Picture("b.jpg", {48, 64});
    for (bool collate : {true, false}) {
        SCOPED_TRACE(collate);
        auto printer = PdfPrinter(env.Path("copies.pdf"));
        printer->setCopyCount(3);
        printer->setCollateCopies(collate);
        ASSERT_FALSE(printer->supportsMultipleCopies());
        EXPECT_EQ(CPicturePrinter::Print(*printer, {a, b}), 2);
        EXPECT_EQ(PdfPageCount(env.Path("copies.pdf")), 6);
    }
}

TEST_F(PicturePrinterTest, AHugePictureIsReadAtABoundedSize) {
    // Only the header claims the size; the reader must not decode it at full size.
    const std::string path = Picture("big.png", {7000, 100}, "PNG");
    const QImage image = CPicturePrinter::LoadPicture(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_LE(image.width(), CPicturePrinter::kMaxPictureSide);
    EXPECT_NEAR(double(image.width()) / image.height(), 70.0, 1.0);
}

TEST_F(PicturePrinterTest, HostileAndBrokenSampleFilesAreLeftOutOrBounded) {
    VIDORA_REQUIRE_TEST_MEDIA();
    for (const char* name :
         {"jpeg-bomb-65535x65535-186bytes.jpg", "jpeg-truncated-progressive-100x100-noeoi.jpg",
          "gif-malformed-frame-65535x65535-bomb.gif", "jpeg-cmyk-adobe-256x256.jpg"}) {
        const QImage image = CPicturePrinter::LoadPicture(TestMediaDir() + "/" + name);
        EXPECT_LE(image.width(), CPicturePrinter::kMaxPictureSide) << name;
        EXPECT_LE(image.height(), CPicturePrinter::kMaxPictureSide) << name;
    }
    auto printer = PdfPrinter(env.Path("samples.pdf"));
    const int printed =
        CPicturePrinter::Print(*printer, {TestMediaDir() + "/jpeg-exif-orientation6-1200x1800.jpg",
                                          TestMediaDir() + "/bmp-24bit-127x64.bmp",
                                          TestMediaDir() + "/wmv1-wma2-160x120-wmfsdk7.wmv"});
    EXPECT_EQ(printed, 2);
    EXPECT_EQ(PdfPageCount(env.Path("samples.pdf")), 2);
}

TEST_F(PicturePrinterTest, PicturesAreTurnedUprightByTheirOrientationTag) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QImageWriter writer(QString::fromStdString(env.Path("turned.jpg")), "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(image));
    const QImage loaded = CPicturePrinter::LoadPicture(env.Path("turned.jpg"));
    EXPECT_EQ(loaded.size(), QSize(20, 40));
}

TEST(PicturePlacement, FitsKeepingProportionsAndCentres) {
    struct Case {
        QSize picture;
        QRect area;
        QRect expected;
    };
    const Case cases[] = {
        {{400, 300}, {0, 0, 800, 1000}, {0, 200, 800, 600}},  // landscape on portrait: centred vertically
        {{300, 400}, {0, 0, 1000, 800}, {200, 0, 600, 800}},  // portrait on landscape: centred sideways
        {{10, 10}, {0, 0, 500, 300}, {100, 0, 300, 300}},     // small pictures grow to fill
        {{800, 600}, {10, 20, 400, 300}, {10, 20, 400, 300}}, // same proportions: the whole area
        {{0, 10}, {0, 0, 100, 100}, {}},                      // nothing to draw
        {{10, 10}, {0, 0, 0, 100}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CPicturePrinter::FitRect(c.picture, c.area), c.expected)
            << c.picture.width() << "x" << c.picture.height();
}

} // namespace
