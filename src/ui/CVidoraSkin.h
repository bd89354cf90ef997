#pragma once
// The window skin: draws the frame, title bar and background of a skinned window (a frameless top-level
// window with its own title bar: the title image, the window's title, a close button and, for the main
// window, a minimise button), and slides a docked pane out beside the ribbon.
//
// The skin sees every event of its window before the window does (an event filter) and consumes what belongs
// to the title bar: presses, drags and releases there move the window or work its buttons and never reach
// the window's own handlers. Painting is layered: the skin's background, then the window's own painting, then
// the frame and title bar on top.
//
// Title images are looked up by file name through the OEM graphics (so a reseller's OEM folder can replace
// them) and fall back to the built-in images of the image cache; without any image the window title is shown.
//
// Dock sides, as the ribbon and the panes number them:
//   0 right of the ribbon  (the pane's left edge touches the ribbon's right edge, top edges level)
//   1 left of the ribbon   (the pane's right edge touches the ribbon's left edge, top edges level)
//   2 above the ribbon     (the pane's bottom edge touches the ribbon's top edge, left edges level)
//   3 below the ribbon     (the pane's top edge touches the ribbon's bottom edge, left edges level)
// The ribbon is a vertical bar, so the skin itself only ever chooses 0 or 1.
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <cstdint>
#include <functional>
#include <string>

class QPainter;
class QPropertyAnimation;
class QWidget;

class CVidoraSkin : public QObject {
    Q_OBJECT
public:
    enum class FrameStyle {
        Main,  // the ribbon: minimise and close buttons, no title text
        Pane,  // docked panes and other windows: title image, title text, close button
        Popup, // message boxes and option pop-ups: like Pane
    };
    enum DockSide { DockRight = 0, DockLeft = 1, DockTop = 2, DockBottom = 3 };

    static constexpr int kTitleHeight = 32;
    static constexpr int kBorder = 1;
    static constexpr int kButtonSize = 28;
    static constexpr uint32_t kNoResource = UINT32_MAX;
    // Built-in images of the toolkit (resource ids of the image cache).
    static constexpr uint32_t kTitleImageId = 1000;
    static constexpr uint32_t kTitleImageInactiveId = 1001;
    static constexpr uint32_t kCloseNormalId = 1002;
    static constexpr uint32_t kCloseHoverId = 1003;
    static constexpr uint32_t kClosePressedId = 1004;
    static constexpr int kSlideMilliseconds = 220;

    // The title images of an inactive and an active window, by file name. The two standard names map to the
    // toolkit's built-in images; other names have only the OEM folder unless ids are given.
    CVidoraSkin(const std::string& inactiveTitleImage, const std::string& activeTitleImage,
                FrameStyle style = FrameStyle::Pane, QObject* parent = nullptr);
    CVidoraSkin(const std::string& inactiveTitleImage, uint32_t inactiveId,
                const std::string& activeTitleImage, uint32_t activeId, FrameStyle style = FrameStyle::Pane,
                QObject* parent = nullptr);
    ~CVidoraSkin() override;

    // Takes over the window's frame: makes a top-level window frameless, moves the existing child controls
    // below the title bar and grows the window by the frame (unless shiftChildren is false), and starts
    // seeing the window's events. One window per skin; attaching another detaches the first.
    void Attach(QWidget* window, bool shiftChildren = true);
    void Detach();
    QWidget* Window() const { return window_; }
    FrameStyle Style() const { return style_; }

    // Windows that paint their whole background themselves turn the skin's background off.
    void SetDrawBackground(bool on) { drawBackground_ = on; }

    // Geometry in the window's coordinates.
    QRect TitleBarRect() const;
    QRect CloseButtonRect() const;
    QRect MinimizeButtonRect() const; // empty unless the style has one
    QRect ClientRect() const;
    // The window size that gives a client area of this size; ResizeClient resizes the window so.
    QSize WindowSizeFor(const QSize& client) const;
    void ResizeClient(const QSize& client);
    QPoint ClientOffset() const { return QPoint(kBorder, kBorder + kTitleHeight); }

    QImage TitleImage(bool active) const { return active ? activeImage_ : inactiveImage_; }

    // The skin's image store for windows: a picture by file name through the OEM graphics, falling back to
    // the image cache's `resourceId` (kNoResource: none); a null image when neither has it.
    static QImage LoadSkinImage(const std::string& fileName, uint32_t resourceId);
    // An image of the image cache.
    static QImage SkinImage(uint32_t resourceId);
    bool IsCloseHot() const { return hot_ == Part::Close; }

    // Offered every event of the window first; true when the skin consumed it.
    bool FilterEvent(QEvent* event);

    // ---- docking --------------------------------------------------------------------------------------
    // Where a pane of this size goes when docked on a side of the ribbon.
    static QPoint DockedPosition(const QSize& pane, const QRect& ribbon, int side);
    // The side a pane should dock on: right of the ribbon when it fits on the screen there, else left when
    // it fits there, else right.
    static int ChooseDockSide(const QSize& pane, const QRect& ribbon, const QRect& screen);
    // Slides the window out from behind the ribbon to its docked position (at once when animations are off).
    void SlideOut(const QRect& ribbon, int side);
    // Slides the window back behind the ribbon, then calls `done` (at once when animations are off).
    void SlideIn(const QRect& ribbon, int side, std::function<void()> done);
    bool IsSliding() const;
    // Process-wide; off in tests so that windows land at once.
    static void SetAnimationsEnabled(bool on);
    static bool AnimationsEnabled();

signals:
    void closeClicked();
    // The user dragged the window by its title bar (once per drag, when it ends).
    void dragFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Part { None, Title, Close, Minimize };

    void LoadImages(const std::string& inactiveName, uint32_t inactiveId, const std::string& activeName,
                    uint32_t activeId);
    Part PartAt(const QPoint& pos) const;
    void PaintBackground(QPainter& painter) const;
    void PaintFrame(QPainter& painter) const;
    void PaintCloseButton(QPainter& painter) const;
    void PaintMinimizeButton(QPainter& painter) const;
    bool HandlePaint(QEvent* event);
    bool HandleMouse(QEvent* event);
    void RequestClose();
    void SetHot(Part part);
    void Animate(const QPoint& from, const QPoint& to, std::function<void()> done);

    QPointer<QWidget> window_;
    FrameStyle style_;
    QImage inactiveImage_;
    QImage activeImage_;
    QImage closeImages_[3];
    bool drawBackground_ = true;
    bool inPaint_ = false;
    Part hot_ = Part::None;
    Part pressed_ = Part::None;
    bool dragging_ = false;
    bool dragMoved_ = false;
    QPoint dragStartGlobal_;
    QPoint dragStartWindow_;
    QPointer<QPropertyAnimation> animation_;
};
