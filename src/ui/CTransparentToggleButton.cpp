#include "ui/CTransparentToggleButton.h"

#include "ui/CImageCache.h"
#include "ui/ControlsStyle.h"

#include <QPainter>

CTransparentToggleButton::CTransparentToggleButton(QWidget* parent) : CTransparentImageButton(parent) {
    setCheckable(true);
}

void CTransparentToggleButton::SetCheckedImageIds(uint32_t normal, uint32_t hover, uint32_t pressed,
                                                  uint32_t disabled) {
    const uint32_t ids[] = {normal, hover, pressed, disabled};
    for (size_t i = 0; i < 4; ++i)
        checkedImages_[i] = ids[i] == kNoImage ? QImage() : CImageCache::Instance().GetImage(ids[i]);
    update();
}

void CTransparentToggleButton::SetCheckedImage(State state, const QImage& image) {
    checkedImages_[Index(state)] = image;
    update();
}

QImage CTransparentToggleButton::ImageFor(State state) const {
    if (!isChecked())
        return Resolve(images_, state);
    const QImage& own = checkedImages_[Index(state)];
    if (!own.isNull())
        return own;
    const QImage& checkedNormal = checkedImages_[Index(State::Normal)];
    if (!checkedNormal.isNull())
        return checkedNormal;
    // No checked images at all: the pressed image is the closest thing to "on".
    return Resolve(images_, state == State::Disabled ? State::Disabled : State::Pressed);
}

void CTransparentToggleButton::PaintFallback(QPainter& painter, State state) {
    const bool enabled = state != State::Disabled;
    ControlsStyle::PaintField(painter, rect(), enabled, state == State::Hover, state == State::Pressed,
                              isChecked() && enabled);
}
