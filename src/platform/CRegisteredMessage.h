#pragma once
// A process-wide registered message: its name, and its id once registered. Reading the id registers the
// name on first use, so a message is usable from any thread even before RegisterAllMessages has run.
#include "platform/WindowMessages.h"

#include <atomic>

class CRegisteredMessage {
public:
    constexpr explicit CRegisteredMessage(const char* name) : name_(name) {}
    CRegisteredMessage(const CRegisteredMessage&) = delete;
    CRegisteredMessage& operator=(const CRegisteredMessage&) = delete;

    const char* Name() const { return name_; }
    // The registered id (>= 0xC000); 0 only when the table is full.
    UINT Id() const;
    operator UINT() const { return Id(); }

private:
    const char* name_;
    mutable std::atomic<UINT> id_{0};
};
