// The simulated device-manager service: how long a property read takes when asked directly, and how long a
// change made through the control interface takes to reach a sink on the service's thread. Each figure is
// printed beside a baseline measured in the same run: a bare locked map lookup for the read, a bare thread
// hand-off (queue, condition variable, wake-up) for the event delay.
#include "granite/control/CSimulatedDeviceControl.h"
#include "granite/service/CGraniteDeviceService.h"
#include "services/IInProcDeviceManagerEvents.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

using namespace Granite;
using Clock = std::chrono::steady_clock;

namespace {
// Counts video property events and lets the measuring thread wait for the next one.
class CTimingSink : public IInProcDeviceManagerEvents {
public:
    void OnVideoPropertyChanged(const std::string&, int32_t, int32_t, const Variant&,
                                const Variant&) override {
        {
            std::lock_guard guard(lock_);
            ++count_;
            arrived_ = Clock::now();
        }
        changed_.notify_one();
    }
    // Waits until `count` events have come; returns when the last one arrived.
    Clock::time_point WaitFor(uint64_t count) {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, std::chrono::seconds(10), [&] { return count_ >= count; });
        return arrived_;
    }
    void OnMicrophonePropertyChanged(const std::string&, int32_t, int32_t, const Variant&,
                                     const Variant&) override {}
    void OnSpeakerPropertyChanged(const std::string&, int32_t, int32_t, const Variant&,
                                  const Variant&) override {}
    void OnHIDPropertyChanged(const std::string&, int32_t, int32_t, const Variant&) override {}
    void OnVideoDeviceEvent(const std::string&, int32_t, int32_t, const Variant&) override {}
    void OnDeviceArrived(int32_t, const std::string&) override {}
    void OnDeviceRemoved(int32_t, const std::string&) override {}
    void OnVideoMotorStatus(const std::string&, uint32_t) override {}
    void OnPlaySoundFileStatus(const std::string&, uint32_t) override {}
    void OnHIDPropertyChanged2(const std::string&, int32_t, int32_t, const Variant&,
                               const Variant&) override {}
    void OnGlobalPropertyChanged(int32_t, const Variant&) override {}

private:
    std::mutex lock_;
    std::condition_variable changed_;
    uint64_t count_ = 0;
    Clock::time_point arrived_;
};

struct StartedService {
    StartedService() : hardware(std::make_shared<CSimulatedHardware>()), control(hardware) {
        service = new CGraniteDeviceService(hardware);
        service->RegisterClient("bench:1", "");
        service->Start();
        service->Advise(&sink, &cookie);
        hardware->IdAt(DeviceKind::Camera, 0, camera);
    }
    ~StartedService() {
        service->Unadvise(cookie);
        service->Release();
    }
    std::shared_ptr<CSimulatedHardware> hardware;
    CSimulatedDeviceControl control;
    CGraniteDeviceService* service = nullptr;
    CTimingSink sink;
    uint32_t cookie = 0;
    std::string camera;
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

// Baseline of the read: what a device table lookup under a lock costs without the service around it, in
// nanoseconds per read.
double BaselineLockedMapReadNs(int rounds) {
    std::mutex lock;
    std::map<int32_t, Variant> table;
    for (int32_t p = 0; p < 110; ++p)
        table[p] = Variant::FromI4(p);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        std::lock_guard guard(lock);
        Variant v = table.find(8)->second;
        benchmark::DoNotOptimize(v);
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / rounds;
}

// Baseline of the delay: tasks handed to another thread through a queue and a condition variable, one at a
// time; the delays in microseconds.
std::vector<double> BaselineThreadHandOffUs(int rounds) {
    std::mutex lock;
    std::condition_variable wake, done;
    std::deque<Clock::time_point> queue;
    int handled = 0;
    bool stop = false;
    std::vector<double> delays;
    std::thread worker([&] {
        std::unique_lock guard(lock);
        while (!stop) {
            wake.wait(guard, [&] { return stop || !queue.empty(); });
            while (!queue.empty()) {
                delays.push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - queue.front()).count());
                queue.pop_front();
                ++handled;
                done.notify_one();
            }
        }
    });
    for (int i = 1; i <= rounds; ++i) {
        std::unique_lock guard(lock);
        queue.push_back(Clock::now());
        wake.notify_one();
        done.wait(guard, [&] { return handled >= i; });
    }
    {
        std::lock_guard guard(lock);
        stop = true;
    }
    wake.notify_one();
    worker.join();
    return delays;
}

// A property read straight on the service (median of the repetitions), against a bare locked lookup.
void BM_ServicePropertyRead(benchmark::State& state) {
    StartedService s;
    Variant v;
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        HRESULT hr = s.service->GetVideoProperty(s.camera, 8, &v);
        benchmark::DoNotOptimize(hr);
        benchmark::DoNotOptimize(v);
    }
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                      static_cast<double>(std::max<int64_t>(1, state.iterations()));
    const double baseline = BaselineLockedMapReadNs(200000);
    state.counters["read_ns"] = ns;
    state.counters["baseline_ns"] = baseline;
    state.counters["x_baseline"] = ns / baseline;
}
BENCHMARK(BM_ServicePropertyRead)->Repetitions(9)->ReportAggregatesOnly(true);

// From a change through the control interface to the sink's call on the service's thread.
void BM_ControlChangeToSink(benchmark::State& state) {
    StartedService s;
    std::vector<double> delays;
    delays.reserve(4096);
    uint64_t expected = 0;
    int32_t value = 0;
    for (auto _ : state) {
        value = value == 200 ? 0 : value + 1; // always a change, so every write is reported
        const Clock::time_point start = Clock::now();
        s.control.SetProperty(DeviceKind::Camera, 1, 8, Variant::FromI4(value));
        const Clock::time_point arrived = s.sink.WaitFor(++expected);
        delays.push_back(std::chrono::duration<double, std::micro>(arrived - start).count());
    }
    const std::vector<double> baseline = BaselineThreadHandOffUs(2000);
    state.counters["median_us"] = Percentile(delays, 0.5);
    state.counters["p99_us"] = Percentile(delays, 0.99);
    state.counters["worst_us"] = Percentile(delays, 1.0);
    state.counters["baseline_median_us"] = Percentile(baseline, 0.5);
    state.counters["x_baseline"] = Percentile(delays, 0.5) / std::max(0.001, Percentile(baseline, 0.5));
}
BENCHMARK(BM_ControlChangeToSink)->Iterations(2000)->UseRealTime()->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
