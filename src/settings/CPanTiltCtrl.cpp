#include "settings/CPanTiltCtrl.h"

#include "platform/IClock.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/ControlsStyle.h"
#include "ui/ITimerService.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
// A disabled pad shows its normal images faded.
constexpr qreal kDisabledOpacity = 0.45;
constexpr qreal kFocusRadius = 12.0;
} // namespace

CPanTiltCtrl::CPanTiltCtrl(QWidget* parent) : QWidget(parent), facade_(GetGraniteDeviceManager()) {
    Init();
}

CPanTiltCtrl::CPanTiltCtrl(IGraniteDeviceManager* facade, QWidget* parent)
    : QWidget(parent), facade_(facade) {
    if (facade_ != nullptr)
        facade_->AddRef();
    Init();
}

CPanTiltCtrl::~CPanTiltCtrl() {
    for (PanTiltPart part : CPanTiltRegions::kParts)
        StopHoverTimer(part);
    if (facade_ != nullptr)
        facade_->Release();
}

void CPanTiltCtrl::Init() {
    stepper_ = CPanTiltStepper(facade_, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    look_.Load();
    RefreshMechanical();
    resize(sizeHint());
}

void CPanTiltCtrl::RefreshMechanical() {
    int32_t value = 0;
    if (facade_ == nullptr || FAILED(facade_->GetPtzCapability(&value)))
        value = 0;
    mechanical_ = value;
    stepper_.SetMechanical(mechanical_ != 0);
}

QSize CPanTiltCtrl::sizeHint() const {
    return QSize(CPanTiltRegions::kPadWidth, CPanTiltRegions::kPadHeight);
}

// ---- stepping ---------------------------------------------------------------------------------------------

void CPanTiltCtrl::Step(PanTiltPart part) {
    if (stepper_.Step(part) == S_OK)
        emit Stepped(part);
}

// ---- mouse ------------------------------------------------------------------------------------------------

void CPanTiltCtrl::TrackCursor(std::optional<QPoint> cursor) {
    cursor_ = cursor;
    const std::vector<PanTiltPart> changed = regions_.UpdateHover(cursor);
    for (PanTiltPart part : changed)
        StartHoverTimer(part);
    if (!changed.empty())
        update();
}

void CPanTiltCtrl::mouseMoveEvent(QMouseEvent* event) {
    // A release that never reached the pad (the grab was taken away) ends the hold here.
    if (buttonHeld_ && !(event->buttons() & Qt::LeftButton)) {
        buttonHeld_ = false;
        regions_.ReleaseAll();
        update();
    }
    TrackCursor(event->position().toPoint());
}

void CPanTiltCtrl::Press(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    TrackCursor(pos);
    buttonHeld_ = true;
    const std::optional<PanTiltPart> part = CPanTiltRegions::HitTest(pos);
    if (!part)
        return;
    regions_.Press(*part, GetClock().GetTickCount());
    update();
    Step(*part);
}

void CPanTiltCtrl::mousePressEvent(QMouseEvent* event) {
    Press(event);
}

void CPanTiltCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click steps like the first.
    Press(event);
}

void CPanTiltCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    buttonHeld_ = false;
    regions_.ReleaseAll();
    TrackCursor(event->position().toPoint());
    update();
}

void CPanTiltCtrl::enterEvent(QEnterEvent* event) {
    TrackCursor(event->position().toPoint());
    QWidget::enterEvent(event);
}

void CPanTiltCtrl::leaveEvent(QEvent* event) {
    TrackCursor(std::nullopt);
    QWidget::leaveEvent(event);
}

// ---- hover timers -----------------------------------------------------------------------------------------

void CPanTiltCtrl::StartHoverTimer(PanTiltPart part) {
    StopHoverTimer(part);
    const int id = CPanTiltRegions::TimerId(part);
    regions_.State(part).timer =
        GetTimerService().StartTimer(CPanTiltRegions::kHoverTimerMs, [this, id] { OnTimer(id); });
}

void CPanTiltCtrl::StopHoverTimer(PanTiltPart part) {
    uint64_t& timer = regions_.State(part).timer;
    if (timer != 0)
        GetTimerService().StopTimer(timer);
    timer = 0;
}

