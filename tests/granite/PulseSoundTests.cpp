// Sounds on a real speaker of a stand-in sound server, played through the service as a client plays them:
// the statuses each sound reports, the stream the server shows while it plays, and the failures that start
// nothing. The simulated speakers of the same service keep their own sounds.
#include "GraniteServiceFixture.h"
#include "granite/devices/CAudioRoster.h"
#include "granite/devices/CCameraRoster.h"
#include "granite/pulse/CPulseAudioDevices.h"
#include "granite/pulse/CPulseLayer.h"
#include "support/CPrivateSoundServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cmath>
#include <sstream>

using namespace Granite;

namespace {

constexpr const char* kSpeaker = CPrivateSoundServer::kSpeaker;

void PutLe(QByteArray& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

// A mono 16-bit wave file of a quiet tone; `formatTag` 1 is plain PCM, anything else a coding nobody knows.
std::string WriteWave(const std::string& path, int milliseconds, uint16_t formatTag = 1) {
    const uint32_t rate = 8000;
    const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
    QByteArray data;
    for (uint32_t i = 0; i < samples; ++i)
        PutLe(data, static_cast<uint16_t>(static_cast<int16_t>(2000 * std::sin(i * 0.3))), 2);
    QByteArray file("RIFF");
    PutLe(file, 36 + static_cast<uint32_t>(data.size()), 4);
    file.append("WAVEfmt ");
    PutLe(file, 16, 4);
    PutLe(file, formatTag, 2);
    PutLe(file, 1, 2);        // channels
    PutLe(file, rate, 4);     // samples per second
    PutLe(file, rate * 2, 4); // bytes per second
    PutLe(file, 2, 2);        // block align
    PutLe(file, 16, 2);       // bits per sample
    file.append("data");
    PutLe(file, static_cast<uint32_t>(data.size()), 4);
    file.append(data);
    QFile out(QString::fromStdString(path));
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    return path;
}

class PulseSound : public GraniteServiceFixture {
protected:
    void SetUp() override {
        GraniteServiceFixture::SetUp();
        VIDORA_REQUIRE_SOUND_SERVER(server);
        real = CPulseAudioDevices::Open(std::make_unique<CPulseLayer>());
        ASSERT_NE(real, nullptr);
        ASSERT_TRUE(Eventually([&] { return real->Exists(DeviceKind::Speaker, kSpeaker); }));
        ASSERT_NO_FATAL_FAILURE(StartRoster(new CGraniteDeviceService(
            hardware, CCameraRoster::Create(hardware, nullptr), CAudioRoster::Create(hardware, real))));
    }

    static bool Eventually(const std::function<bool()>& condition, int milliseconds = 10000) {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > milliseconds)
                return false;
            QThread::msleep(10);
        }
        return true;
    }
    // The statuses heard for the speaker, in order.
    static std::vector<uint32_t> Statuses(const std::vector<RecordedEvent>& events,
                                          const std::string& speaker) {
        std::vector<uint32_t> statuses;
        for (const RecordedEvent& e : events)
            if (e.name == "sound" && e.id == speaker)
                statuses.push_back(e.status);
        return statuses;
    }
    bool HeardStatuses(const std::string& speaker, const std::vector<uint32_t>& expected) {
        rosterSink.WaitFor(
            [&](const auto& events) { return Statuses(events, speaker).size() >= expected.size(); });
        return Statuses(rosterSink.Events(), speaker) == expected;
    }
    // How many streams play on the test speaker now.
    int Streams() const {
        const auto sinks = server.Pactl({"list", "short", "sinks"});
        const auto inputs = server.Pactl({"list", "short", "sink-inputs"});
        if (!sinks || !inputs)
            return -1;
        std::string index;
        std::istringstream sinkLines(*sinks);
        for (std::string line; std::getline(sinkLines, line);)
            if (line.find(std::string("\t") + kSpeaker + "\t") != std::string::npos)
                index = line.substr(0, line.find('\t'));
        int n = 0;
        std::istringstream inputLines(*inputs);
        for (std::string line; std::getline(inputLines, line);) {
            std::istringstream fields(line);
            std::string input, sink;
            fields >> input >> sink;
            n += sink == index ? 1 : 0;
        }
        return n;
    }
    std::string File(const char* name) const { return env.Root() + "/" + name; }

    CPrivateSoundServer server;
    std::shared_ptr<CPulseAudioDevices> real;
};

using namespace SoundStatus;

TEST_F(PulseSound, AWaveFilePlaysOnTheRealSpeakerAsAStreamAndFinishesOnce) {
    const std::string wave = WriteWave(File("one.wav"), 1000);
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    EXPECT_TRUE(Eventually([&] { return Streams() == 1; })) << "no stream on the speaker while it plays";
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Finished}));
    EXPECT_TRUE(Eventually([&] { return Streams() == 0; }));
    EXPECT_EQ(roster->StopSoundFile(kSpeaker), S_FALSE);
}

