#include "platform/CRegistry.h"

#include "platform/DebugOutput.h"
#include "platform/SpecialFolders.h"
#include "platform/TextUtil.h"

#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

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
    l.volatileFile = SpecialFolders::RuntimeDir() + "/volatile.db";
    l.machineFile = SpecialFolders::MachineDir() + "/machine.db";
    return l;
}

namespace {

constexpr const char* kFormatTag = "vidora-registry";
constexpr const char* kFormatVersion = "1";

const char* const kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS meta(name TEXT PRIMARY KEY, value TEXT);
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY,
    hive INTEGER NOT NULL,
    fold TEXT NOT NULL,
    path TEXT NOT NULL,
    parent_fold TEXT,
    class TEXT NOT NULL DEFAULT '',
    UNIQUE(hive, fold));
CREATE INDEX IF NOT EXISTS keys_by_parent ON keys(hive, parent_fold);
CREATE TABLE IF NOT EXISTS vals(
    key_id INTEGER NOT NULL,
    fold TEXT NOT NULL,
    name TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB,
    PRIMARY KEY(key_id, fold)) WITHOUT ROWID;
)SQL";

enum Stmt {
    kFindKey,
    kReadValue,
    kInsertKey,
    kSetValue,
    kDeleteValue,
    kEnumSubKeys,
    kEnumValues,
    kDeleteTreeValues,
    kDeleteTreeKeys,
    kDeleteHiveValues,
    kDeleteHiveKeys,
    kBegin,
    kCommit,
    kRollback,
    kStmtCount
};

const char* const kStmtSql[kStmtCount] = {
    "SELECT id, path, class FROM keys WHERE hive = ?1 AND fold = ?2",
    "SELECT k.id, v.type, v.data FROM keys k LEFT JOIN vals v ON v.key_id = k.id AND v.fold = ?3 "
    "WHERE k.hive = ?1 AND k.fold = ?2",
    "INSERT OR IGNORE INTO keys(hive, fold, path, parent_fold, class) VALUES(?1, ?2, ?3, ?4, ?5)",
    "INSERT INTO vals(key_id, fold, name, type, data) SELECT id, ?3, ?4, ?5, ?6 FROM keys "
    "WHERE hive = ?1 AND fold = ?2 ON CONFLICT(key_id, fold) DO UPDATE SET type = excluded.type, "
    "data = excluded.data",
    "DELETE FROM vals WHERE key_id = (SELECT id FROM keys WHERE hive = ?1 AND fold = ?2) AND fold = ?3",
    "SELECT path FROM keys WHERE hive = ?1 AND parent_fold = ?2",
    "SELECT v.name, v.type, v.data FROM vals v JOIN keys k ON v.key_id = k.id "
    "WHERE k.hive = ?1 AND k.fold = ?2 ORDER BY v.fold",
    // Every folded path below P starts with P + "\\"; nothing folds to a character between '\\' and ']', so
    // the sub-tree is one range of the index.
    "DELETE FROM vals WHERE key_id IN (SELECT id FROM keys WHERE hive = ?1 AND "
    "(fold = ?2 OR (fold > ?2 || '\\' AND fold < ?2 || ']')))",
    "DELETE FROM keys WHERE hive = ?1 AND (fold = ?2 OR (fold > ?2 || '\\' AND fold < ?2 || ']'))",
    "DELETE FROM vals WHERE key_id IN (SELECT id FROM keys WHERE hive = ?1)",
    "DELETE FROM keys WHERE hive = ?1 AND fold <> ''",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
};

// Thrown inside the implementation only; every public operation turns it into a result code.
struct DbError {
    int rc;
};

