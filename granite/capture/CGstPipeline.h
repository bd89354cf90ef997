#pragma once
// One GStreamer pipeline, owned: its bus is read by a synchronous handler (no GLib main loop runs in this
// program), which turns errors, end of stream and the pipeline's own state changes into PipelineEvents for
// the owner's handler and remembers them for the waits below. Every state change and wait has a time limit,
// so a stalled pipeline ends in a failure result instead of a hang.
#include "granite/capture/GstRef.h"
#include "platform/HResult.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>

namespace Granite {

struct PipelineEvent {
    enum class Kind { Error, EndOfStream, StateChanged };
    Kind kind = Kind::Error;
    std::string text;                        // the error's message and the element that raised it
    GstState state = GST_STATE_VOID_PENDING; // the new state (StateChanged)
};

// What a wait answers when its time ran out.
constexpr HRESULT E_PIPELINE_TIMEOUT = HResultFromWin32(ERROR_TIMEOUT);

class CGstPipeline {
public:
    // Called on the thread that posts the message (often a streaming thread): copy what is needed and
    // return; never change the pipeline's state from here.
    using Handler = std::function<void(const PipelineEvent&)>;

    // Initialises GStreamer once per process; safe from any thread.
    static void EnsureInitialised();

    explicit CGstPipeline(const std::string& name);
    // A pipeline from a launch description; null with *error set when it does not parse.
    static std::unique_ptr<CGstPipeline> FromDescription(const std::string& description, std::string* error);
    ~CGstPipeline();
    CGstPipeline(const CGstPipeline&) = delete;
    CGstPipeline& operator=(const CGstPipeline&) = delete;

    GstElement* Element() const { return pipeline_.get(); }
    GstBin* Bin() const { return GST_BIN(pipeline_.get()); }
    // Adds the elements (the bin takes its own reference) and links them in order; false when one is null
    // or two cannot be linked.
    bool AddAndLink(std::initializer_list<GstElement*> elements);
    // An element of the pipeline by name, owned; null when there is none.
    GstElementPtr ByName(const char* name) const;

    // Set it before the first state change.
    void SetEventHandler(Handler handler);

    // Changes the state and waits at most `timeout` for it. When the change fails or does not complete in
    // time the pipeline is put back to NULL; *why says what went wrong.
    HRESULT SetState(GstState state, std::chrono::milliseconds timeout, std::string* why = nullptr);
    // Waits for end of stream: S_OK, E_FAIL after an error (with *why), E_PIPELINE_TIMEOUT.
    HRESULT WaitForEndOfStream(std::chrono::milliseconds timeout, std::string* why = nullptr);
    bool HasFailed() const;
    std::string LastError() const;

private:
    explicit CGstPipeline(GstElementPtr pipeline);
    void InstallBusHandler();
    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    void Deliver(const PipelineEvent& event);

    GstElementPtr pipeline_;
    GstBusPtr bus_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::shared_ptr<const Handler> handler_;
    std::string lastError_;
    bool failed_ = false;
    bool endOfStream_ = false;
};

} // namespace Granite
