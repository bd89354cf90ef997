#pragma once
// The sound server through its client library, on a threaded main loop of its own: works with PulseAudio
// and with PipeWire's PulseAudio server alike. Never starts a server: without one, Start() fails at once.
//
// The events are told on the main loop's thread with its lock held. The operations take that lock only
// long enough to send a request; none waits for an answer.
#include "granite/pulse/IPulseLayer.h"

#include <pulse/pulseaudio.h>

#include <map>
#include <memory>
#include <string>

namespace Granite {

class CPulseLayer : public IPulseLayer {
public:
    CPulseLayer() = default;
    ~CPulseLayer() override;
    CPulseLayer(const CPulseLayer&) = delete;
    CPulseLayer& operator=(const CPulseLayer&) = delete;

    bool Start(IPulseEvents* events) override;
    void SetVolume(DeviceKind kind, const std::string& name, int32_t volume) override;
    void SetMute(DeviceKind kind, const std::string& name, bool mute) override;
    void SetDefault(DeviceKind kind, const std::string& name) override;
    void StartPeaks(const std::string& source) override;
    void StopPeaks(const std::string& source) override;

private:
    // One source's peak-detecting record stream.
    struct PeakStream {
        CPulseLayer* layer = nullptr;
        std::string source;
        pa_stream* stream = nullptr;
    };

    void Stop();
    bool WaitReady();
    void Report(const PulseDevice& device, uint8_t channels);
    void CloseStream(PeakStream& peaks);

    static void OnContextState(pa_context* context, void* self);
    static void OnSubscription(pa_context* context, pa_subscription_event_type_t type, uint32_t index,
                               void* self);
    static void OnSourceInfo(pa_context* context, const pa_source_info* info, int eol, void* self);
    static void OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void OnSourceListed(pa_context* context, const pa_source_info* info, int eol, void* self);
    static void OnSinkListed(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void OnServerInfo(pa_context* context, const pa_server_info* info, void* self);
    static void OnPeakRead(pa_stream* stream, size_t bytes, void* peaks);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    IPulseEvents* events_ = nullptr;
    bool running_ = false;
    int listsPending_ = 0; // first answers still awaited by Start()
    bool disconnectedTold_ = false;
    std::map<std::string, uint8_t> sourceChannels_;
    std::map<std::string, uint8_t> sinkChannels_;
    std::map<std::string, std::unique_ptr<PeakStream>> peaks_;
};

} // namespace Granite
