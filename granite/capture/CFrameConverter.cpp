#include "granite/capture/CFrameConverter.h"

namespace Granite {

CFrameConverter::CFrameConverter(GstVideoFormat outFormat) : outFormat_(outFormat) {
    gst_video_info_init(&inInfo_);
    gst_video_info_init(&outInfo_);
}

CFrameConverter::~CFrameConverter() = default;

bool CFrameConverter::Convert(GstSample* sample, int32_t width, int32_t height) {
    if (sample == nullptr || width <= 0 || height <= 0)
        return false;
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* input = gst_sample_get_buffer(sample);
    GstVideoInfo in;
    if (caps == nullptr || input == nullptr || !gst_video_info_from_caps(&in, caps))
        return false;
    if (!converter_ || !gst_video_info_is_equal(&in, &inInfo_) || GST_VIDEO_INFO_WIDTH(&outInfo_) != width ||
        GST_VIDEO_INFO_HEIGHT(&outInfo_) != height) {
        inInfo_ = in;
        gst_video_info_set_format(&outInfo_, outFormat_, static_cast<guint>(width),
                                  static_cast<guint>(height));
        // The converter changes size and format only: the rate must match the input's.
        GST_VIDEO_INFO_FPS_N(&outInfo_) = GST_VIDEO_INFO_FPS_N(&inInfo_);
        GST_VIDEO_INFO_FPS_D(&outInfo_) = GST_VIDEO_INFO_FPS_D(&inInfo_);
        // Bilinear scaling: the picture is shown or saved once, the cost matters more than the last detail.
        GstStructure* config = gst_structure_new(
            "config", GST_VIDEO_CONVERTER_OPT_RESAMPLER_METHOD, GST_TYPE_VIDEO_RESAMPLER_METHOD,
            GST_VIDEO_RESAMPLER_METHOD_LINEAR, GST_VIDEO_CONVERTER_OPT_DITHER_METHOD,
            GST_TYPE_VIDEO_DITHER_METHOD, GST_VIDEO_DITHER_NONE, nullptr);
        converter_.reset(gst_video_converter_new(&inInfo_, &outInfo_, config));
        output_.reset();
        if (!converter_)
            return false;
    }
    if (!output_ || !gst_buffer_is_writable(output_.get()))
        output_.reset(gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&outInfo_), nullptr));
    GstVideoFrame src, dst;
    if (!gst_video_frame_map(&src, &inInfo_, input, GST_MAP_READ))
        return false;
    if (!gst_video_frame_map(&dst, &outInfo_, output_.get(), GST_MAP_WRITE)) {
        gst_video_frame_unmap(&src);
        return false;
    }
    gst_video_converter_frame(converter_.get(), &src, &dst);
    gst_video_frame_unmap(&dst);
    gst_video_frame_unmap(&src);
    return true;
}

} // namespace Granite
