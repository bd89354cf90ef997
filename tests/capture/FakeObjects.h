#pragma once
// What every fake object of these tests does alike: hand itself out as its one interface, and stand in the
// object factory for a class, a fresh one made for each request.
#include "platform/CObjectFactory.h"
#include "platform/Unknown.h"

// `self` as the interface `own` (or IUnknown) with a new reference; E_NOINTERFACE for anything else.
template <class Interface>
HRESULT QueryOwnInterface(Interface* self, const Guid& iid, const Guid& own, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualGuid(iid, IID_IUnknown) && !IsEqualGuid(iid, own))
        return E_NOINTERFACE;
    self->AddRef();
    *object = self;
    return S_OK;
}

// Registers `clsid` to make a new `Fake` from `args` whenever the program asks for one.
template <class Fake, class... Args> void RegisterFake(const Guid& clsid, Args... args) {
    CObjectFactory::Instance().Register(clsid, [args...](const Guid& iid, void** object) {
        auto* fake = new Fake(args...);
        const HRESULT hr = fake->QueryInterface(iid, object);
        fake->Release();
        return hr;
    });
}
