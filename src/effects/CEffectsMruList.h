#pragma once
// The recently used models of one kind, newest first, kept in the settings as "<prefix>1" to "<prefix>5"
// ("VideoEffectsAvatarsMru", "VideoEffectsAccessoryMru", "VideoEffectsFunfilterMru").
//
// The list in memory keeps every model used while it lives; only the first five are stored, and only as
// many values as the list holds are written (values beyond it are left as they were).
#include "effects/CEffectModel.h"

#include <string>
#include <vector>

class CEffectsMruList {
public:
    static constexpr int kStoredEntries = 5;
    static constexpr int kMaxEntryLength = 260;

    explicit CEffectsMruList(std::string valuePrefix);
    // The prefix of a kind's values.
    static const char* PrefixOf(CEffectModel::Kind kind);

    // Appends the non-empty stored values, in order.
    void Load();
    // Writes the first five entries.
    void Save() const;
    // Puts `name` first and drops older entries equal to it ignoring case; an empty name changes nothing.
    void Use(const std::string& name);

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::string prefix_;
    std::vector<std::string> entries_;
};
