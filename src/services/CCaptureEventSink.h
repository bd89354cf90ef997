#pragma once
// The typed capture event sink: one capture object's event interface (EventIid) forwarded to one operation
// (Handler) of the owner's callback interface. CVideoEvents, CStillEvents, CMovieEvents and CMotionEvents
// are this template with their interfaces.
//
// Use: Create (the caller holds the one reference), Connect(captureObject, owner), later Disconnect and
// Release. Events before Connect or after Disconnect never reach the owner.
#include "services/CCaptureEventSinkBase.h"

#include <new>

template <class TCallback, void (TCallback::*Handler)(uint32_t), const Guid* EventIidOf>
class CCaptureEventSink final : public CCaptureEventSinkBase {
public:
    // A new unconnected sink without a callback in *sink, with one reference for the caller.
    static HRESULT Create(CCaptureEventSink** sink) {
        if (sink == nullptr)
            return E_POINTER;
        *sink = new (std::nothrow) CCaptureEventSink();
        return *sink == nullptr ? E_OUTOFMEMORY : S_OK;
    }

    // Sets `callback` as the target and advises `source`. E_FAIL, without touching the connection, when the
    // sink is already connected.
    HRESULT Connect(ICaptureEventSource* source, TCallback* callback) { return ConnectTo(source, callback); }

    // Sets or clears the target without connecting. Clearing waits for calls already running on other
    // threads; after it returns the old target is not called again.
    void SetCallback(TCallback* callback) { SetTarget(callback); }

private:
    CCaptureEventSink() : CCaptureEventSinkBase(*EventIidOf) {}
    ~CCaptureEventSink() override = default;

    void Deliver(void* target, uint32_t value) override {
        (static_cast<TCallback*>(target)->*Handler)(value);
    }
};
