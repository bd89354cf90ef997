// Posted, sent, removed and broadcast messages across threads, and the table of registered message names.
#include "UiTestSupport.h"

#include "platform/CMessageRegistry.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"
#include "support/CTempEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace {

constexpr UINT kMsgA = WM_APP + 1;
constexpr UINT kMsgB = WM_APP + 2;
constexpr UINT kMsgC = WM_APP + 3;

class MessageTest : public ::testing::Test {
protected:
    CTempEnvironment env_;
};

} // namespace

// A message posted by a handler arrives after that handler returns.
TEST_F(MessageTest, PostedMessagesArriveLaterInOrderAndRemovingTakesOutExactlyOneKind) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.PostMessage(kMsgA, 1));
    EXPECT_TRUE(dlg.PostMessage(kMsgB, 2, -2));
    dlg.PostMessage(kMsgA, 3);
    dlg.PostMessage(kMsgC, 4, -4);
    EXPECT_TRUE(dlg.messages.empty());
    EXPECT_EQ(dlg.PendingMessageCount(kMsgA), 2u);
    EXPECT_EQ(dlg.RemovePostedMessages(kMsgA), 2u);
    EXPECT_EQ(dlg.RemovePostedMessages(kMsgA), 0u);
    dlg.MapMessage(kMsgB, [&](WPARAM, LPARAM) {
        dlg.PostMessage(kMsgA, 6, -6); // after the removal: stays
        dlg.messages.push_back({kMsgB, 0, 0});
        return 0;
    });
    Pump();
    Pump(); // the message posted during the first pass
    EXPECT_EQ(dlg.messages, (std::vector<RecordedMessage>{{kMsgB, 0, 0}, {kMsgC, 4, -4}, {kMsgA, 6, -6}}));
}

// The capture window coalesces motion readings this way while the camera thread keeps posting: several
// threads post two kinds while one kind is taken out; none of the other kind is lost or reordered.
TEST_F(MessageTest, RemovingWhileThreadsPostNeverLosesOrReordersOtherKinds) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    constexpr int kThreads = 3;
    constexpr int kCount = 3000;
    std::atomic<int> done{0};
    std::vector<std::thread> posters;
    CMessageTarget target = dlg.GetSafeHwnd();
    for (int t = 0; t < kThreads; ++t)
        posters.emplace_back([&, target, t] {
            for (int i = 0; i < kCount; ++i) {
                target.PostMessage(kMsgA, WPARAM(t), LPARAM(i));
                target.PostMessage(kMsgB, WPARAM(t), LPARAM(i));
            }
            ++done;
        });
    size_t removed = 0;
    while (done < kThreads)
        removed += dlg.RemovePostedMessages(kMsgA);
    for (auto& p : posters)
        p.join();
    removed += dlg.RemovePostedMessages(kMsgA);
    EXPECT_EQ(removed, size_t(kThreads * kCount));
    Pump();
    ASSERT_EQ(dlg.messages.size(), size_t(kThreads * kCount));
    std::vector<LPARAM> last(kThreads, -1);
    for (const auto& [message, wParam, lParam] : dlg.messages) {
        ASSERT_EQ(message, kMsgB);
        ASSERT_LT(wParam, WPARAM(kThreads));
        ASSERT_EQ(lParam, last[wParam] + 1) << "thread " << wParam;
        last[wParam] = lParam;
    }
}

TEST_F(MessageTest, MessagesToAWindowThatIsGoneAreDroppedAlsoWhileThreadsPost) {
    auto dlg = std::make_unique<CTestDialog>(0);
    ASSERT_TRUE(dlg->Create());
    CMessageTarget handle = dlg->GetSafeHwnd();
    dlg->PostMessage(kMsgA);
    dlg->DestroyWindow();
    Pump();
    EXPECT_TRUE(dlg->messages.empty());
    EXPECT_FALSE(handle.PostMessage(kMsgA));
    ASSERT_TRUE(dlg->Create());
    EXPECT_TRUE(handle.PostMessage(kMsgC));
    for (int round = 0; round < 20; ++round) {
        std::atomic<bool> stop{false};
        std::atomic<int> accepted{0};
        std::vector<std::thread> posters;
        for (int t = 0; t < 3; ++t)
            posters.emplace_back([&, handle] {
                while (!stop)
                    accepted += handle.PostMessage(kMsgA) ? 1 : 0;
            });
        PumpUntil([&] { return accepted > 50; }, 30000);
        dlg.reset();
        Pump();
        stop = true;
        for (auto& p : posters)
            p.join();
        EXPECT_FALSE(handle.PostMessage(kMsgA));
        EXPECT_EQ(handle.RemovePostedMessages(kMsgA), 0u);
        dlg = std::make_unique<CTestDialog>(0);
        ASSERT_TRUE(dlg->Create());
        handle = dlg->GetSafeHwnd();
    }
}

