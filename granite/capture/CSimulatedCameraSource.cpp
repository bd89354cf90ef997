#include "granite/capture/CSimulatedCameraSource.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace Granite {
namespace {

// A level's place relative to the camera's default: 0 at the minimum, 1 at the default, 2 at the maximum.
struct Level {
    int32_t value = 0, min = 0, max = 0, def = 0;
    double Relative() const {
        if (value <= def)
            return def > min ? static_cast<double>(value - min) / (def - min) : 1.0;
        return max > def ? 1.0 + static_cast<double>(value - def) / (max - def) : 1.0;
    }
    // -0.5 .. 0.5 around the default, over the whole range.
    double Offset() const { return max > min ? static_cast<double>(value - def) / (max - min) : 0.0; }
    double Fraction() const { return max > min ? static_cast<double>(value - min) / (max - min) : 0.5; }
};

} // namespace

CSimulatedCameraSource::CSimulatedCameraSource(std::shared_ptr<CSimulatedHardware> hardware,
                                               std::string cameraId, int32_t width, int32_t height)
    : hardware_(std::move(hardware)), cameraId_(std::move(cameraId)), width_(width), height_(height) {
    gst_video_info_set_format(&info_, GST_VIDEO_FORMAT_I420, static_cast<guint>(width),
                              static_cast<guint>(height));
}

std::unique_ptr<CSimulatedCameraSource>
CSimulatedCameraSource::Create(std::shared_ptr<CSimulatedHardware> hardware, const std::string& cameraId,
                               int32_t width, int32_t height, int32_t fps) {
    std::unique_ptr<CSimulatedCameraSource> source(
        new CSimulatedCameraSource(std::move(hardware), cameraId, width, height));
    if (!source->Build(fps))
        return nullptr;
    source->hardware_->AddListener(source.get());
    return source;
}

CSimulatedCameraSource::~CSimulatedCameraSource() {
    hardware_->RemoveListener(this);
}

bool CSimulatedCameraSource::Build(int32_t fps) {
    bin_ = AdoptObject(gst_bin_new(nullptr));
    GstElementPtr scene = MakeElement("videotestsrc");
    GstElementPtr sceneCaps = MakeElement("capsfilter");
    balance_ = MakeElement("videobalance");
    crop_ = MakeElement("videocrop");
    GstElementPtr scale = MakeElement("videoscale");
    GstElementPtr outCaps = MakeElement("capsfilter");
    flip_ = MakeElement("videoflip");
    for (GstElement* e : {scene.get(), sceneCaps.get(), balance_.get(), crop_.get(), scale.get(),
                          outCaps.get(), flip_.get()}) {
        if (e == nullptr || !gst_bin_add(GST_BIN(bin_.get()), e))
            return false;
    }
    // Plain colour bars (no noise patch, so a still scene gives identical frames); the scene draws a dark
    // frame into the upper left, so a mirrored picture is told from the original either way.
    g_object_set(scene.get(), "is-live", TRUE, "pattern", 19 /* SMPTE 100% bars */, nullptr);
    GstCapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width", G_TYPE_INT,
                                        width_, "height", G_TYPE_INT, height_, "framerate", GST_TYPE_FRACTION,
                                        std::max(1, fps), 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1,
                                        nullptr));
    g_object_set(sceneCaps.get(), "caps", caps.get(), nullptr);
    GstCapsPtr sized(gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, width_, "height", G_TYPE_INT,
                                         height_, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr));
    g_object_set(outCaps.get(), "caps", sized.get(), nullptr);
    if (!gst_element_link_many(scene.get(), sceneCaps.get(), balance_.get(), crop_.get(), scale.get(),
                               outCaps.get(), flip_.get(), nullptr))
        return false;

    GstPadPtr sceneOut(gst_element_get_static_pad(sceneCaps.get(), "src"));
    gst_pad_add_probe(sceneOut.get(), GST_PAD_PROBE_TYPE_BUFFER, &CSimulatedCameraSource::OnSceneFrame, this,
                      nullptr);
    GstPadPtr out(gst_element_get_static_pad(flip_.get(), "src"));
    gst_pad_add_probe(out.get(), GST_PAD_PROBE_TYPE_BUFFER, &CSimulatedCameraSource::OnOutputFrame, this,
                      nullptr);
    GstPad* ghost = gst_ghost_pad_new("src", out.get());
    return ghost != nullptr && gst_element_add_pad(bin_.get(), ghost);
}

