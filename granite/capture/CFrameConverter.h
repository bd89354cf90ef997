#pragma once
// Converts and scales raw frames of the live picture to another size and format with GstVideoConverter,
// keeping the converter (and the output buffer) while the sizes stay the same, so a steady stream costs one
// conversion per frame and no allocation.
#include "granite/capture/GstRef.h"

#include <gst/video/video.h>

#include <memory>

namespace Granite {

class CFrameConverter {
public:
    explicit CFrameConverter(GstVideoFormat outFormat);
    ~CFrameConverter();
    CFrameConverter(const CFrameConverter&) = delete;
    CFrameConverter& operator=(const CFrameConverter&) = delete;

    // Converts the sample's frame to width x height; false when the sample is not raw video or the sizes are
    // not positive. The result stays valid until the next call (Output, OutputInfo).
    bool Convert(GstSample* sample, int32_t width, int32_t height);
    GstBuffer* Output() const { return output_.get(); }
    const GstVideoInfo& OutputInfo() const { return outInfo_; }
    // Hands the output buffer over (the next Convert allocates a new one).
    GstBufferPtr TakeOutput() { return std::move(output_); }

private:
    struct ConverterFree {
        void operator()(GstVideoConverter* c) const { gst_video_converter_free(c); }
    };

    const GstVideoFormat outFormat_;
    GstVideoInfo inInfo_{}, outInfo_{};
    std::unique_ptr<GstVideoConverter, ConverterFree> converter_;
    GstBufferPtr output_;
};

} // namespace Granite
