#pragma once
// What choosing an effect model does, without a window: the choice is remembered and stored
// ("VideoEffectsModelXML"); while the effects run (mode 2) the model goes to the front of its kind's
// recently used list; and when the choice is to be applied it is handed to the engine (its package, kind and
// identity). A model handed over while the effects were not running counts as used once the engine reports
// that it runs (ModeChanged).
#include "effects/CEffectModel.h"
#include "platform/HResult.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CEffectsMruList;
class IBrenmoorVideoEffects;

class CEffectModelSelector {
public:
    // Caption texts of the chosen model's kind.
    static constexpr uint32_t kAvatarCaption = 316;
    static constexpr uint32_t kAccessoryCaption = 317;
    static constexpr uint32_t kFunCaption = 366;

    enum class Outcome {
        Unreadable, // the description could not be read: nothing changed
        Unchanged,  // the model was already the chosen one (and handed over, when asked to apply)
        Chosen,     // chosen, and handed to the engine when asked and possible
    };

    // `mruOf` gives the recently used list of a kind (null: that kind keeps none).
    using MruLookup = std::function<CEffectsMruList*(CEffectModel::Kind)>;
    CEffectModelSelector(int32_t language, MruLookup mruOf);

    // The facade of the engine; null while there is none. Not owned.
    void SetEffects(IBrenmoorVideoEffects* effects) { effects_ = effects; }

    Outcome Select(const std::string& descriptionPath, bool apply);
    // The engine's mode changed: a model handed over counts as used once the effects run; once they stop,
    // picking the chosen model hands it over again.
    void ModeChanged(int32_t newMode);
    // The engine dropped the models of a kind: picking the chosen model of that kind hands it over again.
    void ModelRemoved(CEffectModel::Kind kind);

    const std::optional<CEffectModel>& Current() const { return current_; }
    // Why the last Select found the description unreadable (English, for the debug log).
    const std::string& LastProblem() const { return problem_; }
    // The engine's answer to the last hand-over (S_FALSE when none was made).
    HRESULT LastLoadResult() const { return loadResult_; }

    static uint32_t CaptionOf(CEffectModel::Kind kind);

private:
    void MarkUsed(const CEffectModel& model);

    int32_t language_;
    MruLookup mruOf_;
    IBrenmoorVideoEffects* effects_ = nullptr;
    std::optional<CEffectModel> current_;
    bool handedOver_ = false;
    bool usePending_ = false;
    std::string problem_;
    HRESULT loadResult_ = S_FALSE;
};
