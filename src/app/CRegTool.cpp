#include "app/CRegTool.h"

#include "platform/TextUtil.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>

namespace {

constexpr const char* kExportHeader = "Vidora Registry Export 1";
const HRESULT kNotFound = HResultFromWin32(ERROR_FILE_NOT_FOUND);

std::string Hex(const std::vector<uint8_t>& bytes, const char* separator) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out += separator;
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Hex bytes with optional separators (',', ' ', ':'): "01,ff", "01ff", "01 ff".
std::optional<std::vector<uint8_t>> ParseHexBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        if (c == ',' || c == ' ' || c == ':' || c == '\t') {
            if (high >= 0)
                return std::nullopt; // a lone digit between separators
            continue;
        }
        int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        if (high < 0) {
            high = d;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + d));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

// Decimal (negative numbers wrap to 32 bits, as -1 for "no position") or 0x hexadecimal.
std::optional<uint32_t> ParseDword(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    if (Text::StartsWithNoCase(text, "0x")) {
        if (text.size() == 2)
            return std::nullopt;
        unsigned long long v = std::strtoull(text.c_str() + 2, &end, 16);
        if (*end != '\0' || errno != 0 || v > 0xFFFFFFFFull || text[2] == '-' || text[2] == '+')
            return std::nullopt;
        return static_cast<uint32_t>(v);
    }
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v > 0xFFFFFFFFll || v < -0x80000000ll || text[0] == ' ')
        return std::nullopt;
    return static_cast<uint32_t>(v);
}

std::optional<uint32_t> ParseTypeName(const std::string& text) {
    for (uint32_t t : {REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_NONE})
        if (Text::EqualsNoCase(text, CRegTool::TypeName(t)))
            return t;
    return std::nullopt;
}

// Parses a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> Unquote(const std::string& text, size_t& pos) {
    if (pos >= text.size() || text[pos] != '"')
        return std::nullopt;
    std::string out;
    for (size_t i = pos + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            if (i + 2 >= text.size())
                return std::nullopt;
            int h = HexDigit(text[i + 1]), l = HexDigit(text[i + 2]);
            if (h < 0 || l < 0)
                return std::nullopt;
            out += static_cast<char>(h * 16 + l);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string DisplayName(const std::string& name) {
    return name.empty() ? std::string("@") : name;
}

std::string FullName(Hive hive, const std::string& path) {
    std::string full = CRegistry::HiveName(hive);
    if (!path.empty())
        full += "\\" + path;
    return full;
}

} // namespace

CRegTool::CRegTool(CRegistry& registry, std::istream& in, std::ostream& out, std::ostream& err)
    : registry_(registry), in_(in), out_(out), err_(err) {}

const char* CRegTool::TypeName(uint32_t type) {
    switch (type) {
    case REG_NONE:
        return "REG_NONE";
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_BINARY:
        return "REG_BINARY";
    case REG_DWORD:
        return "REG_DWORD";
    default:
        return "REG_UNKNOWN";
    }
}

std::string CRegTool::Quote(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20 || u == 0x7f) {
                out += "\\x";
                out += digits[u >> 4];
                out += digits[u & 15];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

int CRegTool::Run(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return Run(args);
}

int CRegTool::Run(const std::vector<std::string>& args) {
    std::vector<std::string> pos;
    bool optionsDone = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // Only "--..." and "-h" are options, so negative numbers ("-1") pass as data.
        if (!optionsDone && (a == "--help" || a == "-h")) {
            PrintHelp();
            return kExitOk;
        }
        if (!optionsDone && a == "--") {
            optionsDone = true;
        } else if (!optionsDone && a == "--volatile") {
            volatile_ = true;
        } else if (!optionsDone && a == "--class") {
            if (i + 1 >= args.size())
                return Usage("--class needs a value");
            keyClass_ = args[++i];
        } else if (!optionsDone && a.rfind("--class=", 0) == 0) {
            keyClass_ = a.substr(8);
        } else if (!optionsDone && a.size() > 2 && a.rfind("--", 0) == 0) {
            return Usage("unknown option " + a);
        } else {
            pos.push_back(a);
        }
    }
    if (pos.empty())
        return Usage("no command given");
    std::string command = pos.front();
    pos.erase(pos.begin());
    if ((volatile_ || keyClass_ != "DEFAULT_CLASS") && command != "set")
        return Usage("--volatile and --class go with \"set\" only");
    if (command == "get")
        return Get(pos);
    if (command == "set")
        return Set(pos);
    if (command == "delete")
        return Delete(pos);
    if (command == "list")
        return List(pos);
    if (command == "export")
        return ExportCommand(pos);
    if (command == "import")
        return ImportCommand(pos);
    return Usage("unknown command \"" + command + "\"");
}

