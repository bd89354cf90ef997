// The effects facade and the preview facade against fake engines: life, forwarding, the listener map and
// event delivery from the engine's thread.
#include "EffectsFakeEngine.h"
#include "support/EventPump.h"

#include "platform/CMessageQueue.h"
#include "platform/CObjectFactory.h"
#include "services/CBrenmoorVideoEffects.h"
#include "services/CBrenmoorVideoEffectsPreview.h"
#include "services/CEventChannelBase.h"
#include "services/IBrenmoorVideoEffectsEvents.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

class EffectsListener : public IBrenmoorVideoEffectsEvents {
public:
    std::vector<std::string> heard;
    std::function<void()> onEvent;
    void OnEffectsError(uint32_t c, int32_t code, const std::string& text, int32_t value) override {
        heard.push_back("Error(" + std::to_string(c) + ":" + std::to_string(code) + "," + text + "," +
                        std::to_string(value) + ")");
        if (onEvent)
            onEvent();
    }
    void OnEffectsModeChange(uint32_t c, int32_t a, int32_t b) override {
        heard.push_back("Mode(" + std::to_string(c) + ":" + std::to_string(a) + "," + std::to_string(b) +
                        ")");
        if (onEvent)
            onEvent();
    }
};

void RaiseFromEngineThread(ICOCIMngrEvents* sink, const std::function<void(ICOCIMngrEvents&)>& raise) {
    std::thread thread([&] { raise(*sink); });
    thread.join();
}

} // namespace

class EffectsFacadeTest : public ::testing::Test {
protected:
    void SetUp() override {
        CObjectFactory::Instance().Register(CLSID_EffectsEngine, [this](const Guid& iid, void** object) {
            ++creations;
            return FAILED(createResult) ? createResult : engine.QueryInterface(iid, object);
        });
        CObjectFactory::Instance().Register(
            CLSID_EffectsEnginePreview, [this](const Guid& iid, void** object) {
                return FAILED(createResult) ? createResult : preview.QueryInterface(iid, object);
            });
    }
    void TearDown() override {
        while (CBrenmoorVideoEffects::Current() != nullptr)
            CBrenmoorVideoEffects::Current()->Release();
        DrainEvents();
        CObjectFactory::Instance().Unregister(CLSID_EffectsEngine);
        CObjectFactory::Instance().Unregister(CLSID_EffectsEnginePreview);
    }

    EffectsFakeEngine engine;
    EffectsFakePreview preview;
    HRESULT createResult = S_OK;
    int creations = 0;
};

// Without an engine, or with one whose events cannot be heard, no facade is made and the next request tries
// again; once made it is shared, and the last release disconnects before letting go of the engine.
TEST_F(EffectsFacadeTest, TheFacadeIsSharedAndMadeAgainAfterAFailedCreation) {
    createResult = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(GetBrenmoorVideoEffects(), nullptr);
    EXPECT_EQ(GetBrenmoorVideoEffectsPreview(), nullptr);
    createResult = S_OK;
    engine.answers["Advise"] = E_FAIL;
    EXPECT_EQ(GetBrenmoorVideoEffects(), nullptr);
    EXPECT_EQ(engine.refs, 1u);
    engine.answers.clear();
    IBrenmoorVideoEffects* a = GetBrenmoorVideoEffects();
    IBrenmoorVideoEffects* b = GetBrenmoorVideoEffects();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(creations, 3);
    EXPECT_NE(engine.sink, nullptr);
    EXPECT_EQ(a->Release(), 1u);
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(CBrenmoorVideoEffects::Current(), nullptr);
    EXPECT_EQ(engine.sink, nullptr);
    EXPECT_FALSE(engine.unadvisedUnheld) << "disconnected before the engine was let go of";
    EXPECT_EQ(engine.refs, 1u);
}

