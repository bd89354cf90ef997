#pragma once
// The gallery of the installed fun filters (every model that is neither an avatar nor an accessory).
#include "effects/CVideoEffectsCatalog.h"

class CVideoSpecialEffectsCatalog : public CVideoEffectsCatalog {
    Q_OBJECT
public:
    explicit CVideoSpecialEffectsCatalog(QWidget* parent = nullptr);
};