int CRegTool::Usage(const std::string& message) {
    err_ << "vidora-reg: " << message << "\n"
         << "Try \"vidora-reg --help\".\n";
    return kExitUsage;
}

void CRegTool::PrintHelp() {
    const RegistryLocations& l = registry_.Locations();
    out_
        << "Usage: vidora-reg COMMAND ...\n"
           "Reads and writes Vidora's settings store.\n"
           "\n"
           "Commands:\n"
           "  get KEY [NAME]            print a value (REG_DWORD in decimal, text as stored, binary as "
           "hex);\n"
           "                            without NAME one line per value: name, type, data (tab-separated)\n"
           "  set [--volatile] [--class CLASS] KEY NAME TYPE DATA\n"
           "                            write a value, creating the key (volatile: kept until logout);\n"
           "                            TYPE is REG_DWORD (decimal or 0x hex), REG_SZ, REG_EXPAND_SZ or\n"
           "                            REG_BINARY (hex digits, e.g. 01ff or 01,ff)\n"
           "  delete KEY [NAME]         delete a value, or without NAME the key with everything below it\n"
           "  list KEY                  print the names of the key's sub-keys, one a line\n"
           "  export [KEY]              print KEY and everything below it (every hive without KEY) as text\n"
           "  import FILE               apply an export; FILE \"-\" reads standard input\n"
           "\n"
           "KEY is HIVE\\path, HIVE one of HKCU, HKLM, HKCC, HKCR or HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,\n"
           "HKEY_CURRENT_CONFIG, HKEY_CLASSES_ROOT (case ignored), e.g. HKCU\\Software\\Brenmoor\\Vidora10.\n"
           "Key and value names ignore case. NAME \"\" or \"@\" is the key's default value.\n"
           "\n"
           "Exit status: 0 done, 1 key or value not found or the store refused, 2 usage error.\n"
           "\n"
           "Files (set XDG_CONFIG_HOME, XDG_RUNTIME_DIR, VIDORA_MACHINE_DIR to move them):\n"
        << "  current user:   " << l.userFile << "\n"
        << "  volatile keys:  " << l.volatileFile << "\n"
        << "  machine hives:  " << l.machineFile << "\n";
}

bool CRegTool::ParseKey(const std::string& text, Hive& hive, std::string& path) {
    if (!CRegistry::ParseFullPath(text, hive, path)) {
        Usage("\"" + text + "\" does not start with a hive (HKCU, HKLM, HKCC, HKCR)");
        return false;
    }
    return true;
}

int CRegTool::Report(HRESULT hr, const std::string& what) {
    if (SUCCEEDED(hr))
        return kExitOk;
    if (hr == kNotFound)
        err_ << "vidora-reg: " << what << " does not exist\n";
    else if (hr == E_ACCESSDENIED)
        err_ << "vidora-reg: " << what << ": access denied\n";
    else if (hr == HResultFromWin32(ERROR_CHILD_MUST_BE_VOLATILE))
        err_ << "vidora-reg: " << what << ": a key under a volatile key must be volatile too (--volatile)\n";
    else
        err_ << "vidora-reg: " << what << ": failed (" << Text::Format("0x%08x", static_cast<uint32_t>(hr))
             << ")\n";
    return kExitFailed;
}

