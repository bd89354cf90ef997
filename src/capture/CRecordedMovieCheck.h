#pragma once
// The look at a movie or motion clip once its recorder has closed it: a file too small to hold a movie,
// or one the gallery could not show, is deleted; a good one is kept for the gallery. When this machine
// lacks the plug-ins that read the file, nothing can be told about it and it is kept: a recording is never
// lost for want of a decoder.
#include <cstdint>
#include <string>

enum class RecordedMovieVerdict {
    Kept,              // a readable movie: add it to the gallery
    DeletedTooSmall,   // at most kMinimumBytes: deleted
    DeletedUnreadable, // the gallery cannot read it: deleted
    KeptUnchecked,     // the plug-ins to read it are missing: left as it is, unread
    Missing,           // no such file (the recorder removed it, or it was never written)
};

class CRecordedMovieCheck {
public:
    // A file of at most this many bytes holds no movie worth keeping.
    static constexpr uint64_t kMinimumBytes = 8000;
    // How long the look at the file, and then reading its first picture, may each take. A good recording
    // made on this machine answers within a fraction of a second; the margin is for a machine under load,
    // so that a slow read does not cost a good recording.
    static constexpr uint32_t kReadTimeoutMs = 5000;

    static RecordedMovieVerdict Check(const std::string& path);
    // Whether the verdict leaves a file for the gallery.
    static bool IsKept(RecordedMovieVerdict verdict) {
        return verdict == RecordedMovieVerdict::Kept || verdict == RecordedMovieVerdict::KeptUnchecked;
    }
    // Whether reading the picture of `path` needs a GStreamer element this machine does not have (the
    // demuxer for its container or the decoder for its video), or cannot be tried at all.
    static bool ReadingPluginMissing(const std::string& path, uint32_t timeoutMs = kReadTimeoutMs);

private:
    enum class ProbeResult {
        DecodedVideo,  // the picture decodes
        Failed,        // the file is broken or no movie: it ended or failed without a picture
        PluginMissing, // an element to read it is not installed
        Undecided,     // nothing was told before the deadline
    };
    // Runs the file through decodebin into throw-away sinks until it prerolls, fails or asks for an
    // element it cannot have.
    static ProbeResult Probe(const std::string& path, uint32_t timeoutMs);
};
