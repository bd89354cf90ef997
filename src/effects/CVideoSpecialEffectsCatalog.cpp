#include "effects/CVideoSpecialEffectsCatalog.h"

CVideoSpecialEffectsCatalog::CVideoSpecialEffectsCatalog(QWidget* parent)
    : CVideoEffectsCatalog(CEffectModel::Kind::Fun, parent) {}
