// The capture event sinks: the connection rules, and the guard that keeps the owner's callback from being
// called once it was cleared, even with events on other threads.
#include "services/CMotionEvents.h"
#include "services/CMovieEvents.h"
#include "services/CStillEvents.h"
#include "services/CVideoEvents.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <thread>
#include <vector>

namespace {

// A capture object's event side: keeps advised sinks and fires their event.
class CTestSource : public ICaptureEventSource {
public:
    explicit CTestSource(const Guid& eventIid) : eventIid_(eventIid) {}
    HRESULT QueryInterface(const Guid&, void**) override { return E_NOINTERFACE; }
    uint32_t AddRef() override { return refs_.Add(); }
    uint32_t Release() override { return refs_.Drop(); } // lives on the test's stack
    HRESULT Advise(IUnknown* sink, uint32_t* cookie) override {
        void* dispatch = nullptr;
        if (refuse || FAILED(sink->QueryInterface(eventIid_, &dispatch)))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = nextCookie_++;
        sinks_[*cookie] = static_cast<ICaptureEventDispatch*>(dispatch);
        return S_OK;
    }
    HRESULT Unadvise(uint32_t cookie) override {
        ICaptureEventDispatch* sink = sinks_.count(cookie) ? sinks_[cookie] : nullptr;
        sinks_.erase(cookie);
        return sink != nullptr ? (sink->Release(), S_OK) : CONNECT_E_NOCONNECTION;
    }
    void Fire(uint32_t value) {
        for (auto& [cookie, sink] : std::map(sinks_))
            sink->Invoke(CAPTURE_EVENT_DISPID, value);
    }
    size_t SinkCount() const { return sinks_.size(); }
    uint32_t Refs() const { return refs_.Get() - 1; }
    bool refuse = false;

private:
    const Guid eventIid_;
    CRefCount refs_;
    uint32_t nextCookie_ = 1;
    std::map<uint32_t, ICaptureEventDispatch*> sinks_;
};

// Implements all four callbacks as the capture window does, so a sink wired to the wrong operation shows.
class CRecorder : public IVideoEventCallback,
                  public IStillEventCallback,
                  public IMovieEventCallback,
                  public IMotionEventCallback {
public:
    void OnVideoEvent(uint32_t v) override { Note("video", v); }
    void OnStillEvent(uint32_t v) override { Note("still", v); }
    void OnMovieEvent(uint32_t v) override { Note("movie", v); }
    void OnMotionEvent(uint32_t v) override { Note("motion", v); }
    std::vector<std::string> got; // "video:5"
    std::function<void()> during; // runs inside each call

private:
    void Note(const char* which, uint32_t v) {
        got.push_back(which + (":" + std::to_string(v)));
        if (during)
            during();
    }
};

// Each sink's event interface and the callback it must reach.
template <class TSink> struct SinkInfo;
#define SINK_INFO(Sink, iid, name)                                                                           \
    template <> struct SinkInfo<Sink> {                                                                      \
        static const Guid& Iid() { return iid; }                                                             \
        static constexpr const char* kName = name;                                                           \
    }
SINK_INFO(CVideoEvents, DIID_IVideoEvents, "video");
SINK_INFO(CStillEvents, DIID_IStillEvents, "still");
SINK_INFO(CMovieEvents, DIID_IMovieEvents, "movie");
SINK_INFO(CMotionEvents, DIID_IMotionEvents, "motion");
#undef SINK_INFO

template <class TSink> class CaptureEventSink : public ::testing::Test {
protected:
    void SetUp() override {
        live_ = CCaptureEventSinkBase::LiveCount();
        ASSERT_EQ(TSink::Create(&sink_), S_OK);
    }
    void TearDown() override {
        sink_->Release();
        EXPECT_EQ(CCaptureEventSinkBase::LiveCount(), live_) << "a sink leaked";
    }
    std::vector<std::string> Expect(std::vector<uint32_t> values) const {
        std::vector<std::string> out;
        for (uint32_t v : values)
            out.push_back(SinkInfo<TSink>::kName + (":" + std::to_string(v)));
        return out;
    }
    int live_ = 0;
    TSink* sink_ = nullptr;
    CRecorder owner_;
    CTestSource source_{SinkInfo<TSink>::Iid()};
};

using AllSinks = ::testing::Types<CVideoEvents, CStillEvents, CMovieEvents, CMotionEvents>;
TYPED_TEST_SUITE(CaptureEventSink, AllSinks);

TYPED_TEST(CaptureEventSink, DeliversItsOwnEventOnlyWhileConnectedAndToOneConnectionAtATime) {
    auto* sink = this->sink_;
    EXPECT_EQ(sink->Invoke(CAPTURE_EVENT_DISPID, 1), S_OK); // no callback yet: dropped
    // A source of another event interface, or one that refuses, leaves the sink unconnected and reusable.
    for (const Guid* iid :
         {&DIID_IVideoEvents, &DIID_IStillEvents, &DIID_IMovieEvents, &DIID_IMotionEvents}) {
        CTestSource other(*iid);
        other.refuse = *iid == SinkInfo<TypeParam>::Iid();
        EXPECT_EQ(sink->Connect(&other, &this->owner_), CONNECT_E_CANNOTCONNECT) << *iid;
        EXPECT_EQ(other.Refs(), 0u);
    }
    EXPECT_EQ(sink->Connect(nullptr, &this->owner_), E_POINTER);
    ASSERT_EQ(sink->Connect(&this->source_, &this->owner_), S_OK);
    // A second connection fails and leaves the first one working.
    CTestSource other(SinkInfo<TypeParam>::Iid());
    CRecorder otherOwner;
    EXPECT_EQ(sink->Connect(&other, &otherOwner), E_FAIL);
    EXPECT_EQ(other.SinkCount(), 0u);
    this->source_.Fire(2);
    this->source_.Fire(0xFFFFFFFFu);
    for (int32_t dispId : {0, 2, -1})
        EXPECT_EQ(sink->Invoke(dispId, 5), DISP_E_MEMBERNOTFOUND);
    ASSERT_EQ(sink->Disconnect(), S_OK);
    EXPECT_EQ(sink->Cookie(), CAPTURE_SINK_NOT_CONNECTED);
    EXPECT_EQ(this->source_.SinkCount(), 0u);
    EXPECT_EQ(this->source_.Refs(), 0u) << "the sink still holds the capture object";
    EXPECT_EQ(sink->Invoke(CAPTURE_EVENT_DISPID, 3), S_OK); // after Disconnect: dropped
    EXPECT_EQ(sink->Disconnect(), S_FALSE);
    // Clearing the callback alone drops events as well.
    ASSERT_EQ(sink->Connect(&this->source_, &this->owner_), S_OK);
    sink->SetCallback(nullptr);
    this->source_.Fire(4);
    EXPECT_EQ(sink->Disconnect(), S_OK);
    // A callback may disconnect its own sink, on the capture object's thread.
    ASSERT_EQ(sink->Connect(&this->source_, &this->owner_), S_OK);
    HRESULT inside = E_UNEXPECTED;
    this->owner_.during = [&] { inside = sink->Disconnect(); };
    std::thread([&] { this->source_.Fire(6); }).join();
    EXPECT_EQ(inside, S_OK);
    sink->Invoke(CAPTURE_EVENT_DISPID, 7);
    EXPECT_EQ(this->owner_.got, this->Expect({2, 0xFFFFFFFFu, 6}));
    EXPECT_TRUE(otherOwner.got.empty());
}

// Disconnect while the callback runs on another thread returns only after the callback has left.
TEST(CaptureEventSinkThreads, DisconnectWaitsForACallbackRunningOnAnotherThread) {
    CVideoEvents* sink = nullptr;
    ASSERT_EQ(CVideoEvents::Create(&sink), S_OK);
    CTestSource source(DIID_IVideoEvents);
    CRecorder owner;
    ASSERT_EQ(sink->Connect(&source, &owner), S_OK);
    std::promise<void> entered, gate, disconnecting;
    std::shared_future<void> gateOpen = gate.get_future().share();
    std::atomic<bool> callbackLeft{false};
    owner.during = [&] {
        entered.set_value();
        gateOpen.wait();
        callbackLeft = true;
    };
    std::thread eventThread([&] { sink->Invoke(CAPTURE_EVENT_DISPID, 1); });
    entered.get_future().wait();
    bool leftBeforeReturn = false;
    std::thread ownerThread([&] {
        disconnecting.set_value();
        sink->Disconnect();
        leftBeforeReturn = callbackLeft;
    });
    disconnecting.get_future().wait();
    gate.set_value();
    ownerThread.join();
    eventThread.join();
    EXPECT_TRUE(leftBeforeReturn) << "Disconnect returned while the callback was still running";
    owner.during = nullptr;
    sink->Invoke(CAPTURE_EVENT_DISPID, 2);
    EXPECT_EQ(owner.got.size(), 1u);
    sink->Release();
}

} // namespace
