#include "platform/CDesktopEntry.h"

#include "platform/TextUtil.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// "Key" or "Key[locale]"; the locale part may hold letters, digits, "_", "@", "." and "-".
bool IsValidKey(std::string_view key) {
    size_t open = key.find('[');
    std::string_view name = key.substr(0, open);
    if (name.empty())
        return false;
    for (char c : name) {
        if (!IsKeyChar(c))
            return false;
    }
    if (open == std::string_view::npos)
        return true;
    if (key.back() != ']' || key.size() < open + 3)
        return false;
    for (char c : key.substr(open + 1, key.size() - open - 2)) {
        if (!IsKeyChar(c) && c != '_' && c != '@' && c != '.')
            return false;
    }
    return true;
}

} // namespace

bool CDesktopEntry::Load(const std::string& path) {
    raw_.clear();
    std::string text;
    if (!ReadLimited(path, kMaxFileBytes, &text))
        return false;
    return Parse(text);
}

bool CDesktopEntry::ReadLimited(const std::string& path, size_t maxBytes, std::string* text) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > maxBytes)
        return false;
    in.seekg(0);
    // One byte more than the size said: a file that is being written meanwhile is refused, not cut.
    text->resize(static_cast<size_t>(size) + 1);
    in.read(text->data(), static_cast<std::streamsize>(text->size()));
    size_t read = static_cast<size_t>(in.gcount());
    if (read > static_cast<size_t>(size))
        return false;
    text->resize(read);
    return true;
}

bool CDesktopEntry::Parse(std::string_view text) {
    raw_.clear();
    if (!Text::IsValidUtf8(text))
        return false;
    bool inEntry = false;
    bool sawEntry = false;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line = Text::Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            // A second "Desktop Entry" group is malformed; its keys must not override the first's.
            inEntry = line == "[Desktop Entry]" && !sawEntry;
            sawEntry = sawEntry || inEntry;
            continue;
        }
        if (!inEntry)
            continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = Text::TrimRight(line.substr(0, equals));
        if (!IsValidKey(key))
            continue;
        // The first of two equal keys counts.
        raw_.emplace(key, Text::TrimLeft(line.substr(equals + 1)));
    }
    if (!sawEntry)
        raw_.clear();
    return sawEntry;
}

bool CDesktopEntry::Has(const std::string& key) const {
    return raw_.count(key) != 0;
}

std::string CDesktopEntry::Value(const std::string& key) const {
    auto it = raw_.find(key);
    return it == raw_.end() ? std::string() : Unescape(it->second);
}

std::string CDesktopEntry::LocalizedValue(const std::string& key, const std::string& locale) const {
    // lang_COUNTRY.ENCODING@MODIFIER: the encoding never takes part in the match.
    std::string lang = locale;
    std::string modifier;
    if (size_t at = lang.find('@'); at != std::string::npos) {
        modifier = lang.substr(at);
        lang.erase(at);
    }
    if (size_t dot = lang.find('.'); dot != std::string::npos)
        lang.erase(dot);
    std::string country;
    if (size_t underscore = lang.find('_'); underscore != std::string::npos) {
        country = lang.substr(underscore);
        lang.erase(underscore);
    }
    std::vector<std::string> tries;
    if (!lang.empty()) {
        if (!country.empty() && !modifier.empty())
            tries.push_back(lang + country + modifier);
        if (!country.empty())
            tries.push_back(lang + country);
        if (!modifier.empty())
            tries.push_back(lang + modifier);
        tries.push_back(lang);
    }
    for (const std::string& t : tries) {
        auto it = raw_.find(key + "[" + t + "]");
        if (it != raw_.end())
            return Unescape(it->second);
    }
    return Value(key);
}

bool CDesktopEntry::Boolean(const std::string& key) const {
    return Value(key) == "true";
}

std::vector<std::string> CDesktopEntry::List(const std::string& key) const {
    auto it = raw_.find(key);
    std::vector<std::string> items;
    if (it == raw_.end())
        return items;
    const std::string& raw = it->second;
    std::string current;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == ';') {
            current += ';';
            ++i;
        } else if (raw[i] == ';') {
            if (!current.empty())
                items.push_back(Unescape(current));
            current.clear();
        } else {
            current += raw[i];
        }
    }
    if (!current.empty())
        items.push_back(Unescape(current));
    return items;
}

std::string CDesktopEntry::Unescape(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 >= raw.size()) {
            out += raw[i];
            continue;
        }
        switch (raw[i + 1]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            // Not a string escape: the backslash stays for the next reader (the Exec quoting rules).
            out += '\\';
            out += raw[i + 1];
            break;
        }
        ++i;
    }
    return out;
}

std::string CDesktopEntry::MessagesLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            std::string locale = value;
            return locale == "C" || locale == "POSIX" ? std::string() : locale;
        }
    }
    return {};
}
