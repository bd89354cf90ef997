// The video-calling section: which calling programs get a row, how the rows close up, how its links are
// drawn, and what a link does for a program that can be started and for one that is not installed.
#include "communicate/CCallingAppRows.h"
#include "communicate/CCommunicationsVideoCallingPane.h"
#include "communicate/CommunicatePanes.h"
#include "config/CAppsReader.h"
#include "platform/CSystemInfo.h"
#include "tests/communicate/CommunicateFixture.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>

#include <set>

namespace {

using Pane = CCommunicationsVideoCallingPane;
constexpr int kSkype = 0, kMessenger = 1, kYahoo = 2, kAim = 3, kCallhub = 4, kQQ = 5;

// A colour as "#rrggbb", so that a failure shows which colour was drawn.
std::string Hex(const QColor& color) {
    return color.name().toStdString();
}

// The colour a link's text is drawn in now: the most opaque pixel of the link drawn on a clear picture.
std::string DrawnColor(QWidget* link) {
    QImage image(link->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    link->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QRgb strongest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > qAlpha(strongest))
                strongest = image.pixel(x, y);
        }
    }
    return Hex(QColor(qRed(strongest), qGreen(strongest), qBlue(strongest)));
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

class VideoCallingTest : public CommunicateTest {
protected:
    void SetUp() override {
        CommunicateTest::SetUp();
        WriteConfig("callingapps.xml", "<apps/>");
        // The service knows two programs; the row asks for "Yahoo Messenger", the list says "Yahoo!
        // Messenger". AIM is not listed at all. The three the program looks for itself are listed, not
        // installed.
        service.apps = {{"skype.desktop", "Skype", true, true, COMMS_APP_RUNNING},
                        {"ym", "Yahoo! Messenger", true, true, COMMS_APP_MISSING}};
    }
    Pane* OpenPane() {
        Open();
        return CommunicatePanes::VideoCalling().Get();
    }
    QWidget* Link(int row) const {
        return CommunicatePanes::VideoCalling()->GetDlgItem(CCallingAppRows::RowAt(row).button);
    }
};

TEST_F(VideoCallingTest, RowsOfProgramsNotOfferedAreHiddenAndALinkOfOneNotInstalledOpensItsInstallPage) {
    Pane* pane = OpenPane();
    ASSERT_NE(pane, nullptr);
    for (int row : {kSkype, kMessenger, kYahoo, kCallhub, kQQ})
        EXPECT_TRUE(pane->IsOffered(row)) << row;
    EXPECT_FALSE(pane->IsOffered(kAim));
    EXPECT_TRUE(Link(kAim)->isHidden());
    EXPECT_EQ(Link(kCallhub)->y(), Link(kYahoo)->y() + CCallingAppRows::kRowPitch)
        << "Callhub takes AIM's place";
    EXPECT_TRUE(pane->GetDlgItem(Pane::kFirstSeparator + kQQ)->isHidden()) << "no line under the last row";
    EXPECT_EQ(pane->GetDlgItemText(CCallingAppRows::RowAt(kYahoo).button),
              CDialogBase::LoadString(Pane::kLinkInstallText))
        << "its program is gone";
    // Its install page opens, nothing is started, and the communicate window closes.
    static_cast<QAbstractButton*>(Link(kMessenger))->click();
    EXPECT_EQ(opened, std::vector<std::string>{CDialogBase::LoadString(134)});
    EXPECT_EQ(service.launches, 0);
    QPointer<CCommunicateDlg> closing(window);
    DrainEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
    EXPECT_TRUE(CommunicatePanes::VideoCalling().IsEmpty());
    window = closing.data();
}

TEST_F(VideoCallingTest, LinksAreDrawnInTheColourOfTheirState) {
    OpenPane();
    const Pane::LinkColors installed = Pane::InstalledColors();
    QWidget* skype = Link(kSkype);
    const QPoint inside = skype->rect().center();
    EXPECT_EQ(DrawnColor(skype), Hex(installed.normal));
    SendMouse(skype, QEvent::MouseButtonPress, inside);
    EXPECT_EQ(DrawnColor(skype), Hex(installed.pressed));
    SendMouse(skype, QEvent::MouseButtonRelease, inside);
    DrainEvents();
    ASSERT_EQ(service.launches, 1) << "the click started the available program";
    EXPECT_EQ(DrawnColor(skype), Hex(installed.visited));
    QEnterEvent enter{QPointF(inside), QPointF(inside), QPointF(skype->mapToGlobal(inside))};
    QApplication::sendEvent(skype, &enter);
    EXPECT_EQ(DrawnColor(skype), Hex(installed.hover));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(skype, &leave);
    EXPECT_EQ(DrawnColor(skype), Hex(installed.visited)) << "visited stays after the mouse left";
    // A program that is not installed is drawn in its own colours; a press let go outside is no click.
    QWidget* yahoo = Link(kYahoo);
    SendMouse(yahoo, QEvent::MouseButtonPress, yahoo->rect().center());
    SendMouse(yahoo, QEvent::MouseButtonRelease, QPoint(-50, -50));
    EXPECT_EQ(DrawnColor(yahoo), Hex(Pane::NotInstalledColors().normal));
    EXPECT_TRUE(opened.empty());
}

// The shipped list offers every program of the rows, under the key the manager asks about, everywhere.
TEST_F(CommunicateTest, TheShippedCallingListOffersEveryProgramTheManagerAsksAbout) {
    // No "callingapps.xml" in "Config": the shipped list is used.
    app.callingApps = std::make_unique<AppsReader::CAppsReader>(
        oem.GetConfigFilePath("Config", "callingapps.xml", 438), "apps");
    ASSERT_TRUE(app.callingApps->RootFound());
    std::set<std::string> keys;
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row) {
        for (const std::string& name : CCallingAppRows::NamesOf(row)) {
            const std::string key = CGraniteCommunicationsManager::ApplicationKeyFor(name);
            if (!key.empty())
                keys.insert(key);
        }
    }
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(app.callingApps->GetCount(), keys.size());
    for (const std::string& key : keys) {
        SCOPED_TRACE(key);
        const AppsReader::CApp* entry = app.callingApps->Find(key);
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(entry->shown);
        for (const LANGID language : {LANGID(0x0409), LANGID(0x0407), LANGID(0x0804)}) {
            CSystemInfo::Instance().OverrideSystemLangId(language);
            for (const uint32_t major : {5u, 6u, 10u}) {
                CSystemInfo::Instance().OverrideVersion(PlatformVersion{major, 1, true});
                EXPECT_EQ(app.IsApplicationEnabled(0, key), 1) << language << " " << major;
            }
        }
    }
    CSystemInfo::Instance().ResetOverrides();
}

TEST_F(VideoCallingTest, WhenTheManagerCannotListProgramsTheRowsStayAsDrawn) {
    service.failures["RefreshApplications"] = E_FAIL;
    Pane* pane = OpenPane();
    ASSERT_NE(pane, nullptr);
    for (int row = 0; row < CCallingAppRows::kRowCount; ++row)
        EXPECT_FALSE(Link(row)->isHidden()) << row;
}

} // namespace
