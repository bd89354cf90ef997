#pragma once
// The gallery of the installed avatars.
#include "effects/CVideoEffectsCatalog.h"

class CVideoEffectsAvatarsCatalog : public CVideoEffectsCatalog {
    Q_OBJECT
public:
    explicit CVideoEffectsAvatarsCatalog(QWidget* parent = nullptr);
};
