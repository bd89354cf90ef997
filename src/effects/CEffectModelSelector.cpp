#include "effects/CEffectModelSelector.h"

#include "app/CVidoraSettings.h"
#include "effects/CEffectsMruList.h"
#include "effects/CVideoEffectsCatalog.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IEffectsEngine.h"

#include <utility>

CEffectModelSelector::CEffectModelSelector(int32_t language, MruLookup mruOf)
    : language_(language), mruOf_(std::move(mruOf)) {}

uint32_t CEffectModelSelector::CaptionOf(CEffectModel::Kind kind) {
    switch (kind) {
    case CEffectModel::Kind::Avatar:
        return kAvatarCaption;
    case CEffectModel::Kind::Accessory:
        return kAccessoryCaption;
    case CEffectModel::Kind::Fun:
        break;
    }
    return kFunCaption;
}

void CEffectModelSelector::MarkUsed(const CEffectModel& model) {
    if (CEffectsMruList* mru = mruOf_ ? mruOf_(model.GetKind()) : nullptr)
        mru->Use(CVideoEffectsCatalog::MruName(model));
}

CEffectModelSelector::Outcome CEffectModelSelector::Select(const std::string& descriptionPath, bool apply) {
    problem_.clear();
    std::optional<CEffectModel> model = CEffectModel::Load(descriptionPath, language_, &problem_);
    if (!model)
        return Outcome::Unreadable;
    const bool same = current_ && current_->IsSameModel(*model);
    // The model shown when the window opened has not been handed over yet: picking it applies it.
    if (same && (!apply || handedOver_))
        return Outcome::Unchanged;
    if (!same) {
        current_ = std::move(model);
        handedOver_ = false;
        usePending_ = false;
        loadResult_ = S_FALSE;
        CVidoraSettings::WriteRootString("VideoEffectsModelXML", current_->DescriptionPath());
    }
    if (effects_ == nullptr)
        return Outcome::Chosen;

    int32_t mode = EFFECTS_MODE_IDLE;
    if (SUCCEEDED(effects_->EffectsCall13(&mode)) && mode == EFFECTS_MODE_RUNNING)
        MarkUsed(*current_);
    if (apply) {
        loadResult_ = effects_->EffectsCall24(current_->PackageFile(), current_->Type(), current_->Id());
        mode = EFFECTS_MODE_IDLE;
        effects_->EffectsCall13(&mode);
        // The engine may still be reading the package: it counts as used once the effects run with it.
        if (SUCCEEDED(loadResult_)) {
            handedOver_ = true;
            if (mode == EFFECTS_MODE_RUNNING)
                MarkUsed(*current_);
            else
                usePending_ = true;
        }
    }
    return Outcome::Chosen;
}

void CEffectModelSelector::ModelRemoved(CEffectModel::Kind kind) {
    if (current_ && current_->GetKind() == kind) {
        handedOver_ = false;
        usePending_ = false;
    }
}

void CEffectModelSelector::ModeChanged(int32_t newMode) {
    if (newMode == EFFECTS_MODE_IDLE)
        handedOver_ = false;
    if (!usePending_ || !current_ || newMode != EFFECTS_MODE_RUNNING)
        return;
    usePending_ = false;
    MarkUsed(*current_);
}
