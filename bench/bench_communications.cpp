// Cost of listing the calling programs with 50 of them installed: the communications facade's
// RefreshApplications (the stand-in service reading the desktop entries, the mimeapps lists and this
// machine's real process table, then the facade's per-application calls and its three local probes), the
// service's refresh alone, and as the floor the bare reading of the same 50 desktop entry files in the
// same run. Prints "facade refresh median X us, service Y us, bare file reads Z us, ratio R" in wall-clock
// and CPU time.
#include "granite/comms/CGraniteCommsControl.h"
#include "granite/comms/CGraniteCommunicationsService.h"
#include "granite/comms/RegisterGraniteCommunicationsService.h"
#include "platform/CRegistry.h"
#include "services/IGraniteCommunicationsManager.h"

#include "CMedianReporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kPrograms = 50;

std::string g_dir;
std::vector<std::string> g_entryFiles;

void WriteFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Half of the programs are known by their desktop id, half only by their categories; each has a program
// file on PATH and a translated name, as packaged programs do.
void InstallPrograms() {
    const char* knownIds[] = {
        "skypeforlinux", "zoom",    "teams",  "jitsi-meet", "signal-desktop",  "discord", "slack", "jami",
        "linphone",      "empathy", "pidgin", "mumble",     "element-desktop", "viber",   "webex"};
    for (int i = 0; i < kPrograms; ++i) {
        std::string program = "chat" + std::to_string(i);
        std::string id = i < 15 ? std::string(knownIds[i]) : "org.example.Chat" + std::to_string(i);
        std::string bin = g_dir + "/bin/" + program;
        WriteFile(bin, "#!/bin/sh\n");
        std::filesystem::permissions(bin, std::filesystem::perms::owner_all);
        std::string entry = g_dir + "/data/applications/" + id + ".desktop";
        WriteFile(entry, "[Desktop Entry]\nType=Application\nName=Chat " + std::to_string(i) +
                             "\nName[de]=Plaudern " + std::to_string(i) +
                             "\nComment=Talk to friends\nExec=" + program +
                             " --profile \"default one\" %U\nIcon=" + program + "\nCategories=Network;" +
                             (i % 2 == 0 ? "VideoConference;" : "InstantMessaging;") +
                             "\nMimeType=x-scheme-handler/callto;\n");
        g_entryFiles.push_back(entry);
    }
    // Other programs a desktop has, which the scan must pass over.
    for (int i = 0; i < 100; ++i)
        WriteFile(g_dir + "/data/applications/org.example.Tool" + std::to_string(i) + ".desktop",
                  "[Desktop Entry]\nType=Application\nName=Tool\nExec=tool\nCategories=Utility;\n");
    WriteFile(g_dir + "/config/mimeapps.list",
              "[Default Applications]\nx-scheme-handler/callto=zoom.desktop\n");
}

void BM_FacadeRefresh50(benchmark::State& state) {
    IGraniteCommunicationsManager* manager = GetGraniteCommunicationsManager();
    if (manager == nullptr) {
        state.SkipWithError("no communications facade");
        return;
    }
    for (auto _ : state) {
        manager->RefreshApplications();
        benchmark::DoNotOptimize(manager->GetApplicationCount());
    }
    if (manager->GetApplicationCount() != kPrograms + 3)
        state.SkipWithError("unexpected number of applications");
    manager->Release();
    QCoreApplication::processEvents();
}

void BM_ServiceRefresh50(benchmark::State& state) {
    void* object = nullptr;
    Granite::CGraniteCommunicationsService::Create(IID_ICommunicationsService, &object);
    auto* service = static_cast<ICommunicationsService*>(object);
    int32_t count = 0;
    for (auto _ : state) {
        service->RefreshApplications();
        service->GetApplicationCount(&count);
        benchmark::DoNotOptimize(count);
    }
    service->Release();
}

void BM_BareReadEntries50(benchmark::State& state) {
    std::string text;
    for (auto _ : state) {
        for (const std::string& file : g_entryFiles) {
            std::ifstream in(file, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            benchmark::DoNotOptimize(text.data());
        }
    }
}

BENCHMARK(BM_FacadeRefresh50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServiceRefresh50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareReadEntries50)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    g_dir = dir.path().toStdString();
    // A private desktop and settings store: the user's real programs and settings are never touched.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_DATA_HOME", (g_dir + "/data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (g_dir + "/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_dir + "/config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (g_dir + "/etc-xdg").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (g_dir + "/runtime").c_str(), 1);
    setenv("VIDORA_MACHINE_DIR", (g_dir + "/machine").c_str(), 1);
    setenv("PATH", (g_dir + "/bin").c_str(), 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    CRegistry::ResetInstance();
    InstallPrograms();

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    RegisterGraniteCommunicationsService();
    // Only the refreshes are timed: the service's own watch stays asleep.
    Granite::CGraniteCommsControl::Instance().SetPollInterval(std::chrono::hours(1));

    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=9";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    bool hasReps = false;
    for (int i = 1; i < argc; ++i)
        hasReps = hasReps || std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    if (!hasReps) {
        args.push_back(reps.data());
        args.push_back(aggregates.data());
    }
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    double facade = reporter.medians["BM_FacadeRefresh50"];
    double service = reporter.medians["BM_ServiceRefresh50"];
    double bare = reporter.medians["BM_BareReadEntries50"];
    double cpuFacade = reporter.cpuMedians["BM_FacadeRefresh50"];
    double cpuBare = reporter.cpuMedians["BM_BareReadEntries50"];
    if (facade > 0 && bare > 0 && cpuBare > 0)
        std::printf("\nfacade refresh median %.1f us (%.1f us per program), service %.1f us, bare file reads "
                    "%.1f us, ratio %.1f (CPU time %.1f us vs %.1f us, ratio %.1f)\n",
                    facade, facade / kPrograms, service, bare, facade / bare, cpuFacade, cpuBare,
                    cpuFacade / cpuBare);
    UnregisterGraniteCommunicationsService();
    CRegistry::ResetInstance();
    benchmark::Shutdown();
    return 0;
}
