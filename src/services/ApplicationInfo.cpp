#include "services/ApplicationInfo.h"

namespace {

// Length of the UTF-8 sequence that starts with `lead`, or 1 for a byte that cannot start one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

} // namespace

std::string ApplicationInfo::CutToCodePoints(const std::string& text, size_t maxChars) {
    size_t pos = 0;
    size_t chars = 0;
    while (pos < text.size() && chars < maxChars) {
        size_t length = SequenceLength(static_cast<unsigned char>(text[pos]));
        // A truncated or malformed sequence counts as single bytes, so it is never cut in a way that
        // swallows the bytes after it.
        bool wellFormed = pos + length <= text.size();
        for (size_t i = 1; wellFormed && i < length; ++i)
            wellFormed = (static_cast<unsigned char>(text[pos + i]) & 0xC0) == 0x80;
        pos += wellFormed ? length : 1;
        ++chars;
    }
    return text.substr(0, pos);
}

void ApplicationInfo::SetId(const std::string& value) {
    id = CutToCodePoints(value, kMaxIdChars);
}

void ApplicationInfo::SetName(const std::string& value) {
    name = CutToCodePoints(value, kMaxNameChars);
}
