#pragma once
// A label drawn straight onto the window's background: a text, an image, or both (image left of the text).
// Texts that do not fit are elided, or wrapped when word wrap is on. With notification on, a click sends
// STN_CLICKED to the owning dialog and emits clicked() (clickable captions).
#include "ui/CTransparentControlBase.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class CTransparentStatic : public QWidget, public CTransparentControlBase {
    Q_OBJECT
    // Dialog templates and SetDlgItemText reach the text through this property.
    Q_PROPERTY(QString text READ Text WRITE SetText)
public:
    explicit CTransparentStatic(QWidget* parent = nullptr);

    void SetText(const QString& text);
    void SetText(const std::string& text) { SetText(QString::fromStdString(text)); }
    void SetTextId(uint32_t stringId);
    QString Text() const { return text_; }

    void SetImage(const QImage& image);
    void SetImageId(uint32_t resourceId);
    QImage Image() const { return image_; }

    void SetAlignment(Qt::Alignment alignment);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetWordWrap(bool on);
    bool WordWrap() const { return wordWrap_; }
    // An invalid colour means the toolkit's text colour.
    void SetTextColor(const QColor& color);
    QColor TextColor() const;
    void SetNotify(bool on);
    bool Notifies() const { return notify_; }

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString text_;
    QImage image_;
    QColor color_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    bool wordWrap_ = false;
    bool notify_ = false;
    bool pressed_ = false;
};
