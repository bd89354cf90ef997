#include "granite/effects/render/CEffectsStage.h"

#include "platform/TextUtil.h"

namespace Granite {

std::unique_ptr<CEffectsStage> CEffectsStage::Create(const std::string& cameraId, int32_t width,
                                                     int32_t height, ShadeQuery shaded) {
    std::unique_ptr<CEffectsStage> stage(new CEffectsStage(cameraId, width, height, std::move(shaded)));
    if (!stage->Build())
        return nullptr;
    return stage;
}

CEffectsStage::CEffectsStage(std::string cameraId, int32_t width, int32_t height, ShadeQuery shaded)
    : cameraId_(std::move(cameraId)), shaded_(std::move(shaded)) {
    gst_video_info_set_format(&info_, GST_VIDEO_FORMAT_I420, static_cast<guint>(width),
                              static_cast<guint>(height));
}

bool CEffectsStage::Build() {
    bin_ = AdoptObject(gst_bin_new(nullptr));
    balance_ = MakeElement("videobalance");
    flip_ = MakeElement("videoflip");
    if (!bin_ || !balance_ || !flip_ || !gst_bin_add(GST_BIN(bin_.get()), balance_.get()) ||
        !gst_bin_add(GST_BIN(bin_.get()), flip_.get()) || !gst_element_link(balance_.get(), flip_.get()))
        return false;
    GstPadPtr in(gst_element_get_static_pad(balance_.get(), "sink"));
    GstPadPtr out(gst_element_get_static_pad(flip_.get(), "src"));
    gst_pad_add_probe(in.get(), GST_PAD_PROBE_TYPE_BUFFER, &CEffectsStage::OnInput, this, nullptr);
    gst_pad_add_probe(out.get(), GST_PAD_PROBE_TYPE_BUFFER, &CEffectsStage::OnOutput, this, nullptr);
    GstPad* sink = gst_ghost_pad_new("sink", in.get());
    GstPad* src = gst_ghost_pad_new("src", out.get());
    return sink != nullptr && src != nullptr && gst_element_add_pad(bin_.get(), sink) &&
           gst_element_add_pad(bin_.get(), src);
}

bool CEffectsStage::AppliesHere(const EffectsLook& look) const {
    return look.camera.empty() || Text::SameCamera(look.camera, cameraId_);
}

GstPadProbeReturn CEffectsStage::OnInput(GstPad*, GstPadProbeInfo*, gpointer self) {
    auto* stage = static_cast<CEffectsStage*>(self);
    stage->shadedFrame_ = stage->shaded_ && stage->shaded_();
    const std::shared_ptr<const EffectsLook> look = CEffectsScene::Instance().Current();
    if (stage->material_ && look->generation == stage->generation_)
        return GST_PAD_PROBE_OK;
    stage->generation_ = look->generation;
    stage->material_ = std::make_unique<CEffectsMaterial>(*look, stage->info_, stage->AppliesHere(*look));
    const CEffectsMaterial& m = *stage->material_;
    // Neutral settings make both elements pass frames through without touching them.
    g_object_set(stage->balance_.get(), "saturation", m.Saturation(), "contrast", m.Contrast(), nullptr);
    g_object_set(stage->flip_.get(), "video-direction",
                 m.Mirror() ? GST_VIDEO_ORIENTATION_HORIZ : GST_VIDEO_ORIENTATION_IDENTITY, nullptr);
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn CEffectsStage::OnOutput(GstPad*, GstPadProbeInfo* info, gpointer self) {
    auto* stage = static_cast<CEffectsStage*>(self);
    const CEffectsMaterial* material = stage->material_.get();
    const bool shaded = stage->shadedFrame_;
    if (material == nullptr || (shaded ? !material->HasShade() : !material->HasDrawing()))
        return GST_PAD_PROBE_OK; // nothing to draw: the frame passes untouched
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &stage->info_, buffer, GST_MAP_READWRITE))
        return GST_PAD_PROBE_OK;
    // The shade is drawn without effects; without a shade picture the camera's own plain shade stays.
    if (shaded)
        material->DrawShade(frame);
    else
        material->Draw(frame);
    gst_video_frame_unmap(&frame);
    return GST_PAD_PROBE_OK;
}

} // namespace Granite
