#include "effects/CEffectsMruList.h"

#include "app/CVidoraSettings.h"
#include "platform/TextUtil.h"

#include <QString>

#include <algorithm>
#include <utility>

CEffectsMruList::CEffectsMruList(std::string valuePrefix) : prefix_(std::move(valuePrefix)) {}

const char* CEffectsMruList::PrefixOf(CEffectModel::Kind kind) {
    switch (kind) {
    case CEffectModel::Kind::Avatar:
        return "VideoEffectsAvatarsMru";
    case CEffectModel::Kind::Accessory:
        return "VideoEffectsAccessoryMru";
    case CEffectModel::Kind::Fun:
        break;
    }
    return "VideoEffectsFunfilterMru";
}

void CEffectsMruList::Load() {
    for (int i = 1; i <= kStoredEntries; ++i) {
        const std::string name = prefix_ + std::to_string(i);
        // Model names are folder names: anything longer than a file name can be was cut by whoever wrote it.
        std::string value = QString::fromStdString(CVidoraSettings::ReadRootString(name.c_str(), ""))
                                .left(kMaxEntryLength)
                                .toStdString();
        if (!value.empty())
            entries_.push_back(std::move(value));
    }
}

void CEffectsMruList::Save() const {
    const size_t count = std::min(entries_.size(), static_cast<size_t>(kStoredEntries));
    for (size_t i = 0; i < count; ++i) {
        const std::string name = prefix_ + std::to_string(i + 1);
        CVidoraSettings::WriteRootString(name.c_str(), entries_[i]);
    }
}

void CEffectsMruList::Use(const std::string& name) {
    if (name.empty())
        return;
    std::erase_if(entries_, [&](const std::string& entry) { return Text::EqualsNoCase(entry, name); });
    entries_.insert(entries_.begin(), name);
}
