// Event serializers against a bare posted Qt event, measured in the same run:
// - the cost of posting one event from the posting thread (delivery happens outside the timing);
// - delivery throughput while four service threads post at once and the user-interface thread delivers;
// - the worst time from posting to delivery under that load.
// The ratios printed at the end compare each serializer figure with its bare-event baseline.
#include "services/CGDMEventSerializer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point g_start = Clock::now();

uint32_t NowMicros() {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - g_start).count());
}

const QEvent::Type kBareType = static_cast<QEvent::Type>(QEvent::registerEventType());
const std::string kDeviceId =
    "usb#vid_046d&pid_0825&mi_00#7&2b7d4f5&0&0000#{e5323777-f976-4f5b-9b55-b94699c46e44}";

// The baseline: a posted event that carries its posting time, and a receiver that counts them.
struct CStampedEvent : QEvent {
    explicit CStampedEvent(uint32_t stamp) : QEvent(kBareType), stamp(stamp) {}
    uint32_t stamp;
};

struct CLoadStats {
    std::atomic<uint64_t> delivered{0};
    uint32_t worstMicros = 0;
    void Delivered(uint32_t stamp) {
        worstMicros = std::max(worstMicros, NowMicros() - stamp);
        delivered.fetch_add(1, std::memory_order_relaxed);
    }
};

class CBareReceiver : public QObject {
public:
    CLoadStats* stats = nullptr;
    bool event(QEvent* e) override {
        if (e->type() != kBareType)
            return QObject::event(e);
        if (stats != nullptr)
            stats->Delivered(static_cast<CStampedEvent*>(e)->stamp);
        return true;
    }
};

// The serializer's target: the motor-status event carries the posting time as its status.
class CCountingTarget : public IInProcDeviceManagerEvents {
public:
    CLoadStats* stats = nullptr;
    void OnMicrophonePropertyChanged(const std::string&, int32_t, int32_t, const Variant&,
                                     const Variant&) override {}
    void OnSpeakerPropertyChanged(const std::string&, int32_t, int32_t, const Variant&,
                                  const Variant&) override {}
    void OnVideoPropertyChanged(const std::string&, int32_t, int32_t, const Variant&,
                                const Variant&) override {}
    void OnHIDPropertyChanged(const std::string&, int32_t, int32_t, const Variant&) override {}
    void OnVideoDeviceEvent(const std::string&, int32_t, int32_t, const Variant&) override {}
    void OnDeviceArrived(int32_t, const std::string&) override {}
    void OnDeviceRemoved(int32_t, const std::string&) override {}
    void OnVideoMotorStatus(const std::string&, uint32_t stamp) override {
        if (stats != nullptr)
            stats->Delivered(stamp);
    }
    void OnPlaySoundFileStatus(const std::string&, uint32_t) override {}
    void OnHIDPropertyChanged2(const std::string&, int32_t, int32_t, const Variant&,
                               const Variant&) override {}
    void OnGlobalPropertyChanged(int32_t, const Variant&) override {}
};

constexpr int kDrainEvery = 1024;

void BM_PostBareEvent(benchmark::State& state) {
    CBareReceiver receiver;
    int n = 0;
    for (auto _ : state) {
        QCoreApplication::postEvent(&receiver, new CStampedEvent(0));
        if (++n % kDrainEvery == 0) {
            state.PauseTiming();
            QCoreApplication::sendPostedEvents();
            state.ResumeTiming();
        }
    }
    QCoreApplication::sendPostedEvents();
}
BENCHMARK(BM_PostBareEvent);

void BM_PostSerializerEvent(benchmark::State& state) {
    CGDMEventSerializer serializer;
    CCountingTarget target;
    serializer.SetTarget(&target);
    int n = 0;
    for (auto _ : state) {
        serializer.OnVideoMotorStatus(kDeviceId, 0);
        if (++n % kDrainEvery == 0) {
            state.PauseTiming();
            QCoreApplication::sendPostedEvents();
            state.ResumeTiming();
        }
    }
    QCoreApplication::sendPostedEvents();
}
BENCHMARK(BM_PostSerializerEvent);

