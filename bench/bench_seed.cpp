// Seeding of the default settings at start: a first run (every value written) and a later run (every value
// present, so seeding only reads), against one bare settings read for scale.
#include "app/CVidoraSettings.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CRegistry.h"
#include "platform/SettingsPrimitives.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {
void UseFreshStore(const QTemporaryDir& dir) {
    std::string root = dir.path().toStdString();
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root + "/runtime").c_str(), 1);
    setenv("VIDORA_MACHINE_DIR", (root + "/machine").c_str(), 1);
    setenv("VIDORA_COMMON_DATA_DIR", (root + "/common").c_str(), 1);
    CRegistry::ResetInstance();
}

void BM_SeedFirstRun(benchmark::State& state) {
    CVidoraOEMInfo oem;
    SetOEMInfo(&oem);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        UseFreshStore(dir);
        state.ResumeTiming();
        CVidoraSettings::SeedDefaults();
        state.PauseTiming();
        CRegistry::ResetInstance();
        state.ResumeTiming();
    }
    SetOEMInfo(nullptr);
}
BENCHMARK(BM_SeedFirstRun)->Unit(benchmark::kMicrosecond);

void BM_SeedLaterRun(benchmark::State& state) {
    CVidoraOEMInfo oem;
    SetOEMInfo(&oem);
    QTemporaryDir dir;
    UseFreshStore(dir);
    CVidoraSettings::SeedDefaults();
    for (auto _ : state)
        CVidoraSettings::SeedDefaults();
    SetOEMInfo(nullptr);
    CRegistry::ResetInstance();
}
BENCHMARK(BM_SeedLaterRun)->Unit(benchmark::kMicrosecond);

void BM_OneSettingsRead(benchmark::State& state) {
    QTemporaryDir dir;
    UseFreshStore(dir);
    Settings::WriteNumber("Software\\Bench", "Value", 1);
    uint32_t v = 0;
    for (auto _ : state) {
        Settings::ReadNumber("Software\\Bench", "Value", &v, 0);
        benchmark::DoNotOptimize(v);
    }
    CRegistry::ResetInstance();
}
BENCHMARK(BM_OneSettingsRead)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