int CRegTool::Get(const std::vector<std::string>& pos) {
    if (pos.empty() || pos.size() > 2)
        return Usage("get needs KEY [NAME]");
    Hive hive;
    std::string path;
    if (!ParseKey(pos[0], hive, path))
        return kExitUsage;
    auto print = [this](const RegValue& v) {
        switch (v.type) {
        case REG_DWORD:
            out_ << v.dword;
            break;
        case REG_SZ:
        case REG_EXPAND_SZ:
            out_ << v.text;
            break;
        default:
            out_ << Hex(v.bytes, "");
        }
    };
    if (pos.size() == 2) {
        std::string name = pos[1] == "@" ? std::string() : pos[1];
        RegValue v;
        HRESULT hr = registry_.QueryValue(hive, path, name, v);
        if (FAILED(hr))
            return Report(hr, registry_.KeyExists(hive, path) ? "value \"" + DisplayName(name) + "\""
                                                              : "key " + FullName(hive, path));
        print(v);
        out_ << "\n";
        return kExitOk;
    }
    std::vector<RegValueEntry> values;
    HRESULT hr = registry_.EnumValues(hive, path, values);
    if (FAILED(hr))
        return Report(hr, "key " + FullName(hive, path));
    for (const auto& e : values) {
        out_ << DisplayName(e.name) << "\t" << TypeName(e.value.type) << "\t";
        print(e.value);
        out_ << "\n";
    }
    return kExitOk;
}

int CRegTool::Set(const std::vector<std::string>& pos) {
    if (pos.size() != 4)
        return Usage("set needs KEY NAME TYPE DATA");
    Hive hive;
    std::string path;
    if (!ParseKey(pos[0], hive, path))
        return kExitUsage;
    std::string name = pos[1] == "@" ? std::string() : pos[1];
    auto type = ParseTypeName(pos[2]);
    if (!type || *type == REG_NONE)
        return Usage("unknown type \"" + pos[2] + "\" (REG_DWORD, REG_SZ, REG_EXPAND_SZ, REG_BINARY)");
    RegValue value;
    if (*type == REG_DWORD) {
        auto n = ParseDword(pos[3]);
        if (!n)
            return Usage("\"" + pos[3] + "\" is not a 32-bit number (decimal or 0x hex)");
        value = RegValue::Dword(*n);
    } else if (*type == REG_BINARY) {
        auto bytes = ParseHexBytes(pos[3]);
        if (!bytes)
            return Usage("\"" + pos[3] + "\" is not a list of hex bytes");
        value = RegValue::Binary(std::move(*bytes));
    } else {
        value = RegValue::String(pos[3], *type);
    }
    HRESULT hr = registry_.CreateKey(hive, path, keyClass_, volatile_);
    if (FAILED(hr))
        return Report(hr, "key " + FullName(hive, path));
    return Report(registry_.SetValue(hive, path, name, value), "value \"" + DisplayName(name) + "\"");
}

int CRegTool::Delete(const std::vector<std::string>& pos) {
    if (pos.empty() || pos.size() > 2)
        return Usage("delete needs KEY [NAME]");
    Hive hive;
    std::string path;
    if (!ParseKey(pos[0], hive, path))
        return kExitUsage;
    if (pos.size() == 2) {
        std::string name = pos[1] == "@" ? std::string() : pos[1];
        HRESULT hr = registry_.DeleteValue(hive, path, name);
        if (hr == kNotFound && !registry_.KeyExists(hive, path))
            return Report(hr, "key " + FullName(hive, path));
        return Report(hr, "value \"" + DisplayName(name) + "\"");
    }
    if (path.empty())
        return Usage("refusing to delete a whole hive; name a key below it");
    return Report(registry_.DeleteKeyTree(hive, path), "key " + FullName(hive, path));
}

int CRegTool::List(const std::vector<std::string>& pos) {
    if (pos.size() != 1)
        return Usage("list needs KEY");
    Hive hive;
    std::string path;
    if (!ParseKey(pos[0], hive, path))
        return kExitUsage;
    std::vector<std::string> names;
    HRESULT hr = registry_.EnumSubKeys(hive, path, names);
    if (FAILED(hr))
        return Report(hr, "key " + FullName(hive, path));
    for (const auto& n : names)
        out_ << n << "\n";
    return kExitOk;
}

bool CRegTool::Export(Hive hive, const std::string& path, std::ostream& out) {
    // Keys are shown as they were created, whatever spelling the caller used.
    std::string stored;
    if (FAILED(registry_.GetKeyPath(hive, path, stored)))
        return false;
    ExportKey(hive, stored, out);
    return true;
}

