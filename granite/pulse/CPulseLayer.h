#pragma once
// The sound server through its client library, on a threaded main loop of its own: works with PulseAudio
// and with PipeWire's PulseAudio server alike. Never starts a server. While none answers (none at the start,
// or the one there went away), a new connection is tried every second on the main loop, without anyone
// waiting for it.
//
// The events are told on the main loop's thread with its lock held. The operations take that lock only
// long enough to send a request; none waits for an answer. Destroying the layer waits (briefly) for the
// server to unload the loopbacks it started.
#include "granite/pulse/CPulseLoopbacks.h"
#include "granite/pulse/CPulsePeakMeters.h"
#include "granite/pulse/IPulseLayer.h"

#include <pulse/pulseaudio.h>

#include <functional>
#include <map>
#include <string>

namespace Granite {

class CPulseLayer : public IPulseLayer {
public:
    CPulseLayer();
    ~CPulseLayer() override;
    CPulseLayer(const CPulseLayer&) = delete;
    CPulseLayer& operator=(const CPulseLayer&) = delete;

    bool Start(IPulseEvents* events) override;
    void SetVolume(DeviceKind kind, const std::string& name, int32_t volume) override;
    void SetMute(DeviceKind kind, const std::string& name, bool mute) override;
    void SetDefault(DeviceKind kind, const std::string& name) override;
    void StartPeaks(const std::string& source) override;
    void StopPeaks(const std::string& source) override;
    void StartLoopback(const std::string& source) override;
    void StopLoopback(const std::string& source) override;

private:
    // What the server has listed on the present connection.
    struct Listed {
        std::string name;
        uint8_t channels = 1;
    };

    void Stop();
    // Whether the server has listed a source of that name.
    bool IsListed(const std::string& source) const;
    // A new connection attempt (with the lock held, or before the loop runs).
    void Connect();
    void DropContext();
    void ScheduleRetry();
    void OnReady();
    void OnLost();
    // Waits (lock held, not on the loop's thread) until `done` or `timeout` passes; whether `done`.
    bool WaitFor(const std::function<bool()>& done, pa_usec_t timeout);
    // The connection when it is up.
    pa_context* Ready() const;
    void Report(const PulseDevice& device, uint8_t channels);
    void ListDone();

    static void OnContextState(pa_context* context, void* self);
    static void OnRetry(pa_mainloop_api* api, pa_time_event* event, const struct timeval* when, void* self);
    static void OnSubscription(pa_context* context, pa_subscription_event_type_t type, uint32_t index,
                               void* self);
    static void OnSourceInfo(pa_context* context, const pa_source_info* info, int eol, void* self);
    static void OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void OnSourceListed(pa_context* context, const pa_source_info* info, int eol, void* self);
    static void OnSinkListed(pa_context* context, const pa_sink_info* info, int eol, void* self);
    static void OnServerInfo(pa_context* context, const pa_server_info* info, void* self);
    static void OnServerListed(pa_context* context, const pa_server_info* info, void* self);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_time_event* retry_ = nullptr;
    IPulseEvents* events_ = nullptr;
    bool running_ = false;
    bool stopping_ = false;
    bool attempted_ = false; // a connection attempt has listed everything or failed
    bool told_ = false;      // devices of this connection were told
    int listsPending_ = 0;
    std::map<uint32_t, Listed> sources_; // by the server's index
    std::map<uint32_t, Listed> sinks_;
    CPulsePeakMeters peaks_;
    CPulseLoopbacks loopbacks_;
};

} // namespace Granite
