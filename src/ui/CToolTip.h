#pragma once
// A tooltip attached to one widget: its text comes from a string id of the resource library (with the OEM
// placeholders expanded) or is given directly; long texts are wrapped to a maximum width, and the tip stays
// up for a chosen time. One CToolTip per widget, found or created with For().
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <string>

class QWidget;

class CToolTip : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultMaxWidth = 320;
    // -1 lets the desktop choose from the text's length.
    static constexpr int kDefaultDisplayTime = -1;

    // The widget's tooltip, created on first use (a child object of the widget).
    static CToolTip* For(QWidget* widget);
    // The widget's tooltip when it has one, else null.
    static CToolTip* Find(QWidget* widget);

    // Text from the resource library; an id without text clears the tip.
    void SetTextId(uint32_t stringId);
    void SetText(const std::string& text);
    void SetText(const QString& text);
    // The text is the widget's own tooltip property, so a tip set by a dialog template is wrapped too.
    QString Text() const;

    // Longest line of the shown tip in pixels (at least 40).
    void SetMaxWidth(int pixels);
    int MaxWidth() const { return maxWidth_; }
    // How long the tip stays up, in milliseconds; -1 for the desktop's choice.
    void SetDisplayTime(int milliseconds) { displayTime_ = milliseconds; }
    int DisplayTime() const { return displayTime_; }
    // An inactive tip is not shown.
    void SetActive(bool active) { active_ = active; }
    bool IsActive() const { return active_; }

    // The text as it is shown: broken into lines no wider than MaxWidth() in the tooltip font.
    QString WrappedText() const;
    // Shows the tip now, below the cursor position given in global coordinates.
    void ShowAt(const QPoint& globalPos);

    // Expands OEM placeholders of a resource string (when the OEM object is set).
    static QString ResourceText(uint32_t stringId);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CToolTip(QWidget* widget);

    QPointer<QWidget> widget_;
    int maxWidth_ = kDefaultMaxWidth;
    int displayTime_ = kDefaultDisplayTime;
    bool active_ = true;
};
