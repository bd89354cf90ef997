#include "ribbon/CRibbonLayout.h"

#include "app/CVidoraSettings.h"
#include "ribbon/CRibbonPlacement.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ribbon/RibbonSupport.h"
#include "ui/CDialogBase.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <optional>

using namespace RibbonSupport;
using R = CVidoraRibbonDlg;

namespace {

// Space between groups of controls, and below the lowest one.
constexpr int kGroupGap = 6;
constexpr int kBottomMargin = 8;

void MoveTop(QWidget* w, int top) {
    if (w != nullptr)
        w->move(w->x(), top);
}

void CentreAt(QWidget* w, int centreX, int top) {
    if (w != nullptr)
        w->move(centreX - w->width() / 2, top);
}

} // namespace

CRibbonLayout::CRibbonLayout(CDialogBase& window) : window_(window) {}

void CRibbonLayout::MeasureButtonPitch() {
    QWidget* capture = window_.GetDlgItem(R::IDC_CAPTURE);
    QWidget* effects = window_.GetDlgItem(R::IDC_EFFECTS);
    buttonPitch_ = capture != nullptr && effects != nullptr ? effects->y() - capture->y() : 0;
    if (buttonPitch_ <= 0 && capture != nullptr)
        buttonPitch_ = capture->height() + 4;
}

void CRibbonLayout::PlaceOptionalButtons(bool effectsPresent) {
    QWidget* capture = window_.GetDlgItem(R::IDC_CAPTURE);
    if (capture == nullptr)
        return;
    // Below the capture button, one pitch apart: the effects and privacy-shade buttons when there is
    // something for them to do.
    QWidget* last = capture;
    const bool effectsShown = CVidoraSettings::IsFeatureSeen("Oriel") && effectsPresent;
    const bool shadeShown = CVidoraSettings::IsFeatureSeen("SoftwareMute") && effectsPresent;
    for (auto [id, shown] : {std::pair{R::IDC_EFFECTS, effectsShown}, std::pair{R::IDC_SHADE, shadeShown}}) {
        QWidget* button = window_.GetDlgItem(id);
        if (button == nullptr)
            continue;
        button->setVisible(shown);
        if (shown) {
            MoveTop(button, last->y() + buttonPitch_);
            last = button;
        }
    }
    // The toggle and its label follow 3 pixels below.
    QWidget* toggle = window_.GetDlgItem(R::IDC_TOGGLE);
    QWidget* label = window_.GetDlgItem(R::IDC_TOGGLE_LABEL);
    if (toggle != nullptr) {
        const int labelOffset = label != nullptr ? label->y() - toggle->y() : 0;
        MoveTop(toggle, last->y() + last->height() + 3);
        MoveTop(label, toggle->y() + labelOffset);
    }
    if (QWidget* communicate = window_.GetDlgItem(R::IDC_COMMUNICATE))
        communicate->setVisible(OEMSwitch("Ribbon.CommunicateIcon", true));
}

