#pragma once
// The process-wide table of registered message names. The same name always yields the same id, whichever
// thread or module asks first; names compare without regard to case.
#include "platform/WindowMessages.h"

#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

class CMessageRegistry {
public:
    static CMessageRegistry& Instance();

    // The id of the name, registering it on first use; ids start at 0xC000. 0 for an empty name or when
    // every id is taken.
    UINT Register(std::string_view name);
    // The id of a name registered before; 0 when nobody in this process has registered it.
    UINT Find(std::string_view name) const;
    // The name an id was registered with (as first spelled); empty when the id is not registered.
    std::string NameOf(UINT id) const;
    size_t Count() const;

private:
    CMessageRegistry() = default;

    mutable std::mutex lock_;
    std::unordered_map<std::string, UINT> ids_; // keyed by the upper-case form of the name
    std::unordered_map<UINT, std::string> names_;
    UINT next_ = kFirstRegisteredMessage;
};

// Shorthand for CMessageRegistry::Instance().Register(name).
UINT RegisterWindowMessage(std::string_view name);
