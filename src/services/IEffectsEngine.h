#pragma once
// The maker's video-effects engine as this program uses it. The engine lives outside the program (the object
// factory creates it by class id) and draws avatars, accessories, fun filters and the privacy shade into the
// picture of one camera. The effects facade is its only caller.
//
// The engine's mode (GetMode, and both values of CME_OnModeChange(old mode, new mode)):
//   0 idle: nothing is drawn; the engine is ready.
//   1 starting: effects were switched on and the engine is loading its models and taking the camera; it is
//     not ready (GetStatus answers E_EFFECTS_NOT_READY) and the camera picture is not usable for anything
//     else meanwhile.
//   2 running: the loaded models are drawn into the camera picture.
//   6 calibrating: the engine is learning the user's face and the room's light (StartCalibration); it goes
//     back to the mode it came from when done or cancelled.
// Errors found on the engine's own thread (a model that cannot be loaded, a camera that went away) arrive as
// CME_OnError(code, text, operation) where `operation` is the EffectsOperation that caused it (0 when none).
//
// Every operation returns S_OK on success and a failure code otherwise; out-parameters are left untouched on
// failure. All operations are called from the user-interface thread; events come back on the engine's own
// thread through the sink given to Advise.
#include "platform/Unknown.h"

#include <cstdint>
#include <string>

class ICOCIMngrEvents;

inline const Guid CLSID_EffectsEngine = "{D0B7C734-2D1B-461D-93C6-8264DA4F038B}";
inline const Guid IID_IEffectsEngine = "{2427704E-CF89-4688-9A76-E55358D09ADF}";
// The event interface the engine calls on an advised sink.
inline const Guid DIID_IBrenEffectsEvents = "{6EC80478-EC0A-4E1B-B8E0-FFB6066D9C51}";

// Connection cookie of a sink that is not advised.
constexpr uint32_t EFFECTS_SINK_NOT_CONNECTED = 0xFEFEFEFEu;

enum EffectsMode : int32_t {
    EFFECTS_MODE_IDLE = 0,
    EFFECTS_MODE_STARTING = 1,
    EFFECTS_MODE_RUNNING = 2,
    EFFECTS_MODE_CALIBRATING = 6,
};

// Options (SetOption).
enum EffectsOption : int32_t {
    EFFECTS_OPTION_MANUAL_FOCUS = 1, // the camera's manual focus value changed to `value`; tracking adapts
    EFFECTS_OPTION_MIRROR = 2,       // 0 or 1: the effects are drawn mirrored, to match a mirrored picture
};

// Drawing quality (SetQuality / GetQuality): more detail costs more processor time.
constexpr int32_t EFFECTS_QUALITY_LOW = 0;
constexpr int32_t EFFECTS_QUALITY_NORMAL = 1;
constexpr int32_t EFFECTS_QUALITY_HIGH = 2;

// The picture modes of SetPicture.
constexpr int32_t EFFECTS_PICTURE_CLEAR = 0; // forget the shade picture
constexpr int32_t EFFECTS_PICTURE_SHADE = 2; // the picture sent instead of the camera while the shade is on

// Model kinds (LoadModel, RemoveModel); compared without regard to case.
inline constexpr const char* kEffectsKindAvatar = "Avatar";
inline constexpr const char* kEffectsKindAccessory = "Accessory";
inline constexpr const char* kEffectsKindFun = "Fun";

// The operations as the engine numbers them; CME_OnError names the one an error belongs to.
enum EffectsOperation : int32_t {
    EFFECTS_OP_SET_OPTION = 7,
    EFFECTS_OP_GET_CAMERA = 8,
    EFFECTS_OP_GET_CALIBRATION_PROGRESS = 9,
    EFFECTS_OP_SET_CAMERA = 10,
    EFFECTS_OP_ENABLE = 11,
    EFFECTS_OP_GET_MODEL = 12,
    EFFECTS_OP_GET_MODE = 13,
    EFFECTS_OP_GET_PICTURE = 14,
    EFFECTS_OP_GET_QUALITY = 15,
    EFFECTS_OP_GET_STATUS = 18,
    EFFECTS_OP_START_CALIBRATION = 19,
    EFFECTS_OP_CANCEL_CALIBRATION = 20,
    EFFECTS_OP_SET_PICTURE = 21,
    EFFECTS_OP_SET_QUALITY = 22,
    EFFECTS_OP_REMOVE_MODEL = 23,
    EFFECTS_OP_LOAD_MODEL = 24,
};

