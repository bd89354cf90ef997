#include "capture/CSpecialCaptureButton.h"

#include "ui/CImageCache.h"
#include "ui/CToolTip.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

QFont CaptionFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace

CSpecialCaptureButton::CSpecialCaptureButton(QWidget* parent)
    : QAbstractButton(parent), CTransparentControlBase(this) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(CaptionFont());
    ToolTip()->SetDisplayTime(kToolTipDisplayMs);
    connect(this, &QAbstractButton::clicked, this, &CSpecialCaptureButton::OnClicked);
}

CSpecialCaptureButton::~CSpecialCaptureButton() {
    StopHoverPoll();
}

void CSpecialCaptureButton::SetImage(Image which, const QImage& image) {
    images_[which] = image;
    updateGeometry();
    update();
}

void CSpecialCaptureButton::SetImageIds(const std::array<uint32_t, CCaptureButtonLook::ImageCount>& ids) {
    for (size_t i = 0; i < ids.size(); ++i)
        images_[i] = ids[i] == UINT32_MAX ? QImage() : CImageCache::Instance().GetImage(ids[i]);
    updateGeometry();
    update();
}

CSpecialCaptureButton::Image CSpecialCaptureButton::CurrentImage() const {
    CCaptureButtonLook::State state;
    state.enabled = isEnabled();
    state.optionsOnly = optionsOnly_;
    state.pushed = isDown();
    state.overButton = zones_.OverButton();
    state.overOptions = zones_.OverOptions();
    std::array<bool, CCaptureButtonLook::ImageCount> available{};
    for (size_t i = 0; i < images_.size(); ++i)
        available[i] = !images_[i].isNull();
    return CCaptureButtonLook::Resolve(CCaptureButtonLook::Choose(state), available);
}

void CSpecialCaptureButton::SetOptionsOnly(bool on) {
    if (optionsOnly_ == on)
        return;
    optionsOnly_ = on;
    // The keyboard cannot stay on a zone that just became inactive.
    if (on)
        focusOnOptions_ = true;
    update();
}

QSize CSpecialCaptureButton::sizeHint() const {
    const QImage& normal = images_[CCaptureButtonLook::Normal];
    if (!normal.isNull())
        return normal.deviceIndependentSize().toSize();
    return QSize(CCaptureButtonZones::kOptionsZoneLeft + 30, 48);
}

// ---- hover ----------------------------------------------------------------------------------------------

void CSpecialCaptureButton::TrackCursor(const QPoint& pos) {
    if (!trackMouse_ || !zones_.Track(rect(), pos))
        return;
    update();
    StopHoverPoll();
    hoverTimer_ = GetTimerService().StartTimer(kHoverPollMs, [this] { PollHover(); });
}

void CSpecialCaptureButton::PollHover() {
    if (zones_.Track(rect(), mapFromGlobal(QCursor::pos()))) {
        StopHoverPoll();
        update();
    } else if (!zones_.OverButton() && !zones_.OverOptions()) {
        StopHoverPoll();
    }
}

void CSpecialCaptureButton::StopHoverPoll() {
    if (hoverTimer_ != 0)
        GetTimerService().StopTimer(hoverTimer_);
    hoverTimer_ = 0;
}

// ---- input ----------------------------------------------------------------------------------------------

void CSpecialCaptureButton::mousePressEvent(QMouseEvent* event) {
    focusCues_ = false;
    TrackCursor(event->position().toPoint());
    QAbstractButton::mousePressEvent(event);
}

void CSpecialCaptureButton::mouseReleaseEvent(QMouseEvent* event) {
    TrackCursor(event->position().toPoint());
    clickOnOptions_ = OptionsZone().contains(event->position().toPoint());
    QAbstractButton::mouseReleaseEvent(event);
}

void CSpecialCaptureButton::mouseMoveEvent(QMouseEvent* event) {
    TrackCursor(event->position().toPoint());
    QAbstractButton::mouseMoveEvent(event);
}