void CSimulatedCameraSource::OnHardwareEvent(const HardwareEvent& event) {
    // The hardware's lock is held: only note that the picture must follow.
    if (event.type == HardwareEvent::Type::PropertyChanged && event.kind == DeviceKind::Camera &&
        event.id == cameraId_)
        stale_ = true;
}

CSimulatedCameraSource::Look CSimulatedCameraSource::ReadLook() const {
    auto number = [&](int32_t property) -> std::optional<int32_t> {
        Variant v;
        if (FAILED(hardware_->Get(DeviceKind::Camera, cameraId_, property, &v)))
            return std::nullopt;
        int32_t n = 0;
        if (!v.ToI4(n))
            return std::nullopt;
        return n;
    };
    auto level = [&](int32_t value, int32_t min, int32_t max, int32_t def) -> std::optional<Level> {
        auto v = number(value), lo = number(min), hi = number(max), d = number(def);
        if (!v || !lo || !hi)
            return std::nullopt;
        return Level{*v, *lo, *hi, d ? *d : (*lo + *hi) / 2};
    };
    using namespace CamProp;
    Look look;
    if (auto b = level(Brightness, BrightnessMin, BrightnessMax, BrightnessDefault))
        look.brightness = b->Offset();
    if (auto b = level(Backlight, BacklightMin, BacklightMax, BacklightDefault))
        look.brightness += 0.25 * b->Fraction();
    look.brightness = std::clamp(look.brightness, -1.0, 1.0);
    if (auto c = level(Contrast, ContrastMin, ContrastMax, ContrastDefault))
        look.contrast = std::clamp(c->Relative(), 0.0, 2.0);
    if (auto s = level(Saturation, SaturationMin, SaturationMax, SaturationDefault))
        look.saturation = std::clamp(s->Relative(), 0.0, 2.0);
    if (auto w = level(WhiteBalance, WhiteBalanceMin, WhiteBalanceMax, WhiteBalanceDefault))
        look.hue = std::clamp(w->Offset() * 0.3, -1.0, 1.0);

    if (auto z = level(Zoom, ZoomMin, ZoomMax, ZoomDefault); z && z->min > 0) {
        const double factor = std::max(1.0, static_cast<double>(z->value) / z->min);
        const int cropW = static_cast<int>(width_ / factor), cropH = static_cast<int>(height_ / factor);
        const int spareW = width_ - cropW, spareH = height_ - cropH;
        const double panAt = level(Pan, PanMin, PanMax, PanDefault).value_or(Level{}).Fraction();
        const double tiltAt = level(Tilt, TiltMin, TiltMax, TiltDefault).value_or(Level{}).Fraction();
        // Even offsets keep the I420 chroma planes aligned with the crop.
        look.cropLeft = static_cast<int>(spareW * panAt) & ~1;
        look.cropRight = (spareW - look.cropLeft) & ~1;
        look.cropTop = static_cast<int>(spareH * (1.0 - tiltAt)) & ~1; // tilting up shows the top
        look.cropBottom = (spareH - look.cropTop) & ~1;
    }
    const bool mirrorH = number(MirrorHorizontal).value_or(0) != 0;
    const bool mirrorV = number(MirrorVertical).value_or(0) != 0;
    look.flipMethod = mirrorH && mirrorV ? GST_VIDEO_ORIENTATION_180
                      : mirrorH          ? GST_VIDEO_ORIENTATION_HORIZ
                      : mirrorV          ? GST_VIDEO_ORIENTATION_VERT
                                         : GST_VIDEO_ORIENTATION_IDENTITY;
    // The room's lights run at the mains frequency the camera was set up for.
    if (auto plf = number(PowerLineFrequency))
        look.banding = *plf != number(PowerLineFrequencyDefault).value_or(*plf);
    look.shade = number(VideoMute).value_or(0) != 0;
    look.shutterClosed = number(PrivacyShutter).value_or(0) != 0;
    return look;
}

