// Cost of the settings primitives against the floor SQLite itself sets: a bare prepared statement on an
// equivalent table (key path, value name, type, data; WAL mode, the same synchronous level) in the same run.
// Prints "ReadNumber median X us, bare Y us, ratio Z" for each primitive.
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"

#include "CMedianReporter.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

const std::string kRoot = "Software\\Brenmoor\\Vidora10";

std::string g_dir;

// The bare baseline: one table, one connection, one prepared statement per operation.
class BareStore {
public:
    BareStore() {
        std::string path = g_dir + "/bare.db";
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr);
        sqlite3_exec(db_,
                     "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                     "CREATE TABLE IF NOT EXISTS kv(key TEXT, name TEXT, type INTEGER, data BLOB, "
                     "PRIMARY KEY(key, name)) WITHOUT ROWID;",
                     nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db_, "SELECT type, data FROM kv WHERE key = ?1 AND name = ?2", -1, &read_,
                           nullptr);
        sqlite3_prepare_v2(db_, "INSERT OR REPLACE INTO kv VALUES(?1, ?2, ?3, ?4)", -1, &write_, nullptr);
    }
    ~BareStore() {
        sqlite3_finalize(read_);
        sqlite3_finalize(write_);
        sqlite3_close(db_);
    }

    void Write(const std::string& key, const std::string& name, uint32_t type, int64_t number,
               const std::string& text) {
        sqlite3_bind_text(write_, 1, key.data(), int(key.size()), SQLITE_STATIC);
        sqlite3_bind_text(write_, 2, name.data(), int(name.size()), SQLITE_STATIC);
        sqlite3_bind_int(write_, 3, int(type));
        if (type == REG_DWORD)
            sqlite3_bind_int64(write_, 4, number);
        else
            sqlite3_bind_text(write_, 4, text.data(), int(text.size()), SQLITE_STATIC);
        sqlite3_step(write_);
        sqlite3_reset(write_);
    }

    uint32_t ReadNumber(const std::string& key, const std::string& name) {
        sqlite3_bind_text(read_, 1, key.data(), int(key.size()), SQLITE_STATIC);
        sqlite3_bind_text(read_, 2, name.data(), int(name.size()), SQLITE_STATIC);
        uint32_t v = 0;
        if (sqlite3_step(read_) == SQLITE_ROW)
            v = uint32_t(sqlite3_column_int64(read_, 1));
        sqlite3_reset(read_);
        return v;
    }

