#pragma once
// One SQLite file of the settings store (the user's file, the volatile file or the machine file): its
// connection, its prepared statements, the checks when it opens and the recovery from a damaged file. Only
// CRegistry uses it; CRegistry's mutex serialises every call.
#include "platform/HResult.h"

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <string>

namespace RegistryDb {

// The prepared statements, one set per file.
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

// Thrown inside the store's implementation only; every public operation of CRegistry turns it into a
// result code.
struct DbError {
    int rc;
};

bool IsCorruption(int rc);
HRESULT HResultFromSqlite(int rc);

} // namespace RegistryDb

class CRegistryStore {
public:
    enum class Kind { User, Volatile, Machine };

    CRegistryStore(std::string path, Kind kind);
    ~CRegistryStore();
    CRegistryStore(const CRegistryStore&) = delete;
    CRegistryStore& operator=(const CRegistryStore&) = delete;

    // Opens on first use. False when the file cannot be used at all (machine file without access).
    bool Ensure();
    bool ReadOnly() const { return readOnly_; }
    const std::string& Path() const { return path_; }
    sqlite3_stmt* Get(RegistryDb::Stmt s) { return stmts_[s]; }
    // Runs a statement to completion; the caller has bound its parameters. Returns the number of changed
    // rows.
    int Exec(RegistryDb::Stmt s);
    void Begin();
    void Commit();
    void Rollback();
    // The file turned out to be damaged while in use: move it aside and start a fresh one.
    void RecoverFromCorruption(int rc);
    void Close();

private:
    // Whether the file at our path is no longer the one we have open. Checked at most four times a second,
    // so a read stays one SELECT and a few nanoseconds of clock.
    bool FileReplaced();
    // Notes which file we opened (device and inode).
    void RememberIdentity();
    bool CanWriteDir() const;
    void Open();
    // The folder is not ours to write (the machine folder as a normal user): read what is there, if anything.
    void OpenUnwritable(const std::string& why);
    // The user's own files must always work: without a usable file the settings live in memory for this run.
    void OpenFallback(const std::string& why);
    int Fail(int rc, std::string& reason, const std::string& what);
    // Opens and checks the file. SQLITE_OK, or an error code with `reason` filled and the connection closed.
    // A damaged or foreign file is only read, never changed, before it is found wanting: it must reach the
    // place it is moved to as it was.
    int TryOpen(int flags, std::string& reason);
    // TryOpen, again and again while another process holds the file, for as long as the busy timeout.
    int TryOpenWaiting(int flags, std::string& reason);
    // An empty or missing file is a new store; anything else must carry SQLite's header. Checked before
    // SQLite sees the file, which would otherwise discard a journal it cannot make sense of.
    bool LooksLikeSqlite(std::string& reason) const;
    int CreateSchema();
    int ExecSql(const char* sql);
    int QueryText(const char* sql, std::string& out);
    int QueryInt(const char* sql, int& out);
    // Renames the damaged file and its journal files, never deletes them, and says so once.
    void MoveAside(const std::string& reason);

    std::string path_;
    Kind kind_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmts_[RegistryDb::kStmtCount] = {};
    bool readOnly_ = false;
    bool unavailable_ = false;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    int64_t lastIdentityCheckMs_ = 0;
    bool registered_ = false; // counted among the files this process has open
};
