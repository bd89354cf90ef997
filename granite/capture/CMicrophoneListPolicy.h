#pragma once
// Which microphones a movie can record from, and in which order; the audio-device enumerator feeds it what
// the simulated hardware and GStreamer's device monitor found.
//
// The real sources take the place of the simulated microphones, as in the device service's own lists, so a
// name chosen from the device manager finds its source here and a movie without a choice records a real
// microphone. A run that asked for simulated devices keeps to the simulated ones even on a machine with a
// sound card; with no real source the simulated ones stay. A monitor source repeats what a speaker plays
// and is no microphone, so it is left out. The sound server's default source comes first, since the first
// entry is what a movie records when nothing else is chosen; the others keep the order they were found in.
//
// Paths name an entry to the enumerator's createAudio, so they must differ: a path met a second time (two
// sources known only by the same display name) gets "#2", "#3" ... appended.
#include <string>
#include <vector>

namespace Granite {

class CMicrophoneListPolicy {
public:
    struct Source {
        std::string name;
        std::string path;
        bool monitor = false;   // repeats a speaker's sound
        bool isDefault = false; // the sound server's default source
        int origin = -1;        // the caller's own index for it, handed back untouched
    };

    static std::vector<Source> Arrange(const std::vector<Source>& simulated, const std::vector<Source>& real,
                                       bool simulationAsked);
};

} // namespace Granite
