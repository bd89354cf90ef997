// The main window's resources as the program ships them: its layout names only images that exist, each drawn
// at twice the size of its control (sharp on dense screens, never squeezed), and every text it uses exists.
#include "config/CVidoraOEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "support/CTempEnvironment.h"
#include "ui/CDialogTemplate.h"
#include "ui/CImageCache.h"

#include <gtest/gtest.h>

#include <QStringList>

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

TEST(RibbonResourceTest, EveryImageOfTheLayoutExistsAtTwiceItsControlsSize) {
    std::string error;
    const auto layout = CDialogTemplate::Load(102, &error);
    ASSERT_TRUE(layout.has_value()) << error;
    EXPECT_EQ(layout->size.width(), 63);

    int checked = 0;
    for (const auto& control : layout->controls) {
        std::vector<uint32_t> ids = Ids(control.Attribute("images"));
        const std::vector<uint32_t> more = Ids(control.Attribute("checkedimages"));
        ids.insert(ids.end(), more.begin(), more.end());
        if (!control.Attribute("image").empty())
            ids.push_back(static_cast<uint32_t>(std::stoul(control.Attribute("image"))));
        for (uint32_t id : ids) {
            const QImage image = LibraryImage(id);
            ASSERT_FALSE(image.isNull()) << "image " << id << " of control " << control.id;
            EXPECT_EQ(image.size(), control.rect.size() * 2)
                << "image " << id << " of control " << control.id;
            ++checked;
        }
        EXPECT_TRUE(QRect(QPoint(0, 0), layout->size).contains(control.rect)) << "control " << control.id;
    }
    EXPECT_GE(checked, 40);
}

TEST(RibbonResourceTest, TheButtonsOfTheLayoutHaveTheirFourStatesAndDifferentLooks) {
    const auto layout = CDialogTemplate::Load(102);
    ASSERT_TRUE(layout.has_value());
    for (int id : {1000, 1002, 1003, 1005, 1006, 1007, 1008, 1053}) {
        auto it = std::find_if(layout->controls.begin(), layout->controls.end(),
                               [id](const CDialogTemplate::Control& c) { return c.id == id; });
        ASSERT_NE(it, layout->controls.end()) << id;
        const auto ids = Ids(it->Attribute("images"));
        ASSERT_EQ(ids.size(), 4u) << id;
        // Normal, hover, pressed and disabled must be told apart by the user.
        for (size_t a = 0; a < 4; ++a) {
            for (size_t b = a + 1; b < 4; ++b)
                EXPECT_NE(LibraryImage(ids[a]), LibraryImage(ids[b]))
                    << id << ": states " << a << " and " << b;
        }
    }
}

TEST(RibbonResourceTest, EveryTextOfTheMainWindowExistsAndTheTrayTipFits) {
    CTempEnvironment env;
    for (uint32_t id : {101u, 108u, 109u, 120u, 138u, 139u, 140u, 141u, 142u, 154u, 155u,
                        156u, 157u, 158u, 159u, 160u, 161u, 239u, 246u, 249u, 250u, 251u,
                        252u, 253u, 256u, 257u, 259u, 275u, 281u, 285u, 309u, 310u, 362u})
        EXPECT_FALSE(CResourceLibrary::Instance().GetString(id).empty()) << "string " << id;
    EXPECT_EQ(CResourceLibrary::Instance().GetString(108).rfind("https://", 0), 0u);
    CVidoraOEMInfo oem;
    const std::string tip = oem.ExpandText(CResourceLibrary::Instance().GetString(362));
    EXPECT_EQ(tip.find('%'), std::string::npos) << tip;
    EXPECT_LE(QString::fromStdString(tip).size(), 128);
}