void CPanTiltCtrl::OnTimer(int timerId) {
    const std::optional<PanTiltPart> ticking = CPanTiltRegions::PartOfTimer(timerId);
    if (!ticking)
        return;
    const std::optional<PanTiltPart> under = cursor_ ? CPanTiltRegions::HitTest(*cursor_) : std::nullopt;
    bool changed = false;
    for (PanTiltPart part : CPanTiltRegions::kParts) {
        if (part == under)
            continue;
        // The cursor is not on this part (any more): no hover, and its timer has nothing left to watch.
        CPanTiltRegions::PartState& state = regions_.State(part);
        if (state.hover) {
            state.hover = false;
            changed = true;
        }
        StopHoverTimer(part);
    }
    if (changed)
        update();
    if (regions_.ShouldRepeat(*ticking, buttonHeld_, GetClock().GetTickCount()))
        Step(*ticking);
}

// ---- keyboard ---------------------------------------------------------------------------------------------

std::optional<PanTiltPart> CPanTiltCtrl::PartOfKey(int key) {
    switch (key) {
    case Qt::Key_Space:
        return PanTiltPart::Centre;
    case Qt::Key_Left:
        return PanTiltPart::Left;
    case Qt::Key_Up:
        return PanTiltPart::Up;
    case Qt::Key_Right:
        return PanTiltPart::Right;
    case Qt::Key_Down:
        return PanTiltPart::Down;
    default:
        return std::nullopt;
    }
}

void CPanTiltCtrl::keyPressEvent(QKeyEvent* event) {
    const std::optional<PanTiltPart> part = PartOfKey(event->key());
    if (!part) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A key held down steps again with the keyboard's own repeat.
    keyPart_ = part;
    update();
    Step(*part);
}

void CPanTiltCtrl::keyReleaseEvent(QKeyEvent* event) {
    const std::optional<PanTiltPart> part = PartOfKey(event->key());
    if (!part) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && keyPart_ == part) {
        keyPart_.reset();
        update();
    }
}

void CPanTiltCtrl::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CPanTiltCtrl::focusOutEvent(QFocusEvent* event) {
    // The key's release goes to the new focus; the part must not stay drawn pressed.
    keyPart_.reset();
    update();
    QWidget::focusOutEvent(event);
}

// ---- state changes ----------------------------------------------------------------------------------------

void CPanTiltCtrl::ResetInput() {
    cursor_.reset();
    buttonHeld_ = false;
    keyPart_.reset();
    regions_.ReleaseAll();
    regions_.UpdateHover(std::nullopt);
    for (PanTiltPart part : CPanTiltRegions::kParts)
        StopHoverTimer(part);
    update();
}

void CPanTiltCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        ResetInput();
    QWidget::changeEvent(event);
}

void CPanTiltCtrl::hideEvent(QHideEvent* event) {
    ResetInput();
    QWidget::hideEvent(event);
}

// ---- painting ---------------------------------------------------------------------------------------------

// Qt paints widgets double-buffered already, so the pad draws straight onto itself without flicker.
void CPanTiltCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect pad(0, 0, CPanTiltRegions::kPadWidth, CPanTiltRegions::kPadHeight);
    look_.PaintBackground(painter, pad);
    const bool enabled = isEnabled();
    if (!enabled)
        painter.setOpacity(kDisabledOpacity);
    for (PanTiltPart part : CPanTiltRegions::kParts) {
        const CPanTiltRegions::PartState& state = regions_.State(part);
        CPanTiltLook::PartLook look = CPanTiltLook::PartLook::Normal;
        if (enabled && ((state.pressed && state.hover) || keyPart_ == part))
            look = CPanTiltLook::PartLook::Pressed;
        else if (enabled && state.hover)
            look = CPanTiltLook::PartLook::Hover;
        look_.PaintPart(painter, part, look);
    }
    painter.setOpacity(1.0);
    if (hasFocus())
        ControlsStyle::PaintFocusRing(painter, QRectF(pad), kFocusRadius);
}
