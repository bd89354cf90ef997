#pragma once
// The reference counting every implementation of an interface shares: AddRef and Release over a
// thread-safe count, the object deleting itself when the last reference goes. A Release on an object
// whose count is already 0 does nothing (a caller's surplus Release must not wrap the count).
//
// `InitialCount` is 1 for objects handed out by their maker with the reference it holds (the services'
// Create functions), 0 for objects whose first holder takes the first reference itself (the facades).
#include <atomic>
#include <cstdint>

template <class Interface, uint32_t InitialCount = 1> class CRefCounted : public Interface {
public:
    uint32_t AddRef() override { return ++count_; }

    uint32_t Release() override {
        uint32_t current = count_.load();
        do {
            if (current == 0)
                return 0;
        } while (!count_.compare_exchange_weak(current, current - 1));
        if (current == 1)
            delete this;
        return current - 1;
    }

    uint32_t RefCount() const { return count_.load(); }

protected:
    CRefCounted() = default;
    ~CRefCounted() override = default;
    CRefCounted(const CRefCounted&) = delete;
    CRefCounted& operator=(const CRefCounted&) = delete;

private:
    std::atomic<uint32_t> count_{InitialCount};
};
