#pragma once
// The shutter sound of the capture window (wave resource 433 of the resource library), played through
// GStreamer: the wave's bytes -> wavparse -> audioconvert -> audioresample -> the audio sink.
//
// The audio sink is autoaudiosink unless the environment variable VIDORA_AUDIO_SINK names another element
// (tests use "fakesink"). A machine without sound, a missing resource or a missing plug-in plays nothing;
// nothing is reported. Every operation may be called from any thread (the still event arrives on the
// capture object's thread); one sound plays at a time, a new one ends the one before.
#include <QByteArray>

#include <cstdint>

class CShutterSound {
public:
    static constexpr uint32_t kWaveId = 433;
    static constexpr const char* kSinkVariable = "VIDORA_AUDIO_SINK";
    // The longest a synchronous play waits for its end, so a stuck audio device never holds up the thread
    // of the camera for long.
    static constexpr uint32_t kMaxSyncPlayMs = 5000;

    // Stops any playing sound, then plays the shutter sound. largeStill: the calling thread is raised to
    // the highest priority it may take, the sound is played to its end, and the priority is put back;
    // otherwise the call returns at once and the sound plays on.
    static void Play(bool largeStill);
    // Ends the sound that plays, if any.
    static void Stop();

    // Plays a WAV file's bytes as Play does (synchronous or not). Empty bytes play nothing.
    static void PlayWave(const QByteArray& wave, bool synchronous);
    // A sound was started and has neither ended nor been stopped.
    static bool IsPlaying();
    // Players not yet taken down (a stopped sound's player goes a moment after Stop returns).
    static int LivePlayers();
};