void CSimulatedCameraSource::ApplyLook() {
    const Look look = ReadLook();
    g_object_set(balance_.get(), "brightness", look.brightness, "contrast", look.contrast, "saturation",
                 look.saturation, "hue", look.hue, nullptr);
    g_object_set(crop_.get(), "left", look.cropLeft, "right", look.cropRight, "top", look.cropTop, "bottom",
                 look.cropBottom, nullptr);
    g_object_set(flip_.get(), "video-direction", look.flipMethod, nullptr);
    banding_ = look.banding;
    shade_ = look.shade;
    shutterClosed_ = look.shutterClosed;
}

GstPadProbeReturn CSimulatedCameraSource::OnSceneFrame(GstPad*, GstPadProbeInfo* info, gpointer self) {
    auto* source = static_cast<CSimulatedCameraSource*>(self);
    if (source->stale_.exchange(false))
        source->ApplyLook();
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstVideoFrame frame;
    if (gst_video_frame_map(&frame, &source->info_, buffer, GST_MAP_READWRITE)) {
        source->DrawScene(frame, GST_BUFFER_PTS(buffer));
        gst_video_frame_unmap(&frame);
    }
    return GST_PAD_PROBE_OK;
}

void CSimulatedCameraSource::DrawScene(GstVideoFrame& frame, GstClockTime time) const {
    const uint64_t ms = GST_CLOCK_TIME_IS_VALID(time) ? time / GST_MSECOND : 0;
    auto* y = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int yStride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    // A dark picture frame on the wall, upper left.
    for (int row = height_ / 10; row < height_ * 2 / 5; ++row)
        std::memset(y + static_cast<ptrdiff_t>(row) * yStride + width_ / 10, 40,
                    static_cast<size_t>(width_ / 4));
    if (banding_) {
        // Faint bands that roll slowly down the picture, as lights beating against the exposure do.
        const int band = std::max(4, height_ / 12);
        const int phase = static_cast<int>(ms / 40) % (2 * band);
        for (int row = 0; row < height_; ++row) {
            if (((row + phase) / band) % 2 != 0)
                continue;
            uint8_t* line = y + static_cast<ptrdiff_t>(row) * yStride;
            for (int x = 0; x < width_; ++x)
                line[x] = static_cast<uint8_t>(std::max(16, line[x] - 14));
        }
    }
    if (hardware_->SceneMotion()) {
        // A bright square, about as big as a person near the camera, crossing the scene in a second and a
        // half and coming back: at the capture window's default sensitivity it starts a motion clip.
        const int size = std::max(8, height_ / 3) & ~1;
        const int travel = std::max(1, width_ - size);
        const int step = static_cast<int>((ms * static_cast<uint64_t>(travel)) / 1500 % (2 * travel));
        const int left = (step < travel ? step : 2 * travel - step) & ~1;
        const int top = ((height_ - size) / 2) & ~1;
        for (int row = top; row < top + size; ++row)
            std::memset(y + static_cast<ptrdiff_t>(row) * yStride + left, 235, static_cast<size_t>(size));
        for (int plane = 1; plane <= 2; ++plane) {
            auto* c = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
            const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
            for (int row = top / 2; row < (top + size) / 2; ++row)
                std::memset(c + static_cast<ptrdiff_t>(row) * stride + left / 2, plane == 1 ? 60 : 200,
                            static_cast<size_t>(size / 2));
        }
    }
}

GstPadProbeReturn CSimulatedCameraSource::OnOutputFrame(GstPad*, GstPadProbeInfo* info, gpointer self) {
    auto* source = static_cast<CSimulatedCameraSource*>(self);
    const bool shutter = source->shutterClosed_, shade = source->shade_;
    if (!shutter && !shade)
        return GST_PAD_PROBE_OK;
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &source->info_, buffer, GST_MAP_WRITE))
        return GST_PAD_PROBE_OK;
    // A closed shutter leaves the sensor dark; the software mute shows a plain grey-blue shade.
    const uint8_t value[3] = {static_cast<uint8_t>(shutter ? 16 : 96),
                              static_cast<uint8_t>(shutter ? 128 : 150), static_cast<uint8_t>(128)};
    for (int plane = 0; plane < 3; ++plane) {
        auto* data = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
        const int rows = GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane);
        std::memset(data, value[plane], static_cast<size_t>(stride) * static_cast<size_t>(rows));
    }
    gst_video_frame_unmap(&frame);
    return GST_PAD_PROBE_OK;
}

} // namespace Granite
