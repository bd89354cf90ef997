#pragma once
// Fake objects hand themselves out as their one interface and stand in the object factory, one per request.
#include "platform/CObjectFactory.h"
#include "platform/Unknown.h"

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

template <class Fake, class... Args> void RegisterFake(const Guid& clsid, Args... args) {
    CObjectFactory::Instance().Register(clsid, [args...](const Guid& iid, void** object) {
        auto* fake = new Fake(args...);
        const HRESULT hr = fake->QueryInterface(iid, object);
        fake->Release();
        return hr;
    });
}
