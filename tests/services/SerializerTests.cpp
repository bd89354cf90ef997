// The event serializers: service events posted on any thread reach their target on the user-interface
// thread, in order, with their own copies of the arguments; nothing is delivered or leaked once the
// serializer is gone.
#include "services/CCOCIMngrEventsSerializer.h"
#include "services/CFireEventSerializer.h"
#include "services/CGCMEventSerializer.h"
#include "services/CGDMEventSerializer.h"
#include "services/IInProcDeviceManagerEvents.h"
#include "support/EventPump.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Values as text: "i:5", "b:-1", "s:text", "bytes3:1,2,3,".
std::string Show(const Variant& v) {
    switch (v.Type()) {
    case VarType::I4:
        return "i:" + std::to_string(v.GetI4());
    case VarType::UI4:
        return "u:" + std::to_string(v.GetUI4());
    case VarType::Bool:
        return "b:" + std::to_string(v.GetBool());
    case VarType::String:
        return "s:" + v.GetString();
    case VarType::ByteArray: {
        std::string out = "bytes" + std::to_string(v.GetBytes().size()) + ":";
        for (uint8_t b : v.GetBytes())
            out += std::to_string(b) + ",";
        return out;
    }
    case VarType::Empty:
        break;
    }
    return "empty";
}

// Writes every call down as text, and checks it runs on the user-interface thread.
class CRecordingTarget : public IInProcDeviceManagerEvents,
                         public IFireEvent,
                         public IBrenCommunicationManagerEvents,
                         public ICOCIMngrEvents {
public:
    std::vector<std::string> calls;
    int offThread = 0;
    std::function<void(const std::string&)> after; // runs after each call is written down

    void Note(std::string s) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++offThread;
        calls.push_back(std::move(s));
        if (after)
            after(calls.back());
    }
    static std::string Args(std::initializer_list<std::string> parts) {
        std::string s = "(";
        for (const std::string& p : parts)
            s += (s.size() > 1 ? "," : "") + p;
        return s + ")";
    }
    static std::string N(int64_t v) { return std::to_string(v); }

    void OnMicrophonePropertyChanged(const std::string& id, int32_t k, int32_t p, const Variant& n,
                                     const Variant& o) override {
        Note("Mic" + Args({id, N(k), N(p), Show(n), Show(o)}));
    }
    void OnSpeakerPropertyChanged(const std::string& id, int32_t k, int32_t p, const Variant& n,
                                  const Variant& o) override {
        Note("Speaker" + Args({id, N(k), N(p), Show(n), Show(o)}));
    }
    void OnVideoPropertyChanged(const std::string& id, int32_t k, int32_t p, const Variant& n,
                                const Variant& o) override {
        Note("Video" + Args({id, N(k), N(p), Show(n), Show(o)}));
    }
    void OnHIDPropertyChanged(const std::string& id, int32_t k, int32_t p, const Variant& d) override {
        Note("HID" + Args({id, N(k), N(p), Show(d)}));
    }
    void OnVideoDeviceEvent(const std::string& id, int32_t c, int32_t p, const Variant& v) override {
        Note("DeviceEvent" + Args({id, N(c), N(p), Show(v)}));
    }
    void OnDeviceArrived(int32_t t, const std::string& id) override { Note("Arrived" + Args({N(t), id})); }
    void OnDeviceRemoved(int32_t t, const std::string& id) override { Note("Removed" + Args({N(t), id})); }
    void OnVideoMotorStatus(const std::string& id, uint32_t s) override { Note("Motor" + Args({id, N(s)})); }
    void OnPlaySoundFileStatus(const std::string& id, uint32_t s) override {
        Note("Sound" + Args({id, N(s)}));
    }
    void OnHIDPropertyChanged2(const std::string& id, int32_t k, int32_t p, const Variant& n,
                               const Variant& o) override {
        Note("HID2" + Args({id, N(k), N(p), Show(n), Show(o)}));
    }
    void OnGlobalPropertyChanged(int32_t o, const Variant& v) override {
        Note("Global" + Args({N(o), Show(v)}));
    }

    void FireSeverityChangedEvent(const std::string& id, int32_t n, int32_t o) override {
        Note("Severity" + Args({id, N(n), N(o)}));
    }

    void IC_OnCallEvent(const std::string& a, const std::string& b, const std::string& c,
                        const std::string& d, int32_t v) override {
        Note("Call" + Args({a, b, c, d, N(v)}));
    }
    void IC_OnContactlistUpdate(const std::string& a, const std::string& b, const std::string& c,
                                int32_t v) override {
        Note("Contactlist" + Args({a, b, c, N(v)}));
    }
    void OnMessageReceivedInfo(const std::string& a, const std::string& b, const std::string& c,
                               const std::string& d) override {
        Note("MessageInfo" + Args({a, b, c, d}));
    }
    void IC_OnVoicemailChanged(const std::string& a, const std::string& b, int32_t v1, int32_t v2) override {
        Note("Voicemail" + Args({a, b, N(v1), N(v2)}));
    }
    void IC_OnContactStatusChanged(const std::string& a, const std::string& b, const std::string& c,
                                   int32_t v) override {
        Note("ContactStatus" + Args({a, b, c, N(v)}));
    }
    void IC_OnDeviceAdded(const std::string& a, int32_t v, const std::string& b) override {
        Note("DeviceAdded" + Args({a, N(v), b}));
    }
    void IC_OnDeviceRemoved(const std::string& a, int32_t v, const std::string& b,
                            const std::string& c) override {
        Note("DeviceRemoved" + Args({a, N(v), b, c}));
    }
    void IC_OnApplicationStatusChanged(const std::string& a, const std::string& b, int32_t v) override {
        Note("AppStatus" + Args({a, b, N(v)}));
    }
    void IC_OnDefaultICApplicationChanged(const std::string& a, const std::string& b,
                                          const std::string& c) override {
        Note("DefaultApp" + Args({a, b, c}));
    }
    void IC_OnShutdown() override { Note("Shutdown()"); }
    void IC_OnCallReadinessChange() override { Note("Readiness()"); }
    void IC_OnDeviceSelectionChanged(const std::string& a, int32_t v, const std::string& b) override {
        Note("Selection" + Args({a, N(v), b}));
    }

    void CME_OnError(int32_t c, const std::string& t, int32_t v) override {
        Note("EffectsError" + Args({N(c), t, N(v)}));
    }
    void CME_OnModeChange(int32_t a, int32_t b) override { Note("EffectsMode" + Args({N(a), N(b)})); }
};

