// A second start and the running instance: the channel between them, then real processes of the built
// program, each with the test's temporary folders.
#include "app/CInstanceChannel.h"
#include "platform/CNamedMutex.h"
#include "platform/CRegistry.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <vector>

namespace {
// Runs the user-interface thread's loop until the sender on another thread has its answer.
template <typename T> T AwaitAnswer(std::future<T>& f) {
    PumpUntil([&] { return f.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, 10000);
    return f.get();
}

const char* kRoot = "Software\\Brenmoor\\Vidora10";

class InstanceProcessTest : public ::testing::Test {
protected:
    std::unique_ptr<QProcess> Start(const QStringList& args) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("VIDORA_DEBUG", "1");
        e.insert("VIDORA_SIMULATED_DEVICES", "none");
        p->setProcessEnvironment(e);
        p->setProgram(QString(VIDORA_BIN_DIR) + "/vidora");
        p->setArguments(args);
        p->start();
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
    // Waits (pumping nothing of ours) until the running instance's main window is ready.
    bool WaitUntilReady(QProcess& p) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000 && p.state() == QProcess::Running) {
            CNamedMutex probe;
            if (probe.Create("VIDORA10_POSTINITUNIQUE6712250", false) &&
                probe.LastError() == ERROR_ALREADY_EXISTS)
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    static QString Stderr(QProcess& p) { return QString::fromUtf8(p.readAllStandardError()); }
    uint32_t ReadNumber(const char* name, uint32_t fallback) {
        CRegistry::ResetInstance();
        RegValue v;
        if (FAILED(CRegistry::Instance().QueryValue(Hive::CurrentUser, kRoot, name, v)) ||
            v.type != REG_DWORD)
            return fallback;
        return v.dword;
    }
    void Terminate(QProcess& p) {
        p.terminate(); // SIGTERM: the program shuts down through its normal steps
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
    }
    CTempEnvironment env;
};
} // namespace

TEST(InstanceChannel, SendersGiveUpInTimeAndMalformedInputOrAStaleSocketChangesNothing) {
    CTempEnvironment env;
    EXPECT_FALSE(CInstanceChannel::Send("VIDORA10_UNIQUEINSTANC246252", 0, 0, 200)); // nobody listens
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
    // A listener whose thread does not run its loop: the sender's time-out ends the wait.
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(CInstanceChannel::Send("VIDORA10_UNIQUEINSTANC246252", 0, 0, 300));
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(InstanceProcessTest, SecondStartsSignalTheRunningInstanceAndEndAndOnlyTheFirstClearsFirstLaunch) {
    auto first = Start({});
    ASSERT_TRUE(WaitUntilReady(*first));
    // /INITIALIZEAPP in capitals only records the audio wizard. The running instance has seeded
    // VIVFirstTimeUse; set it to 0 as if the wizard had run.
    QProcess::execute(QString(VIDORA_BIN_DIR) + "/vidora-reg",
                      {"set", QString("HKCU\\") + kRoot, "VIVFirstTimeUse", "REG_DWORD", "0"});
    ASSERT_EQ(ReadNumber("VIVFirstTimeUse", 9), 0u);
    auto init = Start({"/INITIALIZEAPP"});
    ASSERT_TRUE(init->waitForFinished(10000));
    EXPECT_EQ(ReadNumber("VIVFirstTimeUse", 9), 1u);
    EXPECT_FALSE(Stderr(*init).contains("instance"));
    for (const char* second : {"-VDAP", "/hide"})
        EXPECT_TRUE(Start({second})->waitForFinished(10000)) << second;
    EXPECT_EQ(ReadNumber("FirstLaunch", 7), 7u); // absent: the second instances left it alone
    Terminate(*first);
    EXPECT_EQ(ReadNumber("FirstLaunch", 7), 0u);
    QString log = Stderr(*first);
    // The /INITIALIZEAPP start was never heard of.
    EXPECT_EQ(log.count("Second start"), 2) << log.toStdString();
    EXPECT_GE(log.indexOf("Second start: wParam 1"), 0);
    EXPECT_LT(log.indexOf("Second start: wParam 1"), log.indexOf("Second start: wParam 0"));
    // After the first instance has gone, the next start is a first instance again.
    auto again = Start({});
    EXPECT_TRUE(WaitUntilReady(*again));
    Terminate(*again);
}

TEST_F(InstanceProcessTest, TwentySimultaneousStartsGiveOneFirstInstance) {
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < 20; ++i)
        starts.push_back(Start({}));
    int firsts = 0, seconds = 0;
    QProcess* running = nullptr;
    for (auto& p : starts) {
        if (p->waitForFinished(15000)) {
            ++seconds;
            EXPECT_TRUE(Stderr(*p).contains("second instance"));
        } else {
            ++firsts;
            running = p.get();
        }
    }
    EXPECT_EQ(std::make_pair(firsts, seconds), std::make_pair(1, 19));
    ASSERT_NE(running, nullptr);
    Terminate(*running);
    EXPECT_TRUE(Stderr(*running).contains("the first instance"));
}

TEST_F(InstanceProcessTest, StartsOverADamagedSettingsFileAndKeepsItAside) {
    env.WriteFile("config/vidora/registry.db", std::string(4096, '\x5a'));
    auto first = Start({"/unknown-switch", "stray-parameter"});
    ASSERT_TRUE(WaitUntilReady(*first));
    Terminate(*first);
    EXPECT_EQ(ReadNumber("ShowSysTrayIcon", 7), 1u); // a fresh store, seeded
    QDir config(QString::fromStdString(env.Path("config/vidora")));
    EXPECT_EQ(config.entryList({"registry.db.corrupt*"}).size(), 1);
}

TEST_F(InstanceProcessTest, WithoutAPrivateRuntimeFolderItRunsSaysSoAndAnEndRequestClosesTheOpenBox) {
    // Nowhere to keep the instance mutex: that is no sign of another instance.
    env.SetEnv("XDG_RUNTIME_DIR", "/proc/no-such-session");
    env.SetEnv("TMPDIR", "/proc/no-such-folder");
    auto p = Start({});
    p->setReadChannel(QProcess::StandardError);
    QString log;
    QElapsedTimer waited;
    waited.start();
    while (!log.contains("No private runtime folder") && waited.elapsed() < 20000 &&
           p->state() == QProcess::Running) {
        p->waitForReadyRead(200);
        log += Stderr(*p);
    }
    ASSERT_TRUE(log.contains("No private runtime folder")) << log.toStdString();
    EXPECT_TRUE(log.contains("the first instance")) << log.toStdString();
    // The message box is open now, waiting for an answer; SIGTERM must not wait for it.
    Terminate(*p);
}
