#pragma once
// The peak-detecting record streams of the sources whose levels are metered, one per source, on one
// connection to the sound server. Used by CPulseLayer with its main loop's lock held.
#include <pulse/pulseaudio.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace Granite {

class CPulsePeakMeters {
public:
    // Told each reading (0..1, linear) on the main loop's thread.
    using Reading = std::function<void(const std::string& source, float peak)>;

    explicit CPulsePeakMeters(Reading reading) : reading_(std::move(reading)) {}
    ~CPulsePeakMeters() { CloseAll(); }
    CPulsePeakMeters(const CPulsePeakMeters&) = delete;
    CPulsePeakMeters& operator=(const CPulsePeakMeters&) = delete;

    // Opens the source's stream on `context` unless it has one.
    void Open(pa_context* context, const std::string& source);
    void Close(const std::string& source);
    // Every stream ends (the connection is lost or the layer stops).
    void CloseAll();
    bool IsOpen(const std::string& source) const { return streams_.count(source) != 0; }

private:
    struct Stream {
        CPulsePeakMeters* owner = nullptr;
        std::string source;
        pa_stream* stream = nullptr;
    };

    static void Release(Stream& stream);
    static void OnRead(pa_stream* stream, size_t bytes, void* userdata);

    Reading reading_;
    std::map<std::string, std::unique_ptr<Stream>> streams_;
};

} // namespace Granite
