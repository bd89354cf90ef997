#include "granite/pulse/CPulsePeakMeters.h"

#include <algorithm>
#include <cstring>

namespace Granite {
namespace {
// Peak readings a second: more than a level meter needs to move smoothly.
constexpr uint32_t kPeakRate = 25;
} // namespace

void CPulsePeakMeters::Open(pa_context* context, const std::string& source) {
    if (context == nullptr || streams_.count(source) != 0)
        return;
    // One channel of floats at a low rate, each sample the peak of its stretch of the source's signal.
    pa_sample_spec spec;
    spec.format = PA_SAMPLE_FLOAT32NE;
    spec.rate = kPeakRate;
    spec.channels = 1;
    auto stream = std::make_unique<Stream>();
    stream->owner = this;
    stream->source = source;
    stream->stream = pa_stream_new(context, "Vidora level meter", &spec, nullptr);
    if (stream->stream == nullptr)
        return;
    pa_buffer_attr buffer;
    std::memset(&buffer, 0xff, sizeof buffer);
    buffer.fragsize = sizeof(float);
    pa_stream_set_read_callback(stream->stream, OnRead, stream.get());
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_PEAK_DETECT | PA_STREAM_ADJUST_LATENCY |
                                       PA_STREAM_DONT_MOVE | PA_STREAM_DONT_INHIBIT_AUTO_SUSPEND);
    if (pa_stream_connect_record(stream->stream, source.c_str(), &buffer, flags) < 0) {
        pa_stream_set_read_callback(stream->stream, nullptr, nullptr);
        pa_stream_unref(stream->stream);
        return;
    }
    streams_[source] = std::move(stream);
}

void CPulsePeakMeters::Close(const std::string& source) {
    auto it = streams_.find(source);
    if (it == streams_.end())
        return;
    Release(*it->second);
    streams_.erase(it);
}

void CPulsePeakMeters::CloseAll() {
    for (auto& [source, stream] : streams_)
        Release(*stream);
    streams_.clear();
}

void CPulsePeakMeters::Release(Stream& stream) {
    pa_stream_set_read_callback(stream.stream, nullptr, nullptr);
    // A stream of a connection already lost cannot disconnect; letting it go is enough.
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream.stream)))
        pa_stream_disconnect(stream.stream);
    pa_stream_unref(stream.stream);
    stream.stream = nullptr;
}

void CPulsePeakMeters::OnRead(pa_stream* stream, size_t, void* userdata) {
    auto* meter = static_cast<Stream*>(userdata);
    float peak = -1.0f;
    while (pa_stream_readable_size(stream) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0)
            return;
        if (data == nullptr && bytes == 0)
            break;
        // A hole in the stream carries no reading; otherwise the last sample is the newest peak.
        if (data != nullptr && bytes >= sizeof(float)) {
            float sample = 0.0f;
            std::memcpy(&sample, static_cast<const char*>(data) + bytes - sizeof(float), sizeof sample);
            peak = std::max(peak, std::clamp(sample < 0.0f ? -sample : sample, 0.0f, 1.0f));
        }
        pa_stream_drop(stream);
    }
    if (peak >= 0.0f && meter->owner->reading_)
        meter->owner->reading_(meter->source, peak);
}

} // namespace Granite
