#include "granite/capture/CCaptureEventPoint.h"

#include <utility>

namespace Granite {

CCaptureEventPoint::CCaptureEventPoint(Guid eventInterface) : eventInterface_(std::move(eventInterface)) {}

CCaptureEventPoint::~CCaptureEventPoint() {
    // Nobody fires any more once the owner is being destroyed; give back the sinks nobody disconnected.
    for (ICaptureEventDispatch* sink : sinks_.TakeAll())
        sink->Release();
}

uint32_t CCaptureEventPoint::NextCookie() {
    // Cookies are never 0 nor the sinks' own "not connected" value.
    uint32_t cookie = ++lastCookie_;
    while (cookie == 0 || cookie == CAPTURE_SINK_NOT_CONNECTED)
        cookie = ++lastCookie_;
    return cookie;
}

HRESULT CCaptureEventPoint::Advise(IUnknown* sink, uint32_t* cookie) {
    if (sink == nullptr || cookie == nullptr)
        return E_POINTER;
    void* raw = nullptr;
    if (FAILED(sink->QueryInterface(eventInterface_, &raw)) || raw == nullptr)
        return CONNECT_E_CANNOTCONNECT;
    auto* dispatch = static_cast<ICaptureEventDispatch*>(raw);
    const uint32_t key = NextCookie();
    sinks_.Add(key, dispatch); // keeps the reference QueryInterface gave
    *cookie = key;
    return S_OK;
}

HRESULT CCaptureEventPoint::Unadvise(uint32_t cookie) {
    ICaptureEventDispatch* sink = sinks_.Remove(cookie);
    if (sink == nullptr)
        return CONNECT_E_NOCONNECTION;
    sink->Release();
    return S_OK;
}

void CCaptureEventPoint::Fire(uint32_t value) {
    sinks_.ForEach([&](ICaptureEventDispatch* sink) { sink->Invoke(CAPTURE_EVENT_DISPID, value); });
}

} // namespace Granite