bool CSpecialCaptureButton::event(QEvent* event) {
    // The button wants every key, Tab included: the first Tab only moves between its own zones.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && mods == Qt::NoModifier) {
            focusCues_ = true;
            HandleTab(key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat())
            clickOnOptions_ = focusOnOptions_;
    }
    return QAbstractButton::event(event);
}

void CSpecialCaptureButton::HandleTab(bool backwards) {
    if (!tabMoved_ && !optionsOnly_) {
        tabMoved_ = true;
        focusOnOptions_ = true;
        update();
        return;
    }
    focusNextPrevChild(!backwards);
}

void CSpecialCaptureButton::keyPressEvent(QKeyEvent* event) {
    if (!focusCues_) {
        focusCues_ = true;
        update();
    }
    QAbstractButton::keyPressEvent(event);
}

void CSpecialCaptureButton::focusInEvent(QFocusEvent* event) {
    tabMoved_ = false;
    focusOnOptions_ = optionsOnly_;
    const Qt::FocusReason reason = event->reason();
    focusCues_ =
        reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

void CSpecialCaptureButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        zones_.Clear();
    QAbstractButton::changeEvent(event);
    update();
}

void CSpecialCaptureButton::SetNotifyClicks(bool on) {
    notifyClicks_ = on;
}

void CSpecialCaptureButton::OnClicked() {
    if (!notifyClicks_)
        return;
    NotifyCommand(ControlsNotify::BN_CLICKED);
    if (clickOnOptions_)
        emit optionsZoneClicked();
    else if (!optionsOnly_)
        emit mainZoneClicked();
}

bool CSpecialCaptureButton::KeyboardCuesShown() const {
    return focusCues_ || style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this) != 0;
}

// ---- drawing --------------------------------------------------------------------------------------------

void CSpecialCaptureButton::paintEvent(QPaintEvent*) {
    // Drawn off screen and copied in one go, so the zones never flicker while the look changes.
    const qreal dpr = devicePixelRatioF();
    QPixmap buffer(size() * dpr);
    buffer.setDevicePixelRatio(dpr);
    buffer.fill(Qt::transparent);
    {
        QPainter painter(&buffer);
        PaintBody(painter);
    }
    QPainter(this).drawPixmap(0, 0, buffer);
}

void CSpecialCaptureButton::PaintBody(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QImage& image = images_[CurrentImage()];
    if (!image.isNull()) {
        painter.drawImage(QRectF(rect()), image);
    } else {
        // Without skin images: the toolkit's fields, one per zone.
        const bool enabled = isEnabled();
        const bool pushedMain = isDown() && !zones_.OverOptions() && !optionsOnly_;
        ControlsStyle::PaintField(painter, QRectF(MainZone()).adjusted(0.5, 0.5, -0.5, -0.5),
                                  enabled && !optionsOnly_, zones_.OverMain() && !optionsOnly_, pushedMain,
                                  false);
        if (!OptionsZone().isEmpty()) {
            ControlsStyle::PaintField(painter, QRectF(OptionsZone()).adjusted(0.5, 0.5, -0.5, -0.5), enabled,
                                      zones_.OverOptions(), false, false);
            const QPointF c = QRectF(OptionsZone()).center();
            painter.setPen(QPen(enabled ? ControlsStyle::Text() : ControlsStyle::DisabledText(), 1.5));
            painter.drawPolyline(QPolygonF({c + QPointF(-4, -2), c + QPointF(0, 2), c + QPointF(4, -2)}));
        }
    }

    CCaptureButtonLook::State state;
    state.enabled = isEnabled();
    state.optionsOnly = optionsOnly_;
    if (!text().isEmpty()) {
        painter.setFont(font());
        painter.setPen(CCaptureButtonLook::CaptionColor(state));
        const int mnemonic = KeyboardCuesShown() ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
        painter.drawText(MainZone().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap | mnemonic,
                         text());
    }

    if (hasFocus() && focusCues_) {
        const QRect zone = focusOnOptions_ ? OptionsZone() : MainZone();
        QPen pen(CCaptureButtonLook::TextColor(), 1, Qt::DotLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(zone.adjusted(3, 3, -4, -4));
    }
}
