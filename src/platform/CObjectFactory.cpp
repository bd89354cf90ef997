#include "platform/CObjectFactory.h"

#include <algorithm>
#include <cctype>

bool IsEqualGuid(const Guid& a, const Guid& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

CObjectFactory& CObjectFactory::Instance() {
    static CObjectFactory factory;
    return factory;
}

std::string CObjectFactory::Key(const Guid& id) {
    std::string key = id;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return key;
}

void CObjectFactory::Register(const Guid& clsid, Creator creator) {
    std::lock_guard guard(lock_);
    creators_[Key(clsid)] = std::move(creator);
}

void CObjectFactory::Unregister(const Guid& clsid) {
    std::lock_guard guard(lock_);
    creators_.erase(Key(clsid));
}

bool CObjectFactory::IsRegistered(const Guid& clsid) const {
    std::lock_guard guard(lock_);
    return creators_.count(Key(clsid)) != 0;
}

void CObjectFactory::Clear() {
    std::lock_guard guard(lock_);
    creators_.clear();
}

HRESULT CObjectFactory::Create(const Guid& clsid, const Guid& iid, void** object) const {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    Creator creator;
    {
        std::lock_guard guard(lock_);
        auto it = creators_.find(Key(clsid));
        if (it == creators_.end())
            return REGDB_E_CLASSNOTREG;
        creator = it->second; // called without the lock: a creator may create other objects
    }
    HRESULT hr = creator(iid, object);
    if (FAILED(hr))
        *object = nullptr;
    else if (*object == nullptr)
        hr = E_NOINTERFACE;
    return hr;
}
