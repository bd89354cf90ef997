#include "platform/CRegistry.h"

#include "platform/CRegistryStore.h"
#include "platform/SpecialFolders.h"
#include "platform/TextUtil.h"

#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <mutex>

// How the store is laid out. Every hive file has the same schema:
//   keys(id, hive, fold, path, parent_fold, class)  one row per key; `path` is the full path relative to the
//        hive in the case it was created with, `fold` the same path case-folded. Lookups compare `fold` with
//        a plain binary index, so a value read is one indexed SELECT, and the stock sqlite3 shell can open
//        and check the file (a custom collation would make its indexes unreadable there).
//   vals(key_id, fold, name, type, data)  one row per value; `fold` is the case-folded value name.
//   meta(name, value)  the file format tag.
// The persistent files hold one root row (fold '') per hive they carry, so values of a hive's root work like
// any other key's. Volatile keys of every hive live in a separate file in the runtime folder; their missing
// parents are persistent rows in the hive's own file.

RegValue RegValue::Dword(uint32_t v) {
    RegValue r;
    r.type = REG_DWORD;
    r.dword = v;
    return r;
}

RegValue RegValue::String(std::string v, uint32_t type) {
    RegValue r;
    r.type = type;
    r.text = std::move(v);
    return r;
}

RegValue RegValue::Binary(std::vector<uint8_t> v) {
    RegValue r;
    r.type = REG_BINARY;
    r.bytes = std::move(v);
    return r;
}

RegistryLocations RegistryLocations::FromEnvironment() {
    RegistryLocations l;
    l.userFile = SpecialFolders::UserConfigDir() + "/registry.db";
    // Without a private runtime folder volatile keys live in the user's config folder instead; they then
    // outlast the session, which is better than sharing them with other users.
    const std::string runtime = SpecialFolders::RuntimeDir();
    l.volatileFile = (runtime.empty() ? SpecialFolders::UserConfigDir() : runtime) + "/volatile.db";
    l.machineFile = SpecialFolders::MachineDir() + "/machine.db";
    return l;
}

namespace {

using namespace RegistryDb;

const HRESULT kNotFound = HResultFromWin32(ERROR_FILE_NOT_FOUND);

// Case folding for comparisons: ASCII directly (the common case), the rest through Qt's full folding, the
// same folding Text::CompareNoCase uses.
std::string Fold(const std::string& s) {
    std::string out(s);
    for (char& c : out) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 0x80)
            return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toCaseFolded().toStdString();
        if (u >= 'A' && u <= 'Z')
            c = static_cast<char>(u + ('a' - 'A'));
    }
    return out;
}

