#include "services/CBrenmoorVideoEffects.h"

#include "platform/CObjectFactory.h"
#include "platform/CWaitCursor.h"
#include "platform/DebugOutput.h"
#include "services/IBrenmoorVideoEffectsEvents.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMetaObject>

#include <vector>

namespace {

CBrenmoorVideoEffects* g_effects = nullptr;

} // namespace

IBrenmoorVideoEffects* GetBrenmoorVideoEffects() {
    if (g_effects != nullptr) {
        g_effects->AddRef();
        return g_effects;
    }
    auto* effects = new CBrenmoorVideoEffects();
    effects->AddRef();
    g_effects = effects;
    if (FAILED(effects->Initialise())) {
        OutputDebugString("Vidora: the video-effects engine cannot be reached\n");
        effects->Shutdown();
        delete effects;
        return nullptr;
    }
    return effects;
}

CBrenmoorVideoEffects* CBrenmoorVideoEffects::Current() {
    return g_effects;
}

CBrenmoorVideoEffects::CBrenmoorVideoEffects() {
    events_.SetTarget(static_cast<ICOCIMngrEvents*>(this));
}

CBrenmoorVideoEffects::~CBrenmoorVideoEffects() {
    Shutdown();
}

HRESULT CBrenmoorVideoEffects::Initialise() {
    CWaitCursor wait;
    if (engine_ != nullptr) {
        engine_->Release();
        engine_ = nullptr;
    }
    HRESULT hr = CObjectFactory::Instance().Create(CLSID_EffectsEngine, IID_IEffectsEngine, &engine_);
    if (FAILED(hr) || engine_ == nullptr) {
        engine_ = nullptr;
        return FAILED(hr) ? hr : E_FAIL;
    }
    if (!sink_)
        sink_ = events_.Sink();
    if (sinkCookie_ == EFFECTS_SINK_NOT_CONNECTED) {
        uint32_t cookie = EFFECTS_SINK_NOT_CONNECTED;
        if (FAILED(engine_->Advise(sink_.get(), &cookie)))
            return E_FAIL; // without events the windows could not follow the engine's mode
        sinkCookie_ = cookie;
    }
    return S_OK;
}

void CBrenmoorVideoEffects::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    events_.SetTarget(nullptr); // events still queued vanish
    if (engine_ != nullptr && sinkCookie_ != EFFECTS_SINK_NOT_CONNECTED)
        engine_->Unadvise(sinkCookie_);
    sinkCookie_ = EFFECTS_SINK_NOT_CONNECTED;
    sink_.reset();
    if (engine_ != nullptr)
        engine_->Release();
    engine_ = nullptr;
    listeners_.clear();
    if (g_effects == this)
        g_effects = nullptr;
}

uint32_t CBrenmoorVideoEffects::AddRef() {
    return ++refCount_;
}

uint32_t CBrenmoorVideoEffects::Release() {
    if (refCount_ == 0)
        return 0;
    uint32_t left = --refCount_;
    if (left == 0) {
        Shutdown();
        if (callOutDepth_ > 0)
            destroyPending_ = true;
        else
            delete this;
    }
    return left;
}

// --- forwarders
// ------------------------------------------------------------------------------------------------

