#pragma once
// The event connection point every capture object with events shares: sinks connect with Advise (the sink
// must answer QueryInterface for the object's event interface), Fire calls each connected sink's event from
// any thread, and Unadvise returns only when no call on that sink runs any more.
#include "granite/capture/CCalloutList.h"
#include "services/ICaptureEvents.h"

#include <atomic>

namespace Granite {

class CCaptureEventPoint {
public:
    explicit CCaptureEventPoint(Guid eventInterface);
    // Releases the sinks still connected.
    ~CCaptureEventPoint();
    CCaptureEventPoint(const CCaptureEventPoint&) = delete;
    CCaptureEventPoint& operator=(const CCaptureEventPoint&) = delete;

    HRESULT Advise(IUnknown* sink, uint32_t* cookie);
    HRESULT Unadvise(uint32_t cookie);
    // Calls every connected sink's event with `value`; a sink's failure does not stop the others.
    void Fire(uint32_t value);
    size_t SinkCount() const { return sinks_.Size(); }

private:
    uint32_t NextCookie();

    const Guid eventInterface_;
    std::atomic<uint32_t> lastCookie_{0};
    CCalloutList<ICaptureEventDispatch> sinks_;
};

} // namespace Granite
