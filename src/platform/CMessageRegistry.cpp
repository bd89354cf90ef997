#include "platform/CMessageRegistry.h"

#include "platform/TextUtil.h"

CMessageRegistry& CMessageRegistry::Instance() {
    static CMessageRegistry instance;
    return instance;
}

UINT CMessageRegistry::Register(std::string_view name) {
    if (name.empty())
        return 0;
    std::string key = Text::ToUpper(name);
    std::lock_guard guard(lock_);
    if (auto it = ids_.find(key); it != ids_.end())
        return it->second;
    if (next_ > kLastRegisteredMessage)
        return 0;
    UINT id = next_++;
    ids_.emplace(std::move(key), id);
    names_.emplace(id, std::string(name));
    return id;
}

UINT CMessageRegistry::Find(std::string_view name) const {
    if (name.empty())
        return 0;
    const std::string key = Text::ToUpper(name);
    std::lock_guard guard(lock_);
    auto it = ids_.find(key);
    return it != ids_.end() ? it->second : 0;
}

std::string CMessageRegistry::NameOf(UINT id) const {
    std::lock_guard guard(lock_);
    auto it = names_.find(id);
    return it != names_.end() ? it->second : std::string();
}

size_t CMessageRegistry::Count() const {
    std::lock_guard guard(lock_);
    return ids_.size();
}

UINT RegisterWindowMessage(std::string_view name) {
    return CMessageRegistry::Instance().Register(name);
}
