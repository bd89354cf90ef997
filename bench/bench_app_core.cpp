// Start-up pieces that touch the operating system: the per-user process test (the whole process table is
// read each time), against reading one process's entry for scale; and the instance mutex, whose creation
// and close run on every start, against opening and closing a plain file in the same folder.
#include "app/CSessionIdentifierApp.h"
#include "platform/CNamedMutex.h"
#include "platform/CProcessTable.h"
#include "platform/SpecialFolders.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {
void BM_IsPIDInCurrentSession(benchmark::State& state) {
    CSessionIdentifierApp session;
    uint32_t self = static_cast<uint32_t>(getpid());
    for (auto _ : state)
        benchmark::DoNotOptimize(session.IsPIDInCurrentSession(self));
    state.counters["processes"] = static_cast<double>(session.GetEnumeratedCount());
}
BENCHMARK(BM_IsPIDInCurrentSession)->Unit(benchmark::kMicrosecond);

void BM_OneProcessOwner(benchmark::State& state) {
    CProcessTable table;
    for (auto _ : state)
        benchmark::DoNotOptimize(table.OwnerOf("self"));
}
BENCHMARK(BM_OneProcessOwner)->Unit(benchmark::kMicrosecond);

void BM_InstanceMutexCreateClose(benchmark::State& state) {
    for (auto _ : state) {
        CNamedMutex m;
        benchmark::DoNotOptimize(m.Create("VIDORA10_UNIQUE6712250", false));
    }
}
BENCHMARK(BM_InstanceMutexCreateClose)->Unit(benchmark::kMicrosecond);

void BM_PlainFileOpenClose(benchmark::State& state) {
    std::string path = SpecialFolders::RuntimeDir() + "/bench-plain-file";
    for (auto _ : state) {
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        benchmark::DoNotOptimize(fd);
        close(fd);
    }
    unlink(path.c_str());
}
BENCHMARK(BM_PlainFileOpenClose)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
