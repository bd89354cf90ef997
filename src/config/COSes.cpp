#include "config/COSes.h"

#include "platform/TextUtil.h"

#include <algorithm>

namespace AppsReader {

bool COSes::Contains(OSType type) const {
    return std::find(types_.begin(), types_.end(), type) != types_.end();
}

bool COSes::FromText(const std::string& text, OSType& type) {
    if (Text::EqualsNoCase(text, "2K"))
        type = OS_2K;
    else if (Text::EqualsNoCase(text, "XP"))
        type = OS_XP;
    else if (Text::EqualsNoCase(text, "Vista"))
        type = OS_VISTA;
    else
        return false;
    return true;
}

bool COSes::FromVersion(uint32_t major, uint32_t minor, OSType& type) {
    if (major == 5)
        type = minor == 0 ? OS_2K : OS_XP;
    else if (major == 6)
        type = OS_VISTA;
    else
        return false;
    return true;
}

} // namespace AppsReader
