// Where the ribbon is put, and the images and texts of its layout as shipped.
#include "config/CVidoraOEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/CSystemInfo.h"
#include "ribbon/CRibbonPlacement.h"
#include "support/CTempEnvironment.h"
#include "ui/CDialogTemplate.h"
#include "ui/CImageCache.h"

#include <gtest/gtest.h>

namespace {

QImage LibraryImage(uint32_t id) {
    return CImageCache::Decode(CResourceLibrary::Instance().GetData(ResourceType::Png, id));
}

std::vector<uint32_t> Ids(const std::string& list) {
    std::vector<uint32_t> ids;
    for (const QString& part : QString::fromStdString(list).split(QLatin1Char(','), Qt::SkipEmptyParts))
        ids.push_back(part.trimmed().toUInt());
    return ids;
}

} // namespace

TEST(RibbonResourceTest, EveryImageOfTheLayoutExistsAtTwiceItsControlsSizeAndButtonStatesDiffer) {
    std::string error;
    const auto layout = CDialogTemplate::Load(102, &error);
    ASSERT_TRUE(layout.has_value()) << error;
    EXPECT_EQ(layout->size.width(), 63);
    int checked = 0, buttons = 0;
    for (const auto& control : layout->controls) {
        SCOPED_TRACE(control.id);
        const std::vector<uint32_t> states = Ids(control.Attribute("images"));
        std::vector<uint32_t> ids = Ids(control.Attribute("checkedimages"));
        ids.insert(ids.end(), states.begin(), states.end());
        if (!control.Attribute("image").empty())
            ids.push_back(static_cast<uint32_t>(std::stoul(control.Attribute("image"))));
        for (uint32_t id : ids) {
            const QImage image = LibraryImage(id);
            ASSERT_FALSE(image.isNull()) << "image " << id;
            EXPECT_EQ(image.size(), control.rect.size() * 2) << "image " << id;
            ++checked;
        }
        EXPECT_TRUE(QRect(QPoint(0, 0), layout->size).contains(control.rect));
        // Normal, hover, pressed and disabled must be told apart by the user.
        if (states.size() == 4) {
            ++buttons;
            for (size_t a = 0; a < 4; ++a)
                for (size_t b = a + 1; b < 4; ++b)
                    EXPECT_NE(LibraryImage(states[a]), LibraryImage(states[b]))
                        << "states " << a << ", " << b;
        }
    }
    EXPECT_GE(checked, 40);
    EXPECT_GE(buttons, 8);
}

TEST(RibbonResourceTest, TheBrandLinkIsSecureAndTheTrayTipFits) {
    CTempEnvironment env;
    EXPECT_EQ(CResourceLibrary::Instance().GetString(108).rfind("https://", 0), 0u);
    CVidoraOEMInfo oem;
    const std::string tip = oem.ExpandText(CResourceLibrary::Instance().GetString(362));
    EXPECT_FALSE(tip.empty());
    EXPECT_EQ(tip.find('%'), std::string::npos) << tip;
    EXPECT_LE(QString::fromStdString(tip).size(), 128);
}

TEST(RibbonPlacement, StoredPositionKeptInsideTheWorkAreaElseBesideTheRightEdgeOrASideBar) {
    const QSize ribbon(63, 400);
    const QRect work(0, 0, 1920, 1040);
    const QRect second(1920, 30, 1280, 994); // a second monitor's, below a top panel
    const QRect bar(1770, 0, 150, 1040);
    struct Case {
        const char* name;
        QSize size;
        std::optional<QPoint> stored;
        QRect work;
        std::optional<QRect> sideBar;
        bool sideBarPlatform;
        QPoint expected;
    } cases[] = {
        {"inside", ribbon, QPoint(100, 200), work, {}, true, QPoint(100, 200)},
        {"beyond both edges", ribbon, QPoint(1900, 900), work, {}, true, QPoint(1857, 640)},
        {"left of the work area", ribbon, QPoint(1000, 0), second, {}, true, QPoint(1920, 30)},
        {"taller than the work area", QSize(63, 1200), QPoint(10, 500), second, {}, true, QPoint(1920, 30)},
        {"default: 403 left of the edge, centred", ribbon, {}, work, {}, true, QPoint(1920 - 403, 320)},
        {"default, offset area", QSize(63, 301), {}, QRect(100, 50, 1000, 700), {}, true, QPoint(697, 249)},
        {"beside a side bar", ribbon, {}, work, bar, true, QPoint(1770 - 63, 320)},
        {"bar, no room", ribbon, {}, QRect(0, 0, 200, 800), QRect(10, 0, 190, 800), true, QPoint(-203, 200)},
        {"stored wins over the bar", ribbon, QPoint(5, 5), work, bar, true, QPoint(5, 5)},
        {"older platforms had no side bar", ribbon, {}, work, bar, false, QPoint(1517, 320)},
    };
    for (const Case& c : cases) {
        CSystemInfo::Instance().OverrideVersion(PlatformVersion{c.sideBarPlatform ? 6u : 5u, 1, true});
        EXPECT_EQ(CRibbonPlacement::Place(c.size, c.stored, c.work, c.sideBar), c.expected) << c.name;
    }
    CSystemInfo::Instance().ResetOverrides();
}
