#include "effects/CVideoEffectsAccessoriesCatalog.h"

CVideoEffectsAccessoriesCatalog::CVideoEffectsAccessoriesCatalog(QWidget* parent)
    : CVideoEffectsCatalog(CEffectModel::Kind::Accessory, parent) {}
