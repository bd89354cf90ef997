#pragma once
// The gallery of the installed accessories (hats, glasses and the like drawn onto the user).
#include "effects/CVideoEffectsCatalog.h"

class CVideoEffectsAccessoriesCatalog : public CVideoEffectsCatalog {
    Q_OBJECT
public:
    explicit CVideoEffectsAccessoriesCatalog(QWidget* parent = nullptr);
};