HRESULT CBrenmoorVideoEffects::EffectsCall7(int32_t option, int32_t value) {
    return engine_ != nullptr ? engine_->SetOption(option, value) : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall8(std::string* cameraId) {
    if (engine_ == nullptr)
        return E_FAIL;
    return cameraId != nullptr ? engine_->GetCamera(cameraId) : E_POINTER;
}

HRESULT CBrenmoorVideoEffects::EffectsCall9(int32_t* percent) {
    if (engine_ == nullptr)
        return E_FAIL;
    return percent != nullptr ? engine_->GetCalibrationProgress(percent) : E_POINTER;
}

HRESULT CBrenmoorVideoEffects::EffectsCall10(const std::string& cameraId) {
    return engine_ != nullptr ? engine_->SetCamera(cameraId) : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall11(int32_t on) {
    return engine_ != nullptr ? engine_->Enable(on) : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall12(std::string* modelId) {
    if (engine_ == nullptr)
        return E_FAIL;
    return modelId != nullptr ? engine_->GetModel(modelId) : E_POINTER;
}

HRESULT CBrenmoorVideoEffects::EffectsCall13(int32_t* mode) {
    if (engine_ == nullptr)
        return E_FAIL;
    return mode != nullptr ? engine_->GetMode(mode) : E_POINTER;
}

HRESULT CBrenmoorVideoEffects::EffectsCall14(std::string* path) {
    if (engine_ == nullptr)
        return E_FAIL;
    return path != nullptr ? engine_->GetPicture(path) : E_POINTER;
}

HRESULT CBrenmoorVideoEffects::EffectsCall15(int32_t* quality) {
    if (engine_ == nullptr)
        return E_FAIL;
    return quality != nullptr ? engine_->GetQuality(quality) : E_POINTER;
}

HRESULT CBrenmoorVideoEffects::EffectsCall18() {
    return engine_ != nullptr ? engine_->GetStatus() : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall19() {
    return engine_ != nullptr ? engine_->StartCalibration() : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall20() {
    return engine_ != nullptr ? engine_->CancelCalibration() : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall21(int32_t mode, const std::string& path) {
    return engine_ != nullptr ? engine_->SetPicture(mode, path) : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall22(int32_t quality) {
    return engine_ != nullptr ? engine_->SetQuality(quality) : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall23(const std::string& kind) {
    return engine_ != nullptr ? engine_->RemoveModel(kind) : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::EffectsCall24(const std::string& packageFile, const std::string& kind,
                                             const std::string& modelId) {
    return engine_ != nullptr ? engine_->LoadModel(packageFile, kind, modelId) : E_FAIL;
}

// --- listeners
// ---------------------------------------------------------------------------------------------------

HRESULT CBrenmoorVideoEffects::AddListener(IBrenmoorVideoEffectsEvents* listener, uint32_t cookie) {
    if (listener == nullptr)
        return E_POINTER;
    return listeners_.emplace(listener, cookie).second ? S_OK : E_FAIL;
}

HRESULT CBrenmoorVideoEffects::RemoveListener(IBrenmoorVideoEffectsEvents* listener) {
    listeners_.erase(listener);
    return E_NOTIMPL;
}

template <class Call> void CBrenmoorVideoEffects::ForEachListener(Call&& call) {
    ++callOutDepth_;
    // A listener may add or remove listeners while it is called: walk a copy, and skip whoever has been
    // removed meanwhile (a listener added meanwhile hears from the next event on).
    const std::vector<std::pair<IBrenmoorVideoEffectsEvents*, uint32_t>> walk(listeners_.begin(),
                                                                              listeners_.end());
    for (const auto& [listener, cookie] : walk) {
        if (shutDown_)
            break;
        auto it = listeners_.find(listener);
        if (it != listeners_.end())
            call(*listener, it->second);
    }
    if (--callOutDepth_ == 0 && destroyPending_) {
        destroyPending_ = false;
        // The serializer keeps itself alive while it delivers, so the facade can go at once.
        delete this;
    }
}

void CBrenmoorVideoEffects::CME_OnError(int32_t code, const std::string& text, int32_t value) {
    ForEachListener([&](IBrenmoorVideoEffectsEvents& l, uint32_t cookie) {
        l.OnEffectsError(cookie, code, text, value);
    });
}

void CBrenmoorVideoEffects::CME_OnModeChange(int32_t oldMode, int32_t newMode) {
    ForEachListener([&](IBrenmoorVideoEffectsEvents& l, uint32_t cookie) {
        l.OnEffectsModeChange(cookie, oldMode, newMode);
    });
}
