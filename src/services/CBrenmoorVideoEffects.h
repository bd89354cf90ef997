#pragma once
// The process-wide effects facade: the one object through which windows reach the video-effects engine
// (IEffectsEngine). It forwards the windows' requests and passes the engine's errors and mode changes,
// moved to the user-interface thread by CCOCIMngrEventsSerializer, on to its listeners. Windows know it as
// IBrenmoorVideoEffects.
#include "services/CCOCIMngrEventsSerializer.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IEffectsEngine.h"

#include <map>
#include <memory>

class CBrenmoorVideoEffects final : public IBrenmoorVideoEffects, private ICOCIMngrEvents {
public:
    // The live facade, or null (no reference is added; for tests and diagnostics).
    static CBrenmoorVideoEffects* Current();

    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT EffectsCall7(int32_t option, int32_t value) override;
    HRESULT EffectsCall8(std::string* cameraId) override;
    HRESULT EffectsCall9(int32_t* percent) override;
    HRESULT EffectsCall10(const std::string& cameraId) override;
    HRESULT EffectsCall11(int32_t on) override;
    HRESULT EffectsCall12(std::string* modelId) override;
    HRESULT EffectsCall13(int32_t* mode) override;
    HRESULT EffectsCall14(std::string* path) override;
    HRESULT EffectsCall15(int32_t* quality) override;
    HRESULT EffectsCall18() override;
    HRESULT EffectsCall19() override;
    HRESULT EffectsCall20() override;
    HRESULT EffectsCall21(int32_t mode, const std::string& path) override;
    HRESULT EffectsCall22(int32_t quality) override;
    HRESULT EffectsCall23(const std::string& kind) override;
    HRESULT EffectsCall24(const std::string& packageFile, const std::string& kind,
                          const std::string& modelId) override;

    HRESULT AddListener(IBrenmoorVideoEffectsEvents* listener, uint32_t cookie) override;
    HRESULT RemoveListener(IBrenmoorVideoEffectsEvents* listener) override;

    size_t ListenerCount() const { return listeners_.size(); }

private:
    friend IBrenmoorVideoEffects* GetBrenmoorVideoEffects();

    CBrenmoorVideoEffects();
    ~CBrenmoorVideoEffects() override;

    HRESULT Initialise();
    void Shutdown();
    template <class Call> void ForEachListener(Call&& call);

    // ICOCIMngrEvents, on the user-interface thread through the serializer.
    void CME_OnError(int32_t code, const std::string& text, int32_t value) override;
    void CME_OnModeChange(int32_t oldMode, int32_t newMode) override;

    uint32_t refCount_ = 0;
    IEffectsEngine* engine_ = nullptr;
    std::shared_ptr<ICOCIMngrEvents> sink_;
    uint32_t sinkCookie_ = EFFECTS_SINK_NOT_CONNECTED;
    std::map<IBrenmoorVideoEffectsEvents*, uint32_t> listeners_;
    CCOCIMngrEventsSerializer events_;

    int callOutDepth_ = 0;
    bool shutDown_ = false;
    bool destroyPending_ = false;
};
