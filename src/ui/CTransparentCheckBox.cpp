#include "ui/CTransparentCheckBox.h"

#include "ui/ControlsCheckMarks.h"
#include "ui/ControlsNotify.h"
#include "ui/ControlsStyle.h"

#include <QPainter>

CTransparentCheckBox::CTransparentCheckBox(QWidget* parent)
    : QCheckBox(parent), CTransparentControlBase(this) {
    setAttribute(Qt::WA_Hover, true);
    setFont(ControlsStyle::ControlFont());
    connect(this, &QAbstractButton::clicked, this, [this] { NotifyCommand(ControlsNotify::BN_CLICKED); });
}

QSize CTransparentCheckBox::sizeHint() const {
    return ControlsCheckMarks::SizeHint(*this);
}

bool CTransparentCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void CTransparentCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ControlsCheckMarks::Paint(painter, *this, ControlsCheckMarks::Mark::Box, underMouse());
}
