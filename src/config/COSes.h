#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace AppsReader {

// Operating-system types a calling program may be restricted to.
enum OSType : int32_t { OS_2K = 0, OS_XP = 1, OS_VISTA = 2 };

class COSes {
public:
    void Add(OSType type) { types_.push_back(type); }
    bool Contains(OSType type) const;
    size_t GetCount() const { return types_.size(); }
    // "2K", "XP" or "Vista" without regard to case; false for any other text.
    static bool FromText(const std::string& text, OSType& type);
    // The type of a platform version: 5.0 -> 2K, 5.x -> XP, 6.x -> Vista; false for other versions.
    static bool FromVersion(uint32_t major, uint32_t minor, OSType& type);

private:
    std::vector<OSType> types_;
};

} // namespace AppsReader
