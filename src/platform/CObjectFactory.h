#pragma once
// Creates objects by class id, as the platform's object creation does. The program's services register their
// classes at start; tests register fakes. Nothing here knows any concrete class.
#include "platform/Unknown.h"

#include <functional>
#include <map>
#include <mutex>

class CObjectFactory {
public:
    // Creates a new object and returns it through `object` as the interface `iid`, with one reference.
    using Creator = std::function<HRESULT(const Guid& iid, void** object)>;

    static CObjectFactory& Instance();

    // Registers (or replaces) the creator of a class.
    void Register(const Guid& clsid, Creator creator);
    void Unregister(const Guid& clsid);
    bool IsRegistered(const Guid& clsid) const;
    void Clear();

    // REGDB_E_CLASSNOTREG when the class is unknown, E_POINTER for a null out pointer, otherwise what the
    // creator answers (E_NOINTERFACE when the object lacks the interface). *object is null on failure.
    HRESULT Create(const Guid& clsid, const Guid& iid, void** object) const;

    template <typename T> HRESULT Create(const Guid& clsid, const Guid& iid, T** object) const {
        void* raw = nullptr;
        HRESULT hr = Create(clsid, iid, &raw);
        *object = static_cast<T*>(raw);
        return hr;
    }

private:
    static std::string Key(const Guid& id);
    mutable std::mutex lock_;
    std::map<std::string, Creator> creators_;
};
