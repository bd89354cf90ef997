#pragma once
// The ribbon's arrangement: which buttons it shows and where (the effects and shade buttons only when a
// camera offers them, the lower group only when expanded, the mute buttons side by side or centred
// alone), the tooltips that go with the state, the background, and where the window goes on the screen.
// It works on the controls of the window it is given; the window decides when.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class CDialogBase;
class QPainter;

class CRibbonLayout {
public:
    static constexpr int kBackgroundWidth = 63;

    explicit CRibbonLayout(CDialogBase& window);

    // The distance between the capture and the effects button in the template: the step of the column.
    void MeasureButtonPitch();
    int ButtonPitch() const { return buttonPitch_; }
    // Below the capture button, one step apart: the effects and shade buttons when a camera offers them
    // and the effects engine is there; the toggle follows.
    void PlaceOptionalButtons(bool effectsPresent);
    // Stacks the lower group (when expanded) and the mute buttons under the column; the client size that
    // fits the lowest control.
    QSize Arrange(const QRect& client, bool expanded, bool effectsPresent);
    void SetTooltips(bool collapsed);

    // The brand area's bitmap at the top, the strip stretched below it (a gradient without them).
    static void PaintBackground(QPainter& painter, const QRect& client, const QImage& top,
                                const QImage& strip);
    // The stored position, pulled into its monitor's work area, else the default place; nothing without a
    // screen.
    static bool Placement(const QSize& frame, QPoint& where);

private:
    CDialogBase& window_;
    int buttonPitch_ = 0;
};