void CRegTool::ExportKey(Hive hive, const std::string& path, std::ostream& out) {
    std::vector<RegValueEntry> values;
    registry_.EnumValues(hive, path, values);
    // The hive's root always exists; it shows up only when it holds values.
    if (!path.empty() || !values.empty()) {
        out << "[" << FullName(hive, path) << "]\n";
        std::string keyClass;
        if (!path.empty() && SUCCEEDED(registry_.GetKeyClass(hive, path, keyClass)) && !keyClass.empty())
            out << ";class=" << Quote(keyClass) << "\n";
        if (!path.empty() && registry_.IsVolatile(hive, path))
            out << ";volatile\n";
        for (const auto& e : values) {
            out << (e.name.empty() ? std::string("@") : Quote(e.name)) << "=";
            const RegValue& v = e.value;
            switch (v.type) {
            case REG_DWORD:
                out << Text::Format("dword:%08x", v.dword);
                break;
            case REG_SZ:
                out << Quote(v.text);
                break;
            case REG_EXPAND_SZ:
                out << "expand:" << Quote(v.text);
                break;
            case REG_BINARY:
                out << "hex:" << Hex(v.bytes, ",");
                break;
            default:
                out << "hex(" << v.type << "):" << Hex(v.bytes, ",");
            }
            out << "\n";
        }
        out << "\n";
    }
    std::vector<std::string> subKeys;
    registry_.EnumSubKeys(hive, path, subKeys);
    for (const auto& sub : subKeys)
        ExportKey(hive, path.empty() ? sub : path + "\\" + sub, out);
}

int CRegTool::ExportCommand(const std::vector<std::string>& pos) {
    if (pos.size() > 1)
        return Usage("export takes at most one KEY");
    out_ << kExportHeader << "\n\n";
    if (pos.empty()) {
        for (Hive h : {Hive::CurrentUser, Hive::LocalMachine, Hive::CurrentConfig, Hive::ClassesRoot})
            Export(h, "", out_);
        return kExitOk;
    }
    Hive hive;
    std::string path;
    if (!ParseKey(pos[0], hive, path))
        return kExitUsage;
    if (!Export(hive, path, out_))
        return Report(kNotFound, "key " + FullName(hive, path));
    return kExitOk;
}

int CRegTool::ImportCommand(const std::vector<std::string>& pos) {
    if (pos.size() != 1)
        return Usage("import needs FILE (\"-\" for standard input)");
    if (pos[0] == "-")
        return Import(in_, "<stdin>") == 0 ? kExitOk : kExitFailed;
    std::ifstream file(pos[0], std::ios::binary);
    if (!file) {
        err_ << "vidora-reg: cannot read " << pos[0] << "\n";
        return kExitFailed;
    }
    return Import(file, pos[0]) == 0 ? kExitOk : kExitFailed;
}

