// The communications facade's listeners: events raised on a service thread reach them on this thread, in
// order and slot order, with their cookies; the table's limits; listeners that change the table or drop the
// facade while they are called.
#include "CommunicationsTestFixture.h"

#include "platform/CMessageQueue.h"
#include "services/CEventChannelBase.h"

#include <thread>

namespace {

// Raises events on a thread of its own, as the service does, and frees its strings at once.
void RaiseFromServiceThread(IBrenCommunicationManagerEvents* sink,
                            const std::function<void(IBrenCommunicationManagerEvents&)>& raise) {
    std::thread thread([&] { raise(*sink); });
    thread.join();
}

} // namespace

TEST_F(CommunicationsTest, ServiceEventsReachEveryListenerInSlotOrderWithItsCookie) {
    IGraniteCommunicationsManager* m = Get();
    ASSERT_NE(service.sink, nullptr);
    CommsRecordingListener a;
    CommsRecordingListener b;
    std::vector<std::string> order;
    a.onEvent = [&] { order.push_back("a"); };
    b.onEvent = [&] { order.push_back("b"); };
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
    EXPECT_EQ(b.heard, (std::vector<std::string>{"Status(20:chat,Chat,3)", "Call(20:1,2,3,4,5)",
                                                 "Contacts(20:x,y,z,6)", "Message(20:m1,m2,m3,m4)",
                                                 "Voicemail(20:v1,v2,7,8)", "ContactStatus(20:c1,c2,c3,9)",
                                                 "Default(20:Old,New,new)", "Shutdown(20)", "Readiness(20)",
                                                 "Device(20:cam-1,1,cam-2)"}));
    EXPECT_EQ(a.heard.front(), "Status(10:chat,Chat,3)");
    for (size_t i = 0; i < order.size(); i += 2)
        EXPECT_EQ(order[i], "a") << "slot order within each event";
    m->Release();
}

TEST_F(CommunicationsTest, TheTableKeepsTwentyFiveListenersAndRemovalsTakeEffectAtOnce) {
    IGraniteCommunicationsManager* m = Get();
    std::vector<CommsRecordingListener> listeners(26);
    for (size_t i = 0; i < listeners.size(); ++i)
        EXPECT_EQ(m->AddListener(&listeners[i], static_cast<uint32_t>(i)), S_OK);
    EXPECT_EQ(m->AddListener(nullptr, 0), E_INVALIDARG);
    RaiseFromServiceThread(service.sink, [](IBrenCommunicationManagerEvents& s) { s.IC_OnShutdown(); });
    ASSERT_TRUE(PumpUntil([&] { return !listeners[24].heard.empty(); }));
    DrainEvents();
    EXPECT_TRUE(listeners[25].heard.empty()) << "a full table does not keep the 26th";

    // One listener in two slots: removing it frees both, so two newcomers fit.
    m->RemoveListener(&listeners[3]);
    m->RemoveListener(&listeners[4]);
    CommsRecordingListener twice;
    m->AddListener(&twice, 7);
    m->AddListener(&twice, 8);
    m->RemoveListener(&twice);
    CommsRecordingListener x;
    CommsRecordingListener y;
    m->AddListener(&x, 1);
    m->AddListener(&y, 2);
    RaiseFromServiceThread(service.sink,
                           [](IBrenCommunicationManagerEvents& s) { s.IC_OnCallReadinessChange(); });
    ASSERT_TRUE(PumpUntil([&] { return !y.heard.empty(); }));
    EXPECT_TRUE(twice.heard.empty());
    EXPECT_EQ(x.heard, (std::vector<std::string>{"Readiness(1)"}));

    // A listener removed by an earlier one during an event is not called.
    x.onEvent = [&] { m->RemoveListener(&y); };
    RaiseFromServiceThread(service.sink, [](IBrenCommunicationManagerEvents& s) { s.IC_OnShutdown(); });
    ASSERT_TRUE(PumpUntil([&] { return x.heard.size() == 2; }));
    DrainEvents();
    EXPECT_EQ(y.heard, (std::vector<std::string>{"Readiness(2)"}));
    m->Release();
}

TEST_F(CommunicationsTest, ALastReleaseFromAListenerShutsTheFacadeDownWithoutTheEventLoop) {
    // On the way out of the program the event loop may never run again: the facade must not wait for it.
    IGraniteCommunicationsManager* m = Get();
    CommsRecordingListener first;
    CommsRecordingListener second;
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
    ASSERT_EQ(first.heard, (std::vector<std::string>{"Shutdown(1)"}));
    EXPECT_TRUE(second.heard.empty()) << "the facade shut down during the first event";
    EXPECT_EQ(CGraniteCommunicationsManager::Current(), nullptr);
    EXPECT_EQ(service.sink, nullptr);
    EXPECT_EQ(CEventChannelBase::LiveRecords(), recordsBefore) << "the facade and its queue are gone";
}
