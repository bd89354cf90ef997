#include "privacy/CShadeMruList.h"

#include "app/CVidoraSettings.h"
#include "platform/TextUtil.h"

namespace {
std::string ValueName(size_t index) {
    return "PrivacyShadeMru" + std::to_string(index + 1);
}
} // namespace

CShadeMruList CShadeMruList::Load() {
    CShadeMruList list;
    for (size_t i = 0; i < kMaxEntries; ++i) {
        std::string path = CVidoraSettings::ReadRootString(ValueName(i).c_str(), "");
        if (!path.empty() && list.IndexOf(path) < 0)
            list.paths_.push_back(std::move(path));
    }
    return list;
}

void CShadeMruList::Save() const {
    for (size_t i = 0; i < kMaxEntries; ++i)
        CVidoraSettings::WriteRootString(ValueName(i).c_str(), i < paths_.size() ? paths_[i] : std::string());
}

void CShadeMruList::Promote(const std::string& path) {
    if (path.empty())
        return;
    if (const int at = IndexOf(path); at >= 0)
        paths_.erase(paths_.begin() + at);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kMaxEntries)
        paths_.resize(kMaxEntries);
}

int CShadeMruList::IndexOf(const std::string& path) const {
    for (size_t i = 0; i < paths_.size(); ++i) {
        if (Text::EqualsNoCase(paths_[i], path))
            return static_cast<int>(i);
    }
    return -1;
}
