// The shutter sound through GStreamer into a fake audio sink that keeps real time: the resource itself,
// playing to the end, playing on while the caller goes on, being stopped, several threads at once, and
// machines that cannot play it.
#include "capture/CShutterSound.h"
#include "platform/CResourceLibrary.h"
#include "support/CTempEnvironment.h"
#include "support/EventPump.h"

#include <QElapsedTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {

constexpr int kRate = 22050;

QByteArray ShutterWave() {
    return CResourceLibrary::Instance().GetData(ResourceType::Wave, CShutterSound::kWaveId);
}

// The shutter click with `seconds` of a quiet hum after it, its sizes put right.
QByteArray MakeWave(double seconds) {
    QByteArray wave = ShutterWave() + QByteArray(static_cast<qsizetype>(seconds * kRate) * 2, '\x10');
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(wave.size() - 8), wave.data() + 4);
    qToLittleEndian<uint32_t>(static_cast<uint32_t>(wave.size() - 44), wave.data() + 40);
    return wave;
}

class ShutterSoundTest : public ::testing::Test {
protected:
    void SetUp() override { env.SetEnv(CShutterSound::kSinkVariable, "fakesink"); }
    void TearDown() override {
        CShutterSound::Stop();
        EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 3000));
    }
    CTempEnvironment env;
};

TEST(ShutterSoundResource, IsAShortClickOfSixteenBitMonoAt22050Hz) {
    const QByteArray wave = ShutterWave();
    ASSERT_GE(wave.size(), 44);
    EXPECT_EQ(wave.left(4), QByteArray("RIFF"));
    EXPECT_EQ(wave.mid(8, 8), QByteArray("WAVEfmt "));
    const char* h = wave.constData();
    EXPECT_EQ(qFromLittleEndian<uint16_t>(h + 20), 1) << "PCM";
    EXPECT_EQ(qFromLittleEndian<uint16_t>(h + 22), 1) << "mono";
    EXPECT_EQ(qFromLittleEndian<uint32_t>(h + 24), static_cast<uint32_t>(kRate));
    EXPECT_EQ(qFromLittleEndian<uint16_t>(h + 34), 16);
    EXPECT_EQ(wave.mid(36, 4), QByteArray("data")) << "the samples follow the format at once";
    const double seconds = (wave.size() - 44) / 2.0 / kRate;
    EXPECT_GT(seconds, 0.15);
    EXPECT_LT(seconds, 0.5);
    // Not silence.
    int16_t peak = 0;
    for (qsizetype i = 44; i + 1 < wave.size(); i += 2)
        peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(qFromLittleEndian<int16_t>(h + i))));
    EXPECT_GT(peak, 10000);
}

TEST_F(ShutterSoundTest, ALargeStillPlaysTheSoundToItsEndBeforeReturning) {
    QElapsedTimer timer;
    timer.start();
    CShutterSound::Play(true);
    // The sink keeps the sound's own pace, so the call lasts at least as long as the click.
    EXPECT_GE(timer.elapsed(), 200);
    EXPECT_FALSE(CShutterSound::IsPlaying());
    EXPECT_EQ(CShutterSound::LivePlayers(), 0);
}

TEST_F(ShutterSoundTest, ASmallStillReturnsAtOnceAndAStopEndsTheSound) {
    CShutterSound::Play(false);
    EXPECT_TRUE(CShutterSound::IsPlaying());
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 3000)) << "it ends by itself";
    EXPECT_FALSE(CShutterSound::IsPlaying());

    // A long sound is cut short by Stop, long before its end.
    CShutterSound::PlayWave(MakeWave(4.0), false);
    EXPECT_TRUE(CShutterSound::IsPlaying());
    CShutterSound::Stop();
    EXPECT_FALSE(CShutterSound::IsPlaying());
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 2000));

    // A new sound ends the one before.
    CShutterSound::PlayWave(MakeWave(4.0), false);
    CShutterSound::Play(false);
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 2500));
}

TEST_F(ShutterSoundTest, PlaysFromSeveralThreadsAtOnce) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 12; ++i) {
                CShutterSound::Play((i + t) % 3 == 0);
                if (i % 4 == 3)
                    CShutterSound::Stop();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_TRUE(PumpUntil([] { return CShutterSound::LivePlayers() == 0; }, 3000));
}

TEST_F(ShutterSoundTest, NothingPlaysWithoutASinkOrWithBrokenSound) {
    env.SetEnv(CShutterSound::kSinkVariable, "no-such-audio-sink");
    CShutterSound::Play(true);
    CShutterSound::Play(false);
    EXPECT_FALSE(CShutterSound::IsPlaying());
    EXPECT_EQ(CShutterSound::LivePlayers(), 0);

    env.SetEnv(CShutterSound::kSinkVariable, "fakesink");
    CShutterSound::PlayWave(QByteArray(), true);
    EXPECT_EQ(CShutterSound::LivePlayers(), 0);
    QElapsedTimer timer;
    timer.start();
    static constexpr char kBroken[] = "RIFF\x10\0\0\0WAVEnot a sound at all";
    CShutterSound::PlayWave(QByteArray(kBroken, sizeof kBroken - 1), true);
    EXPECT_LT(timer.elapsed(), static_cast<qint64>(CShutterSound::kMaxSyncPlayMs))
        << "an error ends the wait";
    EXPECT_FALSE(CShutterSound::IsPlaying());
}

} // namespace
