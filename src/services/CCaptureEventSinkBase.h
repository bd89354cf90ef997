#pragma once
// What the four capture event sinks share (CVideoEvents, CStillEvents, CMovieEvents, CMotionEvents): the
// reference count, the connection to one capture object and the guard around the owner's callback.
//
// A capture object calls Invoke on its own threads. The guard makes clearing the callback safe against
// that: SetTarget(nullptr) and Disconnect wait until calls already inside the callback have returned, so
// the owner may destroy itself right afterwards. No lock is held while the callback runs, and a callback
// that disconnects its own sink from inside the call does not wait for itself.
#include "services/ICaptureEvents.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class CCaptureEventSinkBase : public ICaptureEventDispatch {
public:
    CCaptureEventSinkBase(const CCaptureEventSinkBase&) = delete;
    CCaptureEventSinkBase& operator=(const CCaptureEventSinkBase&) = delete;

    // IUnknown: the sink answers for its own event interface, IID_IDispatch and IID_IUnknown only.
    HRESULT QueryInterface(const Guid& iid, void** object) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    // Type information is not offered.
    HRESULT GetTypeInfoCount(uint32_t* count) override;
    HRESULT GetTypeInfo(uint32_t index, void** info) override;
    // The event: hands `value` to the callback when one is set, else drops it.
    HRESULT Invoke(int32_t dispId, uint32_t value) override;

    // Unadvises with the stored cookie, after clearing the callback (so nothing reaches the owner once this
    // returns, even when the capture object fails to unadvise). S_FALSE when the sink was not connected;
    // otherwise the capture object's answer. The cookie is reset either way.
    HRESULT Disconnect();

    uint32_t Cookie() const;
    bool IsConnected() const { return Cookie() != CAPTURE_SINK_NOT_CONNECTED; }
    const Guid& EventIid() const { return eventIid_; }

    // Sinks alive in this process (the module stays loaded while any exists).
    static int LiveCount();

protected:
    explicit CCaptureEventSinkBase(const Guid& eventIid);
    ~CCaptureEventSinkBase() override;

    // Sets or clears the owner's callback (type-erased; the typed sink casts it back in Deliver). Replacing
    // or clearing a callback waits for calls into the old one that run on other threads.
    void SetTarget(void* target);
    // Connects to `source` with `target` as the callback. E_FAIL when the sink is already connected (the
    // first connection is left as it is), E_POINTER for a null source or target; a failed advise leaves
    // the sink unconnected and without a callback.
    HRESULT ConnectTo(ICaptureEventSource* source, void* target);
    // Calls the typed callback.
    virtual void Deliver(void* target, uint32_t value) = 0;

private:
    // Waits (with lock_ held by `lock`) until no other thread is inside the callback.
    void WaitForOtherCallers(std::unique_lock<std::mutex>& lock);

    CRefCount refs_;
    const Guid& eventIid_;

    mutable std::mutex lock_;
    std::condition_variable idle_;
    uint32_t cookie_ = CAPTURE_SINK_NOT_CONNECTED;
    ICaptureEventSource* source_ = nullptr; // held while connected
    void* target_ = nullptr;
    std::vector<std::thread::id> callers_; // threads inside the callback right now
};
