#pragma once
// An effects engine for the facade tests: it keeps the state the program's operations set, and an operation
// named in `answers` answers that (a failure changes nothing). The advised sink is kept so a test can raise
// events as the engine's thread would.
#include "services/ICOCIMngrEvents.h"
#include "services/IEffectsEngine.h"

#include <map>
#include <string>

class EffectsFakeEngine final : public IEffectsEngine {
    using S = const std::string&;
    using Str = std::string;
    using I = int32_t;

public:
    std::map<std::string, HRESULT> answers; // operation name -> answer (S_OK when absent)
    uint32_t refs = 1;
    ICOCIMngrEvents* sink = nullptr;
    bool unadvisedUnheld = false; // the sink was disconnected after the last reference had gone
    std::map<int32_t, int32_t> options;
    std::map<std::string, std::string> models; // kind -> package
    std::string camera = "cam-7", picture;
    int32_t mode = 0;
    HRESULT QueryInterface(const Guid&, void** object) override {
        *object = static_cast<IEffectsEngine*>(this);
        ++refs;
        return S_OK;
    }
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; }
    HRESULT Advise(ICOCIMngrEvents* s, uint32_t* cookie) override {
        *cookie = 9;
        return Give(__func__, &sink, s);
    }
    HRESULT Unadvise(uint32_t cookie) override {
        unadvisedUnheld = unadvisedUnheld || refs <= 1;
        return Give(__func__, &sink, cookie == 9 ? nullptr : sink);
    }
    HRESULT SetOption(I o, I v) override { return Give(__func__, &options[o], v); }
    HRESULT GetCamera(Str* id) override { return Give(__func__, id, camera); }
    HRESULT SetCamera(S id) override { return Give(__func__, &camera, id); }
    HRESULT GetMode(I* m) override { return Give(__func__, m, mode); }
    HRESULT GetStatus() override { return Answer(__func__); }
    HRESULT SetPicture(I m, S path) override {
        return Give(__func__, &picture, m == EFFECTS_PICTURE_SHADE ? path : "");
    }
    HRESULT RemoveModel(S kind) override {
        models.erase(kind);
        return Answer(__func__);
    }
    HRESULT LoadModel(S package, S kind, S) override { return Give(__func__, &models[kind], package); }
    // Operations the program does not call.
    HRESULT GetCalibrationProgress(I*) override { return E_NOTIMPL; }
    HRESULT Enable(I) override { return E_NOTIMPL; }
    HRESULT GetModel(Str*) override { return E_NOTIMPL; }
    HRESULT GetPicture(Str*) override { return E_NOTIMPL; }
    HRESULT GetQuality(I*) override { return E_NOTIMPL; }
    HRESULT StartCalibration() override { return E_NOTIMPL; }
    HRESULT CancelCalibration() override { return E_NOTIMPL; }
    HRESULT SetQuality(I) override { return E_NOTIMPL; }

private:
    HRESULT Answer(const char* operation) const {
        auto it = answers.find(operation);
        return it == answers.end() ? S_OK : it->second;
    }
    // Unless the operation fails, `to` takes `value`.
    template <class T, class V> HRESULT Give(const char* operation, T* to, const V& value) {
        const HRESULT hr = Answer(operation);
        if (SUCCEEDED(hr))
            *to = value;
        return hr;
    }
};
