#pragma once
// The named events through which other programs of this user learn about face-tracking, streaming and
// mirror changes. All ten are auto-reset and start not signalled; they are created together the first
// time one is signalled and stay open for the life of the process, so a waiter in another process never
// misses a signal because the event vanished in between.
#include <mutex>

class CVidoraNamedEvents {
public:
    enum Index {
        FaceTracking = 0,
        FaceTrackingOff = 1,
        FaceTrackingSingle = 2,
        FaceTrackingMulti = 3,
        StartStreaming = 4,
        EndStreaming = 5,
        MirrorHorzOn = 6,
        MirrorHorzOff = 7,
        MirrorVertOn = 8,
        MirrorVertOff = 9,
    };
    static constexpr int kCount = 10;

    // Signals one event. False for an index out of range or when the events could not all be created
    // (then none is signalled; the next call tries to create them again).
    static bool Signal(int index);
    // The event's name; null for an index out of range.
    static const char* Name(int index);
    // Closes every event (process end; tests that move the runtime folder).
    static void CloseAll();

private:
    static bool EnsureCreated();
};
