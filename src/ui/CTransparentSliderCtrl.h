#pragma once
// A slider drawn on the window's background: a rounded channel, the part up to the thumb in the accent
// colour, a round thumb (or images for channel and thumb). Position, range, line step (arrow keys, wheel),
// page step (Page Up/Down) and orientation as usual.
//
// As with the platform's track bars, the smallest position is at the left of a horizontal slider and at the
// TOP of a vertical one; Left/Up lower the position, Right/Down raise it. Every user move is announced to the
// owning dialog as WM_HSCROLL (horizontal) or WM_VSCROLL (vertical) with a scroll code, and as scrolled(code,
// position):
//   arrow keys SB_LINEUP/SB_LINEDOWN, Page keys SB_PAGEUP/SB_PAGEDOWN, Home SB_TOP, End SB_BOTTOM,
//   dragging the thumb SB_THUMBTRACK for each new position and SB_THUMBPOSITION when it is let go,
//   a click on the channel moves the thumb there (SB_THUMBTRACK) and drags from there,
//   the wheel one line per notch; each gesture ends with SB_ENDSCROLL.
// Setting the position from code announces nothing. A gesture that does not change the position sends no
// move code, only SB_ENDSCROLL when it started one.
#include "ui/CTransparentControlBase.h"

#include <QAbstractSlider>
#include <QImage>

class CTransparentSliderCtrl : public QAbstractSlider, public CTransparentControlBase {
    Q_OBJECT
public:
    explicit CTransparentSliderCtrl(QWidget* parent = nullptr);
    explicit CTransparentSliderCtrl(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The names the windows use (same meaning as the Qt ones).
    void SetRange(int minimum, int maximum) { setRange(minimum, maximum); }
    int GetRangeMin() const { return minimum(); }
    int GetRangeMax() const { return maximum(); }
    void SetPos(int position) { setValue(position); }
    int GetPos() const { return value(); }
    void SetLineSize(int step) { setSingleStep(step < 1 ? 1 : step); }
    int GetLineSize() const { return singleStep(); }
    void SetPageSize(int step) { setPageStep(step < 1 ? 1 : step); }
    int GetPageSize() const { return pageStep(); }

    // Optional images; a null image draws the toolkit's own.
    void SetChannelImage(const QImage& image);
    void SetThumbImages(const QImage& normal, const QImage& hover, const QImage& disabled);

    // Geometry, in the slider's coordinates: where the thumb is drawn and the channel it runs in.
    QRect ThumbRect() const;
    QRect ChannelRect() const;
    // The position a point stands for (clamped to the range).
    int PositionFromPoint(const QPoint& point) const;
    bool IsThumbHot() const { return thumbHot_; }
    bool IsDragging() const { return dragging_; }

    QSize sizeHint() const override;

signals:
    void scrolled(int code, int position);

protected:
    // Draw the channel and the thumb; derived sliders may draw more between them.
    virtual void PaintChannel(QPainter& painter);
    virtual void PaintThumb(QPainter& painter);

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Init();
    // Moves to `position` and, when it changed, announces `code`. True when it moved.
    bool MoveTo(int position, uint16_t code);
    void Announce(uint16_t code);
    void EndGesture();
    int ThumbLength() const;
    int PixelOf(int position) const;

    QImage channelImage_;
    QImage thumbNormal_;
    QImage thumbHover_;
    QImage thumbDisabled_;
    bool dragging_ = false;
    int dragOffset_ = 0; // where the thumb was gripped, relative to its centre
    bool thumbHot_ = false;
    bool gestureAnnounced_ = false;
};
