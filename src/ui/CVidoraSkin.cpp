#include "ui/CVidoraSkin.h"

#include "config/COEMInfo.h"
#include "ui/CDialogBase.h"
#include "ui/CImageCache.h"
#include "ui/ControlsStyle.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QWidget>

#include <algorithm>
#include <atomic>

namespace {

constexpr const char* kStandardTitle = "app_titlename.png";
constexpr const char* kStandardTitleInactive = "app_titlename_inactive.png";
constexpr int kTitleImageHeight = 20;
constexpr int kTitlePadding = 10;
// A drag shorter than this is a click on the title bar, not a move.
constexpr int kDragThreshold = 3;

std::atomic<bool> g_animationsEnabled{true};

uint32_t BuiltInIdFor(const std::string& name) {
    if (name == kStandardTitle)
        return CVidoraSkin::kTitleImageId;
    if (name == kStandardTitleInactive)
        return CVidoraSkin::kTitleImageInactiveId;
    return CVidoraSkin::kNoResource;
}

QImage LoadGraphicOrBuiltIn(const std::string& name, uint32_t id) {
    QImage image;
    if (COEMInfo* oem = GetOEMInfo(); oem != nullptr && !name.empty()) {
        if (oem->GetGraphic(name, id == CVidoraSkin::kNoResource ? CImageCache::kSlotCount : id, image))
            return image;
        return {};
    }
    if (id != CVidoraSkin::kNoResource)
        image = CImageCache::Instance().GetImage(id);
    return image;
}

QColor TitleBarColour(bool active) {
    return active ? QColor(0x26, 0x2A, 0x31) : QColor(0x22, 0x25, 0x2B);
}

} // namespace

CVidoraSkin::CVidoraSkin(const std::string& inactiveTitleImage, const std::string& activeTitleImage,
                         FrameStyle style, QObject* parent)
    : QObject(parent), style_(style) {
    LoadImages(inactiveTitleImage, BuiltInIdFor(inactiveTitleImage), activeTitleImage,
               BuiltInIdFor(activeTitleImage));
}

CVidoraSkin::CVidoraSkin(const std::string& inactiveTitleImage, uint32_t inactiveId,
                         const std::string& activeTitleImage, uint32_t activeId, FrameStyle style,
                         QObject* parent)
    : QObject(parent), style_(style) {
    LoadImages(inactiveTitleImage, inactiveId, activeTitleImage, activeId);
}

CVidoraSkin::~CVidoraSkin() {
    Detach();
}

QImage CVidoraSkin::LoadSkinImage(const std::string& fileName, uint32_t resourceId) {
    return LoadGraphicOrBuiltIn(fileName, resourceId);
}

QImage CVidoraSkin::SkinImage(uint32_t resourceId) {
    return CImageCache::Instance().GetImage(resourceId);
}

void CVidoraSkin::LoadImages(const std::string& inactiveName, uint32_t inactiveId,
                             const std::string& activeName, uint32_t activeId) {
    inactiveImage_ = LoadSkinImage(inactiveName, inactiveId);
    activeImage_ = LoadSkinImage(activeName, activeId);
    // A window without an inactive image keeps its active one.
    if (inactiveImage_.isNull())
        inactiveImage_ = activeImage_;
    const uint32_t closeIds[] = {kCloseNormalId, kCloseHoverId, kClosePressedId};
    for (int i = 0; i < 3; ++i)
        closeImages_[i] = CImageCache::Instance().GetImage(closeIds[i]);
}

void CVidoraSkin::Attach(QWidget* window, bool shiftChildren) {
    if (window == window_)
        return;
    Detach();
    if (window == nullptr)
        return;
    window_ = window;
    if (window->isWindow()) {
        const bool visible = window->isVisible();
        window->setWindowFlags(window->windowFlags() | Qt::FramelessWindowHint);
        if (visible)
            window->show();
    }
    if (shiftChildren) {
        const QPoint offset = ClientOffset();
        const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (!child->isWindow())
                child->move(child->pos() + offset);
        }
        window->resize(WindowSizeFor(window->size()));
    }
    window->setMouseTracking(true);
    window->installEventFilter(this);
    window->update();
}

void CVidoraSkin::Detach() {
    if (animation_) {
        animation_->stop();
        delete animation_;
    }
    if (window_)
        window_->removeEventFilter(this);
    window_ = nullptr;
    hot_ = pressed_ = Part::None;
    dragging_ = false;
}

