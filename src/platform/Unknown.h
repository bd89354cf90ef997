#pragma once
// Reference-counted objects reached through interfaces, the way the maker's services are reached.
#include "platform/HResult.h"

#include <atomic>
#include <string>

// Class and interface ids are kept as their canonical text, e.g. "{863C43AB-00EB-483F-B886-BFC137F3C779}".
using Guid = std::string;

inline const Guid IID_IUnknown = "{00000000-0000-0000-C000-000000000046}";

class IUnknown {
public:
    virtual HRESULT QueryInterface(const Guid& iid, void** object) = 0;
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Thread-safe reference count for implementations; the object deletes itself at zero.
class CRefCount {
public:
    uint32_t Add() { return ++count_; }
    uint32_t Drop() { return --count_; }
    uint32_t Get() const { return count_; }

private:
    std::atomic<uint32_t> count_{1};
};

// True when the two ids name the same class or interface (ids compare without regard to case).
bool IsEqualGuid(const Guid& a, const Guid& b);
