#pragma once
// Reads the first video frame of a movie file through a short-lived GStreamer pipeline (only the video is
// decoded; the sound is never touched). The pipeline is driven by polling its bus, so no GLib main loop
// has to run, and the wait is bounded: a broken or unreadable file gives a null image after at most
// `timeoutMs` instead of hanging the list.
#include <QImage>

#include <cstdint>
#include <string>

class CMovieFrameReader {
public:
    // Some broken files make the demuxer give up without an error reaching the bus (decodebin swallows
    // errors raised while it is still trying elements), so the deadline is what ends those reads.
    static constexpr uint32_t kDefaultTimeoutMs = 3000;

    // The first frame, 32-bit RGB; null when the file has no decodable video.
    static QImage ReadFirstFrame(const std::string& path, uint32_t timeoutMs = kDefaultTimeoutMs);
};
