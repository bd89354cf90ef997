#pragma once
// What the effects engine draws into the camera picture, as the capture objects read it: one process-wide,
// immutable snapshot that the engine replaces whenever its models, its mode, its options or its shade
// picture change. Reading is cheap (a shared pointer taken under a short lock), so a streaming thread asks
// for it on every frame and rebuilds its own drawing material only when the generation changed.
#include "granite/effects/CEffectPackage.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Granite {

struct EffectsLook {
    // Drawn only while the engine runs (mode 2); bottom first.
    std::vector<EffectOverlay> overlays;
    std::vector<EffectFilter> filters;
    bool mirrorOverlays = false; // the picture is shown mirrored: overlays are placed mirrored too
    bool smooth = true;          // scale overlays smoothly (the engine's quality is not low)
    std::string camera;          // the camera the effects belong to; empty: every camera
    QImage shade;                // shown instead of the camera while its software mute is on; may be null
    uint64_t generation = 0;

    bool HasEffects() const { return !overlays.empty() || !filters.empty(); }
};

class CEffectsScene {
public:
    static CEffectsScene& Instance();

    std::shared_ptr<const EffectsLook> Current() const;
    // Replaces the effects (keeps the shade picture) or the shade picture (keeps the effects).
    void SetEffects(std::vector<EffectOverlay> overlays, std::vector<EffectFilter> filters,
                    bool mirrorOverlays, bool smooth, const std::string& camera);
    void ClearEffects();
    void SetShade(QImage shade);

private:
    CEffectsScene();
    // Changes a copy of the current look under the lock, so two changes never lose one another.
    template <typename Change> void Update(Change change);

    mutable std::mutex lock_;
    std::shared_ptr<const EffectsLook> current_;
};

} // namespace Granite
