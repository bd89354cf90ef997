#pragma once
// Helpers of the control-toolkit tests: a live dialog that records the messages its controls send, and
// synthetic mouse, key and wheel input.
#include "platform/WindowMessages.h"
#include "ui/CDialogBase.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <cstdint>
#include <vector>

struct RecordedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    uint16_t Low() const { return LOWORD(wParam); }
    uint16_t High() const { return HIWORD(wParam); }
    // The position of a scroll message (the high word is a signed 16-bit number).
    int Position() const { return static_cast<int16_t>(HIWORD(wParam)); }
    const QWidget* Control() const { return reinterpret_cast<const QWidget*>(lParam); }
};

// A modeless dialog, created and shown, that keeps every message reaching OnMessage and counts the mouse
// presses that reach the window itself.
class CRecordingDialog : public CDialogBase {
public:
    CRecordingDialog() : CDialogBase(0) {
        resize(480, 360);
        Create();
        show();
    }
    ~CRecordingDialog() override { DestroyWindow(); }

    std::vector<RecordedMessage> messages;
    int presses = 0;

    // Messages of one kind only.
    std::vector<RecordedMessage> Of(UINT message) const {
        std::vector<RecordedMessage> result;
        for (const RecordedMessage& m : messages)
            if (m.message == message)
                result.push_back(m);
        return result;
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
    void mousePressEvent(QMouseEvent* event) override {
        ++presses;
        event->accept();
    }
};

namespace Input {

inline void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
inline void Press(QWidget* w, QPoint pos) {
    Mouse(w, QEvent::MouseButtonPress, pos);
}
inline void Release(QWidget* w, QPoint pos) {
    Mouse(w, QEvent::MouseButtonRelease, pos);
}
inline void Click(QWidget* w, QPoint pos) {
    Press(w, pos);
    Release(w, pos);
}
inline void Click(QWidget* w) {
    Click(w, w->rect().center());
}
inline void Move(QWidget* w, QPoint pos, bool leftHeld) {
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                      leftHeld ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
inline void Enter(QWidget* w) {
    QEnterEvent event(QPointF(w->rect().center()), QPointF(w->rect().center()),
                      QPointF(w->mapToGlobal(w->rect().center())));
    QApplication::sendEvent(w, &event);
}
inline void Leave(QWidget* w) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}
inline void Key(QWidget* w, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}
inline void Wheel(QWidget* w, int notches) {
    const QPointF pos = QPointF(w->rect().center());
    QWheelEvent event(pos, QPointF(w->mapToGlobal(pos.toPoint())), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

} // namespace Input

// A solid image, so a rendering can tell which one was drawn.
inline QImage Solid(QColor color, QSize size = QSize(24, 24)) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// The colour at the centre of a widget as it renders now.
inline QColor CentreColour(QWidget* w) {
    const QImage shot = w->grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() / 2);
}
