// The device-manager facade, measured in the same run against baselines:
// - one camera property read through the facade (GetZoom) against the same read made on the simulated
//   service directly, and a checked range read (GetZoomRange: four service calls) against four direct calls;
// - the delay from an event raised on a service thread to the call of the 25th listener, with 25
//   listeners registered, against a bare posted Qt event carrying the same kind of timestamp.
// Each event is raised only after the previous one was delivered, so the figures are latencies, not
// queueing. The ratios printed at the end compare each figure with its baseline.
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "platform/CObjectFactory.h"
#include "services/CGraniteDeviceManager.h"
#include "services/DeviceManagerProperties.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace Cam = DeviceProperty::Camera;

// One simulated camera, reached through the object factory as the program reaches the service.
struct CSimulatedCamera {
    std::shared_ptr<Granite::CSimulatedHardware> hardware = std::make_shared<Granite::CSimulatedHardware>(
        std::vector<Granite::DeviceRequest>{{Granite::DeviceKind::Camera, "full"}});
    std::string id;
    CSimulatedCamera() {
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        hardware->IdAt(Granite::DeviceKind::Camera, 0, id);
    }
    ~CSimulatedCamera() {
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
    }
};

// The service itself, registered and started the way the facade does it.
struct CDirectService {
    CSimulatedCamera camera;
    IInProcDeviceManager* service = nullptr;
    CDirectService() {
        if (FAILED(CObjectFactory::Instance().Create(CLSID_InProcDeviceManager, IID_IInProcDeviceManager,
                                                     &service)) ||
            service == nullptr || FAILED(service->RegisterClient("Bench:1", "")) || FAILED(service->Start()))
            service = nullptr;
    }
    ~CDirectService() {
        if (service != nullptr)
            service->Release();
    }
};

struct CFacade {
    CSimulatedCamera camera;
    IGraniteDeviceManager* manager = nullptr;
    CFacade() {
        manager = GetGraniteDeviceManager();
        if (manager != nullptr)
            manager->SelectVideoDevice(0);
    }
    ~CFacade() {
        if (manager != nullptr)
            manager->Release();
        QCoreApplication::sendPostedEvents();
    }
};

