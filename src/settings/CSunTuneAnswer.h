#pragma once
// What the user's answer in the SunTune notification does to a camera. The answers: 0 "always use
// SunTune" and 1 "use it until the camera stops" put the recommended mode on the camera (1 is undone when
// the stream ends), 2 "no" switches SunTune off; closing the notification without an answer switches it
// off for this stream only. Every path blocks the notification until the stream ends, saves the mode in
// the camera's settings key and announces it to the listeners of the facade (FireSeverityChanged with the
// new mode first, then the mode the camera had).
#include <cstdint>
#include <string>

class IGraniteDeviceManager;

class CSunTuneAnswer {
public:
    // cameraKey: the camera's settings key (CVidoraSettings::GetCameraKey); empty when the camera has no
    // name, and then nothing is stored. A null facade changes nothing at all.
    CSunTuneAnswer(IGraniteDeviceManager* devices, std::string deviceId, std::string cameraKey);

    static constexpr int32_t kAlways = 0;
    static constexpr int32_t kThisStream = 1;
    static constexpr int32_t kNo = 2;

    // OK with one of the three answers (an answer out of range counts as "no").
    void Accept(int32_t answer, int32_t recommendedMode) const;
    // Cancel or the close box: SunTune off now, back to the default mode when the stream ends.
    void Dismiss() const;

private:
    int32_t SetMode(int32_t mode) const; // returns the mode the camera had (0 when unreadable)
    void SaveMode(int32_t mode) const;
    void WriteNumber(const char* name, uint32_t value) const;

    IGraniteDeviceManager* devices_;
    std::string deviceId_;
    std::string cameraKey_;
};
