#include "granite/capture/CJpegEncoder.h"

#include "granite/capture/CGstPipeline.h"
#include "platform/DebugOutput.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>

#include <algorithm>

namespace Granite {

HRESULT CJpegEncoder::Encode(GstBuffer* i420, int32_t width, int32_t height, int32_t quality,
                             std::vector<uint8_t>* jpeg, std::chrono::milliseconds timeout) {
    if (i420 == nullptr || jpeg == nullptr)
        return E_POINTER;
    std::string why;
    auto pipeline = CGstPipeline::FromDescription(
        "appsrc name=in format=time ! jpegenc name=enc ! appsink name=out sync=false async=false", &why);
    if (!pipeline) {
        OutputDebugString("Still capture: no JPEG encoder: " + why);
        return E_FAIL;
    }
    GstElementPtr in = pipeline->ByName("in"), enc = pipeline->ByName("enc"), out = pipeline->ByName("out");
    GstCapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width", G_TYPE_INT,
                                        width, "height", G_TYPE_INT, height, "framerate", GST_TYPE_FRACTION,
                                        0, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr));
    gst_app_src_set_caps(GST_APP_SRC(in.get()), caps.get());
    g_object_set(enc.get(), "quality", std::clamp(quality, 0, 100), nullptr);
    if (FAILED(pipeline->SetState(GST_STATE_PLAYING, timeout)))
        return E_FAIL;
    GstBuffer* frame = gst_buffer_ref(i420);
    GST_BUFFER_PTS(frame) = 0;
    if (gst_app_src_push_buffer(GST_APP_SRC(in.get()), frame) != GST_FLOW_OK)
        return E_FAIL;
    gst_app_src_end_of_stream(GST_APP_SRC(in.get()));
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count();
    GstSamplePtr sample(gst_app_sink_try_pull_sample(GST_APP_SINK(out.get()), static_cast<GstClockTime>(ns)));
    if (!sample)
        return pipeline->HasFailed() ? E_FAIL : E_PIPELINE_TIMEOUT;
    GstBuffer* encoded = gst_sample_get_buffer(sample.get());
    GstMapInfo map;
    if (encoded == nullptr || !gst_buffer_map(encoded, &map, GST_MAP_READ))
        return E_FAIL;
    jpeg->assign(map.data, map.data + map.size);
    gst_buffer_unmap(encoded, &map);
    return S_OK;
}

} // namespace Granite