TEST_F(PulseSound, ANewSoundStopsTheOldAndStoppingEndsItWithoutAFinish) {
    const std::string wave = WriteWave(File("long.wav"), 20000);
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Stopped, Started}));
    EXPECT_TRUE(Eventually([&] { return Streams() == 1; })) << "the old stream must go";
    ASSERT_EQ(roster->StopSoundFile(kSpeaker), S_OK);
    EXPECT_TRUE(Eventually([&] { return Streams() == 0; }, 1000)) << "stopped means silent at once";
    EXPECT_EQ(roster->StopSoundFile(kSpeaker), S_FALSE);
    // The test tone of the speaker replaces a sound too, and the client goes away while it plays.
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    ASSERT_EQ(roster->SpeakerCommand63(kSpeaker), S_OK);
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Stopped, Started, Stopped, Started, Stopped, Started}));
}

TEST_F(PulseSound, TheTestToneEndsByItself) {
    ASSERT_EQ(roster->SpeakerCommand63(kSpeaker), S_OK);
    EXPECT_TRUE(Eventually([&] { return Streams() == 1; }));
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Finished}));
    EXPECT_EQ(roster->SpeakerCommand64(kSpeaker), S_FALSE);
}

TEST_F(PulseSound, WhatCannotBePlayedFailsTheCallAndLeavesThePlayingSoundAlone) {
    QFile garbage(QString::fromStdString(File("garbage.wav")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is no sound at all, just words");
    garbage.close();
    const std::string unknownCoding = WriteWave(File("coding.wav"), 500, 0x7777);
    const std::string wave = WriteWave(File("fine.wav"), 500);

    ASSERT_EQ(roster->SpeakerCommand63(kSpeaker), S_OK);
    struct Row {
        const char* speaker;
        std::string path;
        HRESULT expected;
    };
    for (const Row& row : {Row{kSpeaker, File("garbage.wav"), HResultFromWin32(ERROR_INVALID_DATA)},
                           Row{kSpeaker, File("missing.wav"), HResultFromWin32(ERROR_FILE_NOT_FOUND)},
                           Row{kSpeaker, env.Root(), HResultFromWin32(ERROR_INVALID_DATA)},
                           Row{kSpeaker, unknownCoding, HResultFromWin32(ERROR_INVALID_DATA)},
                           Row{"vidora_no_such_speaker", wave, E_DEVICE_NOT_CONNECTED}})
        EXPECT_EQ(roster->PlaySoundFile(row.speaker, row.path), row.expected) << row.path;
    EXPECT_EQ(roster->StopSoundFile("vidora_no_such_speaker"), E_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(roster->SpeakerCommand63("vidora_no_such_speaker"), E_DEVICE_NOT_CONNECTED);
    // Nothing started, so the tone plays on to its end and nothing else is heard.
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Finished}));
    EXPECT_EQ(rosterSink.Named("sound").size(), 2u);
}

TEST_F(PulseSound, AServerThatGoesAwayMidSoundStopsTheSound) {
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, WriteWave(File("long.wav"), 20000)), S_OK);
    ASSERT_TRUE(HeardStatuses(kSpeaker, {Started}));
    server.Stop();
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Stopped}));
    const HRESULT stop = roster->StopSoundFile(kSpeaker);
    EXPECT_TRUE(stop == S_FALSE || stop == E_DEVICE_NOT_CONNECTED) << stop;
}

TEST_F(PulseSound, SimulatedSpeakersKeepTheirOwnSoundsReportedOnceBesideTheRealOnes) {
    const std::string simulated = Id(DeviceKind::Speaker, 0);
    const std::string wave = WriteWave(File("short.wav"), 100);
    ASSERT_EQ(roster->PlaySoundFile(simulated, wave), S_OK);
    ASSERT_EQ(roster->PlaySoundFile(kSpeaker, wave), S_OK);
    EXPECT_TRUE(HeardStatuses(simulated, {Started, Finished}));
    EXPECT_TRUE(HeardStatuses(kSpeaker, {Started, Finished}));
    EXPECT_EQ(roster->StopSoundFile(simulated), S_FALSE);
    // A client of the simulated devices alone hears the simulated speaker only.
    EXPECT_TRUE(sink.WaitForCount("sound", 2));
    std::vector<std::string> ids;
    for (const RecordedEvent& e : sink.Named("sound"))
        ids.push_back(e.id);
    EXPECT_EQ(ids, (std::vector<std::string>{simulated, simulated}));
}

} // namespace
