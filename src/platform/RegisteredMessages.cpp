#include "platform/RegisteredMessages.h"

namespace RegisteredMessages {

const std::vector<const CRegisteredMessage*>& All() {
    static const std::vector<const CRegisteredMessage*> all = {
        &UniqueInstance,       &UniqueInstanceRepost,    &MessengerFeedback,      &ForceClose,
        &CalibrationCompleted, &CalibrationWindowClosed, &CloseCalibrationWindow, &InstalledPackage,
        &AudioWizardFinished,  &ResolutionChanged,       &EffectsError,           &EffectsModeChange,
    };
    return all;
}

} // namespace RegisteredMessages

void RegisterAllMessages() {
    for (const CRegisteredMessage* message : RegisteredMessages::All())
        message->Id();
}
