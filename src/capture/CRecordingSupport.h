#pragma once
// What a recording needs from the machine: the GStreamer plug-ins that write and read .wmv movies, and free
// room on the disk that takes the file.
#include <cstdint>
#include <string>
#include <vector>

class CRecordingSupport {
public:
    // Below this much free space a recording is not started, and a running one is stopped while its file
    // can still be closed properly.
    static constexpr uint64_t kFreeSpaceFloorBytes = 50ull * 1024 * 1024;

    // Whether every element a .wmv recording needs (video and sound encoders, the muxer and the demuxer
    // that reads the movies back) is installed.
    static bool WmvAvailable();
    // The names of the elements above that are not installed, in a fixed order; empty when all are.
    static std::vector<std::string> MissingRecordingPlugins();
    // The Debian packages that bring the missing elements, each once, separated by spaces (ready for the
    // sentence that tells the user what to install); empty when nothing is missing.
    static std::string MissingPackagesHint();
    // The package that ships `element` (one of the recording elements); empty for any other name.
    static std::string PackageOf(const std::string& element);

    // Whether the file system that holds `folderOrFile` (or, for a path that does not exist yet, its
    // nearest existing folder) has more than `floorBytes` free for this user. True when that cannot be
    // told, so an unusual file system never blocks recording.
    static bool HasRoomToRecord(const std::string& folderOrFile, uint64_t floorBytes = kFreeSpaceFloorBytes);

    // Initialises GStreamer once for the process (a no-op when something else did already).
    static void EnsureGStreamer();
};