QSize CRibbonLayout::Arrange(const QRect& client, bool expanded, bool effectsPresent) {
    QWidget* toggle = window_.GetDlgItem(R::IDC_TOGGLE);
    QWidget* toggleLabel = window_.GetDlgItem(R::IDC_TOGGLE_LABEL);
    int bottom = client.top();
    for (QWidget* w : {window_.GetDlgItem(R::IDC_CAPTURE), window_.GetDlgItem(R::IDC_EFFECTS),
                       window_.GetDlgItem(R::IDC_SHADE), toggle, toggleLabel}) {
        if (w != nullptr && !w->isHidden())
            bottom = std::max(bottom, w->geometry().bottom() + 1);
    }

    // Expanded: the settings and communicate buttons and the lower label stack under the toggle.
    const bool communicateWanted = OEMSwitch("Ribbon.CommunicateIcon", true);
    QWidget* settings = window_.GetDlgItem(R::IDC_SETTINGS);
    QWidget* communicate = window_.GetDlgItem(R::IDC_COMMUNICATE);
    QWidget* lowerLabel = window_.GetDlgItem(R::IDC_LOWER_LABEL);
    if (settings != nullptr) {
        settings->setVisible(expanded);
        if (expanded) {
            MoveTop(settings, bottom + kGroupGap);
            bottom = settings->geometry().bottom() + 1;
        }
    }
    if (communicate != nullptr) {
        communicate->setVisible(expanded && communicateWanted);
        if (expanded && communicateWanted) {
            MoveTop(communicate, settings != nullptr ? settings->y() + buttonPitch_ : bottom + kGroupGap);
            bottom = communicate->geometry().bottom() + 1;
        }
    }
    if (lowerLabel != nullptr) {
        lowerLabel->setVisible(expanded);
        if (expanded) {
            MoveTop(lowerLabel, bottom + 3);
            bottom = lowerLabel->geometry().bottom() + 1;
        }
    }

    // The mute buttons: centred alone, side by side together.
    QWidget* mic = window_.GetDlgItem(R::IDC_MIC_MUTE);
    QWidget* video = window_.GetDlgItem(R::IDC_VIDEO_MUTE);
    const bool micShown = mic != nullptr && CVidoraSettings::IsFeatureSeen("MicrophoneMute");
    const bool videoShown =
        video != nullptr && CVidoraSettings::IsFeatureSeen("SoftwareMute") && effectsPresent;
    if (mic != nullptr)
        mic->setVisible(micShown);
    if (video != nullptr)
        video->setVisible(videoShown);
    const int centre = client.left() + client.width() / 2;
    const int top = bottom + kGroupGap;
    if (micShown && videoShown) {
        const int gap = 3;
        mic->move(centre - gap / 2 - mic->width(), top);
        video->move(centre + (gap + 1) / 2, top);
        bottom = std::max(mic->geometry().bottom(), video->geometry().bottom()) + 1;
    } else if (micShown || videoShown) {
        QWidget* only = micShown ? mic : video;
        CentreAt(only, centre, top);
        bottom = only->geometry().bottom() + 1;
    }

    // The window fits the lowest control.
    return {kBackgroundWidth, bottom - client.top() + kBottomMargin};
}

void CRibbonLayout::SetTooltips(bool collapsed) {
    auto tip = [this](int id, const std::string& text) {
        if (QWidget* w = window_.GetDlgItem(id))
            w->setToolTip(QString::fromStdString(text));
    };
    tip(R::IDC_BRAND, OEMTextOr("IDS_TOOLTIP_RIBBON_LOGOWEBSITE_TOOLTIP", 161));
    tip(R::IDC_CAPTURE, Str(154));
    tip(R::IDC_EFFECTS, Str(155));
    tip(R::IDC_SHADE, Str(156));
    tip(R::IDC_SETTINGS, Str(157));
    tip(R::IDC_COMMUNICATE, Str(158));
    tip(R::IDC_MIC_MUTE, Str(159));
    tip(R::IDC_VIDEO_MUTE, Str(160));
    tip(R::IDC_TOGGLE, Str(collapsed ? 309 : 310));
}

bool CRibbonLayout::Placement(const QSize& frame, QPoint& where) {
    int32_t x = -1;
    int32_t y = -1;
    CVidoraSettings::GetRibbonPos(x, y);
    std::optional<QPoint> stored;
    if (x >= 0 && y >= 0)
        stored = QPoint(x, y);
    QScreen* screen = stored ? QGuiApplication::screenAt(*stored) : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return false;
    where = CRibbonPlacement::Place(frame, stored, screen->availableGeometry());
    return true;
}

void CRibbonLayout::PaintBackground(QPainter& painter, const QRect& client, const QImage& topBitmap,
                                    const QImage& stripBitmap) {
    const QRect top(client.left(), client.top(), kBackgroundWidth, 46);
    const QRect below(client.left(), top.bottom() + 1, kBackgroundWidth,
                      std::max(0, client.bottom() - top.bottom()));
    if (!topBitmap.isNull() && !stripBitmap.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(top, topBitmap);
        painter.drawImage(below, stripBitmap);
        return;
    }
    QLinearGradient gradient(client.topLeft(), client.bottomLeft());
    gradient.setColorAt(0, QColor(0x2b, 0x30, 0x3a));
    gradient.setColorAt(1, QColor(0x1c, 0x1f, 0x26));
    painter.fillRect(client, gradient);
}