    std::string ReadString(const std::string& key, const std::string& name) {
        sqlite3_bind_text(read_, 1, key.data(), int(key.size()), SQLITE_STATIC);
        sqlite3_bind_text(read_, 2, name.data(), int(name.size()), SQLITE_STATIC);
        std::string v;
        if (sqlite3_step(read_) == SQLITE_ROW)
            v.assign(reinterpret_cast<const char*>(sqlite3_column_text(read_, 1)),
                     sqlite3_column_bytes(read_, 1));
        sqlite3_reset(read_);
        return v;
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* read_ = nullptr;
    sqlite3_stmt* write_ = nullptr;
};

BareStore& Bare() {
    static BareStore store;
    return store;
}

// Both stores hold the same realistic amount of settings: about a hundred values under the root and a few
// camera keys.
void Populate() {
    static bool done = false;
    if (done)
        return;
    done = true;
    for (int i = 0; i < 100; ++i) {
        std::string name = "Value" + std::to_string(i);
        Settings::WriteNumber(kRoot, name.c_str(), uint32_t(i));
        Bare().Write(kRoot, name, REG_DWORD, i, "");
    }
    for (int c = 0; c < 5; ++c) {
        std::string key = kRoot + "\\Cameras\\Camera " + std::to_string(c);
        Settings::WriteNumber(key, "STMode", 5);
        Bare().Write(key, "STMode", REG_DWORD, 5, "");
    }
    const std::string path = "/usr/share/vidora/Brenmoor/Vidora/PrivacyShades/ps_default.jpg";
    Settings::WriteString(kRoot, "PrivacyShadeFilename", path.c_str());
    Bare().Write(kRoot, "PrivacyShadeFilename", REG_SZ, 0, path);
}

void BM_ReadNumber(benchmark::State& state) {
    Populate();
    uint32_t v = 0;
    for (auto _ : state) {
        Settings::ReadNumber(kRoot, "Value42", &v, 0);
        benchmark::DoNotOptimize(v);
    }
}

void BM_BareReadNumber(benchmark::State& state) {
    Populate();
    for (auto _ : state)
        benchmark::DoNotOptimize(Bare().ReadNumber(kRoot, "Value42"));
}

void BM_ReadString(benchmark::State& state) {
    Populate();
    std::string s;
    for (auto _ : state) {
        Settings::ReadString(kRoot, "PrivacyShadeFilename", &s, "");
        benchmark::DoNotOptimize(s);
    }
}

void BM_BareReadString(benchmark::State& state) {
    Populate();
    for (auto _ : state)
        benchmark::DoNotOptimize(Bare().ReadString(kRoot, "PrivacyShadeFilename"));
}

void BM_WriteNumber(benchmark::State& state) {
    Populate();
    uint32_t i = 0;
    for (auto _ : state)
        Settings::WriteNumber(kRoot, "RibbonXPos", ++i);
}

void BM_BareWriteNumber(benchmark::State& state) {
    Populate();
    uint32_t i = 0;
    for (auto _ : state)
        Bare().Write(kRoot, "RibbonXPos", REG_DWORD, ++i, "");
}

BENCHMARK(BM_ReadNumber);
BENCHMARK(BM_BareReadNumber);
BENCHMARK(BM_ReadString);
BENCHMARK(BM_BareReadString);
BENCHMARK(BM_WriteNumber);
BENCHMARK(BM_BareWriteNumber);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    g_dir = dir.path().toStdString();
    // A private store: the user's real settings are never touched.
    setenv("XDG_CONFIG_HOME", (g_dir + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (g_dir + "/runtime").c_str(), 1);
    setenv("VIDORA_MACHINE_DIR", (g_dir + "/machine").c_str(), 1);
    CRegistry::ResetInstance();

    // Medians of several repetitions unless the caller asks otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=7";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    bool hasReps = false;
    for (int i = 1; i < argc; ++i)
        hasReps = hasReps || std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    if (!hasReps) {
        args.push_back(reps.data());
        args.push_back(aggregates.data());
    }
    // Fill both stores and warm the caches before anything is timed, so the first benchmark pays no more
    // than the others.
    Populate();
    for (int i = 0; i < 2000; ++i) {
        uint32_t v = 0;
        Settings::ReadNumber(kRoot, "Value42", &v, 0);
        benchmark::DoNotOptimize(Bare().ReadNumber(kRoot, "Value42"));
    }

    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n");
    for (const char* op : {"ReadNumber", "ReadString", "WriteNumber"}) {
        auto ours = reporter.medians.find(std::string("BM_") + op);
        auto bare = reporter.medians.find(std::string("BM_Bare") + op);
        if (ours == reporter.medians.end() || bare == reporter.medians.end() || bare->second <= 0)
            continue;
        double cpuOurs = reporter.cpuMedians[ours->first], cpuBare = reporter.cpuMedians[bare->first];
        std::printf("%s median %.2f us, bare %.2f us, ratio %.2f (CPU time %.2f us vs %.2f us, ratio %.2f)\n",
                    op, ours->second, bare->second, ours->second / bare->second, cpuOurs, cpuBare,
                    cpuBare > 0 ? cpuOurs / cpuBare : 0.0);
    }
    CRegistry::ResetInstance();
    benchmark::Shutdown();
    return 0;
}
