#pragma once
// A fixed table of listeners with the cookie each registered with, as the facades keep them. Listeners may
// add and remove listeners (or re-enter the facade) from inside a call: a walk goes over a copy of the
// table and calls a slot only if it still holds the registration it held when the walk began, so a
// listener removed during the walk is not called again and one added during the walk waits for the next
// event. User-interface thread only.
#include <array>
#include <cstddef>
#include <cstdint>

template <class Listener, size_t Size> class CListenerTable {
public:
    // The first free slot takes the pair; false when the table is full (the listener is then never called).
    bool Add(Listener* listener, uint32_t cookie) {
        for (Slot& slot : slots_) {
            if (slot.listener == nullptr) {
                slot = Slot{listener, cookie, nextGeneration_++};
                return true;
            }
        }
        return false;
    }

    // Clears every slot holding the listener.
    void Remove(const Listener* listener) {
        for (Slot& slot : slots_) {
            if (slot.listener != nullptr && slot.listener == listener)
                slot = Slot{};
        }
    }

    // Empties the table; a walk under way calls nobody else.
    void Clear() { slots_.fill(Slot{}); }

    // The first registered listener and its cookie, or null.
    Listener* First(uint32_t* cookie) const {
        for (const Slot& slot : slots_) {
            if (slot.listener != nullptr) {
                *cookie = slot.cookie;
                return slot.listener;
            }
        }
        return nullptr;
    }

    // Calls notify(listener, cookie) for every registration, slot 0 first.
    template <class F> void ForEach(F&& notify) const {
        const std::array<Slot, Size> snapshot = slots_;
        for (size_t i = 0; i < Size; ++i) {
            const Slot& slot = snapshot[i];
            if (slot.listener == nullptr || slots_[i].generation != slot.generation)
                continue;
            notify(*slot.listener, slot.cookie);
        }
    }

private:
    struct Slot {
        Listener* listener = nullptr;
        uint32_t cookie = 0;
        // Changes whenever the slot is taken, so a walk under way can tell a slot that was emptied and
        // retaken from the one it started with.
        uint64_t generation = 0;
    };

    std::array<Slot, Size> slots_{};
    uint64_t nextGeneration_ = 1;
};
