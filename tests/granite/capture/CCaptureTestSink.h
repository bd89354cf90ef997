#pragma once
// An event sink as the capture window connects: answers QueryInterface for one event interface and records
// every event value; a test waits (with a generous time-out) for the values it expects.
#include "../CEventLog.h"
#include "platform/CRefCounted.h"
#include "services/ICaptureEvents.h"

#include <functional>

class CCaptureTestSink : public CRefCounted<ICaptureEventDispatch>, public CEventLog<uint32_t> {
public:
    explicit CCaptureTestSink(Guid eventInterface) : eventInterface_(std::move(eventInterface)) {}

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualGuid(iid, eventInterface_) && !IsEqualGuid(iid, IID_IDispatch) &&
            !IsEqualGuid(iid, IID_IUnknown))
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<ICaptureEventDispatch*>(this);
        return S_OK;
    }
    HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT Invoke(int32_t dispId, uint32_t value) override {
        if (dispId != CAPTURE_EVENT_DISPID)
            return DISP_E_MEMBERNOTFOUND;
        if (onEvent)
            onEvent(value);
        Add(value);
        return S_OK;
    }

    // Called inside every event, on the capture object's thread.
    std::function<void(uint32_t)> onEvent;

private:
    Guid eventInterface_;
};
