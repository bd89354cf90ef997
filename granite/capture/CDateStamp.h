#pragma once
// Prints a date and time ("2024-05-17 14:03:09") into the bottom right corner of an I420 picture: white
// figures on a dark band, sized to the picture. A small built-in figure set, so stamping needs neither a
// font engine nor a display connection and works on any thread.
#include <gst/video/video.h>

#include <ctime>
#include <string>

namespace Granite {

class CDateStamp {
public:
    static std::string Text(const std::tm& when);
    // false when the frame is not I420 or too small for the text.
    static bool Draw(GstVideoFrame& frame, const std::tm& when);
};

} // namespace Granite
