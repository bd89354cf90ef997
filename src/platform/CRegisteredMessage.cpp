#include "platform/CRegisteredMessage.h"

#include "platform/CMessageRegistry.h"

UINT CRegisteredMessage::Id() const {
    UINT id = id_.load(std::memory_order_acquire);
    if (id != 0)
        return id;
    // Two threads may race here; the table hands both the same id.
    id = RegisterWindowMessage(name_);
    id_.store(id, std::memory_order_release);
    return id;
}