std::string LastComponent(const std::string& path) {
    size_t sep = path.rfind('\\');
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string ParentOf(const std::string& path) {
    size_t sep = path.rfind('\\');
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

int HiveNumber(Hive hive) {
    return static_cast<int>(hive);
}

// Binds text without copying; the strings outlive the statement's use.
void BindText(sqlite3_stmt* st, int index, const std::string& s) {
    sqlite3_bind_text(st, index, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
}

RegValue ValueFromColumns(sqlite3_stmt* st, int typeCol, int dataCol) {
    RegValue v;
    v.type = static_cast<uint32_t>(sqlite3_column_int64(st, typeCol));
    switch (v.type) {
    case REG_DWORD:
        v.dword = static_cast<uint32_t>(sqlite3_column_int64(st, dataCol));
        break;
    case REG_SZ:
    case REG_EXPAND_SZ: {
        const unsigned char* t = sqlite3_column_text(st, dataCol);
        int n = sqlite3_column_bytes(st, dataCol);
        v.text.assign(t != nullptr ? reinterpret_cast<const char*>(t) : "", static_cast<size_t>(n));
        break;
    }
    default: {
        const void* b = sqlite3_column_blob(st, dataCol);
        int n = sqlite3_column_bytes(st, dataCol);
        if (b != nullptr && n > 0)
            v.bytes.assign(static_cast<const uint8_t*>(b), static_cast<const uint8_t*>(b) + n);
        break;
    }
    }
    return v;
}

void BindValue(sqlite3_stmt* st, int index, const RegValue& v) {
    switch (v.type) {
    case REG_DWORD:
        sqlite3_bind_int64(st, index, v.dword);
        break;
    case REG_SZ:
    case REG_EXPAND_SZ:
        BindText(st, index, v.text);
        break;
    default:
        sqlite3_bind_blob(st, index, v.bytes.data(), static_cast<int>(v.bytes.size()), SQLITE_STATIC);
        break;
    }
}

struct KeyRow {
    std::string path;
    std::string keyClass;
};

} // namespace

class CRegistry::Impl {
public:
    explicit Impl(const RegistryLocations& l)
        : user(l.userFile, CRegistryStore::Kind::User), vol(l.volatileFile, CRegistryStore::Kind::Volatile),
          machine(l.machineFile, CRegistryStore::Kind::Machine) {}

    std::mutex mutex;
    CRegistryStore user;
    CRegistryStore vol;
    CRegistryStore machine;

    CRegistryStore& Persistent(Hive hive) { return hive == Hive::CurrentUser ? user : machine; }

    // Runs `op` under the lock; a store found damaged is moved aside and the operation runs once more on the
    // fresh one. Other database errors become result codes.
    template <typename Op> HRESULT Run(Op&& op) {
        std::lock_guard<std::mutex> lock(mutex);
        for (int attempt = 0;; ++attempt) {
            CRegistryStore* current = nullptr;
            try {
                return op(current);
            } catch (const DbError& e) {
                if (current != nullptr)
                    current->Rollback();
                if (!IsCorruption(e.rc) || current == nullptr || attempt > 0)
                    return HResultFromSqlite(e.rc);
                current->RecoverFromCorruption(e.rc);
            }
        }
    }

    // Looks a key up in one file. `current` tracks the store in use for the error handler.
    static bool Find(CRegistryStore& s, CRegistryStore*& current, Hive hive, const std::string& fold,
                     KeyRow* row) {
        if (!s.Ensure())
            return false;
        current = &s;
        sqlite3_stmt* st = s.Get(kFindKey);
        sqlite3_bind_int(st, 1, HiveNumber(hive));
        BindText(st, 2, fold);
        int rc = sqlite3_step(st);
        bool found = rc == SQLITE_ROW;
        if (found && row != nullptr) {
            row->path = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
            const unsigned char* c = sqlite3_column_text(st, 2);
            row->keyClass = c != nullptr ? reinterpret_cast<const char*>(c) : "";
        }
        sqlite3_reset(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw DbError{rc};
        return found;
    }

    // Which file holds the key: nullptr when none does.
    CRegistryStore* Locate(CRegistryStore*& current, Hive hive, const std::string& fold,
                           KeyRow* row = nullptr) {
        if (Find(Persistent(hive), current, hive, fold, row))
            return &Persistent(hive);
        if (!fold.empty() && Find(vol, current, hive, fold, row))
            return &vol;
        return nullptr;
    }

    // Reads one value of a key in one file: 1 = value read, 0 = key there but no value, -1 = no key.
    static int ReadIn(CRegistryStore& s, CRegistryStore*& current, Hive hive, const std::string& fold,
                      const std::string& nameFold, RegValue& out) {
        if (!s.Ensure())
            return -1;
        current = &s;
        sqlite3_stmt* st = s.Get(kReadValue);
        sqlite3_bind_int(st, 1, HiveNumber(hive));
        BindText(st, 2, fold);
        BindText(st, 3, nameFold);
        int rc = sqlite3_step(st);
        int result = -1;
        if (rc == SQLITE_ROW) {
            if (sqlite3_column_type(st, 1) == SQLITE_NULL) {
                result = 0;
            } else {
                out = ValueFromColumns(st, 1, 2);
                result = 1;
            }
        }
        sqlite3_reset(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw DbError{rc};
        return result;
    }

    static void InsertKey(CRegistryStore& s, Hive hive, const std::string& path,
                          const std::string& keyClass) {
        sqlite3_stmt* st = s.Get(kInsertKey);
        std::string fold = Fold(path);
        std::string parentFold = Fold(ParentOf(path));
        sqlite3_bind_int(st, 1, HiveNumber(hive));
        BindText(st, 2, fold);
        BindText(st, 3, path);
        BindText(st, 4, parentFold);
        BindText(st, 5, keyClass);
        s.Exec(kInsertKey);
    }

    HRESULT CreateKey(CRegistryStore*& current, Hive hive, const std::string& path,
                      const std::string& keyClass, bool isVolatile, bool* created) {
        std::string norm = NormalizePath(path);
        if (created != nullptr)
            *created = false;
        CRegistryStore& pers = Persistent(hive);
        if (Locate(current, hive, Fold(norm)) != nullptr)
            return S_OK;
        if (!pers.Ensure())
            return E_ACCESSDENIED;
        // Walk down from the hive's root: find what exists (keeping its stored case) and plan the rest.
        std::vector<std::string> parts;
        for (size_t start = 0; start <= norm.size();) {
            size_t sep = norm.find('\\', start);
            if (sep == std::string::npos)
                sep = norm.size();
            parts.push_back(norm.substr(start, sep - start));
            start = sep + 1;
        }
        std::string storedPath;
        bool parentVolatile = false;
        size_t i = 0;
        for (; i < parts.size(); ++i) {
            std::string candidate = storedPath.empty() ? parts[i] : storedPath + "\\" + parts[i];
            KeyRow row;
            CRegistryStore* where = Locate(current, hive, Fold(candidate), &row);
            if (where == nullptr)
                break;
            storedPath = row.path;
            parentVolatile = where == &vol;
        }
        // parts[i..] are missing. Intermediate keys are persistent unless their parent is volatile.
        std::vector<std::string> persistentNew, volatileNew;
        for (size_t j = i; j < parts.size(); ++j) {
            storedPath = storedPath.empty() ? parts[j] : storedPath + "\\" + parts[j];
            bool last = j + 1 == parts.size();
            bool makeVolatile = parentVolatile || (last && isVolatile);
            if (last && !isVolatile && parentVolatile)
                return HResultFromWin32(ERROR_CHILD_MUST_BE_VOLATILE);
            (makeVolatile ? volatileNew : persistentNew).push_back(storedPath);
            parentVolatile = makeVolatile;
        }
        if (!persistentNew.empty()) {
            if (pers.ReadOnly())
                return E_ACCESSDENIED;
            current = &pers;
            pers.Begin();
            for (const auto& p : persistentNew)
                InsertKey(pers, hive, p, keyClass);
            pers.Commit();
        }
        if (!volatileNew.empty()) {
            if (!vol.Ensure())
                return E_ACCESSDENIED;
            current = &vol;
            vol.Begin();
            for (const auto& p : volatileNew)
                InsertKey(vol, hive, p, keyClass);
            vol.Commit();
        }
        if (created != nullptr)
            *created = true;
        return S_OK;
    }

    HRESULT QueryValue(CRegistryStore*& current, Hive hive, const std::string& path, const std::string& name,
                       RegValue& out) {
        std::string fold = Fold(NormalizePath(path));
        std::string nameFold = Fold(name);
        int r = ReadIn(Persistent(hive), current, hive, fold, nameFold, out);
        if (r < 0 && !fold.empty())
            r = ReadIn(vol, current, hive, fold, nameFold, out);
        return r > 0 ? S_OK : kNotFound;
    }

    HRESULT SetValue(CRegistryStore*& current, Hive hive, const std::string& path, const std::string& name,
                     const RegValue& value) {
        std::string fold = Fold(NormalizePath(path));
        std::string nameFold = Fold(name);
        for (CRegistryStore* s : {&Persistent(hive), &vol}) {
            if (!s->Ensure())
                continue;
            if (s->ReadOnly()) {
                if (Find(*s, current, hive, fold, nullptr))
                    return E_ACCESSDENIED;
                continue;
            }
            current = s;
            sqlite3_stmt* st = s->Get(kSetValue);
            sqlite3_bind_int(st, 1, HiveNumber(hive));
            BindText(st, 2, fold);
            BindText(st, 3, nameFold);
            BindText(st, 4, name);
            sqlite3_bind_int64(st, 5, value.type);
            BindValue(st, 6, value);
            if (s->Exec(kSetValue) > 0)
                return S_OK;
        }
        if (hive != Hive::CurrentUser && !machine.Ensure())
            return E_ACCESSDENIED;
        return kNotFound;
    }
};

CRegistry::CRegistry(RegistryLocations locations)
    : impl_(std::make_unique<Impl>(locations)), locations_(std::move(locations)) {}

CRegistry::~CRegistry() = default;

namespace {
std::mutex g_instanceMutex;
std::unique_ptr<CRegistry> g_instance;
} // namespace

CRegistry& CRegistry::Instance() {
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    if (!g_instance)
        g_instance = std::make_unique<CRegistry>(RegistryLocations::FromEnvironment());
    return *g_instance;
}

void CRegistry::ResetInstance() {
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    g_instance.reset();
}

HRESULT CRegistry::CreateKey(Hive hive, const std::string& path, const std::string& keyClass, bool isVolatile,
                             uint32_t /*access*/, bool* created) {
    return impl_->Run([&](CRegistryStore*& current) {
        return impl_->CreateKey(current, hive, path, keyClass, isVolatile, created);
    });
}

HRESULT CRegistry::OpenKey(Hive hive, const std::string& path, uint32_t /*access*/) {
    return KeyExists(hive, path) ? S_OK : kNotFound;
}

bool CRegistry::KeyExists(Hive hive, const std::string& path) {
    HRESULT hr = impl_->Run([&](CRegistryStore*& current) {
        return impl_->Locate(current, hive, Fold(NormalizePath(path))) != nullptr ? S_OK : kNotFound;
    });
    return hr == S_OK;
}

bool CRegistry::IsVolatile(Hive hive, const std::string& path) {
    HRESULT hr = impl_->Run([&](CRegistryStore*& current) {
        return impl_->Locate(current, hive, Fold(NormalizePath(path))) == &impl_->vol ? S_OK : S_FALSE;
    });
    return hr == S_OK;
}

HRESULT CRegistry::GetKeyClass(Hive hive, const std::string& path, std::string& keyClass) {
    return impl_->Run([&](CRegistryStore*& current) {
        KeyRow row;
        if (impl_->Locate(current, hive, Fold(NormalizePath(path)), &row) == nullptr)
            return kNotFound;
        keyClass = row.keyClass;
        return S_OK;
    });
}

HRESULT CRegistry::GetKeyPath(Hive hive, const std::string& path, std::string& storedPath) {
    return impl_->Run([&](CRegistryStore*& current) {
        KeyRow row;
        if (impl_->Locate(current, hive, Fold(NormalizePath(path)), &row) == nullptr)
            return kNotFound;
        storedPath = row.path;
        return S_OK;
    });
}

HRESULT CRegistry::QueryValue(Hive hive, const std::string& path, const std::string& name, RegValue& out) {
    return impl_->Run(
        [&](CRegistryStore*& current) { return impl_->QueryValue(current, hive, path, name, out); });
}

HRESULT CRegistry::SetValue(Hive hive, const std::string& path, const std::string& name,
                            const RegValue& value) {
    return impl_->Run(
        [&](CRegistryStore*& current) { return impl_->SetValue(current, hive, path, name, value); });
}

HRESULT CRegistry::DeleteValue(Hive hive, const std::string& path, const std::string& name) {
    return impl_->Run([&](CRegistryStore*& current) {
        std::string fold = Fold(NormalizePath(path));
        CRegistryStore* s = impl_->Locate(current, hive, fold);
        if (s == nullptr)
            return kNotFound;
        if (s->ReadOnly())
            return E_ACCESSDENIED;
        current = s;
        std::string nameFold = Fold(name);
        sqlite3_stmt* st = s->Get(kDeleteValue);
        sqlite3_bind_int(st, 1, HiveNumber(hive));
        BindText(st, 2, fold);
        BindText(st, 3, nameFold);
        return s->Exec(kDeleteValue) > 0 ? S_OK : kNotFound;
    });
}

HRESULT CRegistry::DeleteKeyTree(Hive hive, const std::string& path) {
    return impl_->Run([&](CRegistryStore*& current) {
        std::string fold = Fold(NormalizePath(path));
        CRegistryStore& pers = impl_->Persistent(hive);
        if (impl_->Locate(current, hive, fold) == nullptr)
            return kNotFound;
        if (pers.ReadOnly())
            return E_ACCESSDENIED;
        // Volatile descendants first, so no volatile key is ever left without its persistent parent.
        for (CRegistryStore* s : {&impl_->vol, &pers}) {
            if (!s->Ensure())
                continue;
            current = s;
            s->Begin();
            if (fold.empty()) {
                sqlite3_bind_int(s->Get(kDeleteHiveValues), 1, HiveNumber(hive));
                s->Exec(kDeleteHiveValues);
                sqlite3_bind_int(s->Get(kDeleteHiveKeys), 1, HiveNumber(hive));
                s->Exec(kDeleteHiveKeys);
            } else {
                for (Stmt stmt : {kDeleteTreeValues, kDeleteTreeKeys}) {
                    sqlite3_stmt* st = s->Get(stmt);
                    sqlite3_bind_int(st, 1, HiveNumber(hive));
                    BindText(st, 2, fold);
                    s->Exec(stmt);
                }
            }
            s->Commit();
        }
        return S_OK;
    });
}

HRESULT CRegistry::EnumSubKeys(Hive hive, const std::string& path, std::vector<std::string>& names) {
    return impl_->Run([&](CRegistryStore*& current) {
        names.clear();
        std::string fold = Fold(NormalizePath(path));
        if (impl_->Locate(current, hive, fold) == nullptr)
            return kNotFound;
        std::vector<std::pair<std::string, std::string>> found; // folded name, name
        for (CRegistryStore* s : {&impl_->Persistent(hive), &impl_->vol}) {
            if (!s->Ensure())
                continue;
            current = s;
            sqlite3_stmt* st = s->Get(kEnumSubKeys);
            sqlite3_bind_int(st, 1, HiveNumber(hive));
            BindText(st, 2, fold);
            int rc;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                std::string name = LastComponent(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                found.emplace_back(Fold(name), name);
            }
            sqlite3_reset(st);
            if (rc != SQLITE_DONE)
                throw DbError{rc};
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end(),
                                [](const auto& a, const auto& b) { return a.first == b.first; }),
                    found.end());
        for (auto& f : found)
            names.push_back(std::move(f.second));
        return S_OK;
    });
}

HRESULT CRegistry::EnumValues(Hive hive, const std::string& path, std::vector<RegValueEntry>& values) {
    return impl_->Run([&](CRegistryStore*& current) {
        values.clear();
        std::string fold = Fold(NormalizePath(path));
        CRegistryStore* s = impl_->Locate(current, hive, fold);
        if (s == nullptr)
            return kNotFound;
        current = s;
        sqlite3_stmt* st = s->Get(kEnumValues);
        sqlite3_bind_int(st, 1, HiveNumber(hive));
        BindText(st, 2, fold);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            RegValueEntry e;
            e.name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            e.value = ValueFromColumns(st, 1, 2);
            values.push_back(std::move(e));
        }
        sqlite3_reset(st);
        if (rc != SQLITE_DONE)
            throw DbError{rc};
        return S_OK;
    });
}

namespace {
struct HiveAlias {
    const char* name;
    Hive hive;
};
constexpr HiveAlias kHiveAliases[] = {
    {"HKCU", Hive::CurrentUser},   {"HKEY_CURRENT_USER", Hive::CurrentUser},
    {"HKLM", Hive::LocalMachine},  {"HKEY_LOCAL_MACHINE", Hive::LocalMachine},
    {"HKCC", Hive::CurrentConfig}, {"HKEY_CURRENT_CONFIG", Hive::CurrentConfig},
    {"HKCR", Hive::ClassesRoot},   {"HKEY_CLASSES_ROOT", Hive::ClassesRoot},
};
} // namespace

bool CRegistry::ParseFullPath(const std::string& full, Hive& hive, std::string& path) {
    std::string norm = NormalizePath(full);
    size_t sep = norm.find('\\');
    std::string head = norm.substr(0, sep);
    for (const auto& alias : kHiveAliases) {
        if (Text::EqualsNoCase(head, alias.name)) {
            hive = alias.hive;
            path = sep == std::string::npos ? std::string() : norm.substr(sep + 1);
            return true;
        }
    }
    return false;
}

const char* CRegistry::HiveName(Hive hive) {
    switch (hive) {
    case Hive::CurrentUser:
        return "HKEY_CURRENT_USER";
    case Hive::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case Hive::CurrentConfig:
        return "HKEY_CURRENT_CONFIG";
    case Hive::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    }
    return "";
}

std::string CRegistry::NormalizePath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    size_t start = 0;
    while (start <= path.size()) {
        size_t sep = path.find('\\', start);
        if (sep == std::string::npos)
            sep = path.size();
        if (sep > start) {
            if (!out.empty())
                out += '\\';
            out.append(path, start, sep - start);
        }
        start = sep + 1;
    }
    return out;
}
