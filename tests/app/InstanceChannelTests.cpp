#include "app/CInstanceChannel.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QElapsedTimer>
#include <QLocalSocket>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace {
// Runs the user-interface thread's loop until the sender on another thread has its answer.
template <typename T> T AwaitAnswer(std::future<T>& f) {
    PumpUntil([&] { return f.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 10000);
    return f.get();
}
} // namespace

TEST(InstanceChannel, DeliversMessagesWithTheirParametersAndAnswers) {
    CTempEnvironment env;
    std::vector<std::tuple<std::string, uintptr_t, intptr_t>> seen;
    CInstanceChannel channel([&](const std::string& name, uintptr_t w, intptr_t l) {
        seen.emplace_back(name, w, l);
        return intptr_t(77);
    });
    ASSERT_TRUE(channel.Listen());

    auto sent = std::async(std::launch::async, [] {
        intptr_t result = 0;
        bool ok = CInstanceChannel::Send("VIDORA10_UNIQUEINSTANC246252", 1, -5, 5000, &result);
        return ok && result == 77;
    });
    EXPECT_TRUE(AwaitAnswer(sent));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(std::get<0>(seen[0]), "VIDORA10_UNIQUEINSTANC246252");
    EXPECT_EQ(std::get<1>(seen[0]), 1u);
    EXPECT_EQ(std::get<2>(seen[0]), -5);
}

TEST(InstanceChannel, SenderGivesUpWhenNobodyListensOrAnswers) {
    CTempEnvironment env;
    EXPECT_FALSE(CInstanceChannel::Send("VIDORA10_UNIQUEINSTANC246252", 0, 0, 200));

    // A listener whose thread never runs its loop: the sender's time-out ends the wait.
    CInstanceChannel channel([](const std::string&, uintptr_t, intptr_t) { return intptr_t(0); });
    ASSERT_TRUE(channel.Listen());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(CInstanceChannel::Send("VIDORA10_UNIQUEINSTANC246252", 0, 0, 300));
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST(InstanceChannel, IgnoresMalformedInputAndReplacesAStaleSocket) {
    CTempEnvironment env;
    EXPECT_FALSE(CInstanceChannel::Send("bad\tname", 0, 0, 100));
    env.WriteFile("runtime/vidora/instance.sock", "left behind by a crash");

    std::atomic<int> calls{0};
    CInstanceChannel channel([&](const std::string&, uintptr_t, intptr_t) {
        ++calls;
        return intptr_t(1);
    });
    ASSERT_TRUE(channel.Listen());

    auto garbage = std::async(std::launch::async, [] {
        QLocalSocket s;
        s.connectToServer(QString::fromStdString(CInstanceChannel::SocketPath()));
        if (!s.waitForConnected(2000))
            return false;
        s.write("no tabs here\n");
        s.waitForBytesWritten(2000);
        while (!s.canReadLine() && s.waitForReadyRead(2000)) {
        }
        return s.readLine().trimmed() == "0";
    });
    EXPECT_TRUE(AwaitAnswer(garbage));
    EXPECT_EQ(calls.load(), 0);
}
