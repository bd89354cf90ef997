// Still capture latency from the call to the closed file, at 640x480 (live picture of the same size) and at
// 1280x960 (scaled up from the 960x720 live picture, as the capture window runs it), against a bare
// pipeline that encodes one frame of the same size with jpegenc into a file, measured in the same run.
#include "granite/capture/CCameraEnumerator.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/CStillCapture.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/IVideoCapture.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

using namespace Granite;

namespace {

struct Size {
    int32_t stillW, stillH, liveW, liveH;
};
constexpr Size kSizes[] = {{640, 480, 640, 480}, {1280, 960, 960, 720}};

void BM_StillCapture(benchmark::State& state) {
    const Size& size = kSizes[state.range(0)];
    CSimulatedHardware::SetCurrent(
        std::make_shared<CSimulatedHardware>(std::vector<DeviceRequest>{{DeviceKind::Camera, "full"}}));
    QTemporaryDir dir;
    ICameraEnumerator* cameras = CCameraEnumerator::Create();
    std::string name, path;
    cameras->item(0, &name, &path);
    IVideoCapture* capture = nullptr;
    cameras->createCapture(path, &capture);
    cameras->Release();
    if (capture == nullptr || FAILED(capture->setVideoFormat(size.liveW, size.liveH, 30)) ||
        FAILED(capture->setStillSize(size.stillW, size.stillH)) || FAILED(capture->start())) {
        state.SkipWithError("the simulated camera did not start");
        return;
    }
    const std::string file = dir.filePath("still.jpg").toStdString();
    for (auto _ : state) {
        IStillCapture* still = CStillCapture::Create();
        int32_t result = 0;
        if (FAILED(still->capture(file, 95, &result, 0, capture)) || result != 1)
            state.SkipWithError("capture failed");
        still->Release();
    }
    capture->stop();
    capture->Release();
    CSimulatedHardware::SetCurrent(nullptr);
}
BENCHMARK(BM_StillCapture)
    ->DenseRange(0, 1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_BareJpegPipeline(benchmark::State& state) {
    const Size& size = kSizes[state.range(0)];
    QTemporaryDir dir;
    const std::string description =
        "videotestsrc num-buffers=1 pattern=smpte100 ! video/x-raw,format=I420,width=" +
        std::to_string(size.stillW) + ",height=" + std::to_string(size.stillH) +
        " ! jpegenc quality=95 ! filesink location=" + dir.filePath("bare.jpg").toStdString();
    for (auto _ : state) {
        std::string why;
        auto pipeline = CGstPipeline::FromDescription(description, &why);
        if (!pipeline || FAILED(pipeline->SetState(GST_STATE_PLAYING, std::chrono::seconds(10))) ||
            FAILED(pipeline->WaitForEndOfStream(std::chrono::seconds(10)))) {
            state.SkipWithError("the bare pipeline failed");
            break;
        }
    }
}
BENCHMARK(BM_BareJpegPipeline)
    ->DenseRange(0, 1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Medians by name and size argument ("BM_StillCapture/0"), for the comparison printed at the end.
class CSizedMedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians; // microseconds, wall clock

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            if (run.aggregate_name != "median")
                continue;
            const double toMicros = benchmark::GetTimeUnitMultiplier(benchmark::kMicrosecond) /
                                    benchmark::GetTimeUnitMultiplier(run.time_unit);
            medians[run.run_name.function_name + "/" + run.run_name.args] =
                run.GetAdjustedRealTime() * toMicros;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CSizedMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int i = 0; i < 2; ++i) {
        const std::string arg = "/" + std::to_string(i);
        const double still = reporter.medians["BM_StillCapture" + arg],
                     bare = reporter.medians["BM_BareJpegPipeline" + arg];
        if (still > 0 && bare > 0)
            std::printf("still %dx%d: %.1f ms, bare jpegenc pipeline %.1f ms, ratio %.2f\n", kSizes[i].stillW,
                        kSizes[i].stillH, still / 1000, bare / 1000, still / bare);
    }
    benchmark::Shutdown();
    return 0;
}
