// Opening a real camera: the device service's open (sysfs, the node, every control enumerated and read,
// control events subscribed) on the fake device layer, against a bare test-source pipeline's time to its
// first frame; and, on a machine with a camera, the whole open to the first frame (the service's open plus
// the capture objects' v4l2src source) against a bare v4l2src pipeline's first frame, in the same run.
#include "CMedianReporter.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/CV4l2Camera.h"
#include "granite/v4l2/CV4l2Cameras.h"
#include "granite/v4l2/CV4l2SystemDevice.h"
#include "support/CFakeV4l2Camera.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <gst/app/gstappsink.h>

#include <cstdio>
#include <filesystem>
#include <memory>

using namespace Granite;

namespace {
// Each pipeline start is milliseconds: a fixed count keeps the run short, and the process's open files
// few (every pipeline made through CGstPipeline keeps two until the process ends).
constexpr int kPipelineRuns = 20;
std::string g_realNode; // "video0" of the first capture node, empty when the machine has none

bool FirstFrame(CGstPipeline& pipeline) {
    GstElementPtr sink = pipeline.ByName("sink");
    if (!sink || FAILED(pipeline.SetState(GST_STATE_PLAYING, std::chrono::seconds(10))))
        return false;
    GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), 10 * GST_SECOND);
    const bool ok = sample != nullptr;
    if (sample != nullptr)
        gst_sample_unref(sample);
    pipeline.SetState(GST_STATE_NULL, std::chrono::seconds(5));
    return ok;
}

void BM_FakeLayerOpen(benchmark::State& state) {
    QTemporaryDir sysfs;
    const std::string root = sysfs.path().toStdString();
    WriteFakeSysfsNode(root, "video0", "Bench Camera", "1-1", "046d", "0825", "BENCH1");
    auto opener = std::make_shared<CFakeV4l2Opener>();
    opener->nodes["/dev/video0"] = std::make_shared<CFakeV4l2Camera>();
    for (auto _ : state) {
        auto cameras = std::make_shared<CV4l2Cameras>(opener, root, "/dev");
        cameras->SetEventWait(std::chrono::milliseconds(1));
        if (!cameras->Add("video0"))
            state.SkipWithError("the fake camera did not open");
        state.PauseTiming();
        cameras.reset(); // stopping the camera's event thread is not part of opening it
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FakeLayerOpen)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_BareTestSourceFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        std::string why;
        auto pipeline = CGstPipeline::FromDescription(
            "videotestsrc ! video/x-raw,format=I420,width=640,height=480,framerate=30/1 ! appsink name=sink",
            &why);
        if (!pipeline || !FirstFrame(*pipeline))
            state.SkipWithError("the bare test-source pipeline gave no frame");
    }
}
BENCHMARK(BM_BareTestSourceFirstFrame)
    ->Iterations(kPipelineRuns)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_RealOpenToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        auto cameras = std::make_shared<CV4l2Cameras>(std::make_shared<CV4l2SystemOpener>(), "/sys", "/dev");
        CGstPipeline pipeline("bench");
        GstElementPtr source = CV4l2Camera::MakeSource("/dev/" + g_realNode, 640, 480, 30);
        GstElementPtr sink = MakeElement("appsink", "sink");
        if (!cameras->Add(g_realNode) || !source || !sink ||
            !pipeline.AddAndLink({source.get(), sink.get()}) || !FirstFrame(pipeline)) {
            state.SkipWithError("the camera did not open or gave no frame");
            break;
        }
        state.PauseTiming();
        cameras.reset();
        state.ResumeTiming();
    }
}

void BM_BareV4l2srcFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        std::string why;
        auto pipeline =
            CGstPipeline::FromDescription("v4l2src device=/dev/" + g_realNode + " ! appsink name=sink", &why);
        if (!pipeline || !FirstFrame(*pipeline)) {
            state.SkipWithError("the bare v4l2src pipeline gave no frame");
            break;
        }
    }
}

// The first node sysfs lists that is a capture device and can be opened.
std::string FindRealCamera() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/video4linux", error)) {
        const std::string node = entry.path().filename().string();
        CV4l2Cameras probe(std::make_shared<CV4l2SystemOpener>(), "/sys", "/dev");
        if (probe.Add(node))
            return node;
    }
    return {};
}
} // namespace

int main(int argc, char** argv) {
    CGstPipeline::EnsureInitialised();
    benchmark::Initialize(&argc, argv);
    g_realNode = FindRealCamera();
    if (!g_realNode.empty()) {
        benchmark::RegisterBenchmark("BM_RealOpenToFirstFrame", BM_RealOpenToFirstFrame)
            ->Iterations(kPipelineRuns)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark("BM_BareV4l2srcFirstFrame", BM_BareV4l2srcFirstFrame)
            ->Iterations(kPipelineRuns)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    }
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const double fake = reporter.medians["BM_FakeLayerOpen"],
                 testSource = reporter.medians["BM_BareTestSourceFirstFrame"];
    if (fake > 0 && testSource > 0)
        std::printf("fake-layer camera open: %.1f us, bare test-source pipeline to first frame: %.1f ms "
                    "(the open is %.2f%% of it)\n",
                    fake, testSource / 1000, 100.0 * fake / testSource);
    if (g_realNode.empty()) {
        std::printf("real-device figure skipped: no /dev/video capture device on this machine\n");
    } else {
        const double real = reporter.medians["BM_RealOpenToFirstFrame"],
                     bare = reporter.medians["BM_BareV4l2srcFirstFrame"];
        if (real > 0 && bare > 0)
            std::printf("/dev/%s open to first frame: %.1f ms, bare v4l2src pipeline: %.1f ms, ratio %.2f\n",
                        g_realNode.c_str(), real / 1000, bare / 1000, real / bare);
        else
            std::printf("real-device figure skipped: /dev/%s gave no frame\n", g_realNode.c_str());
    }
    benchmark::Shutdown();
    return 0;
}
