#pragma once
// How the capture objects report progress: each object with events has one dispatch event interface with a
// single event (dispatch id 1, one unsigned 32-bit value). A sink object answers QueryInterface for that
// event interface (and for IID_IDispatch and IID_IUnknown) with an ICaptureEventDispatch; the object
// connects it through ICaptureEventSource, the stand-in for the standard connection-point advise.
#include "platform/Unknown.h"

#include <cstdint>

inline const Guid IID_IDispatch = "{00020400-0000-0000-C000-000000000046}";
inline const Guid DIID_IVideoEvents = "{3F13442A-52C2-465F-B035-FCB1AB4F523A}";
inline const Guid DIID_IStillEvents = "{1C9ED101-36FC-4C49-A96A-10C8ADE892E6}";
inline const Guid DIID_IMovieEvents = "{B2923565-F380-470D-AF85-C16FB29E9836}";
inline const Guid DIID_IMotionEvents = "{DCE94955-C183-45B2-B036-569C9CDBA591}";
inline const Guid IID_ICaptureEventSource = "{A494BEC3-3535-49B4-9C37-AC8699820E92}";

// The one event's dispatch id.
constexpr int32_t CAPTURE_EVENT_DISPID = 1;
// Connection cookie of a sink that is not connected.
constexpr uint32_t CAPTURE_SINK_NOT_CONNECTED = 0xFEFEFEFEu;

constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeHResult(0x80020003u);
constexpr HRESULT CONNECT_E_NOCONNECTION = MakeHResult(0x80040200u);
constexpr HRESULT CONNECT_E_CANNOTCONNECT = MakeHResult(0x80040202u);

// Event values the stand-in capture objects raise.
constexpr uint32_t VIDEO_EVENT_STOPPED = 0;   // the picture stopped (camera lost, pipeline failed)
constexpr uint32_t VIDEO_EVENT_AVAILABLE = 1; // the camera can be started again (it came back or was freed)
constexpr uint32_t STILL_EVENT_CAPTURED = 0;  // a still was taken (the file follows when capture returns)
constexpr uint32_t MOVIE_EVENT_STARTED = 0;   // the recording runs
constexpr uint32_t MOVIE_EVENT_FAILED = 1;    // the recording failed (disk full, camera gone, encoder error)
constexpr uint32_t MOVIE_EVENT_FINISHED = 2;  // stop() closed the file

class ICaptureEventDispatch : public IUnknown {
public:
    // Type information is not offered: both answer E_NOTIMPL.
    virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
    virtual HRESULT GetTypeInfo(uint32_t index, void** info) = 0;
    // The event: dispId CAPTURE_EVENT_DISPID with its value; any other dispId answers DISP_E_MEMBERNOTFOUND.
    virtual HRESULT Invoke(int32_t dispId, uint32_t value) = 0;
};

class ICaptureEventSource : public IUnknown {
public:
    // Connects a sink: the object asks it for its own event interface (CONNECT_E_CANNOTCONNECT when the
    // sink lacks it; E_POINTER for a null sink or cookie), keeps a reference and calls it from its own
    // threads until Unadvise. *cookie is never CAPTURE_SINK_NOT_CONNECTED.
    virtual HRESULT Advise(IUnknown* sink, uint32_t* cookie) = 0;
    // Disconnects; when it returns no call on the sink is running and none will start. An unknown cookie
    // answers CONNECT_E_NOCONNECTION.
    virtual HRESULT Unadvise(uint32_t cookie) = 0;
};
