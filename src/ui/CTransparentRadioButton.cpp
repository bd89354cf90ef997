#include "ui/CTransparentRadioButton.h"

#include "ui/ControlsCheckMarks.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QPainter>

CTransparentRadioButton::CTransparentRadioButton(QWidget* parent)
    : QRadioButton(parent), CTransparentControlBase(this) {
    setAttribute(Qt::WA_Hover, true);
    setAutoExclusive(false);
    setFont(ControlsStyle::ControlFont());
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyCommand(ControlsNotify::BN_CLICKED); });
}

void CTransparentRadioButton::SetExclusiveGroup(int group) {
    group_ = group;
}

QSize CTransparentRadioButton::sizeHint() const {
    return ControlsCheckMarks::SizeHint(*this);
}

bool CTransparentRadioButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void CTransparentRadioButton::nextCheckState() {
    // Picking a radio button always checks it; it is never unchecked by a click on itself.
    setChecked(true);
    if (group_ == kNoGroup || parentWidget() == nullptr)
        return;
    const auto siblings = parentWidget()->findChildren<CTransparentRadioButton*>(Qt::FindDirectChildrenOnly);
    for (CTransparentRadioButton* other : siblings) {
        if (other != this && other->group_ == group_)
            other->setChecked(false);
    }
}

void CTransparentRadioButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ControlsCheckMarks::Paint(painter, *this, ControlsCheckMarks::Mark::Ring, underMouse());
}
