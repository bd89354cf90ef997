#include "platform/CRegistryStore.h"

#include "platform/DebugOutput.h"
#include "platform/SpecialFolders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace RegistryDb;

// The layout of every hive file is described in CRegistry.cpp.

namespace {

constexpr const char* kFormatTag = "vidora-registry";
constexpr const char* kFormatVersion = "1";
// How long an operation waits for another process's write before it gives up.
constexpr int kBusyTimeoutMs = 5000;

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

// The files the stores of this process have open, by device and inode, with how many stores hold each.
// The process-wide store can close at exit, after ordinary statics are gone: these three are made once and
// never destroyed.
std::mutex& g_openFilesMutex = *new std::mutex;
std::map<std::pair<dev_t, ino_t>, int>& g_openFiles = *new std::map<std::pair<dev_t, ino_t>, int>;
// Held while a store opens its file (taken before g_openFilesMutex when both are needed).
std::mutex& g_openingMutex = *new std::mutex;

bool IsBusy(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

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

std::string TimeStamp() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

} // namespace

namespace RegistryDb {

bool IsCorruption(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
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

} // namespace RegistryDb

CRegistryStore::CRegistryStore(std::string path, Kind kind) : path_(std::move(path)), kind_(kind) {}

CRegistryStore::~CRegistryStore() {
    Close();
}

bool CRegistryStore::Ensure() {
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

int CRegistryStore::Exec(Stmt s) {
    sqlite3_stmt* st = stmts_[s];
    int rc = sqlite3_step(st);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(st);
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (rc != SQLITE_DONE)
        throw DbError{rc};
    return sqlite3_changes(db_);
}

void CRegistryStore::Begin() {
    Exec(kBegin);
}

void CRegistryStore::Commit() {
    Exec(kCommit);
}

void CRegistryStore::Rollback() {
    if (db_ != nullptr && !sqlite3_get_autocommit(db_)) {
        sqlite3_stmt* st = stmts_[kRollback];
        sqlite3_step(st);
        sqlite3_reset(st);
    }
}

void CRegistryStore::RecoverFromCorruption(int rc) {
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

void CRegistryStore::Close() {
    for (auto& st : stmts_) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    if (db_ != nullptr)
        sqlite3_close_v2(db_);
    db_ = nullptr;
    if (registered_) {
        std::lock_guard<std::mutex> lock(g_openFilesMutex);
        auto it = g_openFiles.find({dev_, ino_});
        if (it != g_openFiles.end() && --it->second == 0)
            g_openFiles.erase(it);
        registered_ = false;
    }
}

bool CRegistryStore::FileReplaced() {
    if (dev_ == 0 && ino_ == 0)
        return false; // in memory
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    int64_t ms = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    if (ms - lastIdentityCheckMs_ < 250)
        return false;
    lastIdentityCheckMs_ = ms;
    struct stat st {};
    return ::stat(path_.c_str(), &st) != 0 || st.st_dev != dev_ || st.st_ino != ino_;
}

void CRegistryStore::RememberIdentity() {
    struct stat st {};
    dev_ = 0;
    ino_ = 0;
    if (::stat(path_.c_str(), &st) == 0) {
        dev_ = st.st_dev;
        ino_ = st.st_ino;
        std::lock_guard<std::mutex> lock(g_openFilesMutex);
        ++g_openFiles[{dev_, ino_}];
        registered_ = true;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    lastIdentityCheckMs_ = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool CRegistryStore::CanWriteDir() const {
    return ::access(DirName(path_).c_str(), W_OK) == 0;
}

void CRegistryStore::Open() {
    // One store of this process opens a file at a time, so the header check of LooksLikeSqlite never runs
    // beside another store's opening of the same file.
    std::lock_guard<std::mutex> lock(g_openingMutex);
    readOnly_ = false;
    std::string dir = DirName(path_);
    if (!SpecialFolders::CreateFolderTree(dir) || !CanWriteDir()) {
        OpenUnwritable("its folder cannot be created or written");
        return;
    }
    bool existed = FileExists(path_);
    std::string reason;
    int rc = TryOpenWaiting(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, reason);
    if (rc == SQLITE_OK || IsBusy(rc))
        return; // busy: another process holds the file longer than we wait; the next call tries again
    if (IsCorruption(rc) || (existed && IsUnreadable(rc))) {
        MoveAside(reason);
        rc = TryOpenWaiting(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, reason);
        if (rc == SQLITE_OK || IsBusy(rc))
            return;
    }
    OpenFallback(reason);
}

int CRegistryStore::TryOpenWaiting(int flags, std::string& reason) {
    // Opening can meet a lock that SQLite does not wait for through the busy handler (another process
    // switching a new file to WAL or recovering its journal). Wait here as long as the busy timeout would.
    int waitedMs = 0;
    for (int delayMs = 1;; delayMs = std::min(delayMs * 2, 100)) {
        int rc = TryOpen(flags, reason);
        if (!IsBusy(rc) || waitedMs >= kBusyTimeoutMs)
            return rc;
        ::usleep(static_cast<useconds_t>(delayMs) * 1000);
        waitedMs += delayMs;
    }
}

void CRegistryStore::OpenUnwritable(const std::string& why) {
    if (kind_ == Kind::Machine) {
        std::string reason;
        if (FileExists(path_) && TryOpenWaiting(SQLITE_OPEN_READONLY, reason) == SQLITE_OK) {
            readOnly_ = true;
            return;
        }
        unavailable_ = true;
        return;
    }
    OpenFallback(why);
}

void CRegistryStore::OpenFallback(const std::string& why) {
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

int CRegistryStore::Fail(int rc, std::string& reason, const std::string& what) {
    reason = what.empty() ? std::string(sqlite3_errstr(rc)) : what;
    Close();
    return rc == SQLITE_OK ? SQLITE_CORRUPT : rc;
}

int CRegistryStore::TryOpen(int flags, std::string& reason) {
    bool memory = (flags & SQLITE_OPEN_MEMORY) != 0;
    bool writable = (flags & SQLITE_OPEN_READWRITE) != 0;
    if (!memory && !LooksLikeSqlite(reason))
        return SQLITE_NOTADB;
    int rc = sqlite3_open_v2(path_.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        return Fail(rc, reason, "");
    sqlite3_extended_result_codes(db_, 1);
    // Another process may be writing; wait for it rather than fail.
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
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
        // Switching needs the file to itself; a file already in WAL mode is left alone.
        std::string mode;
        if ((rc = QueryText("PRAGMA journal_mode", mode)) != SQLITE_OK)
            return Fail(rc, reason, "");
        if (mode != "wal" && (rc = QueryText("PRAGMA journal_mode=WAL", mode)) != SQLITE_OK)
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

bool CRegistryStore::LooksLikeSqlite(std::string& reason) const {
    // Closing any descriptor of a file drops every POSIX lock this process holds on it, SQLite's too: a file
    // another store of this process has open was checked by it and must not be touched here.
    struct stat st {};
    if (::stat(path_.c_str(), &st) == 0) {
        std::lock_guard<std::mutex> lock(g_openFilesMutex);
        if (g_openFiles.count({st.st_dev, st.st_ino}) > 0)
            return true;
    }
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

int CRegistryStore::CreateSchema() {
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

int CRegistryStore::ExecSql(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

int CRegistryStore::QueryText(const char* sql, std::string& out) {
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

int CRegistryStore::QueryInt(const char* sql, int& out) {
    std::string text;
    int rc = QueryText(sql, text);
    out = rc == SQLITE_OK ? std::atoi(text.c_str()) : 0;
    return rc;
}

void CRegistryStore::MoveAside(const std::string& reason) {
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
