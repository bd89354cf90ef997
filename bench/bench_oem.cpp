// Placeholder expansion of a typical interface text against an OEM document of 200 texts (each with a
// French and an English string), compared with the same expansion when no document is installed, so only
// the built-in placeholders are applied. The ratio is the price a reseller's document adds to every label.
#include "config/CVidoraOEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/ExecutablePath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {
constexpr int kTexts = 200;
const std::string kText = "Welcome to %ph7% by %company%. Updates: %web:product% (%ph150%, %captureWindow%)";

void WriteDocument(const QString& exeDir) {
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Oem>\n<Texts>\n";
    for (int i = 0; i < kTexts; ++i) {
        std::string n = std::to_string(i);
        doc += "  <Text Id=\"%ph" + n + "%\"><String LanguageId=\"1036\" StringValue=\"Texte " + n +
               "\"/><String LanguageId=\"1033\" StringValue=\"Text " + n + " of %product%\"/></Text>\n";
    }
    doc += "</Texts>\n</Oem>\n";
    QDir().mkpath(exeDir + "/OEM");
    QFile file(exeDir + "/OEM/OEM.xml");
    if (file.open(QIODevice::WriteOnly))
        file.write(doc.data(), static_cast<qint64>(doc.size()));
}

void Expand(benchmark::State& state, bool withDocument) {
    QTemporaryDir dir;
    if (withDocument)
        WriteDocument(dir.path());
    SetExecutableDirForTests(dir.path().toStdString());
    SetUiLanguage(1031); // no German strings: every selection falls through to English
    CVidoraOEMInfo info;
    std::string expected = info.ExpandText(kText);
    for (auto _ : state) {
        std::string expanded = info.ExpandText(kText);
        benchmark::DoNotOptimize(expanded);
    }
    state.SetLabel(expected.substr(0, 40));
    SetExecutableDirForTests("");
}

void BM_ExpandText_200Texts(benchmark::State& state) {
    Expand(state, true);
}
void BM_ExpandText_NoDocument(benchmark::State& state) {
    Expand(state, false);
}

BENCHMARK(BM_ExpandText_200Texts)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ExpandText_NoDocument)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// Keeps the CPU-time medians for the closing comparison.
class CMedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto with = reporter.medians.find("BM_ExpandText_200Texts");
    auto without = reporter.medians.find("BM_ExpandText_NoDocument");
    if (with != reporter.medians.end() && without != reporter.medians.end() && without->second > 0) {
        std::printf("\nExpandText of one interface text with a 200-text OEM document: %.2f us median (CPU "
                    "time: the build machine is shared);\n"
                    "without a document (built-in placeholders only): %.2f us; the document costs %.1fx.\n",
                    with->second, without->second, with->second / without->second);
    }
    benchmark::Shutdown();
    return 0;
}
