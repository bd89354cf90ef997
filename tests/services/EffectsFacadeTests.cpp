// The effects facade against a fake engine: life, forwarding, the listener map and event delivery from the
// engine's thread. (Nothing in the program uses the preview facade.)
#include "EffectsFakeEngine.h"
#include "support/EventPump.h"

#include "platform/CMessageQueue.h"
#include "platform/CObjectFactory.h"
#include "services/CBrenmoorVideoEffects.h"
#include "services/CEventChannelBase.h"
#include "services/IBrenmoorVideoEffectsEvents.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <tuple>

namespace {

using Calls = std::vector<std::string>;

// Writes every call down as "What(cookie:arg,arg)".
class EffectsListener : public IBrenmoorVideoEffectsEvents {
public:
    Calls heard;
    std::function<void()> onEvent;
    void OnEffectsError(uint32_t c, int32_t code, const std::string& text, int32_t v) override {
        Note("Error", c, std::to_string(code) + "," + text + "," + std::to_string(v));
    }
    void OnEffectsModeChange(uint32_t c, int32_t a, int32_t b) override {
        Note("Mode", c, std::to_string(a) + "," + std::to_string(b));
    }

private:
    void Note(const char* what, uint32_t c, const std::string& args) {
        heard.push_back(what + ("(" + std::to_string(c) + ":" + args + ")"));
        if (onEvent)
            onEvent();
    }
};

void RaiseFromEngineThread(ICOCIMngrEvents* sink, const std::function<void(ICOCIMngrEvents&)>& raise) {
    std::thread([&] { raise(*sink); }).join();
}

class EffectsFacadeTest : public ::testing::Test {
protected:
    void SetUp() override {
        CObjectFactory::Instance().Register(CLSID_EffectsEngine, [this](const Guid& iid, void** object) {
            return FAILED(createResult) ? createResult : engine.QueryInterface(iid, object);
        });
    }
    void TearDown() override {
        while (CBrenmoorVideoEffects::Current() != nullptr)
            CBrenmoorVideoEffects::Current()->Release();
        DrainEvents();
        CObjectFactory::Instance().Unregister(CLSID_EffectsEngine);
    }
    IBrenmoorVideoEffects* Get() {
        IBrenmoorVideoEffects* fx = GetBrenmoorVideoEffects();
        EXPECT_NE(fx, nullptr);
        return fx;
    }
    EffectsFakeEngine engine;
    HRESULT createResult = S_OK;
};

} // namespace

// The operations the program uses reach their engine operation and return the engine's answer.
TEST_F(EffectsFacadeTest, EachOperationReachesItsEngineOperationAndReturnsTheEnginesAnswer) {
    IBrenmoorVideoEffects* fx = Get();
    EXPECT_EQ(fx->EffectsCall7(EFFECTS_OPTION_MIRROR, 1), S_OK);
    EXPECT_EQ(fx->EffectsCall10("cam-2"), S_OK);
    EXPECT_EQ(fx->EffectsCall24("/m.pkg", "Accessory", "hat"), S_OK);
    EXPECT_EQ(fx->EffectsCall24("/a.pkg", "Avatar", "dog"), S_OK);
    EXPECT_EQ(fx->EffectsCall23("Accessory"), S_OK);
    EXPECT_EQ(fx->EffectsCall21(EFFECTS_PICTURE_SHADE, "/p.png"), S_OK);
    EXPECT_EQ(engine.options, (std::map<int32_t, int32_t>{{EFFECTS_OPTION_MIRROR, 1}}));
    EXPECT_EQ(engine.models, (std::map<std::string, std::string>{{"Avatar", "/a.pkg"}}));
    EXPECT_EQ(engine.picture, "/p.png");
    std::string camera;
    int32_t mode = -1;
    engine.mode = 6;
    EXPECT_EQ(fx->EffectsCall8(&camera), S_OK);
    EXPECT_EQ(fx->EffectsCall13(&mode), S_OK);
    EXPECT_EQ(std::pair(camera, mode), std::pair(std::string("cam-2"), 6));
    engine.answers = {
        {"GetStatus", E_EFFECTS_NOT_READY}, {"SetCamera", S_FALSE}, {"LoadModel", E_INVALIDARG}};
    EXPECT_EQ(fx->EffectsCall18(), E_EFFECTS_NOT_READY);
    EXPECT_EQ(fx->EffectsCall10("cam-3"), S_FALSE);
    EXPECT_EQ(fx->EffectsCall24("/f.pkg", "Fun", ""), E_INVALIDARG);
    EXPECT_EQ(fx->EffectsCall13(nullptr), E_POINTER) << "a missing out-pointer never reaches the engine";
}

