#pragma once
// An effects engine and preview object for the facade tests: every call is written down as text
// ("LoadModel(/m.pkg,Avatar,dog)") and answered with a result the test chooses; the advised sink is kept
// so a test can raise events as the engine's thread would.
#include "services/ICOCIMngrEvents.h"
#include "services/IEffectsEngine.h"
#include "services/IEffectsEnginePreview.h"

#include <map>
#include <string>
#include <vector>

class EffectsFakeBase {
public:
    std::vector<std::string> calls;
    std::map<std::string, HRESULT> answers; // operation name -> result (S_OK when absent)
    uint32_t refs = 1;

protected:
    HRESULT Answer(const std::string& call) {
        calls.push_back(call);
        auto it = answers.find(call.substr(0, call.find('(')));
        return it == answers.end() ? S_OK : it->second;
    }
    static std::string N(int32_t v) { return std::to_string(v); }
    // Gives out `value`, then answers.
    template <class T, class V> HRESULT Give(const char* call, T* out, const V& value) {
        *out = value;
        return Answer(call);
    }
};

class EffectsFakeEngine final : public IEffectsEngine, public EffectsFakeBase {
public:
    ICOCIMngrEvents* sink = nullptr;

    HRESULT QueryInterface(const Guid&, void** object) override {
        *object = static_cast<IEffectsEngine*>(this);
        ++refs;
        return S_OK;
    }
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; }
    HRESULT Advise(ICOCIMngrEvents* s, uint32_t* cookie) override {
        HRESULT hr = Answer("Advise");
        if (SUCCEEDED(hr)) {
            sink = s;
            *cookie = 9;
        }
        return hr;
    }
    HRESULT Unadvise(uint32_t cookie) override {
        unadvisedUnheld = unadvisedUnheld || refs <= 1;
        sink = cookie == 9 ? nullptr : sink;
        return Answer("Unadvise");
    }
    bool unadvisedUnheld = false; // the sink was disconnected after the last reference had gone
    HRESULT SetOption(int32_t o, int32_t v) override {
        return Answer("SetOption(" + N(o) + "," + N(v) + ")");
    }
    HRESULT GetCamera(std::string* id) override { return Give("GetCamera", id, "cam-7"); }
    HRESULT GetCalibrationProgress(int32_t* p) override { return Give("GetCalibrationProgress", p, 40); }
    HRESULT SetCamera(const std::string& id) override { return Answer("SetCamera(" + id + ")"); }
    HRESULT Enable(int32_t on) override { return Answer("Enable(" + N(on) + ")"); }
    HRESULT GetModel(std::string* id) override { return Give("GetModel", id, "dog"); }
    HRESULT GetMode(int32_t* mode) override { return Give("GetMode", mode, 2); }
    HRESULT GetPicture(std::string* path) override { return Give("GetPicture", path, "/shade.png"); }
    HRESULT GetQuality(int32_t* q) override { return Give("GetQuality", q, 2); }
    HRESULT GetStatus() override { return Answer("GetStatus"); }
    HRESULT StartCalibration() override { return Answer("StartCalibration"); }
    HRESULT CancelCalibration() override { return Answer("CancelCalibration"); }
    HRESULT SetPicture(int32_t mode, const std::string& path) override {
        return Answer("SetPicture(" + N(mode) + "," + path + ")");
    }
    HRESULT SetQuality(int32_t q) override { return Answer("SetQuality(" + N(q) + ")"); }
    HRESULT RemoveModel(const std::string& kind) override { return Answer("RemoveModel(" + kind + ")"); }
    HRESULT LoadModel(const std::string& p, const std::string& k, const std::string& id) override {
        return Answer("LoadModel(" + p + "," + k + "," + id + ")");
    }
};

class EffectsFakePreview final : public IEffectsEnginePreview, public EffectsFakeBase {
public:
    HRESULT QueryInterface(const Guid&, void** object) override {
        *object = static_cast<IEffectsEnginePreview*>(this);
        ++refs;
        return S_OK;
    }
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; }
    HRESULT SetCamera(const std::string& id) override { return Answer("SetCamera(" + id + ")"); }
    HRESULT Run(int32_t r) override { return Answer("Run(" + N(r) + ")"); }
    HRESULT SetGuide(int32_t x, int32_t y, int32_t w, int32_t h, int32_t r, int32_t g, int32_t b) override {
        return Answer("SetGuide(" + N(x) + "," + N(y) + "," + N(w) + "," + N(h) + "," + N(r) + "," + N(g) +
                      "," + N(b) + ")");
    }
    HRESULT GetRunning(int32_t* r) override { return Give("GetRunning", r, 1); }
    HRESULT GetFrameSize(int32_t* w, int32_t* h) override {
        *w = 320;
        *h = 240;
        return Answer("GetFrameSize");
    }
    HRESULT SetMirror(int32_t m) override { return Answer("SetMirror(" + N(m) + ")"); }
    HRESULT GetFrameCount(int32_t* f) override { return Give("GetFrameCount", f, 99); }
    HRESULT GetFace(int32_t* found, int32_t* x, int32_t* y, int32_t* w, int32_t* h, int32_t* c,
                    int32_t* frame) override {
        int32_t* outs[] = {found, x, y, w, h, c, frame};
        for (int32_t i = 0; i < 7; ++i)
            *outs[i] = i == 0 ? 1 : i; // found, then 1 to 6
        return Answer("GetFace");
    }
};
