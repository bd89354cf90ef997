#include "granite/effects/CEffectsScene.h"

namespace Granite {

CEffectsScene& CEffectsScene::Instance() {
    static CEffectsScene scene;
    return scene;
}

CEffectsScene::CEffectsScene() : current_(std::make_shared<const EffectsLook>()) {}

std::shared_ptr<const EffectsLook> CEffectsScene::Current() const {
    std::lock_guard guard(lock_);
    return current_;
}

template <typename Change> void CEffectsScene::Update(Change change) {
    std::lock_guard guard(lock_);
    EffectsLook look = *current_;
    change(look);
    look.generation = current_->generation + 1;
    current_ = std::make_shared<const EffectsLook>(std::move(look));
}

void CEffectsScene::SetEffects(std::vector<EffectOverlay> overlays, std::vector<EffectFilter> filters,
                               bool mirrorOverlays, bool smooth, const std::string& camera) {
    Update([&](EffectsLook& look) {
        look.overlays = std::move(overlays);
        look.filters = std::move(filters);
        look.mirrorOverlays = mirrorOverlays;
        look.smooth = smooth;
        look.camera = camera;
    });
}

void CEffectsScene::ClearEffects() {
    Update([](EffectsLook& look) {
        look.overlays.clear();
        look.filters.clear();
    });
}

void CEffectsScene::SetShade(QImage shade) {
    Update([&](EffectsLook& look) { look.shade = std::move(shade); });
}

} // namespace Granite
