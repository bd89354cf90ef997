// The communications facade's listeners: events raised on a service thread reach them on this thread, in
// order, with their cookies; listeners that change the table or drop the facade while called.
#include "CommunicationsTestFixture.h"

#include "platform/CMessageQueue.h"
#include "services/CEventChannelBase.h"

#include <thread>

namespace {

// Raises events on a thread of its own, as the service does.
void RaiseFromServiceThread(IBrenCommunicationManagerEvents* sink,
                            const std::function<void(IBrenCommunicationManagerEvents&)>& raise) {
    std::thread([&] { raise(*sink); }).join();
}

} // namespace

TEST_F(CommunicationsTest, ServiceEventsReachEveryListenerWithItsCookie) {
    IGraniteCommunicationsManager* m = Get();
    ASSERT_NE(service.sink, nullptr);
    CommsRecordingListener a, b;
    m->AddListener(&a, 10);
    m->AddListener(&b, 20);
    RaiseFromServiceThread(service.sink, [](IBrenCommunicationManagerEvents& sink) {
        std::string name = "Chat";
        sink.IC_OnApplicationStatusChanged("chat", name, COMMS_APP_RUNNING);
        name.assign("overwritten"); // the service frees its strings right after the call
        sink.IC_OnCallEvent("1", "2", "3", "4", 5);
        sink.IC_OnContactlistUpdate("x", "y", "z", 6);
        sink.OnMessageReceivedInfo("m1", "m2", "m3", "m4");
        sink.IC_OnVoicemailChanged("v1", "v2", 7, 8);
        sink.IC_OnContactStatusChanged("c1", "c2", "c3", 9);
        sink.IC_OnDefaultICApplicationChanged("Old", "New", "new");
        sink.IC_OnShutdown();
        sink.IC_OnCallReadinessChange();
        // The service's own device reports are not passed on.
        sink.IC_OnDeviceAdded("mic", 2, "Microphone");
        sink.IC_OnDeviceRemoved("mic", 2, "Microphone", "x");
        sink.IC_OnDeviceSelectionChanged("cam-1", COMMS_DEVICE_CAMERA, "cam-2");
    });
    ASSERT_TRUE(PumpUntil([&] { return b.heard.size() == 10; }));
    DrainEvents();
    EXPECT_EQ(b.heard, (Calls{"Status(20:chat,Chat,3)", "Call(20:1,2,3,4,5)", "Contacts(20:x,y,z,6)",
                              "Message(20:m1,m2,m3,m4)", "Voicemail(20:v1,v2,7,8)",
                              "ContactStatus(20:c1,c2,c3,9)", "Default(20:Old,New,new)", "Shutdown(20)",
                              "Readiness(20)", "Device(20:cam-1,1,cam-2)"}));
    EXPECT_EQ(a.heard.front(), "Status(10:chat,Chat,3)");
    // A listener removed by an earlier one during an event is not called.
    a.onEvent = [&] { m->RemoveListener(&b); };
    RaiseFromServiceThread(service.sink, [](IBrenCommunicationManagerEvents& s) { s.IC_OnShutdown(); });
    ASSERT_TRUE(PumpUntil([&] { return a.heard.size() == 11; }));
    DrainEvents();
    EXPECT_EQ(b.heard.size(), 10u);
}

// A failed creation or a refused sink gives null and the next request tries again. The last release, even
// from a listener, shuts the facade down without the event loop (on the way out of the program it may never
// run again), disconnecting before the service is let go of.
TEST_F(CommunicationsTest, ALastReleaseFromAListenerShutsTheFacadeDownWithoutTheEventLoop) {
    createResult = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(GetGraniteCommunicationsManager(), nullptr);
    createResult = S_OK;
    service.failures["Advise"] = E_FAIL;
    EXPECT_EQ(GetGraniteCommunicationsManager(), nullptr);
    EXPECT_EQ(service.refs, 1u) << "a service whose events cannot be heard is let go of";
    service.failures.clear();
    IGraniteCommunicationsManager* m = Get();
    EXPECT_EQ(Get(), m);
    m->Release();
    CommsRecordingListener first, second;
    IBrenCommunicationManagerEvents* sink = service.sink;
    const size_t recordsBefore = CEventChannelBase::LiveRecords();
    first.onEvent = [&] {
        sink->IC_OnApplicationStatusChanged("late", "Late", 1); // still queued when the facade goes
        m->Release();
    };
    m->AddListener(&first, 1);
    m->AddListener(&second, 2);
    RaiseFromServiceThread(sink, [](IBrenCommunicationManagerEvents& s) {
        s.IC_OnShutdown();
        s.IC_OnCallReadinessChange();
    });
    QCoreApplication::sendPostedEvents(nullptr, CMessageQueue::WakeEventType());
    ASSERT_EQ(first.heard, Calls{"Shutdown(1)"});
    EXPECT_TRUE(second.heard.empty()) << "the facade shut down during the first event";
    EXPECT_EQ(CGraniteCommunicationsManager::Current(), nullptr);
    EXPECT_EQ(service.sink, nullptr);
    EXPECT_EQ(CEventChannelBase::LiveRecords(), recordsBefore) << "the facade and its queue are gone";
    EXPECT_FALSE(service.unadvisedUnheld) << "disconnected before the service was let go of";
    EXPECT_EQ(service.refs, 1u) << "only the test's own reference is left";
}
