#pragma once
// Process-wide control of the stand-in effects engine and its preview, for tests and diagnostics:
// operations made to fail, how long the engine takes to start and to calibrate, effects switched on and off
// from outside, and errors raised on demand on every live engine. Thread-safe.
#include "granite/devices/CFailureTable.h"
#include "platform/HResult.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace Granite {

class CGraniteEffectsEngine;

// Steps without an operation number (the numbered ones are EffectsOperation in IEffectsEngine.h).
constexpr int32_t kEffectsCreate = -1;
constexpr int32_t kEffectsAdvise = -2;
constexpr int32_t kEffectsPreviewCreate = -3;

// A face the preview reports (frame pixels).
struct PreviewFace {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t confidence = 0;
};

class CGraniteEffectsControl {
public:
    static CGraniteEffectsControl& Instance();

    // Everything back to its default; live engines stay.
    void Reset();

    void Fail(int32_t operation, HRESULT result = E_FAIL, int times = -1);
    void ClearFailures();
    HRESULT Take(int32_t operation);

    // How long the engine takes to load a model or to take the camera (1.5 s by default; 0 in tests).
    void SetLoadDelay(std::chrono::milliseconds delay);
    std::chrono::milliseconds LoadDelay() const;
    // The time between two calibration steps of 10 % (300 ms by default).
    void SetCalibrationStep(std::chrono::milliseconds step);
    std::chrono::milliseconds CalibrationStep() const;
    // While held, an engine that is starting stays in mode 1 (not ready); releasing lets it finish.
    void HoldStarting(bool hold);
    bool IsStartingHeld() const;

    // On every live engine: switch effects on with a built-in model (mode 1, then 2) or off (mode 0).
    void StartEffects();
    void StopEffects();
    // On every live engine: CME_OnError(code, text, value) from its thread.
    void RaiseError(int32_t code, const std::string& text, int32_t value);
    size_t LiveEngines() const;

    // The face the preview finds; none by default (the simulated camera shows no face).
    void SetPreviewFace(std::optional<PreviewFace> face);
    std::optional<PreviewFace> PreviewFaceBox() const;

    void Attach(CGraniteEffectsEngine* engine);
    void Detach(CGraniteEffectsEngine* engine);

private:
    mutable std::mutex lock_;
    CFailureTable failures_;
    std::chrono::milliseconds loadDelay_{1500};
    std::chrono::milliseconds calibrationStep_{300};
    bool holdStarting_ = false;
    std::optional<PreviewFace> face_;
    std::set<CGraniteEffectsEngine*> live_;
};

} // namespace Granite
