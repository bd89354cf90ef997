#include "granite/capture/CGstPipeline.h"

#include <mutex>

namespace Granite {

void CGstPipeline::EnsureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

CGstPipeline::CGstPipeline(const std::string& name) {
    EnsureInitialised();
    pipeline_ = AdoptObject(gst_pipeline_new(name.c_str()));
    InstallBusHandler();
}

CGstPipeline::CGstPipeline(GstElementPtr pipeline) : pipeline_(std::move(pipeline)) {
    InstallBusHandler();
}

std::unique_ptr<CGstPipeline> CGstPipeline::FromDescription(const std::string& description,
                                                            std::string* error) {
    EnsureInitialised();
    GError* raw = nullptr;
    GstElementPtr element = AdoptObject(gst_parse_launch(description.c_str(), &raw));
    GErrorPtr parseError(raw);
    // A partly parsed description (a missing element) comes back with an error too: refuse it.
    if (!element || parseError || !GST_IS_PIPELINE(element.get())) {
        if (error != nullptr)
            *error = parseError ? parseError->message : "not a pipeline: " + description;
        return nullptr;
    }
    return std::unique_ptr<CGstPipeline>(new CGstPipeline(std::move(element)));
}

CGstPipeline::~CGstPipeline() {
    if (pipeline_)
        gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    if (bus_)
        gst_bus_set_sync_handler(bus_.get(), nullptr, nullptr, nullptr);
}

void CGstPipeline::InstallBusHandler() {
    bus_.reset(gst_element_get_bus(pipeline_.get()));
    gst_bus_set_sync_handler(bus_.get(), &CGstPipeline::OnBusMessage, this, nullptr);
}

bool CGstPipeline::AddAndLink(std::initializer_list<GstElement*> elements) {
    GstElement* previous = nullptr;
    for (GstElement* element : elements) {
        if (element == nullptr || !gst_bin_add(Bin(), element))
            return false;
        if (previous != nullptr && !gst_element_link(previous, element))
            return false;
        previous = element;
    }
    return true;
}

GstElementPtr CGstPipeline::ByName(const char* name) const {
    return GstElementPtr(gst_bin_get_by_name(Bin(), name));
}

void CGstPipeline::SetEventHandler(Handler handler) {
    std::lock_guard guard(lock_);
    handler_ = handler ? std::make_shared<const Handler>(std::move(handler)) : nullptr;
}

GstBusSyncReply CGstPipeline::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
    // Every message is handled here and dropped; a dropped message is the handler's to release (a message
    // kept would keep its source, the pipeline itself among them, and with it the bus's files).
    GstMessagePtr owned(message);
    auto* pipeline = static_cast<CGstPipeline*>(self);
    PipelineEvent event;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        GError* raw = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_error(message, &raw, &debug);
        GErrorPtr error(raw);
        GCharPtr debugText(debug);
        event.kind = PipelineEvent::Kind::Error;
        event.text = std::string(GST_OBJECT_NAME(GST_MESSAGE_SRC(message))) + ": " +
                     (error ? error->message : "unknown error");
        break;
    }
    case GST_MESSAGE_EOS:
        event.kind = PipelineEvent::Kind::EndOfStream;
        break;
    case GST_MESSAGE_STATE_CHANGED: {
        if (GST_MESSAGE_SRC(message) != GST_OBJECT(pipeline->pipeline_.get()))
            return GST_BUS_DROP;
        GstState oldState, newState, pending;
        gst_message_parse_state_changed(message, &oldState, &newState, &pending);
        event.kind = PipelineEvent::Kind::StateChanged;
        event.state = newState;
        break;
    }
    default:
        return GST_BUS_DROP;
    }
    pipeline->Deliver(event);
    return GST_BUS_DROP;
}

void CGstPipeline::Deliver(const PipelineEvent& event) {
    std::shared_ptr<const Handler> handler;
    {
        std::lock_guard guard(lock_);
        if (event.kind == PipelineEvent::Kind::Error && !failed_) {
            failed_ = true;
            lastError_ = event.text;
        }
        if (event.kind == PipelineEvent::Kind::EndOfStream)
            endOfStream_ = true;
        handler = handler_;
    }
    changed_.notify_all();
    if (handler)
        (*handler)(event);
}

HRESULT CGstPipeline::SetState(GstState state, std::chrono::milliseconds timeout, std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (state != GST_STATE_NULL)
            gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
        if (why != nullptr) {
            const std::string error = LastError();
            *why = error.empty() ? reason : error;
        }
        return reason == "timeout" ? E_PIPELINE_TIMEOUT : E_FAIL;
    };
    GstStateChangeReturn result = gst_element_set_state(pipeline_.get(), state);
    if (result == GST_STATE_CHANGE_ASYNC) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout).count();
        result = gst_element_get_state(pipeline_.get(), nullptr, nullptr, static_cast<GstClockTime>(ns));
        if (result == GST_STATE_CHANGE_ASYNC)
            return fail("timeout");
    }
    // Going to NULL always succeeds; any other change fails once an element reported an error.
    if (state == GST_STATE_NULL)
        return S_OK;
    if (result == GST_STATE_CHANGE_FAILURE || HasFailed())
        return fail("the pipeline refused the state change");
    return S_OK;
}

HRESULT CGstPipeline::WaitForEndOfStream(std::chrono::milliseconds timeout, std::string* why) {
    std::unique_lock guard(lock_);
    if (!changed_.wait_for(guard, timeout, [&] { return endOfStream_ || failed_; }))
        return E_PIPELINE_TIMEOUT;
    if (failed_) {
        if (why != nullptr)
            *why = lastError_;
        return E_FAIL;
    }
    return S_OK;
}

bool CGstPipeline::HasFailed() const {
    std::lock_guard guard(lock_);
    return failed_;
}

std::string CGstPipeline::LastError() const {
    std::lock_guard guard(lock_);
    return lastError_;
}

} // namespace Granite
