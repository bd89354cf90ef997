#pragma once
// One freedesktop desktop entry file (".desktop"): the keys of its "Desktop Entry" group, with localized
// values and the string escapes (\s \n \t \r \\) undone on reading. Files that are not UTF-8, too large, or
// lack the group are refused as a whole; unknown lines are ignored.
#include <map>
#include <string>
#include <string_view>
#include <vector>

class CDesktopEntry {
public:
    // Larger files are not desktop entries anyone wrote by hand or by a packager.
    static constexpr size_t kMaxFileBytes = 256 * 1024;

    // False (and the entry left empty) when the file cannot be read or is not a desktop entry.
    bool Load(const std::string& path);
    bool Parse(std::string_view text);

    bool Has(const std::string& key) const;
    // The value with string escapes undone; empty when missing.
    std::string Value(const std::string& key) const;
    // The value for the best-matching locale of `locale` ("de_AT.UTF-8@euro" tries de_AT@euro, de_AT,
    // de@euro, de), else the unlocalized value.
    std::string LocalizedValue(const std::string& key, const std::string& locale) const;
    // "true" (case as written by the standard) gives true; anything else false.
    bool Boolean(const std::string& key) const;
    // A ";"-separated list ("\;" keeps a semicolon in an element); empty elements are dropped.
    std::vector<std::string> List(const std::string& key) const;

    // The user's message locale: LC_ALL, else LC_MESSAGES, else LANG; "" for none or "C"/"POSIX".
    static std::string MessagesLocale();
    // Reads a whole file of at most `maxBytes`; false when it cannot be read or is larger.
    static bool ReadLimited(const std::string& path, size_t maxBytes, std::string* text);
    // Undoes the string escapes of a value.
    static std::string Unescape(std::string_view raw);

private:
    std::map<std::string, std::string> raw_; // "Key" or "Key[locale]" -> the value as written
};
