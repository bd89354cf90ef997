#pragma once
// Encodes one raw I420 picture as JPEG with jpegenc, in a short pipeline "appsrc ! jpegenc ! appsink" that
// ends with the picture (every wait is time-limited).
#include "granite/capture/GstRef.h"
#include "platform/HResult.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace Granite {

class CJpegEncoder {
public:
    // quality 0..100; E_FAIL when the encoder fails, E_PIPELINE_TIMEOUT when it does not answer in time.
    static HRESULT Encode(GstBuffer* i420, int32_t width, int32_t height, int32_t quality,
                          std::vector<uint8_t>* jpeg,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));
};

} // namespace Granite
