#pragma once
// Our stand-in for the effects engine's preview object: a preview of the chosen camera at 640 x 480 and 30
// frames a second, with the calibration window's guide box and the face the engine finds (the simulated
// camera shows none unless CGraniteEffectsControl says otherwise). Time comes from the process clock.
#include "platform/CRefCounted.h"
#include "services/IEffectsEnginePreview.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace Granite {

class CGraniteEffectsPreview final : public CRefCounted<IEffectsEnginePreview> {
public:
    static HRESULT Create(const Guid& iid, void** object);

    static constexpr int32_t kFrameWidth = 640;
    static constexpr int32_t kFrameHeight = 480;
    static constexpr int32_t kFramesPerSecond = 30;

    HRESULT QueryInterface(const Guid& iid, void** object) override;

    HRESULT SetCamera(const std::string& cameraId) override;
    HRESULT Run(int32_t running) override;
    HRESULT SetGuide(int32_t x, int32_t y, int32_t width, int32_t height, int32_t red, int32_t green,
                     int32_t blue) override;
    HRESULT GetRunning(int32_t* running) override;
    HRESULT GetFrameSize(int32_t* width, int32_t* height) override;
    HRESULT SetMirror(int32_t mirrored) override;
    HRESULT GetFrameCount(int32_t* frames) override;
    HRESULT GetFace(int32_t* found, int32_t* x, int32_t* y, int32_t* width, int32_t* height,
                    int32_t* confidence, int32_t* frame) override;

private:
    CGraniteEffectsPreview() = default;
    ~CGraniteEffectsPreview() override = default;
    int32_t FramesLocked() const;

    mutable std::mutex lock_;
    std::string camera_;
    bool running_ = false;
    uint32_t startTick_ = 0;
    bool mirrored_ = false;
    int32_t guide_[7] = {};
};

} // namespace Granite