void BM_DirectServiceRead(benchmark::State& state) {
    CDirectService direct;
    if (direct.service == nullptr) {
        state.SkipWithError("the simulated service did not start");
        return;
    }
    Variant value;
    for (auto _ : state) {
        direct.service->GetVideoProperty(direct.camera.id, Cam::Zoom.value, &value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_DirectServiceRead)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_FacadeGetZoom(benchmark::State& state) {
    CFacade facade;
    if (facade.manager == nullptr) {
        state.SkipWithError("no facade");
        return;
    }
    int32_t zoom = 0;
    HRESULT hr = S_OK;
    for (auto _ : state) {
        hr = facade.manager->GetZoom(&zoom);
        benchmark::DoNotOptimize(zoom);
    }
    if (FAILED(hr))
        state.SkipWithError("the facade could not read the zoom");
}
BENCHMARK(BM_FacadeGetZoom)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_DirectServiceRangeRead(benchmark::State& state) {
    CDirectService direct;
    if (direct.service == nullptr) {
        state.SkipWithError("the simulated service did not start");
        return;
    }
    const std::string& id = direct.camera.id;
    Variant min, max, value;
    int32_t available = 2;
    for (auto _ : state) {
        direct.service->QueryVideoProperty(id, Cam::Zoom.value, &available);
        direct.service->GetVideoProperty(id, Cam::Zoom.min, &min);
        direct.service->GetVideoProperty(id, Cam::Zoom.max, &max);
        direct.service->GetVideoProperty(id, Cam::Zoom.value, &value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_DirectServiceRangeRead)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_FacadeGetZoomRange(benchmark::State& state) {
    CFacade facade;
    if (facade.manager == nullptr) {
        state.SkipWithError("no facade");
        return;
    }
    int32_t min = 0, max = 0, value = 0;
    for (auto _ : state) {
        facade.manager->GetZoomRange(&min, &max, &value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_FacadeGetZoomRange)->Repetitions(9)->ReportAggregatesOnly(true);

// --- event delivery
// -----------------------------------------------------------------------------------------

constexpr int kEventsPerRun = 1000;

struct CLatencies {
    std::vector<int64_t> startNs = std::vector<int64_t>(kEventsPerRun);
    std::vector<int64_t> delayNs = std::vector<int64_t>(kEventsPerRun);
    std::atomic<int> delivered{-1};

    static int64_t Now() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
    }
    void Delivered(int index) {
        if (index < 0 || index >= kEventsPerRun)
            return;
        delayNs[static_cast<size_t>(index)] = Now() - startNs[static_cast<size_t>(index)];
        delivered.store(index, std::memory_order_release);
        delivered.notify_one();
    }
    // Raises the events one by one from another thread while this (the user-interface) thread delivers.
    template <class Raise> void Run(Raise raise) {
        delivered = -1;
        std::thread service([&] {
            for (int i = 0; i < kEventsPerRun; ++i) {
                startNs[static_cast<size_t>(i)] = Now();
                raise(i);
                // Sleep rather than spin: on a busy machine a spinning thread would steal the time of
                // the thread being measured.
                for (int seen = delivered.load(std::memory_order_acquire); seen < i;
                     seen = delivered.load(std::memory_order_acquire))
                    delivered.wait(seen, std::memory_order_acquire);
            }
        });
        while (delivered.load(std::memory_order_acquire) < kEventsPerRun - 1)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        service.join();
    }
    void Report(benchmark::State& state, double* medianOut) {
        std::vector<int64_t> sorted = delayNs;
        std::sort(sorted.begin(), sorted.end());
        const double median = static_cast<double>(sorted[sorted.size() / 2]) / 1000.0;
        state.counters["median_us"] = median;
        state.counters["worst_us"] = static_cast<double>(sorted.back()) / 1000.0;
        *medianOut = median;
    }
};

double g_bareMedianUs = 0;
double g_facadeMedianUs = 0;

const QEvent::Type kBareType = static_cast<QEvent::Type>(QEvent::registerEventType());

struct CIndexEvent : QEvent {
    explicit CIndexEvent(int index) : QEvent(kBareType), index(index) {}
    int index;
};

class CBareReceiver : public QObject {
public:
    CLatencies* latencies = nullptr;
    bool event(QEvent* e) override {
        if (e->type() != kBareType)
            return QObject::event(e);
        latencies->Delivered(static_cast<CIndexEvent*>(e)->index);
        return true;
    }
};

void BM_BareEventDelay(benchmark::State& state) {
    CLatencies latencies;
    CBareReceiver receiver;
    receiver.latencies = &latencies;
    for (auto _ : state)
        latencies.Run([&](int i) { QCoreApplication::postEvent(&receiver, new CIndexEvent(i)); });
    latencies.Report(state, &g_bareMedianUs);
}
BENCHMARK(BM_BareEventDelay)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Listener 25 stamps the arrival; the other 24 only look at the value, as a window would.
class CBenchListener : public IGraniteDeviceManagerEvent {
public:
    CLatencies* latencies = nullptr;
    int32_t last = 0;
    void OnZoomChanged(uint32_t, int32_t value) override {
        last = value;
        if (latencies != nullptr)
            latencies->Delivered(value);
    }
};

void BM_ServiceEventToListener25(benchmark::State& state) {
    CFacade facade;
    if (facade.manager == nullptr) {
        state.SkipWithError("no facade");
        return;
    }
    CLatencies latencies;
    std::vector<CBenchListener> listeners(kMaxDeviceManagerListeners);
    for (auto& listener : listeners)
        facade.manager->AddListener(&listener, 1);
    listeners.back().latencies = &latencies;
    // Raised into the facade's own event sink, as the service's thread would.
    const std::shared_ptr<IInProcDeviceManagerEvents> sink =
        CGraniteDeviceManager::Instance()->DeviceEvents().Sink();
    const std::string& id = facade.camera.id;
    for (auto _ : state)
        latencies.Run([&](int i) {
            sink->OnVideoPropertyChanged(id, 0, Cam::Zoom.value, Variant::FromI4(i), Variant::FromI4(0));
        });
    latencies.Report(state, &g_facadeMedianUs);
    if (listeners.front().last != kEventsPerRun - 1)
        state.SkipWithError("not every listener heard every event");
}
BENCHMARK(BM_ServiceEventToListener25)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps the medians of the repeated benchmarks for the ratios printed at the end.
class CMedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto ratio = [&](const char* what, const char* facade, const char* direct) {
        auto f = reporter.medians.find(facade);
        auto d = reporter.medians.find(direct);
        if (f != reporter.medians.end() && d != reporter.medians.end() && d->second > 0)
            std::printf("%s: facade %.1f ns, service directly %.1f ns, ratio %.2f\n", what, f->second,
                        d->second, f->second / d->second);
    };
    ratio("property read (median)", "BM_FacadeGetZoom", "BM_DirectServiceRead");
    ratio("range read (median)", "BM_FacadeGetZoomRange", "BM_DirectServiceRangeRead");
    if (g_bareMedianUs > 0 && g_facadeMedianUs > 0)
        std::printf("event to 25th listener (median): %.1f us, bare posted event %.1f us, ratio %.2f\n",
                    g_facadeMedianUs, g_bareMedianUs, g_facadeMedianUs / g_bareMedianUs);
    return 0;
}
