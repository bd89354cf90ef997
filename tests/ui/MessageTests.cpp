// Posted, sent, removed and broadcast messages, and the table of registered message names.
#include "TestDialog.h"

#include "platform/CMessageRegistry.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(MessageTest, MessagesFromManyThreadsKeepEachThreadsOrderAndNoneIsLost) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    constexpr int kThreads = 4;
    constexpr int kPerThread = 3000;
    std::vector<std::thread> posters;
    CMessageTarget target = dlg.GetSafeHwnd();
    for (int t = 0; t < kThreads; ++t)
        posters.emplace_back([target, t] {
            for (int i = 0; i < kPerThread; ++i)
                target.PostMessage(kMsgA, WPARAM(t), LPARAM(i));
        });
    bool all = PumpUntil([&] { return dlg.messages.size() == size_t(kThreads * kPerThread); }, 30000);
    for (auto& p : posters)
        p.join();
    ASSERT_TRUE(all);
    std::vector<LPARAM> last(kThreads, -1);
    for (const auto& [message, wParam, lParam] : dlg.messages) {
        ASSERT_LT(wParam, WPARAM(kThreads));
        EXPECT_EQ(lParam, last[wParam] + 1) << "thread " << wParam;
        last[wParam] = lParam;
    }
}

TEST_F(MessageTest, AMessagePostedByAHandlerWaitsUntilTheHandlerReturns) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    std::vector<std::string> order;
    dlg.MapMessage(kMsgA, [&](WPARAM, LPARAM) {
        dlg.PostMessage(kMsgB);
        order.push_back("handler returns");
        return 0;
    });
    dlg.MapMessage(kMsgB, [&](WPARAM, LPARAM) {
        order.push_back("posted");
        return 0;
    });
    dlg.PostMessage(kMsgA);
    PumpEvents();
    PumpEvents(); // the message posted during the first pass
    EXPECT_EQ(order, (std::vector<std::string>{"handler returns", "posted"}));
}

// Posted messages arrive later, in posting order, with their parameters; removing takes out one kind only.
TEST_F(MessageTest, PostedMessagesArriveLaterInOrderAndRemovingTakesOutExactlyOneKind) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.PostMessage(kMsgA, 1));
    EXPECT_TRUE(dlg.PostMessage(kMsgB, 2, -2));
    dlg.PostMessage(kMsgA, 3);
    dlg.PostMessage(kMsgC, 4, -4);
    dlg.PostMessage(kMsgA, 5);
    EXPECT_TRUE(dlg.messages.empty());
    EXPECT_EQ(dlg.PendingMessageCount(kMsgA), 3u);
    EXPECT_EQ(dlg.RemovePostedMessages(kMsgA), 3u);
    EXPECT_EQ(dlg.RemovePostedMessages(kMsgA), 0u);
    dlg.PostMessage(kMsgA, 6, -6); // posted after the removal: stays
    PumpEvents();
    ASSERT_EQ(dlg.messages.size(), 3u);
    EXPECT_EQ(dlg.messages[0], std::make_tuple(kMsgB, WPARAM(2), LPARAM(-2)));
    EXPECT_EQ(dlg.messages[1], std::make_tuple(kMsgC, WPARAM(4), LPARAM(-4)));
    EXPECT_EQ(dlg.messages[2], std::make_tuple(kMsgA, WPARAM(6), LPARAM(-6)));
}

TEST_F(MessageTest, RemovingWhileAnotherThreadPostsNeverLosesOtherKinds) {
    // The capture window coalesces motion readings this way while the camera thread keeps posting.
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    constexpr int kCount = 5000;
    std::atomic<bool> done{false};
    std::thread poster([&] {
        for (int i = 0; i < kCount; ++i) {
            dlg.GetSafeHwnd().PostMessage(kMsgA, WPARAM(i));
            dlg.GetSafeHwnd().PostMessage(kMsgB, WPARAM(i));
        }
        done = true;
    });
    size_t removed = 0;
    while (!done)
        removed += dlg.RemovePostedMessages(kMsgA);
    poster.join();
    removed += dlg.RemovePostedMessages(kMsgA);
    EXPECT_EQ(removed, size_t(kCount));
    PumpEvents();
    ASSERT_EQ(dlg.messages.size(), size_t(kCount));
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(std::get<0>(dlg.messages[i]), kMsgB);
        EXPECT_EQ(std::get<1>(dlg.messages[i]), WPARAM(i));
    }
}

TEST_F(MessageTest, MessagesToAWindowThatIsGoneAreDroppedSafely) {
    auto dlg = std::make_unique<CTestDialog>(0);
    ASSERT_TRUE(dlg->Create());
    CMessageTarget handle = dlg->GetSafeHwnd();
    dlg->PostMessage(kMsgA);
    dlg->PostMessage(kMsgB);
    dlg->DestroyWindow();
    PumpEvents();
    EXPECT_TRUE(dlg->messages.empty());
    EXPECT_FALSE(dlg->PostMessage(kMsgA));
    EXPECT_FALSE(handle.IsWindow());

    ASSERT_TRUE(dlg->Create());
    EXPECT_TRUE(handle.PostMessage(kMsgC)); // the same window again
    dlg.reset();
    EXPECT_FALSE(handle.PostMessage(kMsgA));
    EXPECT_EQ(handle.RemovePostedMessages(kMsgA), 0u);
    PumpEvents();
}

