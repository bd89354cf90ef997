// Recording a movie and watching for motion on the simulated camera at 960x720 and 30 frames a second:
// the frames a 10 s recording with sound drops (goal 0) and the share of one core the process uses while
// it records (goal under 60%), beside the share the running picture alone takes in the same run; then the
// motion detector's cost per second, measured the same way and as the time to analyse one frame.
#include "granite/capture/CAudioCapture.h"
#include "granite/capture/CCameraEnumerator.h"
#include "granite/capture/CGstPipeline.h"
#include "granite/capture/CMotionAnalyzer.h"
#include "granite/capture/CMotionDetector.h"
#include "granite/capture/CMovieRecorder.h"
#include "granite/capture/CSimulatedCameraSource.h"
#include "granite/devices/CSimulatedHardware.h"
#include "services/IVideoCapture.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

using namespace Granite;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 960, kHeight = 720, kFps = 30;
constexpr auto kRun = std::chrono::seconds(10);

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The share of one core the process used while `during` ran for `kRun`.
template <class F> double CoreShare(F during) {
    const double cpu = ProcessCpuSeconds();
    const auto start = Clock::now();
    during();
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return (ProcessCpuSeconds() - cpu) / wall;
}

void Wait() {
    std::this_thread::sleep_for(kRun);
}

IVideoCapture* OpenCamera() {
    std::vector<CameraInfo> cameras = CCameraEnumerator::ListCameras();
    if (cameras.empty())
        return nullptr;
    ICameraEnumerator* enumerator = CCameraEnumerator::Create();
    IVideoCapture* capture = nullptr;
    enumerator->createCapture(cameras.front().devicePath, &capture);
    enumerator->Release();
    return capture;
}

void RunWholeProcessFigures() {
    CSimulatedCameraSource::SetSceneMotion(true);
    IVideoCapture* capture = OpenCamera();
    if (capture == nullptr || FAILED(capture->setVideoFormat(kWidth, kHeight, kFps)) ||
        FAILED(capture->start())) {
        std::printf("no simulated camera could be started at %dx%d\n", kWidth, kHeight);
        return;
    }
    const double pictureOnly = CoreShare(Wait);

    QTemporaryDir folder;
    const std::string file = folder.filePath("Video 1.wmv").toStdString();
    auto* recorder = new CMovieRecorder();
    IAudioCapture* microphone = CAudioCapture::CreateSimulated("Microphone", "sim:mic");
    double recording = 0;
    if (SUCCEEDED(recorder->prepare(file, 80, 0, 1, capture, microphone)) && SUCCEEDED(recorder->start())) {
        recording = CoreShare(Wait);
        recorder->stop();
    } else {
        std::printf("the recording did not start: %s\n", recorder->LastError().c_str());
    }
    const RecordingStats stats = recorder->Stats();
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    recorder->Release();
    microphone->Release();

    IMotionDetector* detector = nullptr;
    CMotionDetector::Create(IID_IMotionDetector, reinterpret_cast<void**>(&detector));
    detector->setLevel(166);
    detector->attach(capture);
    const double watching = CoreShare(Wait);
    detector->detach();
    detector->Release();
    capture->stop();
    capture->Release();

    std::printf("picture alone (%dx%d at %d fps): %.1f%% of one core\n", kWidth, kHeight, kFps,
                100 * pictureOnly);
    std::printf(
        "recording %lld s with sound and date stamp: %.1f%% of one core (goal under 60%%), the recorder's "
        "part %.1f%%\n",
        static_cast<long long>(kRun.count()), 100 * recording, 100 * (recording - pictureOnly));
    std::printf("frames recorded %llu, dropped %llu (goal 0), file %.1f MB\n",
                static_cast<unsigned long long>(stats.framesPushed),
                static_cast<unsigned long long>(stats.framesDropped),
                error ? 0.0 : static_cast<double>(bytes) / 1e6);
    std::printf("motion detector: %.2f%% of one core beyond the picture alone\n",
                100 * (watching - pictureOnly));
}

// One frame of the detector's work at the recording size, on a changing picture.
void BM_MotionAnalyzerFrame960x720(benchmark::State& state) {
    std::vector<uint8_t> a(kWidth * kHeight), b(kWidth * kHeight);
    std::mt19937 random(7);
    for (auto& v : a)
        v = static_cast<uint8_t>(random());
    for (auto& v : b)
        v = static_cast<uint8_t>(random());
    CMotionAnalyzer analyzer;
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(analyzer.Feed((flip ? a : b).data(), kWidth, kHeight, kWidth));
        flip = !flip;
    }
    // CPU seconds per second when ten frames a second are analysed.
    state.counters["cpu_per_second_at_10_fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 10.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MotionAnalyzerFrame960x720);

} // namespace

int main(int argc, char** argv) {
    CGstPipeline::EnsureInitialised();
    benchmark::Initialize(&argc, argv);
    RunWholeProcessFigures();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