bool IsCorruption(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// An existing file that cannot be opened for these reasons is replaced like a damaged one; a busy, full or
// out-of-memory situation is not the file's fault and leaves it alone.
bool IsUnreadable(int rc) {
    switch (rc & 0xff) {
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
    case SQLITE_IOERR:
        return true;
    default:
        return false;
    }
}

HRESULT HResultFromSqlite(int rc) {
    switch (rc & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return E_ACCESSDENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return HResultFromWin32(ERROR_TIMEOUT);
    case SQLITE_NOMEM:
        return E_OUTOFMEMORY;
    default:
        return E_FAIL;
    }
}

const HRESULT kNotFound = HResultFromWin32(ERROR_FILE_NOT_FOUND);

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string DirName(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

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

int HiveNumber(Hive hive) { return static_cast<int>(hive); }

std::string TimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

// One SQLite file with its connection and prepared statements.
class Store {
public:
    enum class Kind { User, Volatile, Machine };

    Store(std::string path, Kind kind) : path_(std::move(path)), kind_(kind) {}
    ~Store() { Close(); }

    // Opens on first use. False when the file cannot be used at all (machine file without access).
    bool Ensure() {
        if (db_ != nullptr) {
            if (!FileReplaced())
                return true;
            // Another process moved a damaged file aside (or the user removed it): follow it to the new one.
            Close();
        }
        if (unavailable_)
            return false;
        Open();
        return db_ != nullptr;
    }

    bool ReadOnly() const { return readOnly_; }
    const std::string& Path() const { return path_; }

    sqlite3_stmt* Get(Stmt s) { return stmts_[s]; }

    // Runs a statement to completion; the caller has bound its parameters. Returns the number of changed rows.
    int Exec(Stmt s) {
        sqlite3_stmt* st = stmts_[s];
        int rc = sqlite3_step(st);
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(st);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (rc != SQLITE_DONE)
            throw DbError {rc};
        return sqlite3_changes(db_);
    }

    void Begin() { Exec(kBegin); }
    void Commit() { Exec(kCommit); }
    void Rollback() {
        if (db_ != nullptr && !sqlite3_get_autocommit(db_)) {
            sqlite3_stmt* st = stmts_[kRollback];
            sqlite3_step(st);
            sqlite3_reset(st);
        }
    }

    // The file turned out to be damaged while in use: move it aside and start a fresh one.
    void RecoverFromCorruption(int rc) {
        std::string reason = sqlite3_errstr(rc);
        Close();
        if (readOnly_ || (kind_ == Kind::Machine && !CanWriteDir())) {
            ReportToStderr("the settings file " + path_ + " is damaged (" + reason +
                           ") and cannot be replaced; its settings read as not present");
            unavailable_ = true;
            return;
        }
        MoveAside(reason);
        Open();
    }

    void Close() {
        for (auto& st : stmts_) {
            sqlite3_finalize(st);
            st = nullptr;
        }
        if (db_ != nullptr)
            sqlite3_close_v2(db_);
        db_ = nullptr;
    }

private:
    // Whether the file at our path is no longer the one we have open. Checked at most four times a second,
    // so a read stays one SELECT and a few nanoseconds of clock.
    bool FileReplaced() {
        if (dev_ == 0 && ino_ == 0)
            return false; // in memory
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        int64_t ms = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
        if (ms - lastIdentityCheckMs_ < 250)
            return false;
        lastIdentityCheckMs_ = ms;
        struct stat st {};
        return ::stat(path_.c_str(), &st) != 0 || st.st_dev != dev_ || st.st_ino != ino_;
    }

    void RememberIdentity() {
        struct stat st {};
        dev_ = 0;
        ino_ = 0;
        if (::stat(path_.c_str(), &st) == 0) {
            dev_ = st.st_dev;
            ino_ = st.st_ino;
        }
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        lastIdentityCheckMs_ = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }

    bool CanWriteDir() const { return ::access(DirName(path_).c_str(), W_OK) == 0; }

    void Open() {
        readOnly_ = false;
        std::string dir = DirName(path_);
        if (!SpecialFolders::CreateFolderTree(dir) || !CanWriteDir()) {
            OpenUnwritable("its folder cannot be created or written");
            return;
        }
        bool existed = FileExists(path_);
        std::string reason;
        int rc = TryOpen(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, reason);
        if (rc == SQLITE_OK)
            return;
        if (IsCorruption(rc) || (existed && IsUnreadable(rc))) {
            MoveAside(reason);
            rc = TryOpen(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, reason);
            if (rc == SQLITE_OK)
                return;
        }
        OpenFallback(reason);
    }

    // The folder is not ours to write (the machine folder as a normal user): read what is there, if anything.
    void OpenUnwritable(const std::string& why) {
        if (kind_ == Kind::Machine) {
            std::string reason;
            if (FileExists(path_) && TryOpen(SQLITE_OPEN_READONLY, reason) == SQLITE_OK) {
                readOnly_ = true;
                return;
            }
            unavailable_ = true;
            return;
        }
        OpenFallback(why);
    }

    // The user's own files must always work: without a usable file the settings live in memory for this run.
    void OpenFallback(const std::string& why) {
        if (kind_ == Kind::Machine) {
            unavailable_ = true;
            return;
        }
        ReportToStderr("cannot use the settings file " + path_ + " (" + why +
                       "); settings of this run will not be kept");
        std::string ignored;
        std::string saved = path_;
        path_ = ":memory:";
        if (TryOpen(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY, ignored) != SQLITE_OK)
            unavailable_ = true;
        path_ = saved;
    }

    int Fail(int rc, std::string& reason, const std::string& what) {
        reason = what.empty() ? std::string(sqlite3_errstr(rc)) : what;
        Close();
        return rc == SQLITE_OK ? SQLITE_CORRUPT : rc;
    }

    // Opens and checks the file. SQLITE_OK, or an error code with `reason` filled and the connection closed.
    // A damaged or foreign file is only read, never changed, before it is found wanting: it must reach the
    // place it is moved to as it was.
    int TryOpen(int flags, std::string& reason) {
        bool memory = (flags & SQLITE_OPEN_MEMORY) != 0;
        bool writable = (flags & SQLITE_OPEN_READWRITE) != 0;
        if (!memory && !LooksLikeSqlite(reason))
            return SQLITE_NOTADB;
        int rc = sqlite3_open_v2(path_.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK)
            return Fail(rc, reason, "");
        sqlite3_extended_result_codes(db_, 1);
        // Another process may be writing; wait for it rather than fail.
        sqlite3_busy_timeout(db_, 5000);
        int tables = 0;
        if ((rc = QueryInt("SELECT count(*) FROM sqlite_master", tables)) != SQLITE_OK)
            return Fail(rc, reason, "");
        if (tables > 0) {
            std::string tag, version;
            QueryText("SELECT value FROM meta WHERE name = 'format'", tag);
            QueryText("SELECT value FROM meta WHERE name = 'version'", version);
            if (tag != kFormatTag || version != kFormatVersion)
                return Fail(SQLITE_NOTADB, reason, "not a Vidora settings file of a known format");
            std::string check;
            if ((rc = QueryText("PRAGMA quick_check", check)) != SQLITE_OK)
                return Fail(rc, reason, "");
            if (check != "ok")
                return Fail(SQLITE_CORRUPT, reason, "integrity check failed: " + check);
        } else if (!writable) {
            return Fail(SQLITE_CANTOPEN, reason, "empty read-only file");
        }
        if (writable && !memory) {
            if ((rc = ExecSql("PRAGMA journal_mode=WAL")) != SQLITE_OK)
                return Fail(rc, reason, "");
            if ((rc = ExecSql("PRAGMA synchronous=NORMAL")) != SQLITE_OK)
                return Fail(rc, reason, "");
        }
        // Creating the tables is idempotent, so two processes starting on a new file at once both succeed.
        if (tables == 0 && (rc = CreateSchema()) != SQLITE_OK)
            return Fail(rc, reason, "");
        for (int i = 0; i < kStmtCount; ++i) {
            rc = sqlite3_prepare_v3(db_, kStmtSql[i], -1, SQLITE_PREPARE_PERSISTENT, &stmts_[i], nullptr);
            if (rc != SQLITE_OK)
                return Fail(SQLITE_NOTADB, reason, std::string("unexpected layout: ") + sqlite3_errmsg(db_));
        }
        if (memory)
            dev_ = ino_ = 0;
        else
            RememberIdentity();
        return SQLITE_OK;
    }

    // An empty or missing file is a new store; anything else must carry SQLite's header. Checked before
    // SQLite sees the file, which would otherwise discard a journal it cannot make sense of.
    bool LooksLikeSqlite(std::string& reason) const {
        FILE* f = std::fopen(path_.c_str(), "rb");
        if (f == nullptr)
            return true; // missing, or unreadable: sqlite3_open_v2 reports it
        char header[16] = {};
        size_t n = std::fread(header, 1, sizeof header, f);
        std::fclose(f);
        if (n == 0)
            return true;
        if (n == sizeof header && std::memcmp(header, "SQLite format 3", 16) == 0)
            return true;
        reason = "not a database";
        return false;
    }

    int CreateSchema() {
        int rc = ExecSql("BEGIN IMMEDIATE");
        if (rc != SQLITE_OK)
            return rc;
        std::string sql = kSchema;
        sql += std::string("INSERT OR IGNORE INTO meta VALUES('format', '") + kFormatTag + "');";
        sql += std::string("INSERT OR IGNORE INTO meta VALUES('version', '") + kFormatVersion + "');";
        if (kind_ == Kind::User)
            sql += "INSERT OR IGNORE INTO keys(hive, fold, path, parent_fold) VALUES(0, '', '', NULL);";
        if (kind_ == Kind::Machine)
            for (int h = 1; h <= 3; ++h)
                sql += "INSERT OR IGNORE INTO keys(hive, fold, path, parent_fold) VALUES(" + std::to_string(h) +
                       ", '', '', NULL);";
        rc = ExecSql(sql.c_str());
        if (rc != SQLITE_OK) {
            ExecSql("ROLLBACK");
            return rc;
        }
        return ExecSql("COMMIT");
    }

    int ExecSql(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

    int QueryText(const char* sql, std::string& out) {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        if (rc != SQLITE_OK)
            return rc;
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out = t != nullptr ? reinterpret_cast<const char*>(t) : "";
            rc = SQLITE_OK;
        } else if (rc == SQLITE_DONE) {
            rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
        return rc;
    }

    int QueryInt(const char* sql, int& out) {
        std::string text;
        int rc = QueryText(sql, text);
        out = rc == SQLITE_OK ? std::atoi(text.c_str()) : 0;
        return rc;
    }

    // Renames the damaged file and its journal files, never deletes them, and says so once.
    void MoveAside(const std::string& reason) {
        Close();
        std::string base = path_ + ".corrupt-" + TimeStamp();
        std::string target = base;
        for (int n = 2; FileExists(target) && n < 1000; ++n)
            target = base + "-" + std::to_string(n);
        bool moved = ::rename(path_.c_str(), target.c_str()) == 0;
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            std::string from = path_ + suffix;
            if (FileExists(from))
                ::rename(from.c_str(), (target + suffix).c_str());
        }
        if (moved)
            ReportToStderr("the settings file " + path_ + " was damaged (" + reason + "); moved it to " + target +
                           " and started with fresh settings");
        else if (FileExists(path_))
            ReportToStderr("the settings file " + path_ + " was damaged (" + reason +
                           ") and could not be moved aside: " + std::strerror(errno));
    }

    std::string path_;
    Kind kind_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmts_[kStmtCount] = {};
    bool readOnly_ = false;
    bool unavailable_ = false;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    int64_t lastIdentityCheckMs_ = 0;
};

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
        : user(l.userFile, Store::Kind::User), vol(l.volatileFile, Store::Kind::Volatile),
          machine(l.machineFile, Store::Kind::Machine) {}

    std::mutex mutex;
    Store user;
    Store vol;
    Store machine;

    Store& Persistent(Hive hive) { return hive == Hive::CurrentUser ? user : machine; }

    // Runs `op` under the lock; a store found damaged is moved aside and the operation runs once more on the
    // fresh one. Other database errors become result codes.
    template <typename Op>
    HRESULT Run(Op&& op) {
        std::lock_guard<std::mutex> lock(mutex);
        for (int attempt = 0;; ++attempt) {
            Store* current = nullptr;
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
    static bool Find(Store& s, Store*& current, Hive hive, const std::string& fold, KeyRow* row) {
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
            throw DbError {rc};
        return found;
    }

    // Which file holds the key: nullptr when none does.
    Store* Locate(Store*& current, Hive hive, const std::string& fold, KeyRow* row = nullptr) {
        if (Find(Persistent(hive), current, hive, fold, row))
            return &Persistent(hive);
        if (!fold.empty() && Find(vol, current, hive, fold, row))
            return &vol;
        return nullptr;
    }

    // Reads one value of a key in one file: 1 = value read, 0 = key there but no value, -1 = no key.
    static int ReadIn(Store& s, Store*& current, Hive hive, const std::string& fold, const std::string& nameFold,
                      RegValue& out) {
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
            throw DbError {rc};
        return result;
    }

    static void InsertKey(Store& s, Hive hive, const std::string& path, const std::string& keyClass) {
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

    HRESULT CreateKey(Store*& current, Hive hive, const std::string& path, const std::string& keyClass,
                      bool isVolatile, bool* created) {
        std::string norm = NormalizePath(path);
        if (created != nullptr)
            *created = false;
        Store& pers = Persistent(hive);
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
            Store* where = Locate(current, hive, Fold(candidate), &row);
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

    HRESULT QueryValue(Store*& current, Hive hive, const std::string& path, const std::string& name, RegValue& out) {
        std::string fold = Fold(NormalizePath(path));
        std::string nameFold = Fold(name);
        int r = ReadIn(Persistent(hive), current, hive, fold, nameFold, out);
        if (r < 0 && !fold.empty())
            r = ReadIn(vol, current, hive, fold, nameFold, out);
        return r > 0 ? S_OK : kNotFound;
    }

    HRESULT SetValue(Store*& current, Hive hive, const std::string& path, const std::string& name,
                     const RegValue& value) {
        std::string fold = Fold(NormalizePath(path));
        std::string nameFold = Fold(name);
        for (Store* s : {&Persistent(hive), &vol}) {
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
    return impl_->Run([&](Store*& current) {
        return impl_->CreateKey(current, hive, path, keyClass, isVolatile, created);
    });
}

HRESULT CRegistry::OpenKey(Hive hive, const std::string& path, uint32_t /*access*/) {
    return KeyExists(hive, path) ? S_OK : kNotFound;
}

bool CRegistry::KeyExists(Hive hive, const std::string& path) {
    HRESULT hr = impl_->Run([&](Store*& current) {
        return impl_->Locate(current, hive, Fold(NormalizePath(path))) != nullptr ? S_OK : kNotFound;
    });
    return hr == S_OK;
}

bool CRegistry::IsVolatile(Hive hive, const std::string& path) {
    HRESULT hr = impl_->Run([&](Store*& current) {
        return impl_->Locate(current, hive, Fold(NormalizePath(path))) == &impl_->vol ? S_OK : S_FALSE;
    });
    return hr == S_OK;
}

HRESULT CRegistry::GetKeyClass(Hive hive, const std::string& path, std::string& keyClass) {
    return impl_->Run([&](Store*& current) {
        KeyRow row;
        if (impl_->Locate(current, hive, Fold(NormalizePath(path)), &row) == nullptr)
            return kNotFound;
        keyClass = row.keyClass;
        return S_OK;
    });
}

HRESULT CRegistry::GetKeyPath(Hive hive, const std::string& path, std::string& storedPath) {
    return impl_->Run([&](Store*& current) {
        KeyRow row;
        if (impl_->Locate(current, hive, Fold(NormalizePath(path)), &row) == nullptr)
            return kNotFound;
        storedPath = row.path;
        return S_OK;
    });
}

HRESULT CRegistry::QueryValue(Hive hive, const std::string& path, const std::string& name, RegValue& out) {
    return impl_->Run([&](Store*& current) { return impl_->QueryValue(current, hive, path, name, out); });
}

HRESULT CRegistry::SetValue(Hive hive, const std::string& path, const std::string& name, const RegValue& value) {
    return impl_->Run([&](Store*& current) { return impl_->SetValue(current, hive, path, name, value); });
}

HRESULT CRegistry::DeleteValue(Hive hive, const std::string& path, const std::string& name) {
    return impl_->Run([&](Store*& current) {
        std::string fold = Fold(NormalizePath(path));
        Store* s = impl_->Locate(current, hive, fold);
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
    return impl_->Run([&](Store*& current) {
        std::string fold = Fold(NormalizePath(path));
        Store& pers = impl_->Persistent(hive);
        if (impl_->Locate(current, hive, fold) == nullptr)
            return kNotFound;
        if (pers.ReadOnly())
            return E_ACCESSDENIED;
        // Volatile descendants first, so no volatile key is ever left without its persistent parent.
        for (Store* s : {&impl_->vol, &pers}) {
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
    return impl_->Run([&](Store*& current) {
        names.clear();
        std::string fold = Fold(NormalizePath(path));
        if (impl_->Locate(current, hive, fold) == nullptr)
            return kNotFound;
        std::vector<std::pair<std::string, std::string>> found; // folded name, name
        for (Store* s : {&impl_->Persistent(hive), &impl_->vol}) {
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
                throw DbError {rc};
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
    return impl_->Run([&](Store*& current) {
        values.clear();
        std::string fold = Fold(NormalizePath(path));
        Store* s = impl_->Locate(current, hive, fold);
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
            throw DbError {rc};
        return S_OK;
    });
}

namespace {
struct HiveAlias {
    const char* name;
    Hive hive;
};
constexpr HiveAlias kHiveAliases[] = {
    {"HKCU", Hive::CurrentUser},       {"HKEY_CURRENT_USER", Hive::CurrentUser},
    {"HKLM", Hive::LocalMachine},      {"HKEY_LOCAL_MACHINE", Hive::LocalMachine},
    {"HKCC", Hive::CurrentConfig},     {"HKEY_CURRENT_CONFIG", Hive::CurrentConfig},
    {"HKCR", Hive::ClassesRoot},       {"HKEY_CLASSES_ROOT", Hive::ClassesRoot},
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
