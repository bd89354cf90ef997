#pragma once
// The camera's LED during a countdown: it blinks, faster in the last seconds, and gets its own setting back
// when the countdown ends. The setting found when the blinking began is kept until it is restored.
#include <cstdint>
#include <optional>

class IGraniteDeviceManager;

class CLedBlink {
public:
    // The LED setting while blinking: mode 2 with argument 3, at one of two rates.
    static constexpr int32_t kBlinkMode = 2;
    static constexpr int32_t kBlinkArgument = 3;
    static constexpr int32_t kSlowRate = 20;
    static constexpr int32_t kFastRate = 40;
    // Below this many remaining seconds the LED blinks fast.
    static constexpr int32_t kFastBelowSeconds = 4;
    // What a restore writes instead of the saved mode: the plain mode without the SunTune mode, the
    // SunTune-controlled mode with it.
    static constexpr int32_t kPlainMode = 1;
    static constexpr int32_t kSunTuneMode = 5;

    struct LedSetting {
        int32_t mode = 0;
        int32_t argument = 0;
        int32_t rate = 0;
    };

    // Without a device manager every operation does nothing. The facade is not owned.
    explicit CLedBlink(IGraniteDeviceManager* deviceManager);

    // The current camera can blink its LED (IsLedModeSupported).
    bool HasLedControl() const;
    // Restores a setting saved earlier, then saves the current one. Nothing is saved when it cannot be read.
    void Start();
    // One countdown tick: blink at the rate the remaining time asks for, unless the LED already does.
    void Update(int32_t remainingSeconds);
    // Writes the saved setting back (adjusted to the camera's SunTune mode) and drops it; nothing without a
    // saved setting.
    void Restore();
    bool HasSaved() const { return saved_.has_value(); }
    const std::optional<LedSetting>& Saved() const { return saved_; }

    // The rate the LED should blink at with this many seconds to go.
    static int32_t WantedRate(int32_t remainingSeconds);

private:
    IGraniteDeviceManager* deviceManager_;
    std::optional<LedSetting> saved_;
};
