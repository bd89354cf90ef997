#pragma once
// Owners for the GStreamer references the capture window's readers and players take, so that every early
// return gives back what it holds, and the one-time start of GStreamer.
#include <gst/gst.h>

#include <memory>
#include <mutex>

namespace GstHandles {

struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct SampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using ElementPtr = std::unique_ptr<GstElement, ObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
using SamplePtr = std::unique_ptr<GstSample, SampleUnref>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;

// A new element of the factory, its floating reference taken; null when the plug-in is missing.
inline ElementPtr MakeElement(const char* factory) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element != nullptr)
        gst_object_ref_sink(element);
    return ElementPtr(element);
}

// Brings a pipeline down however the scope is left.
class PipelineStopper {
public:
    explicit PipelineStopper(GstElement* pipeline) : pipeline_(pipeline) {}
    ~PipelineStopper() { gst_element_set_state(pipeline_, GST_STATE_NULL); }
    PipelineStopper(const PipelineStopper&) = delete;
    PipelineStopper& operator=(const PipelineStopper&) = delete;

private:
    GstElement* pipeline_;
};

// Starts GStreamer once for the process (it may already run).
inline void EnsureGStreamer() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
    });
}

} // namespace GstHandles
