#pragma once
// The shade pictures used last, most recent first, at most five, kept in "PrivacyShadeMru1" ... "Mru5".
// Paths compare without regard to case, as the folders they come from do.
#include <string>
#include <vector>

class CShadeMruList {
public:
    static constexpr size_t kMaxEntries = 5;

    // The stored list, empty values skipped.
    static CShadeMruList Load();
    // Writes the list in order; the values past its end are emptied.
    void Save() const;

    // Puts the path in front, dropping its older place and, past five, the oldest entry.
    void Promote(const std::string& path);
    // Position in the list; -1 when not on it.
    int IndexOf(const std::string& path) const;
    const std::vector<std::string>& Paths() const { return paths_; }

private:
    std::vector<std::string> paths_;
};
