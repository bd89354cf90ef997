#include "platform/GlobalAtoms.h"

#include "platform/DebugOutput.h"
#include "platform/SpecialFolders.h"

#include <QList>
#include <QString>

#include <sqlite3.h>

#include <cstdio>

namespace GlobalAtoms {
namespace {

constexpr int kBusyTimeoutMs = 5000;

// One connection per call: cheap on a file this small, and nothing is shared with a forked child.
class CAtomDb {
public:
    CAtomDb() {
        std::string path = TablePath();
        if (path.empty())
            return; // no private runtime folder: no table rather than one in a folder others may use
        if (Open(path) || !damaged_)
            return;
        // A file that is not a database (a crash while it was created, a stray file of that name) is
        // replaced: the atoms it held are lost either way.
        OutputDebugString("GlobalAtoms: the atom table was unreadable and is started afresh");
        std::remove(path.c_str());
        Open(path);
    }
    ~CAtomDb() {
        if (db_)
            sqlite3_close(db_);
    }
    CAtomDb(const CAtomDb&) = delete;
    CAtomDb& operator=(const CAtomDb&) = delete;

    sqlite3* Handle() const { return db_; }

    bool Exec(const char* sql) {
        return db_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    // Runs `body` inside a write transaction taken up front, so two processes adding the same text cannot
    // both find it missing.
    template <class F> auto Write(F body, decltype(body()) failed) -> decltype(body()) {
        if (!Exec("BEGIN IMMEDIATE"))
            return failed;
        auto result = body();
        if (result == failed || !Exec("COMMIT")) {
            Exec("ROLLBACK");
            return failed;
        }
        return result;
    }

private:
    bool Open(const std::string& path) {
        damaged_ = false;
        if (sqlite3_open_v2(path.c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            Close();
            return false;
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        // The table dies with the session anyway: a process that ends mid-write cannot damage it (the
        // journal is still kept), and nothing needs to survive a power cut, so no flushes to the disk.
        Exec("PRAGMA synchronous = OFF");
        if (!Exec("CREATE TABLE IF NOT EXISTS atoms (atom INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                  "folded TEXT NOT NULL UNIQUE, refs INTEGER NOT NULL)")) {
            // Only a damaged file is worth replacing; a busy or unwritable one is not.
            int code = sqlite3_errcode(db_);
            damaged_ = code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
            Close();
            return false;
        }
        return true;
    }
    void Close() {
        if (db_)
            sqlite3_close(db_);
        db_ = nullptr;
    }

    sqlite3* db_ = nullptr;
    bool damaged_ = false;
};

class CStatement {
public:
    CStatement(sqlite3* db, const char* sql) {
        if (db)
            sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~CStatement() { sqlite3_finalize(stmt_); }
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;

    bool Ok() const { return stmt_ != nullptr; }
    void Bind(int index, int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    void Bind(int index, const std::string& value) {
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
    int64_t Int(int column) { return sqlite3_column_int64(stmt_, column); }
    std::string Text(int column) {
        const unsigned char* text = sqlite3_column_text(stmt_, column);
        return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// The comparison key of a text: case-folded, so "Avatar" and "AVATAR" share an atom. Nothing when the
// text cannot be an atom.
bool Fold(const std::string& text, std::string& folded) {
    if (text.empty() || text.size() > kMaxLength * 4)
        return false;
    QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (decoded.toUtf8() != QByteArray(text.data(), static_cast<qsizetype>(text.size())))
        return false; // not valid UTF-8: it would not come back as it went in
    if (static_cast<size_t>(decoded.toUcs4().size()) > kMaxLength)
        return false;
    folded = decoded.toCaseFolded().toStdString();
    return true;
}

ATOM FindIn(CAtomDb& db, const std::string& folded) {
    CStatement find(db.Handle(), "SELECT atom FROM atoms WHERE folded = ?1");
    find.Bind(1, folded);
    return find.Step() == SQLITE_ROW ? static_cast<ATOM>(find.Int(0)) : 0;
}

// The lowest number not in use; 0 when all are taken.
ATOM FreeAtom(CAtomDb& db) {
    CStatement first(db.Handle(), "SELECT 1 FROM atoms WHERE atom = ?1");
    first.Bind(1, kFirstAtom);
    int rc = first.Step();
    if (rc == SQLITE_DONE)
        return kFirstAtom;
    if (rc != SQLITE_ROW)
        return 0;
    CStatement gap(db.Handle(), "SELECT a.atom + 1 FROM atoms a WHERE a.atom + 1 <= ?1 AND NOT EXISTS "
                                "(SELECT 1 FROM atoms b WHERE b.atom = a.atom + 1) ORDER BY a.atom LIMIT 1");
    gap.Bind(1, kLastAtom);
    return gap.Step() == SQLITE_ROW ? static_cast<ATOM>(gap.Int(0)) : 0;
}

} // namespace

std::string TablePath() {
    const std::string folder = SpecialFolders::RuntimeDir();
    return folder.empty() ? std::string() : folder + "/atoms.sqlite";
}

ATOM Add(const std::string& text) {
    std::string folded;
    if (!Fold(text, folded))
        return 0;
    CAtomDb db;
    if (!db.Handle())
        return 0;
    return db.Write(
        [&]() -> ATOM {
            if (ATOM atom = FindIn(db, folded)) {
                CStatement ref(db.Handle(), "UPDATE atoms SET refs = refs + 1 WHERE atom = ?1");
                ref.Bind(1, atom);
                return ref.Step() == SQLITE_DONE ? atom : 0;
            }
            ATOM atom = FreeAtom(db);
            if (atom == 0)
                return 0;
            CStatement insert(db.Handle(),
                              "INSERT INTO atoms (atom, name, folded, refs) VALUES (?1, ?2, ?3, 1)");
            insert.Bind(1, atom);
            insert.Bind(2, text);
            insert.Bind(3, folded);
            return insert.Step() == SQLITE_DONE ? atom : 0;
        },
        ATOM{0});
}

ATOM Find(const std::string& text) {
    std::string folded;
    if (!Fold(text, folded))
        return 0;
    CAtomDb db;
    return db.Handle() ? FindIn(db, folded) : 0;
}

bool GetName(ATOM atom, std::string& text) {
    text.clear();
    if (atom < kFirstAtom)
        return false;
    CAtomDb db;
    CStatement get(db.Handle(), "SELECT name FROM atoms WHERE atom = ?1");
    if (!get.Ok())
        return false;
    get.Bind(1, atom);
    if (get.Step() != SQLITE_ROW)
        return false;
    text = get.Text(0);
    return true;
}

ATOM Delete(ATOM atom) {
    if (atom < kFirstAtom)
        return atom;
    CAtomDb db;
    if (!db.Handle())
        return atom;
    bool done = db.Write(
        [&]() -> bool {
            CStatement drop(db.Handle(), "UPDATE atoms SET refs = refs - 1 WHERE atom = ?1");
            drop.Bind(1, atom);
            if (drop.Step() != SQLITE_DONE || sqlite3_changes(db.Handle()) != 1)
                return false;
            CStatement purge(db.Handle(), "DELETE FROM atoms WHERE atom = ?1 AND refs <= 0");
            purge.Bind(1, atom);
            return purge.Step() == SQLITE_DONE;
        },
        false);
    return done ? 0 : atom;
}

} // namespace GlobalAtoms
