#include "services/CCaptureEventSinkBase.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<int> g_liveSinks{0};

} // namespace

CCaptureEventSinkBase::CCaptureEventSinkBase(const Guid& eventIid) : eventIid_(eventIid) {
    ++g_liveSinks;
}

CCaptureEventSinkBase::~CCaptureEventSinkBase() {
    // The capture object holds a reference while connected, so a sink normally dies unconnected; an owner
    // that dropped a still-connected sink without Disconnect must not leak the capture object.
    if (source_ != nullptr)
        source_->Release();
    --g_liveSinks;
}

int CCaptureEventSinkBase::LiveCount() {
    return g_liveSinks.load();
}

HRESULT CCaptureEventSinkBase::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualGuid(iid, eventIid_) || IsEqualGuid(iid, IID_IDispatch) || IsEqualGuid(iid, IID_IUnknown)) {
        *object = static_cast<ICaptureEventDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

uint32_t CCaptureEventSinkBase::AddRef() {
    return refs_.Add();
}

uint32_t CCaptureEventSinkBase::Release() {
    const uint32_t left = refs_.Drop();
    if (left == 0)
        delete this;
    return left;
}

HRESULT CCaptureEventSinkBase::GetTypeInfoCount(uint32_t*) {
    return E_NOTIMPL;
}

HRESULT CCaptureEventSinkBase::GetTypeInfo(uint32_t, void**) {
    return E_NOTIMPL;
}

HRESULT CCaptureEventSinkBase::Invoke(int32_t dispId, uint32_t value) {
    if (dispId != CAPTURE_EVENT_DISPID)
        return DISP_E_MEMBERNOTFOUND;
    const std::thread::id self = std::this_thread::get_id();
    void* target = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock_);
        target = target_;
        if (target == nullptr)
            return S_OK;
        callers_.push_back(self);
    }
    // Leaves the caller list even if the callback throws, so a later Disconnect cannot hang on it.
    struct Leave {
        CCaptureEventSinkBase* sink;
        std::thread::id id;
        ~Leave() {
            std::lock_guard<std::mutex> guard(sink->lock_);
            sink->callers_.erase(std::find(sink->callers_.begin(), sink->callers_.end(), id));
            sink->idle_.notify_all();
        }
    } leave{this, self};
    Deliver(target, value);
    return S_OK;
}

void CCaptureEventSinkBase::WaitForOtherCallers(std::unique_lock<std::mutex>& lock) {
    const std::thread::id self = std::this_thread::get_id();
    idle_.wait(lock, [this, self] {
        return std::all_of(callers_.begin(), callers_.end(),
                           [self](std::thread::id id) { return id == self; });
    });
}

void CCaptureEventSinkBase::SetTarget(void* target) {
    std::unique_lock<std::mutex> lock(lock_);
    const bool hadTarget = target_ != nullptr;
    target_ = target;
    if (hadTarget)
        WaitForOtherCallers(lock);
}

HRESULT CCaptureEventSinkBase::ConnectTo(ICaptureEventSource* source, void* target) {
    if (source == nullptr || target == nullptr)
        return E_POINTER;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (cookie_ != CAPTURE_SINK_NOT_CONNECTED || source_ != nullptr)
            return E_FAIL;
        // Claims the connection before advising, so a second Connect racing this one fails too.
        source_ = source;
        source_->AddRef();
        target_ = target;
    }
    uint32_t cookie = CAPTURE_SINK_NOT_CONNECTED;
    const HRESULT hr = source->Advise(static_cast<ICaptureEventDispatch*>(this), &cookie);
    if (SUCCEEDED(hr) && cookie != CAPTURE_SINK_NOT_CONNECTED) {
        std::lock_guard<std::mutex> guard(lock_);
        cookie_ = cookie;
        return S_OK;
    }
    ICaptureEventSource* claimed = nullptr;
    {
        std::unique_lock<std::mutex> lock(lock_);
        claimed = source_;
        source_ = nullptr;
        target_ = nullptr;
        WaitForOtherCallers(lock);
    }
    claimed->Release();
    return FAILED(hr) ? hr : E_UNEXPECTED;
}

HRESULT CCaptureEventSinkBase::Disconnect() {
    ICaptureEventSource* source = nullptr;
    uint32_t cookie = CAPTURE_SINK_NOT_CONNECTED;
    {
        std::unique_lock<std::mutex> lock(lock_);
        target_ = nullptr;
        WaitForOtherCallers(lock);
        source = source_;
        cookie = cookie_;
        source_ = nullptr;
        cookie_ = CAPTURE_SINK_NOT_CONNECTED;
    }
    if (source == nullptr)
        return S_FALSE;
    // The capture object may release its reference to this sink inside Unadvise; the caller's own
    // reference keeps the sink alive until we return.
    const HRESULT hr = source->Unadvise(cookie);
    source->Release();
    return hr;
}

uint32_t CCaptureEventSinkBase::Cookie() const {
    std::lock_guard<std::mutex> guard(lock_);
    return cookie_;
}
