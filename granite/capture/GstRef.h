#pragma once
// Owners for GStreamer and GLib references: every reference the capture objects take is held by one of
// these, so an early return or a failed step never leaks an element, a caps or a sample.
#include <gst/gst.h>

#include <memory>
#include <string>

namespace Granite {

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstCapsUnref {
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
struct GstSampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
struct GstBufferUnref {
    void operator()(GstBuffer* buffer) const { gst_buffer_unref(buffer); }
};
struct GstMessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
struct GListFreeObjects {
    void operator()(GList* list) const { g_list_free_full(list, gst_object_unref); }
};

// Any GstObject (elements, bins, pads, buses, devices, monitors).
template <class T> using GstObjectPtr = std::unique_ptr<T, GstObjectUnref>;
using GstElementPtr = GstObjectPtr<GstElement>;
using GstBusPtr = GstObjectPtr<GstBus>;
using GstPadPtr = GstObjectPtr<GstPad>;
using GstCapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;
using GstSamplePtr = std::unique_ptr<GstSample, GstSampleUnref>;
using GstBufferPtr = std::unique_ptr<GstBuffer, GstBufferUnref>;
using GstMessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;
using GCharPtr = std::unique_ptr<gchar, GFree>;
using GstObjectListPtr = std::unique_ptr<GList, GListFreeObjects>;

// Takes ownership of a newly made object: a floating reference (fresh elements) is sunk, so the owner holds
// a full reference whether or not a bin later takes one of its own.
template <class T> GstObjectPtr<T> AdoptObject(T* object) {
    if (object != nullptr)
        gst_object_ref_sink(object);
    return GstObjectPtr<T>(object);
}

// A new reference to an object someone else owns.
template <class T> GstObjectPtr<T> RefObject(T* object) {
    if (object != nullptr)
        gst_object_ref(object);
    return GstObjectPtr<T>(object);
}

inline GstSamplePtr RefSample(GstSample* sample) {
    return GstSamplePtr(sample != nullptr ? gst_sample_ref(sample) : nullptr);
}

// An element of a factory, owned; null when the plugin is missing.
inline GstElementPtr MakeElement(const char* factory, const char* name = nullptr) {
    return AdoptObject(gst_element_factory_make(factory, name));
}

// A g_free'd string as std::string (empty for null).
inline std::string TakeString(gchar* text) {
    GCharPtr owned(text);
    return owned ? std::string(owned.get()) : std::string();
}

} // namespace Granite