TEST_F(MessageTest, ThreadsPostingWhileTheWindowIsDeletedNeverReachIt) {
    for (int round = 0; round < 20; ++round) {
        auto dlg = std::make_unique<CTestDialog>(0);
        ASSERT_TRUE(dlg->Create());
        CMessageTarget handle = dlg->GetSafeHwnd();
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
        PumpEvents();
        stop = true;
        for (auto& p : posters)
            p.join();
        EXPECT_FALSE(handle.PostMessage(kMsgA));
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
    constexpr int kThreads = 8;
    constexpr int kNames = 64;
    std::vector<std::vector<UINT>> seen(kThreads, std::vector<UINT>(kNames));
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            while (!go)
                std::this_thread::yield();
            for (int k = 0; k < kNames; ++k) {
                int n = (t % 2 == 0) ? k : kNames - 1 - k; // half of them in reverse order
                std::string name = "Concurrent.Name." + std::to_string(n);
                if (t % 3 == 0)
                    name = Text::ToUpper(name);
                seen[t][n] = RegisterWindowMessage(name);
            }
        });
    go = true;
    for (auto& th : threads)
        th.join();
    std::set<UINT> distinct;
    for (int n = 0; n < kNames; ++n) {
        for (int t = 1; t < kThreads; ++t)
            EXPECT_EQ(seen[t][n], seen[0][n]) << "name " << n;
        EXPECT_GE(seen[0][n], kFirstRegisteredMessage);
        distinct.insert(seen[0][n]);
    }
    EXPECT_EQ(distinct.size(), size_t(kNames));
    // A name keeps the spelling it was first registered with; an empty name and unregistered ids have none.
    const std::string first = CMessageRegistry::Instance().NameOf(seen[0][0]);
    EXPECT_TRUE(first == "Concurrent.Name.0" || first == "CONCURRENT.NAME.0") << first;
    EXPECT_LE(*distinct.rbegin(), kLastRegisteredMessage);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
    EXPECT_EQ(CMessageRegistry::Instance().NameOf(WM_APP), "");
}

TEST_F(MessageTest, StartUpRegistersEveryProcessWideMessage) {
    RegisterAllMessages();
    std::set<UINT> ids;
    for (const CRegisteredMessage* m : RegisteredMessages::All()) {
        EXPECT_GE(m->Id(), kFirstRegisteredMessage) << m->Name();
        EXPECT_EQ(RegisterWindowMessage(Text::ToLower(m->Name())), m->Id()) << m->Name();
        ids.insert(m->Id());
    }
    EXPECT_EQ(ids.size(), RegisteredMessages::All().size());
    EXPECT_EQ(UINT(RegisteredMessages::ForceClose),
              RegisterWindowMessage("WM_FORCE_CLOSE_C1F8CD74_E533_4952_AF6C_0E30D99053BF"));
}

TEST_F(MessageTest, RegisteredMessagesReachTheirMappedHandlers) {
    CTestDialog dlg(0);
    ASSERT_TRUE(dlg.Create());
    int forced = 0;
    dlg.MapMessage(RegisteredMessages::ForceClose, [&](WPARAM, LPARAM) { return ++forced; });
    dlg.PostMessage(RegisteredMessages::ForceClose);
    PumpEvents();
    EXPECT_EQ(forced, 1);
    EXPECT_TRUE(dlg.messages.empty());
    dlg.MapMessage(RegisteredMessages::ForceClose, nullptr); // unmapped: falls through to OnMessage
    dlg.PostMessage(RegisteredMessages::ForceClose);
    PumpEvents();
    EXPECT_EQ(forced, 1);
    EXPECT_EQ(dlg.messages.size(), 1u);
}

TEST_F(MessageTest, BroadcastReachesExistingTopLevelWindowsOnly) {
    const UINT msg = RegisterWindowMessage("Vidora.Test.Broadcast");
    CTestDialog a(0), b(0), neverCreated(0), destroyed(0);
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    ASSERT_TRUE(destroyed.Create());
    destroyed.DestroyWindow();
    // A window embedded in another one is a child, not a top-level window.
    QWidget host;
    auto* embedded = new CTestDialog(0, &host);
    embedded->setWindowFlags(Qt::Widget);
    ASSERT_TRUE(embedded->Create());

    EXPECT_TRUE(BroadcastMessage(msg, 1, 2, 1000));
    auto count = [msg](const CTestDialog& d) {
        return std::count_if(d.messages.begin(), d.messages.end(),
                             [msg](const auto& m) { return std::get<0>(m) == msg; });
    };
    EXPECT_EQ(count(a), 1);
    EXPECT_EQ(count(b), 1);
    EXPECT_EQ(count(neverCreated), 0);
    EXPECT_EQ(count(destroyed), 0);
    EXPECT_EQ(count(*embedded), 0);
}

TEST_F(MessageTest, BroadcastFromAnotherThreadWaitsForTheAnswersAndGivesUpInTime) {
    const UINT msg = RegisterWindowMessage("Vidora.Test.Broadcast2");
    CTestDialog a(0), b(0);
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());

    std::atomic<int> answered{-1};
    std::thread caller([&] { answered = BroadcastMessage(msg, 0, 0, 60000) ? 1 : 0; });
    PumpUntil([&] { return answered != -1; });
    caller.join();
    EXPECT_EQ(answered, 1);

    // The user-interface thread is busy (not delivering): the caller gives up after its time-out.
    std::thread patient([&] { answered = BroadcastMessage(msg, 0, 0, 20) ? 1 : 0; });
    patient.join();
    EXPECT_EQ(answered, 0);
    PumpEvents(); // late deliveries are still handled, without anybody waiting
    EXPECT_EQ(a.messages.size(), 2u);
}
