// The cost of the effects engine's drawing in the live picture. First the preview's frame time (camera
// picture, effects stage, conversion for the screen) with the shipped models against the same pipeline
// without effects, at 640x480 and 1280x720, as a ratio measured in the same run (aim: below 1.5). Then a
// live 30 fps picture with the heaviest combination for three seconds on two processor cores, counting the
// frames that arrive against the frames the source made.
#include "CMedianReporter.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/effects/CEffectPackage.h"
#include "granite/effects/CEffectsScene.h"
#include "granite/effects/render/CEffectsStage.h"

#include <gst/app/gstappsink.h>
#include <sched.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <vector>

using namespace Granite;

namespace {

// Each iteration times this many frames; the figures printed at the end are per frame.
constexpr int kFramesPerIteration = 60;
const std::string kModels = std::string(VIDORA_SHARED_DATA) + "/ModelData";

struct Look {
    const char* name;
    std::vector<const char*> packages; // below the model folder
};
const Look kLooks[] = {
    {"none", {}},
    {"glasses", {"RoundGlasses/RoundGlasses.vfx"}},
    {"sepia", {"Sepia/Sepia.vfx"}},
    {"robot+hat+sepia", {"Robot/Robot.vfx", "PartyHat/PartyHat.vfx", "Sepia/Sepia.vfx"}},
};
struct FrameSize {
    int width, height;
};
const FrameSize kSizes[] = {{640, 480}, {1280, 720}};

bool Show(const Look& look) {
    std::vector<EffectOverlay> overlays;
    std::vector<EffectFilter> filters;
    for (const char* file : look.packages) {
        CEffectPackage package;
        if (FAILED(CEffectPackage::Load(kModels + "/" + file, &package)))
            return false;
        if (package.HasOverlay())
            overlays.push_back(package.Overlay());
        if (package.Filter() != EffectFilter::None)
            filters.push_back(package.Filter());
    }
    CEffectsScene::Instance().SetEffects(std::move(overlays), std::move(filters), false, true, "");
    return true;
}

// "camera ! effects ! screen format ! appsink", the way the preview runs it.
struct Preview {
    std::unique_ptr<CGstPipeline> pipeline;
    std::unique_ptr<CEffectsStage> stage;
    GstElementPtr sink;

    ~Preview() { pipeline.reset(); }
    bool Build(const FrameSize& size, bool live) {
        pipeline = std::make_unique<CGstPipeline>("bench-effects");
        stage = CEffectsStage::Create("bench", size.width, size.height, {});
        GstElementPtr source = MakeElement("videotestsrc"), caps = MakeElement("capsfilter"),
                      convert = MakeElement("videoconvert"), screen = MakeElement("capsfilter");
        sink = MakeElement("appsink");
        if (!stage || !source || !caps || !convert || !screen || !sink)
            return false;
        g_object_set(source.get(), "is-live", live ? TRUE : FALSE, "pattern", 19, nullptr);
        GstCapsPtr format(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width",
                                              G_TYPE_INT, size.width, "height", G_TYPE_INT, size.height,
                                              "framerate", GST_TYPE_FRACTION, 30, 1, nullptr));
        g_object_set(caps.get(), "caps", format.get(), nullptr);
        GstCapsPtr bgrx(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr));
        g_object_set(screen.get(), "caps", bgrx.get(), nullptr);
        g_object_set(sink.get(), "sync", FALSE, "max-buffers", 4u, "drop", FALSE, nullptr);
        return pipeline->AddAndLink(
                   {source.get(), caps.get(), stage->Bin(), convert.get(), screen.get(), sink.get()}) &&
               SUCCEEDED(pipeline->SetState(GST_STATE_PLAYING, std::chrono::seconds(10)));
    }
    bool Pull() {
        GstSamplePtr sample(gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), 5 * GST_SECOND));
        return sample != nullptr;
    }
};

void BM_PreviewFrame(benchmark::State& state, const FrameSize& size, const Look& look) {
    if (!Show(look)) {
        state.SkipWithError("a shipped model did not load");
        return;
    }
    Preview preview;
    if (!preview.Build(size, false)) {
        state.SkipWithError("the pipeline did not start");
        return;
    }
    for (int i = 0; i < 10; ++i)
        preview.Pull(); // the first frames build the drawing material
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFramesPerIteration; ++i) {
            if (!preview.Pull()) {
                state.SkipWithError("the pipeline stalled");
                return;
            }
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
    }
    CEffectsScene::Instance().ClearEffects();
}

// Frames that arrive from a live 30 fps source in three seconds.
void LiveRun(const FrameSize& size, const Look& look) {
    Show(look);
    Preview preview;
    if (!preview.Build(size, true)) {
        std::printf("live %dx%d: the pipeline did not start\n", size.width, size.height);
        return;
    }
    int frames = 0;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(3) && preview.Pull())
        ++frames;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int expected = static_cast<int>(seconds * 30.0);
    std::printf("live %dx%d with %s on 2 cores: %d frames in %.2f s (%d expected at 30 fps), %d missing\n",
                size.width, size.height, look.name, frames, seconds, expected,
                std::max(0, expected - 1 - frames));
    CEffectsScene::Instance().ClearEffects();
}

std::string NameOf(const FrameSize& size, const Look& look) {
    return "preview/" + std::to_string(size.width) + "x" + std::to_string(size.height) + "/" + look.name;
}

} // namespace

int main(int argc, char** argv) {
    // Two cores, as on the smallest machine the program is meant for.
    cpu_set_t cores;
    CPU_ZERO(&cores);
    cpu_set_t available;
    if (sched_getaffinity(0, sizeof(available), &available) == 0) {
        int taken = 0;
        for (int cpu = 0; cpu < CPU_SETSIZE && taken < 2; ++cpu) {
            if (CPU_ISSET(cpu, &available)) {
                CPU_SET(cpu, &cores);
                ++taken;
            }
        }
        sched_setaffinity(0, sizeof(cores), &cores);
    }
    CGstPipeline::EnsureInitialised();
    for (const FrameSize& size : kSizes) {
        for (const Look& look : kLooks) {
            benchmark::RegisterBenchmark(NameOf(size, look).c_str(), BM_PreviewFrame, size, look)
                ->UseManualTime()
                ->Iterations(5)
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
    benchmark::Initialize(&argc, argv);
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf(
        "\nPreview frame time with effects against the same preview without them (goal: below 1.5x):\n");
    for (const FrameSize& size : kSizes) {
        const double plain = reporter.medians[NameOf(size, kLooks[0])] / kFramesPerIteration;
        for (const Look& look : kLooks) {
            if (look.packages.empty() || plain <= 0)
                continue;
            const double with = reporter.medians[NameOf(size, look)] / kFramesPerIteration;
            std::printf("  %4dx%-4d %-16s %7.3f ms per frame against %7.3f ms: %.2fx\n", size.width,
                        size.height, look.name, with / 1000.0, plain / 1000.0, with / plain);
        }
    }
    std::printf("\n");
    for (const FrameSize& size : kSizes)
        LiveRun(size, kLooks[3]);
    benchmark::Shutdown();
    return 0;
}
