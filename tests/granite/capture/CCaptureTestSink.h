#pragma once
// An event sink as the capture window connects: answers QueryInterface for one event interface and records
// every event value; a test waits (with a generous time-out) for the values it expects.
#include "platform/CRefCounted.h"
#include "services/ICaptureEvents.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

class CCaptureTestSink : public CRefCounted<ICaptureEventDispatch> {
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
        {
            std::lock_guard guard(lock_);
            values_.push_back(value);
        }
        changed_.notify_all();
        return S_OK;
    }

    std::vector<uint32_t> Values() const {
        std::lock_guard guard(lock_);
        return values_;
    }
    bool WaitFor(uint32_t value, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, timeout, [&] {
            for (uint32_t v : values_) {
                if (v == value)
                    return true;
            }
            return false;
        });
    }

    // Called inside every event, on the capture object's thread.
    std::function<void(uint32_t)> onEvent;

private:
    Guid eventInterface_;
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<uint32_t> values_;
};