class SerializerTest : public ::testing::Test {
protected:
    void SetUp() override { baseline_ = CEventChannelBase::LiveRecords(); }
    void TearDown() override { EXPECT_EQ(CEventChannelBase::LiveRecords(), baseline_) << "records leaked"; }
    CRecordingTarget target_;
    size_t baseline_ = 0;
};

} // namespace

TEST_F(SerializerTest, EveryDeviceManagerEventReachesTheTargetLaterWithItsArguments) {
    CGDMEventSerializer s;
    s.SetTarget(&target_);
    auto bytes = Variant::FromBytes({1, 2, 3});
    s.OnMicrophonePropertyChanged("mic", 1, 6, Variant::FromI4(40), Variant::FromI4(30));
    s.OnSpeakerPropertyChanged("spk", 2, 7, Variant::FromUI4(5), Variant());
    s.OnVideoPropertyChanged("cam", 3, 44, Variant::FromBool(true), Variant::FromBool(false));
    s.OnHIDPropertyChanged("hid", 4, 8, bytes);
    s.OnVideoDeviceEvent("cam", 20, 9, Variant::FromString("x"));
    s.OnDeviceArrived(1, "cam2");
    s.OnDeviceRemoved(2, "mic2");
    s.OnVideoMotorStatus("cam", 0xFFFFFFFFu);
    s.OnPlaySoundFileStatus("spk", 3);
    s.OnHIDPropertyChanged2("hid", 5, 6, Variant::FromBool(true), Variant::FromI4(0));
    s.OnGlobalPropertyChanged(1, Variant::FromBool(false));
    EXPECT_TRUE(target_.calls.empty());
    EXPECT_EQ(s.PendingCount(), 11u);
    Pump();
    EXPECT_EQ(target_.calls, (std::vector<std::string>{
                                 "Mic(mic,1,6,i:40,i:30)",
                                 "Speaker(spk,2,7,u:5,empty)",
                                 "Video(cam,3,44,b:-1,b:0)",
                                 "HID(hid,4,8,bytes3:1,2,3,)",
                                 "DeviceEvent(cam,20,9,s:x)",
                                 "Arrived(1,cam2)",
                                 "Removed(2,mic2)",
                                 "Motor(cam,4294967295)",
                                 "Sound(spk,3)",
                                 "HID2(hid,5,6,b:-1,i:0)",
                                 "Global(1,b:0)",
                             }));
    EXPECT_EQ(s.PendingCount(), 0u);
    EXPECT_EQ(target_.offThread, 0);
}