constexpr int kPosters = 4;
constexpr int kPerPoster = 25000;

// Four threads post kPerPoster events each while this thread delivers; the time until the last delivery.
template <class PostOne> void RunLoad(benchmark::State& state, CLoadStats& stats, PostOne postOne) {
    uint32_t worst = 0;
    for (auto _ : state) {
        stats.delivered = 0;
        stats.worstMicros = 0;
        std::atomic<bool> go{false};
        std::vector<std::thread> posters;
        for (int t = 0; t < kPosters; ++t)
            posters.emplace_back([&] {
                while (!go.load(std::memory_order_acquire))
                    std::this_thread::yield();
                for (int i = 0; i < kPerPoster; ++i)
                    postOne();
            });
        go.store(true, std::memory_order_release);
        while (stats.delivered.load(std::memory_order_relaxed) < uint64_t(kPosters) * kPerPoster)
            QCoreApplication::processEvents();
        for (auto& p : posters)
            p.join();
        worst = std::max(worst, stats.worstMicros);
    }
    state.SetItemsProcessed(state.iterations() * kPosters * kPerPoster);
    state.counters["worst_latency_us"] = worst;
}

void BM_DeliverBareEventsFourPosters(benchmark::State& state) {
    CLoadStats stats;
    CBareReceiver receiver;
    receiver.stats = &stats;
    RunLoad(state, stats, [&] { QCoreApplication::postEvent(&receiver, new CStampedEvent(NowMicros())); });
}
BENCHMARK(BM_DeliverBareEventsFourPosters)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DeliverSerializerEventsFourPosters(benchmark::State& state) {
    CLoadStats stats;
    CGDMEventSerializer serializer;
    CCountingTarget target;
    target.stats = &stats;
    serializer.SetTarget(&target);
    auto sink = serializer.Sink();
    RunLoad(state, stats, [&] { sink->OnVideoMotorStatus(kDeviceId, NowMicros()); });
}
BENCHMARK(BM_DeliverSerializerEventsFourPosters)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Keeps every run's figures so the ratios can be printed after the table.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            std::string name = run.benchmark_name();
            perItemNs_[name] = run.GetAdjustedRealTime(); // per iteration, in the run's unit (ns here)
            if (auto it = run.counters.find("items_per_second"); it != run.counters.end())
                rate_[name] = it->second.value;
            if (auto it = run.counters.find("worst_latency_us"); it != run.counters.end())
                worst_[name] = it->second.value;
        }
    }

    void PrintRatios() const {
        auto find = [](const std::map<std::string, double>& m, const std::string& prefix) {
            for (const auto& [name, value] : m)
                if (name.rfind(prefix, 0) == 0)
                    return value;
            return 0.0;
        };
        double bare = find(perItemNs_, "BM_PostBareEvent");
        double ser = find(perItemNs_, "BM_PostSerializerEvent");
        double bareRate = find(rate_, "BM_DeliverBareEventsFourPosters");
        double serRate = find(rate_, "BM_DeliverSerializerEventsFourPosters");
        std::printf("\nPosting one event: serializer %.0f ns, bare posted event %.0f ns, ratio %.2f\n", ser,
                    bare, bare > 0 ? ser / bare : 0.0);
        std::printf(
            "Delivery with %d posting threads: serializer %.0f events/s, bare %.0f events/s, ratio %.2f\n",
            kPosters, serRate, bareRate, bareRate > 0 ? serRate / bareRate : 0.0);
        std::printf("Worst delivery latency under that load: serializer %.1f ms, bare %.1f ms\n",
                    find(worst_, "BM_DeliverSerializerEventsFourPosters") / 1000.0,
                    find(worst_, "BM_DeliverBareEventsFourPosters") / 1000.0);
    }

private:
    std::map<std::string, double> perItemNs_;
    std::map<std::string, double> rate_;
    std::map<std::string, double> worst_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