TEST_F(EffectsFacadeTest, ForwardersPassArgumentsUnchangedAndReturnTheEnginesAnswer) {
    IBrenmoorVideoEffects* fx = GetBrenmoorVideoEffects();
    ASSERT_NE(fx, nullptr);
    engine.calls.clear();
    engine.answers["GetStatus"] = E_EFFECTS_NOT_READY;
    engine.answers["Enable"] = S_FALSE;
    engine.answers["LoadModel"] = E_INVALIDARG;
    std::string text;
    int32_t n = 0;
    EXPECT_EQ(fx->EffectsCall7(EFFECTS_OPTION_MIRROR, 1), S_OK);
    EXPECT_EQ(fx->EffectsCall8(&text), S_OK);
    EXPECT_EQ(text, "cam-7");
    EXPECT_EQ(fx->EffectsCall9(&n), S_OK);
    EXPECT_EQ(n, 40);
    EXPECT_EQ(fx->EffectsCall10("cam-2"), S_OK);
    EXPECT_EQ(fx->EffectsCall11(1), S_FALSE);
    EXPECT_EQ(fx->EffectsCall12(&text), S_OK);
    EXPECT_EQ(fx->EffectsCall13(&n), S_OK);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(fx->EffectsCall14(&text), S_OK);
    EXPECT_EQ(fx->EffectsCall15(&n), S_OK);
    EXPECT_EQ(fx->EffectsCall18(), E_EFFECTS_NOT_READY);
    EXPECT_EQ(fx->EffectsCall19(), S_OK);
    EXPECT_EQ(fx->EffectsCall20(), S_OK);
    EXPECT_EQ(fx->EffectsCall21(EFFECTS_PICTURE_SHADE, "/p.png"), S_OK);
    EXPECT_EQ(fx->EffectsCall22(0), S_OK);
    EXPECT_EQ(fx->EffectsCall23("Avatar"), S_OK);
    EXPECT_EQ(fx->EffectsCall24("/m.pkg", "Accessory", ""), E_INVALIDARG);
    EXPECT_EQ(engine.calls, (std::vector<std::string>{
                                "SetOption(2,1)", "GetCamera", "GetCalibrationProgress", "SetCamera(cam-2)",
                                "Enable(1)", "GetModel", "GetMode", "GetPicture", "GetQuality", "GetStatus",
                                "StartCalibration", "CancelCalibration", "SetPicture(2,/p.png)",
                                "SetQuality(0)", "RemoveModel(Avatar)", "LoadModel(/m.pkg,Accessory,)"}));
    engine.calls.clear();
    EXPECT_EQ(fx->EffectsCall13(nullptr), E_POINTER);
    EXPECT_EQ(fx->EffectsCall8(nullptr), E_POINTER);
    EXPECT_TRUE(engine.calls.empty());
    fx->Release();
}

TEST_F(EffectsFacadeTest, AListenerIsKeptOnceWithItsFirstCookieAndRemovalAnswersNotImplemented) {
    IBrenmoorVideoEffects* fx = GetBrenmoorVideoEffects();
    ASSERT_NE(fx, nullptr);
    EffectsListener listener;
    EXPECT_EQ(fx->AddListener(&listener, 5), S_OK);
    EXPECT_EQ(fx->AddListener(&listener, 6), E_FAIL);
    EXPECT_EQ(fx->AddListener(nullptr, 1), E_POINTER);
    RaiseFromEngineThread(engine.sink, [](ICOCIMngrEvents& s) {
        std::string text = "camera lost";
        s.CME_OnError(E_FAIL, text, 8);
        text.assign("freed");
        s.CME_OnModeChange(0, 1);
    });
    ASSERT_TRUE(PumpUntil([&] { return listener.heard.size() == 2; }));
    EXPECT_EQ(listener.heard, (std::vector<std::string>{
                                  "Error(5:" + std::to_string(E_FAIL) + ",camera lost,8)", "Mode(5:0,1)"}));
    EXPECT_EQ(fx->RemoveListener(&listener), E_NOTIMPL);
    EXPECT_EQ(static_cast<CBrenmoorVideoEffects*>(fx)->ListenerCount(), 0u);
    RaiseFromEngineThread(engine.sink, [](ICOCIMngrEvents& s) { s.CME_OnModeChange(1, 2); });
    DrainEvents();
    EXPECT_EQ(listener.heard.size(), 2u) << "a removed listener hears nothing more";
    fx->Release();
}