TEST_F(MessageTest, SendMessageAnswersOnTheSameThreadAndFromOthers) {
    CTestDialog dlg(0);
    EXPECT_EQ(dlg.SendMessage(kMsgA, 5), 0); // not created: nobody answers
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.SendMessage(kMsgA, 5), 6);
    EXPECT_EQ(dlg.messages.size(), 1u);
    LRESULT fromThread = 0;
    std::atomic<bool> answered{false};
    std::thread sender(
        [&] { answered = dlg.GetSafeHwnd().SendMessageTimeout(kMsgB, 41, 0, -1, &fromThread); });
    PumpUntil([&] { return dlg.messages.size() == 2; });
    sender.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(fromThread, 42);
}

TEST_F(MessageTest, ASenderWaitingOnAReceiverThatGoesIsReleased) {
    struct Receiver : QObject, IMessageReceiver {
        QObject* ReceiverObject() override { return this; }
        LRESULT ReceiveMessage(UINT, WPARAM, LPARAM) override { return 1; }
    } receiver;
    std::shared_ptr<CMessageQueue> queue = CMessageQueue::Create();
    queue->Open(&receiver);
    std::atomic<int> outcome{-1};
    std::thread sender([&] { outcome = queue->Send(kMsgA, 0, 0, -1, nullptr) ? 1 : 0; });
    while (queue->Size() == 0)
        std::this_thread::yield(); // the sender is now waiting for its answer
    queue->Close();
    sender.join();
    EXPECT_EQ(outcome, 0);
    EXPECT_FALSE(queue->Send(kMsgA, 0, 0, -1, nullptr));
}

TEST_F(MessageTest, ThreadsRegisteringTheSameNamesInAnyCaseAtOnceAgreeOnTheirIds) {
    constexpr int kThreads = 8, kNames = 64;
    std::vector<std::vector<UINT>> seen(kThreads, std::vector<UINT>(kNames));
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            while (!go)
                std::this_thread::yield();
            for (int k = 0; k < kNames; ++k) {
                const int n = (t % 2 == 0) ? k : kNames - 1 - k;
                const std::string name = "Concurrent.Name." + std::to_string(n);
                seen[t][n] = RegisterWindowMessage(t % 3 == 0 ? Text::ToUpper(name) : name);
            }
        });
    go = true;
    for (auto& th : threads)
        th.join();
    std::set<UINT> distinct;
    for (int n = 0; n < kNames; ++n) {
        for (int t = 1; t < kThreads; ++t)
            EXPECT_EQ(seen[t][n], seen[0][n]) << "name " << n;
        distinct.insert(seen[0][n]);
    }
    EXPECT_EQ(distinct.size(), size_t(kNames));
    EXPECT_GE(*distinct.begin(), kFirstRegisteredMessage);
    EXPECT_LE(*distinct.rbegin(), kLastRegisteredMessage);
    const std::string first = CMessageRegistry::Instance().NameOf(seen[0][0]);
    EXPECT_TRUE(first == "Concurrent.Name.0" || first == "CONCURRENT.NAME.0") << first;
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
    EXPECT_EQ(CMessageRegistry::Instance().NameOf(WM_APP), "");
}

// From another thread a broadcast gives up after its time-out while the user-interface thread is busy.
TEST_F(MessageTest, BroadcastReachesExistingTopLevelWindowsAndWaitsForThemInTime) {
    const UINT msg = RegisterWindowMessage("Vidora.Test.Broadcast");
    CTestDialog a(0), b(0), neverCreated(0), destroyed(0);
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    ASSERT_TRUE(destroyed.Create());
    destroyed.DestroyWindow();
    QWidget host;
    auto* embedded = new CTestDialog(0, &host);
    embedded->setWindowFlags(Qt::Widget);
    ASSERT_TRUE(embedded->Create());
    EXPECT_TRUE(BroadcastMessage(msg, 1, 2, 1000));
    for (const CTestDialog* d : std::vector<const CTestDialog*>{&a, &b, &neverCreated, &destroyed, embedded})
        EXPECT_EQ(d->messages.size(), d == &a || d == &b ? 1u : 0u);
    std::atomic<int> answered{-1};
    std::thread caller([&] { answered = BroadcastMessage(msg, 0, 0, 60000) ? 1 : 0; });
    PumpUntil([&] { return answered != -1; });
    caller.join();
    EXPECT_EQ(answered, 1);
    std::thread patient([&] { answered = BroadcastMessage(msg, 0, 0, 20) ? 1 : 0; });
    patient.join();
    EXPECT_EQ(answered, 0);
    Pump();
    EXPECT_EQ(a.messages.size(), 3u);
}
