#include "ui/CTransparentSpinCtrl.h"

#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

namespace {
constexpr int kArrowWidth = 18;
constexpr int kWheelNotch = 120;
} // namespace

CTransparentSpinCtrl::CTransparentSpinCtrl(QWidget* parent) : QWidget(parent), CTransparentControlBase(this) {
    setFont(ControlsStyle::ControlFont());
    setAttribute(Qt::WA_Hover, true);
    setMouseTracking(true); // the arrow under the mouse lights up
    ownEdit_ = new QLineEdit(this);
    ownEdit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ControlsStyle::ApplyEditLook(ownEdit_);
    AttachEdit(ownEdit_);
    setFocusProxy(ownEdit_);
    ShowPos();
}

void CTransparentSpinCtrl::AttachEdit(QLineEdit* edit) {
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
        if (edit == Buddy())
            TakeText();
    });
}

QLineEdit* CTransparentSpinCtrl::Buddy() const {
    return buddy_ ? buddy_.data() : ownEdit_;
}

void CTransparentSpinCtrl::SetBuddy(QLineEdit* edit) {
    if (edit == ownEdit_)
        edit = nullptr;
    if (buddy_ == edit && ownEdit_->isHidden() == (edit != nullptr))
        return;
    if (buddy_) {
        buddy_->removeEventFilter(this);
        disconnect(buddy_, nullptr, this, nullptr);
    }
    buddy_ = edit;
    if (edit != nullptr && edit != ownEdit_) {
        ControlsStyle::ApplyEditLook(edit);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        AttachEdit(edit);
        // A window that destroys its field first gets the built-in field back, showing the position.
        // (The field is half destroyed by then: forget it without looking at it.)
        connect(edit, &QObject::destroyed, this, [this] {
            buddy_ = nullptr;
            SetBuddy(nullptr);
        });
    }
    ownEdit_->setVisible(buddy_ == nullptr);
    setFocusProxy(Buddy());
    resizeEvent(nullptr);
    ShowPos();
    update();
}

void CTransparentSpinCtrl::SetRange(int minimum, int maximum) {
    if (maximum < minimum)
        std::swap(minimum, maximum);
    minimum_ = minimum;
    maximum_ = maximum;
    position_ = std::clamp(position_, minimum_, maximum_);
    ShowPos();
    update();
}

int CTransparentSpinCtrl::SetPos(int position) {
    const int previous = position_;
    position_ = std::clamp(position, minimum_, maximum_);
    ShowPos();
    update();
    return previous;
}

std::optional<int> CTransparentSpinCtrl::FieldValue() const {
    const QLineEdit* edit = Buddy();
    if (edit == nullptr)
        return std::nullopt;
    bool ok = false;
    const qlonglong number = edit->text().trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return static_cast<int>(std::clamp<qlonglong>(number, minimum_, maximum_));
}

int CTransparentSpinCtrl::GetPos() const {
    return FieldValue().value_or(position_);
}

void CTransparentSpinCtrl::ShowPos() {
    if (QLineEdit* edit = Buddy()) {
        const QString text = QString::number(position_);
        if (edit->text() != text)
            edit->setText(text);
    }
}

void CTransparentSpinCtrl::UserSetPos(int position) {
    const int before = position_;
    position_ = std::clamp(position, minimum_, maximum_);
    ShowPos();
    update();
    if (position_ == before)
        return;
    emit positionChanged(position_);
    NotifyScroll(Qt::Vertical, ControlsNotify::SB_THUMBPOSITION, position_);
    NotifyScroll(Qt::Vertical, ControlsNotify::SB_ENDSCROLL, position_);
}

void CTransparentSpinCtrl::TakeText() {
    const std::optional<int> typed = FieldValue();
    if (typed)
        UserSetPos(*typed);
    // Whatever was typed, the field ends up showing the position.
    ShowPos();
}

void CTransparentSpinCtrl::Step(int steps) {
    // Steps count from what the field shows, so "7" typed and then the up arrow gives 8.
    const qint64 from = FieldValue().value_or(position_);
    const qint64 target = std::clamp<qint64>(from + qint64(steps) * step_, minimum_, maximum_);
    UserSetPos(static_cast<int>(target));
}

bool CTransparentSpinCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Buddy() && isEnabled()) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
            case Qt::Key_Up:
                Step(1);
                return true;
            case Qt::Key_Down:
                Step(-1);
                return true;
            case Qt::Key_PageUp:
                Step(10);
                return true;
            case Qt::Key_PageDown:
                Step(-10);
                return true;
            default:
                break;
            }
        } else if (event->type() == QEvent::Wheel) {
            wheelEvent(static_cast<QWheelEvent*>(event));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QRect CTransparentSpinCtrl::ArrowColumn() const {
    if (buddy_)
        return rect();
    return QRect(width() - kArrowWidth, 0, kArrowWidth, height());
}

QRect CTransparentSpinCtrl::UpArrowRect() const {
    const QRect column = ArrowColumn();
    return QRect(column.left(), column.top(), column.width(), column.height() / 2);
}

QRect CTransparentSpinCtrl::DownArrowRect() const {
    const QRect column = ArrowColumn();
    const int half = column.height() / 2;
    return QRect(column.left(), column.top() + half, column.width(), column.height() - half);
}

QSize CTransparentSpinCtrl::sizeHint() const {
    const int height = QFontMetrics(font()).height() + 10;
    return buddy_ ? QSize(kArrowWidth, height) : QSize(64, height);
}

void CTransparentSpinCtrl::resizeEvent(QResizeEvent*) {
    if (!buddy_)
        ownEdit_->setGeometry(0, 0, std::max(0, width() - kArrowWidth - 2), height());
}

void CTransparentSpinCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    pressedArrow_ = UpArrowRect().contains(point) ? 1 : (DownArrowRect().contains(point) ? -1 : 0);
    if (pressedArrow_ != 0)
        Step(pressedArrow_);
    update();
    event->accept();
}

void CTransparentSpinCtrl::mouseMoveEvent(QMouseEvent* event) {
    update();
    event->accept();
}

void CTransparentSpinCtrl::mouseReleaseEvent(QMouseEvent* event) {
    pressedArrow_ = 0;
    update();
    event->accept();
}

void CTransparentSpinCtrl::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / kWheelNotch;
    if (notches != 0 && isEnabled())
        Step(notches);
    event->accept();
}

void CTransparentSpinCtrl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        pressedArrow_ = 0;
        if (buddy_)
            buddy_->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}

void CTransparentSpinCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const bool enabled = isEnabled();
    const QRect column = ArrowColumn();
    ControlsStyle::PaintField(painter, column, enabled, underMouse(), false, false);
    const QPointF mouse = mapFromGlobal(QCursor::pos());
    for (int direction : {1, -1}) {
        const QRect area = direction > 0 ? UpArrowRect() : DownArrowRect();
        const bool atEnd = direction > 0 ? position_ >= maximum_ : position_ <= minimum_;
        QColor color = ControlsStyle::SecondaryText();
        if (!enabled || atEnd)
            color = ControlsStyle::DisabledText();
        else if (pressedArrow_ == direction)
            color = ControlsStyle::AccentPressed();
        else if (area.contains(mouse.toPoint()))
            color = ControlsStyle::Accent();
        const QPointF c = QRectF(area).center();
        const qreal dy = direction > 0 ? 1.5 : -1.5;
        QPainterPath chevron;
        chevron.moveTo(c.x() - 4, c.y() + dy);
        chevron.lineTo(c.x(), c.y() - dy);
        chevron.lineTo(c.x() + 4, c.y() + dy);
        painter.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(chevron);
    }
}
