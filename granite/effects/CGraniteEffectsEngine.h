#pragma once
// Our stand-in for the maker's video-effects engine: the mode machine windows rely on (IEffectsEngine.h
// says what each mode and operation means), run on the engine's own thread. The mode follows from its state:
//   calibrating                                   -> 6
//   effects off, or nothing loaded or loading     -> 0
//   a model loading, or the engine taking a camera -> 1 (not ready)
//   otherwise                                     -> 2
// and every change of it is announced as CME_OnModeChange(old, new) from the engine's thread. Loading reads
// the model's package there (CEffectPackage); a package that cannot be read is reported with CME_OnError.
// While the mode is 2 the loaded models are handed to CEffectsScene, which the capture objects draw from;
// the shade picture goes there too, decoded, whatever the mode. The camera, the
// shade picture and the drawing quality are kept for the user in the engine's own key of the settings
// store. CGraniteEffectsControl steers it in tests.
//
// Locks: the engine never calls CGraniteEffectsControl while it holds its own lock, so the control may
// call the engine with the control's lock held.
#include "granite/comms/CEventPump.h"
#include "granite/effects/CEffectPackage.h"
#include "platform/CRefCounted.h"
#include "services/ICOCIMngrEvents.h"
#include "services/IEffectsEngine.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Granite {

class CGraniteEffectsEngine final : public CRefCounted<IEffectsEngine> {
public:
    static HRESULT Create(const Guid& iid, void** object);

    static constexpr const char* kSettingsKey = "Software\\Brenmoor\\Granite\\Effects";
    // The kind and id of the model CGraniteEffectsControl::StartEffects loads.
    static constexpr const char* kBuiltInModelId = "granite-builtin";

    HRESULT QueryInterface(const Guid& iid, void** object) override;

    HRESULT Advise(ICOCIMngrEvents* sink, uint32_t* cookie) override;
    HRESULT Unadvise(uint32_t cookie) override;

    HRESULT SetOption(int32_t option, int32_t value) override;
    HRESULT GetCamera(std::string* cameraId) override;
    HRESULT GetCalibrationProgress(int32_t* percent) override;
    HRESULT SetCamera(const std::string& cameraId) override;
    HRESULT Enable(int32_t on) override;
    HRESULT GetModel(std::string* modelId) override;
    HRESULT GetMode(int32_t* mode) override;
    HRESULT GetPicture(std::string* path) override;
    HRESULT GetQuality(int32_t* quality) override;
    HRESULT GetStatus() override;
    HRESULT StartCalibration() override;
    HRESULT CancelCalibration() override;
    HRESULT SetPicture(int32_t mode, const std::string& path) override;
    HRESULT SetQuality(int32_t quality) override;
    HRESULT RemoveModel(const std::string& kind) override;
    HRESULT LoadModel(const std::string& packageFile, const std::string& kind,
                      const std::string& modelId) override;

    // For CGraniteEffectsControl, which calls them with its own lock held: they never call back into it.
    void StartBuiltInEffects(std::chrono::milliseconds delay);
    void StopEffects();
    void RaiseError(int32_t code, const std::string& text, int32_t value);
    // While held, loads that are due are kept back (the engine stays starting); releasing finishes them.
    void HoldStarts(bool hold);

    // The kind as the engine writes it ("Avatar", "Accessory", "Fun"), or "" for an unknown one.
    static std::string CanonicalKind(const std::string& kind);
    // True when the file is an image the engine can read.
    static bool IsReadableImage(const std::string& path);

private:
    struct Model {
        std::string package;
        std::string id;
        std::shared_ptr<const CEffectPackage> read; // set once loaded; null for the built-in model
    };
    using Lock = std::unique_lock<std::mutex>;

    CGraniteEffectsEngine();
    ~CGraniteEffectsEngine() override;

    int32_t ComputeMode(const Lock& held) const;
    // Hands what is to be drawn to CEffectsScene and announces the mode when it changed.
    void Publish(const Lock& held);
    void PublishScene(int32_t mode, const Lock& held);
    // Marks `what` ("" for taking the camera, else a model kind) as loading and schedules its end.
    void BeginLoad(const std::string& what, const Model& model, std::chrono::milliseconds delay,
                   const Lock& held);
    void FinishLoad(const std::string& what, uint64_t token, const Model& model);
    void ScheduleCalibrationStep(uint64_t token, std::chrono::milliseconds step);
    void CalibrationStep(uint64_t token);

    mutable std::mutex lock_;
    bool enabled_ = false;
    std::map<std::string, Model> models_;     // by canonical kind
    std::map<std::string, uint64_t> loading_; // what is loading -> its token
    uint64_t nextToken_ = 1;
    std::string lastModel_;
    bool calibrating_ = false;
    int32_t calibrationProgress_ = 0;
    uint64_t calibrationToken_ = 0;
    int32_t publishedMode_ = EFFECTS_MODE_IDLE;
    bool drawing_ = false; // this engine's models are in CEffectsScene
    std::string camera_;
    std::string picture_;
    int32_t quality_ = EFFECTS_QUALITY_NORMAL;
    int32_t manualFocus_ = 0;
    int32_t mirror_ = 0;
    struct HeldLoad {
        std::string what;
        uint64_t token = 0;
        Model model;
    };
    bool holdStarts_ = false;
    std::vector<HeldLoad> held_; // loads kept from finishing while CGraniteEffectsControl holds starts
    CEventPump<ICOCIMngrEvents> pump_;
};

} // namespace Granite