TEST_F(EffectsFacadeTest, ListenersMayChangeTheMapOrDropTheFacadeWhileTheyAreCalled) {
    IBrenmoorVideoEffects* fx = GetBrenmoorVideoEffects();
    ASSERT_NE(fx, nullptr);
    EffectsListener a;
    EffectsListener b;
    EffectsListener late;
    // Whichever of a and b comes first in the map removes the other and adds a newcomer.
    a.onEvent = [&] {
        fx->RemoveListener(&b);
        fx->AddListener(&late, 3);
    };
    b.onEvent = [&] {
        fx->RemoveListener(&a);
        fx->AddListener(&late, 3);
    };
    fx->AddListener(&a, 1);
    fx->AddListener(&b, 2);
    RaiseFromEngineThread(engine.sink, [](ICOCIMngrEvents& s) { s.CME_OnModeChange(0, 2); });
    ASSERT_TRUE(PumpUntil([&] { return a.heard.size() + b.heard.size() == 1; }));
    DrainEvents();
    EXPECT_EQ(a.heard.size() + b.heard.size(), 1u);
    EXPECT_TRUE(late.heard.empty()) << "a listener added during an event hears the next one";

    // The last release from a listener frees the facade and what it queued without the event loop, which
    // may never run again on the way out of the program.
    ICOCIMngrEvents* sink = engine.sink;
    const size_t recordsBefore = CEventChannelBase::LiveRecords();
    late.onEvent = [&] {
        sink->CME_OnModeChange(4, 5); // still queued when the facade goes
        fx->Release();
    };
    RaiseFromEngineThread(sink, [](ICOCIMngrEvents& s) {
        s.CME_OnModeChange(2, 0);
        s.CME_OnModeChange(0, 6);
    });
    QCoreApplication::sendPostedEvents(nullptr, CMessageQueue::WakeEventType());
    EXPECT_EQ(late.heard, (std::vector<std::string>{"Mode(3:2,0)"}));
    EXPECT_EQ(CBrenmoorVideoEffects::Current(), nullptr);
    EXPECT_EQ(CEventChannelBase::LiveRecords(), recordsBefore) << "the facade and its queue are gone";
}

TEST_F(EffectsFacadeTest, ThePreviewFacadeForwardsToThePreviewObject) {
    IBrenmoorVideoEffectsPreview* p = GetBrenmoorVideoEffectsPreview();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(GetBrenmoorVideoEffectsPreview(), p);
    int32_t v[7] = {};
    EXPECT_EQ(p->PreviewCall7("cam"), S_OK);
    EXPECT_EQ(p->PreviewCall8(1), S_OK);
    EXPECT_EQ(p->PreviewCall9(1, 2, 3, 4, 5, 6, 7), S_OK);
    EXPECT_EQ(p->PreviewCall10(&v[0]), S_OK);
    EXPECT_EQ(p->PreviewCall13(&v[0], &v[1]), S_OK);
    EXPECT_EQ(v[1], 240);
    EXPECT_EQ(p->PreviewCall14(1), S_OK);
    EXPECT_EQ(p->PreviewCall15(&v[0]), S_OK);
    EXPECT_EQ(p->PreviewCall16(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]), S_OK);
    EXPECT_EQ(v[6], 6);
    EXPECT_EQ(p->PreviewCall16(&v[0], &v[1], &v[2], nullptr, &v[4], &v[5], &v[6]), E_POINTER);
    EXPECT_EQ(preview.calls,
              (std::vector<std::string>{"SetCamera(cam)", "Run(1)", "SetGuide(1,2,3,4,5,6,7)", "GetRunning",
                                        "GetFrameSize", "SetMirror(1)", "GetFrameCount", "GetFace"}));
    EXPECT_EQ(p->Release(), 1u);
    EXPECT_EQ(p->Release(), 0u);
    EXPECT_EQ(preview.refs, 1u);
}
