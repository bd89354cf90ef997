// The ribbon's layout: where it goes on the screen, which buttons it shows and where, expand and collapse,
// its background, and the docked panes that follow it when it moves.
#include "app/CVidoraSettings.h"
#include "ribbon/CRibbonPlacement.h"
#include "ribbon/CVidoraRibbonDlg.h"
#include "ribbon/RibbonSupport.h"
#include "ui/CAttachablePane.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/CVidoraSkin.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

using namespace RibbonSupport;

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

QRect CVidoraRibbonDlg::ClientArea() const {
    return skin_ && skin_->Window() == this ? skin_->ClientRect() : rect();
}

void CVidoraRibbonDlg::MeasureButtonPitch() {
    QWidget* capture = GetDlgItem(IDC_CAPTURE);
    QWidget* effects = GetDlgItem(IDC_EFFECTS);
    buttonPitch_ = capture != nullptr && effects != nullptr ? effects->y() - capture->y() : 0;
    if (buttonPitch_ <= 0 && capture != nullptr)
        buttonPitch_ = capture->height() + 4;
}

void CVidoraRibbonDlg::InitialLayout() {
    QWidget* capture = GetDlgItem(IDC_CAPTURE);
    if (capture == nullptr)
        return;
    // Below the capture button, one pitch apart: the effects and privacy-shade buttons when there is
    // something for them to do.
    QWidget* last = capture;
    const bool effectsShown =
        CVidoraSettings::IsFeatureSeen("Oriel") && devices_.Services().effects != nullptr;
    const bool shadeShown =
        CVidoraSettings::IsFeatureSeen("SoftwareMute") && devices_.Services().effects != nullptr;
    for (auto [id, shown] : {std::pair{IDC_EFFECTS, effectsShown}, std::pair{IDC_SHADE, shadeShown}}) {
        QWidget* button = GetDlgItem(id);
        if (button == nullptr)
            continue;
        button->setVisible(shown);
        if (shown) {
            MoveTop(button, last->y() + buttonPitch_);
            last = button;
        }
    }
    // The toggle and its label follow 3 pixels below.
    QWidget* toggle = GetDlgItem(IDC_TOGGLE);
    QWidget* label = GetDlgItem(IDC_TOGGLE_LABEL);
    if (toggle != nullptr) {
        const int labelOffset = label != nullptr ? label->y() - toggle->y() : 0;
        MoveTop(toggle, last->y() + last->height() + 3);
        MoveTop(label, toggle->y() + labelOffset);
    }
    if (QWidget* communicate = GetDlgItem(IDC_COMMUNICATE))
        communicate->setVisible(OEMSwitch("Ribbon.CommunicateIcon", true));
}

void CVidoraRibbonDlg::Layout() {
    const QRect client = ClientArea();
    QWidget* toggle = GetDlgItem(IDC_TOGGLE);
    QWidget* toggleLabel = GetDlgItem(IDC_TOGGLE_LABEL);
    int bottom = client.top();
    for (QWidget* w :
         {GetDlgItem(IDC_CAPTURE), GetDlgItem(IDC_EFFECTS), GetDlgItem(IDC_SHADE), toggle, toggleLabel}) {
        if (w != nullptr && !w->isHidden())
            bottom = std::max(bottom, w->geometry().bottom() + 1);
    }

    // Expanded: the settings and communicate buttons and the lower label stack under the toggle.
    const bool expanded = collapsed_ == 0;
    const bool communicateWanted = OEMSwitch("Ribbon.CommunicateIcon", true);
    QWidget* settings = GetDlgItem(IDC_SETTINGS);
    QWidget* communicate = GetDlgItem(IDC_COMMUNICATE);
    QWidget* lowerLabel = GetDlgItem(IDC_LOWER_LABEL);
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
    QWidget* mic = GetDlgItem(IDC_MIC_MUTE);
    QWidget* video = GetDlgItem(IDC_VIDEO_MUTE);
    const bool micShown = mic != nullptr && CVidoraSettings::IsFeatureSeen("MicrophoneMute");
    const bool videoShown = video != nullptr && CVidoraSettings::IsFeatureSeen("SoftwareMute") &&
                            devices_.Services().effects != nullptr;
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
    const QSize clientSize(kBackgroundWidth, bottom - client.top() + kBottomMargin);
    if (skin_ && skin_->Window() == this)
        skin_->ResizeClient(clientSize);
    else
        resize(clientSize);
    update();
}

void CVidoraRibbonDlg::ToggleCollapsed() {
    collapsed_ = collapsed_ == 0 ? 1 : 0;
    if (CTransparentToggleButton* toggle = Toggle(IDC_TOGGLE)) {
        toggle->setChecked(collapsed_ == 0);
        toggle->setToolTip(QString::fromStdString(Str(collapsed_ == 0 ? 310 : 309)));
    }
    Layout();
}

void CVidoraRibbonDlg::Place() {
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
        return;
    move(CRibbonPlacement::Place(frameGeometry().size(), stored, screen->availableGeometry()));
}

void CVidoraRibbonDlg::StorePosition() {
    if (isMinimized())
        return;
    CVidoraSettings::SetRibbonPos(frameGeometry().x(), frameGeometry().y());
}

void CVidoraRibbonDlg::moveEvent(QMoveEvent* event) {
    CDialogBase::moveEvent(event);
    KeepDockedPanesBeside();
}

void CVidoraRibbonDlg::KeepDockedPanesBeside() {
    const QRect ribbon = frameGeometry();
    using Pane = CPaneCoordinator::Pane;
    CPaneCoordinator::ForEachDocked({Pane::Settings, Pane::Shade, Pane::Effects, Pane::Communicate},
                                    [&ribbon](CAttachablePane* pane) { pane->KeepBeside(ribbon); });
}

void CVidoraRibbonDlg::paintEvent(QPaintEvent*) {
    // The brand area's bitmap at the top, the strip stretched below it.
    QPainter painter(this);
    const QRect client = ClientArea();
    const QRect top(client.left(), client.top(), kBackgroundWidth, 46);
    const QRect below(client.left(), top.bottom() + 1, kBackgroundWidth,
                      std::max(0, client.bottom() - top.bottom()));
    if (!topBitmap_.isNull() && !stripBitmap_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(top, topBitmap_);
        painter.drawImage(below, stripBitmap_);
        return;
    }
    QLinearGradient gradient(client.topLeft(), client.bottomLeft());
    gradient.setColorAt(0, QColor(0x2b, 0x30, 0x3a));
    gradient.setColorAt(1, QColor(0x1c, 0x1f, 0x26));
    painter.fillRect(client, gradient);
}
