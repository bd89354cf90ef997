#pragma once
// The date and time written into the bottom right corner of a movie's pictures, as "2024-05-31 18:04:59",
// white on a dark shadow, in a small built-in pixel font scaled to the picture height. Drawn into I420
// frames; no font machinery is needed on the streaming thread.
#include <gst/video/video.h>

#include <ctime>
#include <string>

namespace Granite {

class CMovieTimeStamp {
public:
    // The text for a moment, in local time.
    static std::string Text(std::time_t when);
    // Draws `text` into a mapped, writable I420 frame. Characters other than digits, '-', ':' and ' ' are
    // drawn as blanks. A picture too small for the text is left as it is.
    static void Draw(GstVideoFrame* frame, const std::string& text);
};

} // namespace Granite