int CRegTool::Import(std::istream& in, const std::string& sourceName) {
    int errors = 0;
    int lineNo = 0;
    // The key of the last header; created when its first value arrives or the next header starts, so the
    // ";class" and ";volatile" lines after the header can still shape it.
    struct Pending {
        bool active = false;
        bool created = false;
        bool ok = false;
        Hive hive = Hive::CurrentUser;
        std::string path;
        std::string keyClass;
        bool isVolatile = false;
    } key;
    auto fail = [&](const std::string& message) {
        err_ << "vidora-reg: " << sourceName << ":" << lineNo << ": " << message << "\n";
        ++errors;
    };
    auto ensureKey = [&]() {
        if (!key.active || key.created)
            return key.ok;
        key.created = true;
        HRESULT hr = registry_.CreateKey(key.hive, key.path, key.keyClass, key.isVolatile);
        key.ok = SUCCEEDED(hr);
        if (!key.ok)
            fail("cannot create key " + FullName(key.hive, key.path) +
                 Text::Format(" (0x%08x)", static_cast<uint32_t>(hr)));
        return key.ok;
    };

    std::string line;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Hex data may continue on the next line after a trailing backslash.
        while (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
            std::string next;
            if (!std::getline(in, next))
                break;
            ++lineNo;
            if (!next.empty() && next.back() == '\r')
                next.pop_back();
            line.pop_back();
            line += Text::Trim(next);
        }
        std::string trimmed = Text::Trim(line);
        if (trimmed.empty())
            continue;
        if (trimmed == kExportHeader || trimmed.rfind("Windows Registry Editor", 0) == 0 ||
            trimmed == "REGEDIT4")
            continue;
        if (trimmed[0] == ';') {
            if (trimmed == ";volatile" && key.active && !key.created) {
                key.isVolatile = true;
            } else if (trimmed.rfind(";class=", 0) == 0 && key.active && !key.created) {
                size_t p = 7;
                auto cls = Unquote(trimmed, p);
                if (!cls || p != trimmed.size())
                    fail("malformed class line");
                else
                    key.keyClass = *cls;
            }
            continue; // any other ';' line is a comment
        }
        if (trimmed[0] == '[') {
            ensureKey();
            key = Pending();
            if (trimmed.back() != ']') {
                fail("malformed key line");
                continue;
            }
            std::string inner = trimmed.substr(1, trimmed.size() - 2);
            bool remove = !inner.empty() && inner[0] == '-';
            if (remove)
                inner.erase(0, 1);
            Hive hive;
            std::string path;
            if (!CRegistry::ParseFullPath(inner, hive, path)) {
                fail("unknown hive in \"" + inner + "\"");
                continue;
            }
            if (remove) {
                HRESULT hr = path.empty() ? E_ACCESSDENIED : registry_.DeleteKeyTree(hive, path);
                if (FAILED(hr) && hr != kNotFound)
                    fail("cannot delete key " + FullName(hive, path));
                continue;
            }
            key.active = true;
            key.hive = hive;
            key.path = path;
            key.keyClass = "";
            continue;
        }
        // A value line: @=... or "name"=...
        std::string name;
        size_t p = 0;
        if (trimmed[0] == '@') {
            p = 1;
        } else {
            auto n = Unquote(trimmed, p);
            if (!n) {
                fail("malformed value name");
                continue;
            }
            name = *n;
        }
        if (p >= trimmed.size() || trimmed[p] != '=') {
            fail("expected '=' after the value name");
            continue;
        }
        std::string data = trimmed.substr(p + 1);
        if (!key.active) {
            fail("value outside a key");
            continue;
        }
        if (!ensureKey())
            continue;
        if (data == "-") {
            HRESULT hr = registry_.DeleteValue(key.hive, key.path, name);
            if (FAILED(hr) && hr != kNotFound)
                fail("cannot delete value \"" + DisplayName(name) + "\"");
            continue;
        }
        std::optional<RegValue> value;
        if (!data.empty() && data[0] == '"') {
            size_t q = 0;
            auto text = Unquote(data, q);
            if (text && q == data.size())
                value = RegValue::String(*text, REG_SZ);
        } else if (data.rfind("expand:", 0) == 0) {
            size_t q = 7;
            auto text = Unquote(data, q);
            if (text && q == data.size())
                value = RegValue::String(*text, REG_EXPAND_SZ);
        } else if (data.rfind("dword:", 0) == 0) {
            std::string digits = data.substr(6);
            if (digits.size() >= 1 && digits.size() <= 8 &&
                ParseHexBytes(digits.size() % 2 ? "0" + digits : digits))
                value = RegValue::Dword(static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16)));
        } else if (data.rfind("hex:", 0) == 0) {
            if (auto bytes = ParseHexBytes(data.substr(4)))
                value = RegValue::Binary(std::move(*bytes));
        } else if (data.rfind("hex(", 0) == 0) {
            size_t close = data.find("):");
            char* end = nullptr;
            unsigned long t = close == std::string::npos ? 0 : std::strtoul(data.c_str() + 4, &end, 16);
            auto bytes = close == std::string::npos ? std::nullopt : ParseHexBytes(data.substr(close + 2));
            if (bytes && end == data.c_str() + close) {
                RegValue v;
                v.type = static_cast<uint32_t>(t);
                if (v.type == REG_SZ || v.type == REG_EXPAND_SZ)
                    v.text.assign(bytes->begin(), bytes->end());
                else if (v.type == REG_DWORD && bytes->size() == 4)
                    v.dword = (*bytes)[0] | ((*bytes)[1] << 8) | ((*bytes)[2] << 16) |
                              (uint32_t((*bytes)[3]) << 24);
                else if (v.type == REG_DWORD)
                    v.type = 0xFFFFFFFF; // refused below
                else
                    v.bytes = std::move(*bytes);
                if (v.type != 0xFFFFFFFF)
                    value = std::move(v);
            }
        }
        if (!value) {
            fail("malformed data for value \"" + DisplayName(name) + "\"");
            continue;
        }
        HRESULT hr = registry_.SetValue(key.hive, key.path, name, *value);
        if (FAILED(hr))
            fail("cannot write value \"" + DisplayName(name) + "\"" +
                 Text::Format(" (0x%08x)", static_cast<uint32_t>(hr)));
    }
    ensureKey();
    return errors;
}
