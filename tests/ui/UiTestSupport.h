#pragma once
// Dialogs that record what reaches them, and synthetic mouse, key and wheel input, for the toolkit's tests.
#include "platform/WindowMessages.h"
#include "support/EventPump.h"
#include "ui/CDialogBase.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <functional>
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
    bool operator==(const RecordedMessage&) const = default;
};

// A dialog that records what reaches it (a message's answer is wParam + 1), and its initialisation and end.
class CTestDialog : public CDialogBase {
public:
    using CDialogBase::CDialogBase;
    std::function<void(CTestDialog&)> onInit;
    std::function<void(CTestDialog&, UINT_PTR)> onTimer;
    std::vector<UINT_PTR> timers;
    std::vector<RecordedMessage> messages;
    int initCount = 0, destroyCount = 0, presses = 0;
    std::vector<RecordedMessage> Of(UINT message) const {
        std::vector<RecordedMessage> result;
        std::copy_if(messages.begin(), messages.end(), std::back_inserter(result),
                     [message](const RecordedMessage& m) { return m.message == message; });
        return result;
    }

protected:
    bool OnInitDialog() override {
        ++initCount;
        if (onInit)
            onInit(*this);
        return true;
    }
    void OnTimer(UINT_PTR id) override {
        timers.push_back(id);
        if (onTimer)
            onTimer(*this, id);
    }
    void OnDestroy() override { ++destroyCount; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back({message, wParam, lParam});
        return static_cast<LRESULT>(wParam + 1);
    }
    void mousePressEvent(QMouseEvent* event) override {
        ++presses;
        event->accept();
    }
};

// A modeless dialog without a template, created and shown, for the controls' tests.
class CRecordingDialog : public CTestDialog {
public:
    CRecordingDialog() : CTestDialog(0) {
        resize(480, 360);
        Create();
        show();
    }
    ~CRecordingDialog() override { DestroyWindow(); }
};

// Synthetic input; `globalOffset` moves the cursor without moving the local position.
struct Input {
    static void Mouse(QWidget* w, QEvent::Type type, QPoint pos, QPoint globalOffset = {},
                      Qt::MouseButtons held = Qt::LeftButton) {
        QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos) + globalOffset),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : held, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
    static void Press(QWidget* w, QPoint pos) { Mouse(w, QEvent::MouseButtonPress, pos); }
    static void Release(QWidget* w, QPoint pos) { Mouse(w, QEvent::MouseButtonRelease, pos); }
    static void Click(QWidget* w, QPoint pos) { Press(w, pos), Release(w, pos); }
    static void Click(QWidget* w) { Click(w, w->rect().center()); }
    static void Drag(QWidget* w, QPoint pos, QPoint globalOffset = {}) {
        Mouse(w, QEvent::MouseMove, pos, globalOffset);
    }
    static void Send(QWidget* w, QEvent&& event) { QApplication::sendEvent(w, &event); }
    static void Enter(QWidget* w) {
        const QPointF c(w->rect().center());
        Send(w, QEnterEvent(c, c, QPointF(w->mapToGlobal(c.toPoint()))));
    }
    static void Leave(QWidget* w) { Send(w, QEvent(QEvent::Leave)); }
    static void Key(QWidget* w, int key) {
        Send(w, QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        Send(w, QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
    }
    static void Wheel(QWidget* w, int notches) {
        const QPointF pos(w->rect().center());
        Send(w, QWheelEvent(pos, QPointF(w->mapToGlobal(pos.toPoint())), QPoint(), QPoint(0, 120 * notches),
                            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false));
    }
};

// A solid image, so a rendering can tell which one was drawn; the colour a widget now shows at its centre.
inline QImage Solid(QColor color) {
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}
inline QColor CentreColour(QWidget* w) {
    const QImage shot = w->grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() / 2);
}
