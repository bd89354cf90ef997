#pragma once
// A sound server of the test's own: a private PulseAudio daemon on a socket in a temporary folder, with one
// silent speaker ("vidora_test_speaker") and one silent microphone ("vidora_test_mic"). While it runs,
// PULSE_SERVER points this process (and the programs it starts) at it, so the real sound devices, GStreamer's
// pulse elements and pactl all talk to it and never to the desktop's own server. Stop() and Start() again
// stand for a server that restarts.
#include <QProcess>
#include <QTemporaryDir>

#include <optional>
#include <string>

class CPrivateSoundServer {
public:
    static constexpr const char* kSpeaker = "vidora_test_speaker";
    static constexpr const char* kMicrophone = "vidora_test_mic";

    CPrivateSoundServer();
    ~CPrivateSoundServer();
    CPrivateSoundServer(const CPrivateSoundServer&) = delete;
    CPrivateSoundServer& operator=(const CPrivateSoundServer&) = delete;

    // Whether this machine has the daemon at all.
    static bool Available();
    // Starts the daemon and waits until it answers (a few seconds at most).
    bool Start();
    // Ends the daemon; clients see their connection drop.
    void Stop();
    bool Running() const;
    // What `pactl <arguments>` prints against this server; nullopt when pactl fails.
    std::optional<std::string> Pactl(const QStringList& arguments) const;

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    std::optional<std::string> savedServer_;
};

// Skips a test that needs a sound server when the machine has no PulseAudio daemon or it does not start.
#define VIDORA_REQUIRE_SOUND_SERVER(server)                                                                  \
    do {                                                                                                     \
        if (!CPrivateSoundServer::Available())                                                               \
            GTEST_SKIP() << "no pulseaudio daemon on this machine";                                          \
        ASSERT_TRUE((server).Start()) << "the private sound server did not start";                           \
    } while (false)