// ---- geometry
// ------------------------------------------------------------------------------------------------

QRect CVidoraSkin::TitleBarRect() const {
    if (!window_)
        return {};
    return QRect(kBorder, kBorder, std::max(0, window_->width() - 2 * kBorder), kTitleHeight);
}

QRect CVidoraSkin::CloseButtonRect() const {
    const QRect bar = TitleBarRect();
    if (bar.isEmpty())
        return {};
    return QRect(bar.right() - kButtonSize - 1, bar.top() + (kTitleHeight - kButtonSize) / 2, kButtonSize,
                 kButtonSize);
}

QRect CVidoraSkin::MinimizeButtonRect() const {
    if (style_ != FrameStyle::Main)
        return {};
    const QRect close = CloseButtonRect();
    if (close.isEmpty())
        return {};
    return close.translated(-kButtonSize, 0);
}

QRect CVidoraSkin::ClientRect() const {
    if (!window_)
        return {};
    return QRect(ClientOffset(), QSize(std::max(0, window_->width() - 2 * kBorder),
                                       std::max(0, window_->height() - 2 * kBorder - kTitleHeight)));
}

QSize CVidoraSkin::WindowSizeFor(const QSize& client) const {
    return QSize(client.width() + 2 * kBorder, client.height() + 2 * kBorder + kTitleHeight);
}

void CVidoraSkin::ResizeClient(const QSize& client) {
    if (window_)
        window_->resize(WindowSizeFor(client));
}

CVidoraSkin::Part CVidoraSkin::PartAt(const QPoint& pos) const {
    if (CloseButtonRect().contains(pos))
        return Part::Close;
    if (MinimizeButtonRect().contains(pos))
        return Part::Minimize;
    if (TitleBarRect().contains(pos))
        return Part::Title;
    return Part::None;
}

// ---- events
// --------------------------------------------------------------------------------------------------

bool CVidoraSkin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && FilterEvent(event))
        return true;
    return QObject::eventFilter(watched, event);
}

bool CVidoraSkin::FilterEvent(QEvent* event) {
    if (!window_)
        return false;
    switch (event->type()) {
    case QEvent::Paint:
        return HandlePaint(event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return HandleMouse(event);
    case QEvent::Leave:
        SetHot(Part::None);
        return false;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ActivationChange:
    case QEvent::WindowTitleChange:
        window_->update(TitleBarRect());
        return false;
    default:
        return false;
    }
}

bool CVidoraSkin::HandlePaint(QEvent* event) {
    if (inPaint_)
        return false; // the window's own painting, forwarded below
    {
        QPainter painter(window_);
        PaintBackground(painter);
    }
    inPaint_ = true;
    QApplication::sendEvent(window_, event);
    inPaint_ = false;
    if (window_) {
        QPainter painter(window_);
        PaintFrame(painter);
    }
    return true;
}

bool CVidoraSkin::HandleMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = mouse->position().toPoint();
    const Part part = PartAt(pos);

    switch (event->type()) {
    case QEvent::MouseMove:
        if (dragging_ && (mouse->buttons() & Qt::LeftButton)) {
            const QPoint delta = mouse->globalPosition().toPoint() - dragStartGlobal_;
            if (dragMoved_ || delta.manhattanLength() >= kDragThreshold) {
                dragMoved_ = true;
                window_->window()->move(dragStartWindow_ + delta);
            }
            return true;
        }
        SetHot(pressed_ == Part::None || pressed_ == part ? part : Part::None);
        return part != Part::None;
    case QEvent::MouseButtonPress:
        if (part == Part::None)
            return false;
        if (mouse->button() == Qt::LeftButton) {
            pressed_ = part;
            if (part == Part::Title) {
                dragging_ = true;
                dragMoved_ = false;
                dragStartGlobal_ = mouse->globalPosition().toPoint();
                dragStartWindow_ = window_->window()->pos();
            }
            window_->update(TitleBarRect());
        }
        return true;
    case QEvent::MouseButtonRelease: {
        const Part wasPressed = pressed_;
        const bool wasDragging = dragging_ && dragMoved_;
        if (wasPressed == Part::None && part == Part::None)
            return false;
        pressed_ = Part::None;
        dragging_ = false;
        dragMoved_ = false;
        if (window_)
            window_->update(TitleBarRect());
        if (mouse->button() != Qt::LeftButton)
            return true;
        if (wasDragging)
            emit dragFinished();
        else if (wasPressed == Part::Close && part == Part::Close)
            RequestClose();
        else if (wasPressed == Part::Minimize && part == Part::Minimize && window_)
            window_->window()->showMinimized();
        return true;
    }
    case QEvent::MouseButtonDblClick:
        return part != Part::None;
    default:
        return false;
    }
}

