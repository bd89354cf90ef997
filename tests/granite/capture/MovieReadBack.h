#pragma once
// Opens a recorded movie the way a player does and reports what is in it: the duration, the sound streams
// and the first picture, decoded to I420 and converted to RGB.
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

struct MovieReadBack {
    bool opened = false;
    std::string error;
    double seconds = 0;
    int audioStreams = 0;
    int videoStreams = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> luma; // the first picture's Y plane, width x height
    QImage picture;            // the first picture in RGB, for its colours
};

MovieReadBack ReadBackMovie(const std::string& path);
