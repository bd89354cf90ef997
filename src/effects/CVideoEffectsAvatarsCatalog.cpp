#include "effects/CVideoEffectsAvatarsCatalog.h"

CVideoEffectsAvatarsCatalog::CVideoEffectsAvatarsCatalog(QWidget* parent)
    : CVideoEffectsCatalog(CEffectModel::Kind::Avatar, parent) {}
