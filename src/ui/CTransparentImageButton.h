#pragma once
// An owner-drawn push button made of images: one per state (normal, hover, pressed, disabled), taken from the
// image cache by resource id or given as images. A "pressed look" can be set and is kept until cleared (the
// ribbon's mute buttons show the muted state that way). A click sends BN_CLICKED to the owning dialog and
// emits clicked(). Without images the button draws the toolkit's rounded field with its text.
#include "ui/CTransparentControlBase.h"

#include <QAbstractButton>
#include <QImage>

#include <array>
#include <cstdint>

class CTransparentImageButton : public QAbstractButton, public CTransparentControlBase {
    Q_OBJECT
public:
    enum class State { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
    static constexpr uint32_t kNoImage = UINT32_MAX;

    explicit CTransparentImageButton(QWidget* parent = nullptr);

    // Images from the image cache; kNoImage leaves a state without an image of its own.
    void SetImageIds(uint32_t normal, uint32_t hover = kNoImage, uint32_t pressed = kNoImage,
                     uint32_t disabled = kNoImage);
    void SetImage(State state, const QImage& image);
    QImage Image(State state) const { return images_[Index(state)]; }
    bool HasImages() const;

    // The kept pressed look (independent of the mouse).
    void SetPressedLook(bool pressed);
    bool IsPressedLook() const { return pressedLook_; }

    // A button drawn without images shows in the accent colour (the default answer of a question).
    void SetAccent(bool accent);
    bool IsAccent() const { return accent_; }

    // The state the button is drawn in right now.
    virtual State CurrentState() const;
    bool IsHovered() const { return hovered_; }

    // Resizes the button to its normal image.
    void SizeToImage();

    QSize sizeHint() const override;

protected:
    static size_t Index(State s) { return static_cast<size_t>(s); }
    // The image of a state in one image set, falling back pressed -> hover -> normal and disabled -> normal.
    static QImage Resolve(const std::array<QImage, 4>& images, State state);
    // The image drawn for a state.
    virtual QImage ImageFor(State state) const;
    // Draws the button body when there is no image.
    virtual void PaintFallback(QPainter& painter, State state);

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    std::array<QImage, 4> images_;

private:
    bool pressedLook_ = false;
    bool hovered_ = false;
    bool accent_ = false;
};
