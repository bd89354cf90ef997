#include "granite/effects/CGraniteEffectsControl.h"

#include "granite/effects/CGraniteEffectsEngine.h"

namespace Granite {

CGraniteEffectsControl& CGraniteEffectsControl::Instance() {
    static CGraniteEffectsControl control;
    return control;
}

void CGraniteEffectsControl::Reset() {
    failures_.ClearAll();
    std::lock_guard<std::mutex> guard(lock_);
    loadDelay_ = std::chrono::milliseconds(1500);
    calibrationStep_ = std::chrono::milliseconds(300);
    face_.reset();
    if (holdStarting_) {
        holdStarting_ = false;
        for (CGraniteEffectsEngine* engine : live_)
            engine->HoldStarts(false);
    }
}

void CGraniteEffectsControl::Fail(int32_t operation, HRESULT result, int times) {
    failures_.Fail(operation, times, result);
}

void CGraniteEffectsControl::ClearFailures() {
    failures_.ClearAll();
}

HRESULT CGraniteEffectsControl::Take(int32_t operation) {
    return failures_.Take(operation);
}

void CGraniteEffectsControl::SetLoadDelay(std::chrono::milliseconds delay) {
    std::lock_guard<std::mutex> guard(lock_);
    loadDelay_ = delay;
}

std::chrono::milliseconds CGraniteEffectsControl::LoadDelay() const {
    std::lock_guard<std::mutex> guard(lock_);
    return loadDelay_;
}

void CGraniteEffectsControl::SetCalibrationStep(std::chrono::milliseconds step) {
    std::lock_guard<std::mutex> guard(lock_);
    calibrationStep_ = step;
}

std::chrono::milliseconds CGraniteEffectsControl::CalibrationStep() const {
    std::lock_guard<std::mutex> guard(lock_);
    return calibrationStep_;
}

void CGraniteEffectsControl::HoldStarting(bool hold) {
    std::lock_guard<std::mutex> guard(lock_);
    holdStarting_ = hold;
    for (CGraniteEffectsEngine* engine : live_)
        engine->HoldStarts(hold);
}

bool CGraniteEffectsControl::IsStartingHeld() const {
    std::lock_guard<std::mutex> guard(lock_);
    return holdStarting_;
}

void CGraniteEffectsControl::StartEffects() {
    std::lock_guard<std::mutex> guard(lock_);
    for (CGraniteEffectsEngine* engine : live_)
        engine->StartBuiltInEffects(loadDelay_);
}

void CGraniteEffectsControl::StopEffects() {
    std::lock_guard<std::mutex> guard(lock_);
    for (CGraniteEffectsEngine* engine : live_)
        engine->StopEffects();
}

void CGraniteEffectsControl::RaiseError(int32_t code, const std::string& text, int32_t value) {
    std::lock_guard<std::mutex> guard(lock_);
    for (CGraniteEffectsEngine* engine : live_)
        engine->RaiseError(code, text, value);
}

size_t CGraniteEffectsControl::LiveEngines() const {
    std::lock_guard<std::mutex> guard(lock_);
    return live_.size();
}

void CGraniteEffectsControl::SetPreviewFace(std::optional<PreviewFace> face) {
    std::lock_guard<std::mutex> guard(lock_);
    face_ = face;
}

std::optional<PreviewFace> CGraniteEffectsControl::PreviewFaceBox() const {
    std::lock_guard<std::mutex> guard(lock_);
    return face_;
}

void CGraniteEffectsControl::Attach(CGraniteEffectsEngine* engine) {
    std::lock_guard<std::mutex> guard(lock_);
    live_.insert(engine);
    if (holdStarting_)
        engine->HoldStarts(true);
}

void CGraniteEffectsControl::Detach(CGraniteEffectsEngine* engine) {
    std::lock_guard<std::mutex> guard(lock_);
    live_.erase(engine);
}

} // namespace Granite