// Without an engine, or with one whose events cannot be heard, no facade is made and the next request tries
// again. Listeners hear the engine's thread and may change the map or drop the facade while they are called;
// the last release disconnects before letting go of the engine.
TEST_F(EffectsFacadeTest, ListenersHearTheEnginesThreadAndMayChangeTheMapOrDropTheFacadeWhileCalled) {
    createResult = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(GetBrenmoorVideoEffects(), nullptr);
    createResult = S_OK;
    engine.answers["Advise"] = E_FAIL;
    EXPECT_EQ(GetBrenmoorVideoEffects(), nullptr);
    EXPECT_EQ(engine.refs, 1u) << "an engine whose events cannot be heard is let go of";
    engine.answers.clear();
    IBrenmoorVideoEffects* fx = Get();
    EXPECT_EQ(Get(), fx);
    fx->Release();
    EffectsListener a, b, late;
    EXPECT_EQ(fx->AddListener(&a, 1), S_OK);
    EXPECT_EQ(fx->AddListener(&a, 6), E_FAIL) << "kept once, with its first cookie";
    EXPECT_EQ(fx->AddListener(nullptr, 1), E_POINTER);
    RaiseFromEngineThread(engine.sink, [](ICOCIMngrEvents& s) {
        std::string text = "camera lost";
        s.CME_OnError(E_FAIL, text, 8);
        text.assign("freed"); // the engine frees its strings right after the call
    });
    ASSERT_TRUE(PumpUntil([&] { return !a.heard.empty(); }));
    EXPECT_EQ(a.heard, Calls{"Error(1:" + std::to_string(E_FAIL) + ",camera lost,8)"});
    a.heard.clear();
    // Whichever of a and b comes first in the map removes the other and adds a newcomer.
    a.onEvent = [&] {
        EXPECT_EQ(fx->RemoveListener(&b), E_NOTIMPL);
        fx->AddListener(&late, 3);
    };
    b.onEvent = [&] {
        fx->RemoveListener(&a);
        fx->AddListener(&late, 3);
    };
    fx->AddListener(&b, 2);
    RaiseFromEngineThread(engine.sink, [](ICOCIMngrEvents& s) { s.CME_OnModeChange(0, 2); });
    ASSERT_TRUE(PumpUntil([&] { return a.heard.size() + b.heard.size() == 1; }));
    DrainEvents();
    EXPECT_EQ(a.heard.size() + b.heard.size(), 1u);
    EXPECT_TRUE(late.heard.empty()) << "a listener added during an event hears the next one";
    // The last release from a listener frees the facade and its queue without the event loop.
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
    EXPECT_EQ(late.heard, Calls{"Mode(3:2,0)"});
    EXPECT_EQ(CBrenmoorVideoEffects::Current(), nullptr);
    EXPECT_EQ(CEventChannelBase::LiveRecords(), recordsBefore) << "the facade and its queue are gone";
    EXPECT_EQ(engine.sink, nullptr);
    EXPECT_FALSE(engine.unadvisedUnheld) << "disconnected before the engine was let go of";
    EXPECT_EQ(engine.refs, 1u);
}
