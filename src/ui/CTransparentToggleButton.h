#pragma once
// An image button with a checked state: a click flips it and then sends BN_CLICKED; setChecked() changes the
// look without sending anything. The checked state has its own four images; a state without a checked image
// uses the unchecked set's pressed image, so a toggle with only one image set still shows that it is on.
#include "ui/CTransparentImageButton.h"

class CTransparentToggleButton : public CTransparentImageButton {
    Q_OBJECT
public:
    explicit CTransparentToggleButton(QWidget* parent = nullptr);

    void SetCheckedImageIds(uint32_t normal, uint32_t hover = kNoImage, uint32_t pressed = kNoImage,
                            uint32_t disabled = kNoImage);
    void SetCheckedImage(State state, const QImage& image);
    QImage CheckedImage(State state) const { return checkedImages_[Index(state)]; }

protected:
    QImage ImageFor(State state) const override;
    void PaintFallback(QPainter& painter, State state) override;

private:
    std::array<QImage, 4> checkedImages_;
};
