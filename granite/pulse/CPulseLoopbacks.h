#pragma once
// Sources heard on the speakers: one loopback module of the sound server per source, loaded while wanted.
// Used by CPulseLayer with its main loop's lock held, on one connection at a time.
//
// The server answers a load with the module's index later; a loopback no longer wanted by then is unloaded
// as soon as its index arrives. Each module carries this process's id, so that loopbacks a process left
// behind (it crashed, or its connection dropped while the server stayed) are unloaded when the next
// connection starts.
#include <pulse/pulseaudio.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Granite {

class CPulseLoopbacks {
public:
    // Called on the main loop's thread whenever a request is answered.
    explicit CPulseLoopbacks(std::function<void()> answered) : answered_(std::move(answered)) {}
    ~CPulseLoopbacks() { Lost(); }
    CPulseLoopbacks(const CPulseLoopbacks&) = delete;
    CPulseLoopbacks& operator=(const CPulseLoopbacks&) = delete;

    // The module arguments that play `source` on the default sink; empty when the name cannot be passed.
    static std::string Arguments(const std::string& source, long owner);
    // The process that loaded a loopback with these arguments; 0 when it is none of this program's.
    static long Owner(const char* arguments);

    void Want(pa_context* context, const std::string& source, bool on);
    // The source is gone: its loopback with it.
    void SourceRemoved(pa_context* context, const std::string& source);
    // Unloads every loopback (the layer stops); Settled() tells when the server has done it.
    void ReleaseAll(pa_context* context);
    bool Settled();
    // The connection is gone, and with the server every module it had.
    void Lost();
    // Asks for the server's modules and unloads the loopbacks of this program's processes that no longer
    // run or of this process's earlier connections.
    void SweepLeftovers(pa_context* context);
    bool Loaded(const std::string& source) const;

private:
    struct Loopback {
        CPulseLoopbacks* owner = nullptr;
        std::string source;
        bool wanted = false;
        pa_operation* loading = nullptr;
        uint32_t module = PA_INVALID_INDEX;
    };

    void Sync(pa_context* context, const std::string& source);
    void Unload(pa_context* context, uint32_t module);
    static void OnLoaded(pa_context* context, uint32_t index, void* userdata);
    static void OnUnloaded(pa_context* context, int success, void* userdata);
    static void OnModule(pa_context* context, const pa_module_info* info, int eol, void* userdata);

    std::function<void()> answered_;
    std::map<std::string, std::unique_ptr<Loopback>> loopbacks_;
    std::vector<pa_operation*> unloads_;
    pa_operation* sweep_ = nullptr;
};

} // namespace Granite