TEST_F(SerializerTest, EveryCommunicationsEventReachesTheTargetAndPlainEventsCarryNoRecord) {
    CGCMEventSerializer s;
    s.SetTarget(&target_);
    s.IC_OnCallEvent("a", "b", "c", "d", 1);
    s.IC_OnContactlistUpdate("a", "b", "c", 2);
    s.OnMessageReceivedInfo("a", "b", "c", "d");
    s.IC_OnVoicemailChanged("a", "b", 3, 4);
    s.IC_OnContactStatusChanged("a", "b", "c", 5);
    s.IC_OnDeviceAdded("a", 6, "b");
    s.IC_OnDeviceRemoved("a", 7, "b", "c");
    s.IC_OnApplicationStatusChanged("a", "b", 8);
    s.IC_OnDefaultICApplicationChanged("a", "b", "c");
    EXPECT_EQ(s.PendingCount(), 9u);
    s.IC_OnShutdown();
    s.IC_OnCallReadinessChange();
    EXPECT_EQ(s.PendingCount(), 9u); // no records for these two
    s.IC_OnDeviceSelectionChanged("a", 9, "b");
    Pump();
    EXPECT_EQ(target_.calls,
              (std::vector<std::string>{"Call(a,b,c,d,1)", "Contactlist(a,b,c,2)", "MessageInfo(a,b,c,d)",
                                        "Voicemail(a,b,3,4)", "ContactStatus(a,b,c,5)", "DeviceAdded(a,6,b)",
                                        "DeviceRemoved(a,7,b,c)", "AppStatus(a,b,8)", "DefaultApp(a,b,c)",
                                        "Shutdown()", "Readiness()", "Selection(a,9,b)"}));
}

TEST_F(SerializerTest, SeverityAndEffectsEventsReachTheirTargets) {
    CFireEventSerializer fire;
    CCOCIMngrEventsSerializer effects;
    fire.SetTarget(&target_);
    effects.SetTarget(&target_);
    effects.CME_OnError(-5, "engine stalled", 3);
    fire.FireSeverityChangedEvent("cam", 2, 1);
    effects.CME_OnModeChange(1, 0);
    Pump();
    // Each serializer keeps its own order; the two queues may interleave either way.
    auto calls = target_.calls;
    std::erase(calls, "Severity(cam,2,1)");
    EXPECT_EQ(target_.calls.size(), 3u);
    EXPECT_EQ(calls, (std::vector<std::string>{"EffectsError(-5,engine stalled,3)", "EffectsMode(1,0)"}));
}

TEST_F(SerializerTest, RecordsOwnTheirArgumentsSoTheCallerMayFreeItsOwnAtOnce) {
    CGDMEventSerializer s;
    s.SetTarget(&target_);
    std::thread service([&] {
        auto id = std::make_unique<std::string>("usb#vid_1234&pid_5678#camera");
        auto value = std::make_unique<Variant>(Variant::FromBytes({9, 8, 7}));
        auto text = std::make_unique<Variant>(Variant::FromString("before"));
        s.OnHIDPropertyChanged(*id, 0, 1, *value);
        s.OnVideoDeviceEvent(*id, 5, 0, *text);
        s.OnDeviceArrived(1, ""); // empty strings stay empty strings
        id->assign("overwritten");
        id.reset();
        value.reset();
        *text = Variant::FromString("after");
    });
    service.join();
    Pump();
    EXPECT_EQ(target_.offThread, 0);
    EXPECT_EQ(target_.calls, (std::vector<std::string>{
                                 "HID(usb#vid_1234&pid_5678#camera,0,1,bytes3:9,8,7,)",
                                 "DeviceEvent(usb#vid_1234&pid_5678#camera,5,0,s:before)", "Arrived(1,)"}));
}