void CVidoraSkin::SetHot(Part part) {
    if (hot_ == part)
        return;
    hot_ = part;
    if (window_)
        window_->update(TitleBarRect());
}

void CVidoraSkin::RequestClose() {
    emit closeClicked();
    if (!window_)
        return;
    // The close goes through the window's own close handling, after the click has been dealt with.
    if (auto* dialog = qobject_cast<CDialogBase*>(window_.data()); dialog != nullptr && dialog->IsWindow())
        dialog->PostMessage(WM_CLOSE);
    else
        QMetaObject::invokeMethod(window_.data(), "close", Qt::QueuedConnection);
}

// ---- painting
// ------------------------------------------------------------------------------------------------

void CVidoraSkin::PaintBackground(QPainter& painter) const {
    if (!drawBackground_)
        return;
    painter.fillRect(window_->rect(), ControlsStyle::WindowBackground());
}

void CVidoraSkin::PaintFrame(QPainter& painter) const {
    const bool active = window_->isActiveWindow();
    const QRect bar = TitleBarRect();
    painter.fillRect(bar, TitleBarColour(active));
    painter.setPen(ControlsStyle::Border());
    painter.drawLine(bar.bottomLeft(), bar.bottomRight());

    // The title image, then the title text, in the room left of the buttons.
    const QRect buttons = MinimizeButtonRect().isEmpty() ? CloseButtonRect() : MinimizeButtonRect();
    int x = bar.left() + kTitlePadding;
    const int room = buttons.left() - 6 - x;
    const QImage& image = active ? activeImage_ : inactiveImage_;
    if (!image.isNull() && room > 0) {
        QSizeF size = image.deviceIndependentSize();
        size.scale(QSizeF(room, kTitleImageHeight), Qt::KeepAspectRatio);
        // Shrunk to less than two thirds it would be unreadable: leave it out then.
        if (size.height() >= kTitleImageHeight * 2 / 3.0) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            const QRectF target(QPointF(x, bar.top() + (kTitleHeight - size.height()) / 2.0), size);
            painter.drawImage(target, image);
            x = static_cast<int>(target.right()) + kTitlePadding;
        }
    }
    // Panes name themselves beside the wordmark; pop-ups and the ribbon show the wordmark alone (a title text
    // there would only repeat the product name).
    const bool drewImage = x > bar.left() + kTitlePadding;
    if (style_ == FrameStyle::Pane || (style_ == FrameStyle::Popup && !drewImage)) {
        const QString title = window_->windowTitle();
        const QRect textRect(x, bar.top(), buttons.left() - 6 - x, kTitleHeight);
        if (!title.isEmpty() && textRect.width() > 20) {
            painter.setFont(ControlsStyle::TitleFont());
            painter.setPen(active ? ControlsStyle::Text() : ControlsStyle::SecondaryText());
            painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                             painter.fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));
        }
    }
    PaintMinimizeButton(painter);
    PaintCloseButton(painter);

    // The 1-pixel border around the whole window.
    painter.setPen(QPen(active ? ControlsStyle::Border().lighter(115) : ControlsStyle::Border(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(window_->rect().adjusted(0, 0, -1, -1));
}

void CVidoraSkin::PaintCloseButton(QPainter& painter) const {
    const QRect r = CloseButtonRect();
    if (r.isEmpty())
        return;
    const int state = pressed_ == Part::Close && hot_ == Part::Close ? 2 : (hot_ == Part::Close ? 1 : 0);
    if (!closeImages_[state].isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(r), closeImages_[state]);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (state > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(state == 2 ? ControlsStyle::Error().darker(125) : ControlsStyle::Error());
        painter.drawRoundedRect(QRectF(r).adjusted(2, 2, -2, -2), ControlsStyle::kControlRadius,
                                ControlsStyle::kControlRadius);
    }
    const QPointF c = QRectF(r).center();
    painter.setPen(QPen(state > 0 ? QColor(Qt::white) : ControlsStyle::SecondaryText(), 1.8, Qt::SolidLine,
                        Qt::RoundCap));
    painter.drawLine(c + QPointF(-4.5, -4.5), c + QPointF(4.5, 4.5));
    painter.drawLine(c + QPointF(4.5, -4.5), c + QPointF(-4.5, 4.5));
    painter.restore();
}

void CVidoraSkin::PaintMinimizeButton(QPainter& painter) const {
    const QRect r = MinimizeButtonRect();
    if (r.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (hot_ == Part::Minimize) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(pressed_ == Part::Minimize ? ControlsStyle::Surface()
                                                    : ControlsStyle::SurfaceHover());
        painter.drawRoundedRect(QRectF(r).adjusted(2, 2, -2, -2), ControlsStyle::kControlRadius,
                                ControlsStyle::kControlRadius);
    }
    const QPointF c = QRectF(r).center();
    painter.setPen(QPen(hot_ == Part::Minimize ? ControlsStyle::Text() : ControlsStyle::SecondaryText(), 1.8,
                        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(c + QPointF(-5, 0.5), c + QPointF(5, 0.5));
    painter.restore();
}

// ---- docking
// -------------------------------------------------------------------------------------------------

QPoint CVidoraSkin::DockedPosition(const QSize& pane, const QRect& ribbon, int side) {
    switch (side) {
    case DockRight:
        return QPoint(ribbon.right() + 1, ribbon.top());
    case DockTop:
        return QPoint(ribbon.left(), ribbon.top() - pane.height());
    case DockBottom:
        return QPoint(ribbon.left(), ribbon.bottom() + 1);
    case DockLeft:
    default:
        return QPoint(ribbon.left() - pane.width(), ribbon.top());
    }
}

int CVidoraSkin::ChooseDockSide(const QSize& pane, const QRect& ribbon, const QRect& screen) {
    if (!screen.isValid())
        return DockRight;
    if (ribbon.right() + pane.width() <= screen.right())
        return DockRight;
    if (ribbon.left() - pane.width() >= screen.left())
        return DockLeft;
    return DockRight;
}

void CVidoraSkin::SetAnimationsEnabled(bool on) {
    g_animationsEnabled.store(on);
}

bool CVidoraSkin::AnimationsEnabled() {
    return g_animationsEnabled.load();
}

bool CVidoraSkin::IsSliding() const {
    return animation_ && animation_->state() == QAbstractAnimation::Running;
}

void CVidoraSkin::Animate(const QPoint& from, const QPoint& to, std::function<void()> done) {
    QWidget* window = window_ ? window_->window() : nullptr;
    if (animation_) {
        animation_->stop();
        delete animation_;
    }
    if (window == nullptr) {
        if (done)
            done();
        return;
    }
    if (!AnimationsEnabled()) {
        window->move(to);
        if (done)
            done();
        return;
    }
    window->move(from);
    auto* animation = new QPropertyAnimation(window, "pos", this);
    animation->setDuration(kSlideMilliseconds);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QPropertyAnimation::finished, this, [done = std::move(done)] {
        if (done)
            done();
    });
    animation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void CVidoraSkin::SlideOut(const QRect& ribbon, int side) {
    if (!window_)
        return;
    const QSize size = window_->window()->size();
    const QPoint target = DockedPosition(size, ribbon, side);
    // Out from behind the ribbon: the start is the docked place pushed back towards the ribbon.
    QPoint start = target;
    switch (side) {
    case DockRight:
        start.rx() -= std::min(size.width(), ribbon.width() + size.width() / 2);
        break;
    case DockTop:
        start.ry() += std::min(size.height(), ribbon.height() + size.height() / 2);
        break;
    case DockBottom:
        start.ry() -= std::min(size.height(), ribbon.height() + size.height() / 2);
        break;
    default:
        start.rx() += std::min(size.width(), ribbon.width() + size.width() / 2);
        break;
    }
    Animate(start, target, {});
}

void CVidoraSkin::SlideIn(const QRect& ribbon, int side, std::function<void()> done) {
    if (!window_) {
        if (done)
            done();
        return;
    }
    const QWidget* window = window_->window();
    const QPoint from = window->pos();
    QPoint behind = DockedPosition(window->size(), ribbon, side);
    if (side == DockRight)
        behind.rx() -= window->width() / 2;
    else if (side == DockLeft)
        behind.rx() += window->width() / 2;
    Animate(from, behind, std::move(done));
}
