// The event serializers (the other three are driven through their facades' tests): events posted on any
// thread reach the target on the user-interface thread, in order, with their own copies of the arguments.
#include "services/CGDMEventSerializer.h"
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

using Calls = std::vector<std::string>;

// Writes every call down as text ("Mic(mic,1,6,i:40,i:30)"), and counts calls off the user-interface thread.
class CRecordingTarget : public IInProcDeviceManagerEvents {
    using S = const std::string&;
    using V = const Variant&;
    using I = int32_t;

public:
    Calls calls;
    int offThread = 0;
    void OnMicrophonePropertyChanged(S id, I k, I p, V n, V o) override { Note("Mic", id, k, p, n, o); }
    void OnSpeakerPropertyChanged(S id, I k, I p, V n, V o) override { Note("Speaker", id, k, p, n, o); }
    void OnVideoPropertyChanged(S id, I k, I p, V n, V o) override { Note("Video", id, k, p, n, o); }
    void OnHIDPropertyChanged(S id, I k, I p, V d) override { Note("HID", id, k, p, d); }
    void OnVideoDeviceEvent(S id, I c, I p, V v) override { Note("DeviceEvent", id, c, p, v); }
    void OnDeviceArrived(I t, S id) override { Note("Arrived", t, id); }
    void OnDeviceRemoved(I t, S id) override { Note("Removed", t, id); }
    void OnVideoMotorStatus(S id, uint32_t s) override { Note("Motor", id, s); }
    void OnPlaySoundFileStatus(S id, uint32_t s) override { Note("Sound", id, s); }
    void OnHIDPropertyChanged2(S id, I k, I p, V n, V o) override { Note("HID2", id, k, p, n, o); }
    void OnGlobalPropertyChanged(I o, V v) override { Note("Global", o, v); }

private:
    static std::string Text(S s) { return s; }
    static std::string Text(int64_t n) { return std::to_string(n); }
    // Values as "i:5", "b:-1", "s:text", "bytes:1,2,3,", "empty".
    static std::string Text(V v) {
        std::string bytes = "bytes:";
        switch (v.Type()) {
        case VarType::I4:
        case VarType::UI4:
            return "i:" + std::to_string(v.Type() == VarType::I4 ? v.GetI4() : int64_t{v.GetUI4()});
        case VarType::Bool:
            return "b:" + std::to_string(v.GetBool());
        case VarType::String:
            return "s:" + v.GetString();
        case VarType::ByteArray:
            for (uint8_t b : v.GetBytes())
                bytes += std::to_string(b) + ",";
            return bytes;
        case VarType::Empty:
            break;
        }
        return "empty";
    }
    template <class... Parts> void Note(const char* what, const Parts&... parts) {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            ++offThread;
        std::string text = std::string(what) + "(";
        ((text += Text(parts) + ","), ...);
        calls.push_back(text.substr(0, text.size() - 1) + ")");
    }
};

class SerializerTest : public ::testing::Test {
protected:
    void SetUp() override { baseline_ = CEventChannelBase::LiveRecords(); }
    void TearDown() override { EXPECT_EQ(CEventChannelBase::LiveRecords(), baseline_) << "records leaked"; }
    CRecordingTarget target_;
    size_t baseline_ = 0;
};

} // namespace

TEST_F(SerializerTest, EveryEventPostedOnAServiceThreadArrivesLaterInOrderWithItsOwnArguments) {
    CGDMEventSerializer s;
    s.SetTarget(&target_);
    std::thread service([&] {
        // The service frees or reuses its arguments as soon as each call returns.
        auto id = std::make_unique<std::string>("usb#vid_1234&pid_5678#camera");
        auto bytes = std::make_unique<Variant>(Variant::FromBytes({1, 2, 3}));
        auto text = std::make_unique<Variant>(Variant::FromString("x"));
        s.OnMicrophonePropertyChanged("mic", 1, 6, Variant::FromI4(40), Variant::FromI4(30));
        s.OnSpeakerPropertyChanged("spk", 2, 7, Variant::FromUI4(5), Variant());
        s.OnVideoPropertyChanged(*id, 3, 44, Variant::FromBool(true), Variant::FromBool(false));
        s.OnHIDPropertyChanged(*id, 4, 8, *bytes);
        s.OnVideoDeviceEvent(*id, 20, 9, *text);
        s.OnDeviceArrived(1, ""); // empty strings stay empty strings
        s.OnDeviceRemoved(2, "mic2");
        s.OnVideoMotorStatus("cam", 0xFFFFFFFFu);
        s.OnPlaySoundFileStatus("spk", 3);
        s.OnHIDPropertyChanged2("hid", 5, 6, Variant::FromBool(true), Variant::FromI4(0));
        s.OnGlobalPropertyChanged(1, Variant::FromBool(false));
        id->assign("overwritten");
        id.reset();
        bytes.reset();
        *text = Variant::FromString("after");
    });
    service.join();
    EXPECT_TRUE(target_.calls.empty());
    Pump();
    const std::string cam = "usb#vid_1234&pid_5678#camera";
    EXPECT_EQ(target_.calls,
              (Calls{"Mic(mic,1,6,i:40,i:30)", "Speaker(spk,2,7,i:5,empty)",
                     "Video(" + cam + ",3,44,b:-1,b:0)", "HID(" + cam + ",4,8,bytes:1,2,3,)",
                     "DeviceEvent(" + cam + ",20,9,s:x)", "Arrived(1,)", "Removed(2,mic2)",
                     "Motor(cam,4294967295)", "Sound(spk,3)", "HID2(hid,5,6,b:-1,i:0)", "Global(1,b:0)"}));
    EXPECT_EQ(target_.offThread, 0);
}

// Several service threads post while events are delivered and the owner goes in the middle, freeing what is
// queued: what arrives keeps each thread's order with each event's own arguments; nothing arrives afterwards,
// though the threads keep posting through their sinks, and nothing leaks.
TEST_F(SerializerTest, ServiceThreadsPostingWhileTheOwnerIsDestroyedLoseEventsButNothingElse) {
    constexpr int kThreads = 3;
    constexpr int kPerThread = 20000;
    for (int round = 0; round < 10; ++round) {
        target_.calls.clear();
        auto s = std::make_unique<CGDMEventSerializer>();
        s->SetTarget(&target_);
        std::atomic<bool> stop{false};
        std::atomic<int> posted{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, sink = s->Sink(), t] {
                for (int i = 0; i < kPerThread && !stop; ++i) {
                    sink->OnDeviceRemoved(t, "a long enough text to allocate " + std::to_string(i));
                    ++posted;
                }
            });
        PumpUntil([&] { return target_.calls.size() > 30; }, 30000);
        s.reset(); // the owner goes while the threads keep posting
        const size_t delivered = target_.calls.size();
        const int before = posted.load();
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
            const int t = call[std::string("Removed(").size()] - '0';
            ASSERT_TRUE(t >= 0 && t < kThreads) << call;
            ASSERT_EQ(call, "Removed(" + std::to_string(t) + ",a long enough text to allocate " +
                                std::to_string(next[t]++) + ")");
        }
    }
}