TEST_F(SerializerTest, WithoutATargetDeliveredEventsVanishAndTheirRecordsAreFreed) {
    CGCMEventSerializer s;
    s.IC_OnCallEvent("a", "b", "c", "d", 1);
    s.IC_OnShutdown();
    Pump();
    EXPECT_EQ(s.PendingCount(), 0u);
    EXPECT_EQ(CEventChannelBase::LiveRecords(), baseline_);
    s.SetTarget(&target_);
    s.IC_OnDeviceAdded("x", 1, "y");
    s.SetTarget(nullptr); // what counts is the target at delivery
    s.IC_OnDeviceAdded("x", 2, "y");
    s.SetTarget(&target_);
    Pump();
    EXPECT_EQ(target_.calls, (std::vector<std::string>{"DeviceAdded(x,1,y)", "DeviceAdded(x,2,y)"}));
}

TEST_F(SerializerTest, DestroyingTheSerializerFreesQueuedEventsAndNothingIsDeliveredAfterwards) {
    auto s = std::make_unique<CGDMEventSerializer>();
    s->SetTarget(&target_);
    auto sink = s->Sink();
    for (int i = 0; i < 10; ++i)
        s->OnDeviceArrived(i, "cam");
    EXPECT_EQ(CEventChannelBase::LiveRecords(), baseline_ + 10);
    s.reset();
    EXPECT_EQ(CEventChannelBase::LiveRecords(), baseline_);
    sink->OnDeviceArrived(99, "late"); // the service is still calling its sink
    Pump();
    EXPECT_TRUE(target_.calls.empty());
    EXPECT_EQ(CEventChannelBase::LiveRecords(), baseline_);
}

TEST_F(SerializerTest, ATargetThatDestroysTheSerializerInsideAHandlerIsSafe) {
    // The facade's last reference can go inside a listener's handler of a service event.
    auto s = std::make_unique<CGCMEventSerializer>();
    s->SetTarget(&target_);
    target_.after = [&](const std::string& call) {
        if (call == "Shutdown()")
            s.reset();
    };
    s->IC_OnCallEvent("a", "", "", "", 1);
    s->IC_OnShutdown();
    s->IC_OnCallEvent("b", "", "", "", 2);
    s->IC_OnCallReadinessChange();
    Pump();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the hidden receiver goes now
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(target_.calls, (std::vector<std::string>{"Call(a,,,,1)", "Shutdown()"}));
}

// Several service threads post while events are delivered and the owner goes in the middle: what arrives
// keeps each thread's order with each event's own arguments; nothing arrives afterwards and nothing leaks.
TEST_F(SerializerTest, ServiceThreadsPostingWhileTheOwnerIsDestroyedLoseEventsButNothingElse) {
    constexpr int kThreads = 3;
    constexpr int kPerThread = 20000;
    for (int round = 0; round < 10; ++round) {
        target_.calls.clear();
        auto s = std::make_unique<CGCMEventSerializer>();
        s->SetTarget(&target_);
        std::atomic<bool> stop{false};
        std::atomic<int> posted{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, sink = s->Sink(), t] {
                for (int i = 0; i < kPerThread && !stop; ++i) {
                    sink->IC_OnDeviceRemoved("device" + std::to_string(t), t,
                                             "a long enough text to allocate", std::to_string(i));
                    if (t == 0)
                        sink->IC_OnShutdown();
                    ++posted;
                }
            });
        PumpUntil([&] { return target_.calls.size() > 30; }, 30000);
        s.reset(); // the owner goes while the threads keep posting
        const size_t delivered = target_.calls.size();
        int before = posted.load();
        // More posts after the destruction (unless the threads had already run out).
        PumpUntil([&] { return posted.load() > before + 100 || posted.load() == kThreads * kPerThread; },
                  30000);
        Pump();
        stop = true;
        for (auto& th : threads)
            th.join();
        Pump();
        ASSERT_EQ(target_.calls.size(), delivered) << "round " << round;
        EXPECT_EQ(CEventChannelBase::LiveRecords(), baseline_) << "round " << round;
        EXPECT_EQ(target_.offThread, 0);

        std::vector<int> next(kThreads, 0);
        for (const std::string& call : target_.calls) {
            if (call == "Shutdown()")
                continue;
            const int t = call[std::string("DeviceRemoved(device").size()] - '0';
            ASSERT_TRUE(t >= 0 && t < kThreads) << call;
            const std::string n = std::to_string(t);
            ASSERT_EQ(call, "DeviceRemoved(device" + n + "," + n + ",a long enough text to allocate," +
                                std::to_string(next[t]++) + ")");
        }
    }
}