class IEffectsEngine : public IUnknown {
public:
    // Connects an event sink: the engine calls it from its own thread until Unadvise. The caller keeps the
    // sink alive until Unadvise has returned; when Unadvise returns no call on the sink is running and none
    // will start. E_POINTER for a null sink or cookie.
    virtual HRESULT Advise(ICOCIMngrEvents* sink, uint32_t* cookie) = 0;
    virtual HRESULT Unadvise(uint32_t cookie) = 0;

    // 7: tells the engine about the camera (EffectsOption); an unknown option fails with E_INVALIDARG.
    virtual HRESULT SetOption(int32_t option, int32_t value) = 0;
    // 8: the camera the effects draw on (its device id); E_FAIL when none was chosen yet.
    virtual HRESULT GetCamera(std::string* cameraId) = 0;
    // 9: how far the running calibration is, 0..100; E_FAIL when none runs.
    virtual HRESULT GetCalibrationProgress(int32_t* percent) = 0;
    // 10: the camera the effects draw on from now on; kept for the user across sessions. An empty id fails.
    virtual HRESULT SetCamera(const std::string& cameraId) = 0;
    // 11: switches the effects on (non-zero: mode 1, then 2 once the loaded models are ready) or off (0: mode
    // 0; the models stay loaded). Switching on with no model loaded answers S_FALSE and changes nothing.
    virtual HRESULT Enable(int32_t on) = 0;
    // 12: the id of the model loaded last (its package file when it has no id); E_FAIL when none is loaded.
    virtual HRESULT GetModel(std::string* modelId) = 0;
    // 13: the mode (EffectsMode).
    virtual HRESULT GetMode(int32_t* mode) = 0;
    // 14: the shade picture's path; empty when none is set.
    virtual HRESULT GetPicture(std::string* path) = 0;
    // 15: the drawing quality.
    virtual HRESULT GetQuality(int32_t* quality) = 0;
    // 18: S_OK when the engine is ready, E_EFFECTS_NOT_READY while it is starting (mode 1).
    virtual HRESULT GetStatus() = 0;
    // 19: starts calibrating (mode 6); S_FALSE when a calibration already runs.
    virtual HRESULT StartCalibration() = 0;
    // 20: ends a running calibration early; S_FALSE when none runs.
    virtual HRESULT CancelCalibration() = 0;
    // 21: sets (EFFECTS_PICTURE_SHADE) or forgets (EFFECTS_PICTURE_CLEAR) the shade picture. The picture
    // must be an image file the engine can read, else E_INVALIDARG; other modes fail with E_INVALIDARG.
    virtual HRESULT SetPicture(int32_t mode, const std::string& path) = 0;
    // 22: the drawing quality (EFFECTS_QUALITY_*); other values fail with E_INVALIDARG.
    virtual HRESULT SetQuality(int32_t quality) = 0;
    // 23: unloads the model of a kind (an empty kind unloads all). When none is left the effects stop
    // (mode 0). S_FALSE when no model of that kind was loaded.
    virtual HRESULT RemoveModel(const std::string& kind) = 0;
    // 24: loads a model: (its package file, its kind, its id; the id may be empty). It replaces a loaded
    // model of the same kind and switches the effects on: mode 1 at once, mode 2 when the package has been
    // read on the engine's thread, or CME_OnError and the mode before when it cannot be. E_INVALIDARG for an
    // unknown kind or a package that is not a readable file; E_FAIL while calibrating.
    virtual HRESULT LoadModel(const std::string& packageFile, const std::string& kind,
                              const std::string& modelId) = 0;
};
