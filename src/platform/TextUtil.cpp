#include "platform/TextUtil.h"

#include <QString>

#include <cstdarg>
#include <cstdio>
#include <limits>
#include <vector>

namespace Text {
namespace {
QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Decodes one code point starting at s[i]; returns its length, 0 when the bytes are not valid UTF-8.
size_t Utf8Length(std::string_view s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len;
    uint32_t cp;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (size_t k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}
} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) == 0;
}

std::string_view CameraDevicePart(std::string_view idOrPath) {
    const size_t cut = idOrPath.rfind('\\');
    if (cut == std::string_view::npos || cut == 0)
        return idOrPath;
    return idOrPath.substr(0, cut);
}

bool SameCamera(std::string_view a, std::string_view b) {
    return EqualsNoCase(a, b) || EqualsNoCase(CameraDevicePart(a), CameraDevicePart(b));
}

int CompareNoCase(std::string_view a, std::string_view b) {
    return Q(a).compare(Q(b), Qt::CaseInsensitive);
}

std::string ToLower(std::string_view s) {
    return Q(s).toLower().toStdString();
}
std::string ToUpper(std::string_view s) {
    return Q(s).toUpper().toStdString();
}

size_t CodePointCount(std::string_view s) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++count) {
        size_t len = Utf8Length(s, i);
        i += len == 0 ? 1 : len;
    }
    return count;
}

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        size_t len = Utf8Length(s, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

bool ParseBool(std::string_view text, bool& out) {
    const std::string s = ToLower(Trim(text));
    if (s == "1" || s == "true" || s == "yes") {
        out = true;
        return true;
    }
    if (s == "0" || s == "false" || s == "no" || s.empty()) {
        out = false;
        return true;
    }
    return false;
}

int32_t ParseIntAutoBase(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    int base = 10;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < s.size() && s[i] == '0') {
        base = 8;
    }
    uint32_t value = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= base)
            break;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    }
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t ParseLeadingDecimal(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    int64_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            value = int64_t(std::numeric_limits<int32_t>::max()) + 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max())
        value = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    size_t pos = 0;
    for (size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(s.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(s.substr(pos));
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return Q(s).startsWith(Q(prefix), Qt::CaseInsensitive);
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    return Q(s).endsWith(Q(suffix), Qt::CaseInsensitive);
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (needed > 0) {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        out.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
    return out;
}

} // namespace Text
