#pragma once
// The effects facade as windows see it. Obtain it with GetBrenmoorVideoEffects() and give the reference back
// with Release(); call it on the user-interface thread only.
//
// The EffectsCall operations pass their arguments unchanged to one engine operation and return the engine's
// answer; without an engine they answer E_FAIL, and a missing out-pointer gives E_POINTER. What each means is
// the engine's (IEffectsEngine.h): the names below say which engine operation each one reaches.
#include "platform/HResult.h"

#include <cstdint>
#include <string>

class IBrenmoorVideoEffectsEvents;

class IBrenmoorVideoEffects {
public:
    virtual uint32_t AddRef() = 0;
    // Returns the references left; at the last one the facade shuts down and is freed. Extra calls do
    // nothing and return 0.
    virtual uint32_t Release() = 0;

    // SetOption(option, value): tell the engine about the camera (manual focus value, mirroring).
    virtual HRESULT EffectsCall7(int32_t option, int32_t value) = 0;
    // GetCamera: the camera the effects draw on, which is the camera in use by the effects.
    virtual HRESULT EffectsCall8(std::string* cameraId) = 0;
    // GetCalibrationProgress, 0..100.
    virtual HRESULT EffectsCall9(int32_t* percent) = 0;
    // SetCamera: the camera the effects draw on from now on.
    virtual HRESULT EffectsCall10(const std::string& cameraId) = 0;
    // Enable: effects on (non-zero) or off (0).
    virtual HRESULT EffectsCall11(int32_t on) = 0;
    // GetModel: the id of the model loaded last.
    virtual HRESULT EffectsCall12(std::string* modelId) = 0;
    // GetMode: 0 idle, 1 starting, 2 running, 6 calibrating.
    virtual HRESULT EffectsCall13(int32_t* mode) = 0;
    // GetPicture: the shade picture's path.
    virtual HRESULT EffectsCall14(std::string* path) = 0;
    // GetQuality: the drawing quality, 0..2.
    virtual HRESULT EffectsCall15(int32_t* quality) = 0;
    // GetStatus: S_OK when ready, E_EFFECTS_NOT_READY while starting.
    virtual HRESULT EffectsCall18() = 0;
    // StartCalibration.
    virtual HRESULT EffectsCall19() = 0;
    // CancelCalibration.
    virtual HRESULT EffectsCall20() = 0;
    // SetPicture(mode, path): mode 2 sets the shade picture, mode 0 forgets it.
    virtual HRESULT EffectsCall21(int32_t mode, const std::string& path) = 0;
    // SetQuality, 0..2.
    virtual HRESULT EffectsCall22(int32_t quality) = 0;
    // RemoveModel(kind): unload the model of a kind ("Avatar", "Accessory", "Fun"; empty: all).
    virtual HRESULT EffectsCall23(const std::string& kind) = 0;
    // LoadModel(package file, kind, id): load a model and switch the effects on.
    virtual HRESULT EffectsCall24(const std::string& packageFile, const std::string& kind,
                                  const std::string& modelId) = 0;

    // E_FAIL when the listener is already registered (its first cookie is kept); E_POINTER for null.
    virtual HRESULT AddListener(IBrenmoorVideoEffectsEvents* listener, uint32_t cookie) = 0;
    // Removes the listener and answers E_NOTIMPL, which callers ignore.
    virtual HRESULT RemoveListener(IBrenmoorVideoEffectsEvents* listener) = 0;

protected:
    virtual ~IBrenmoorVideoEffects() = default;
};

// The process-wide facade with a reference added for the caller, created and initialised on first use; null
// when the effects engine is not installed or cannot be reached (the next call tries again). User-interface
// thread only.
IBrenmoorVideoEffects* GetBrenmoorVideoEffects();
