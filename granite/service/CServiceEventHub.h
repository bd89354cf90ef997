#pragma once
// The event side of one device-manager service object: the sinks connected to it, the camera event codes
// its client subscribed, the microphones it meters and the sounds it times, and the worker thread on which
// every event reaches the sinks. It hears what the hardware does and passes on what its client asked for.
//
// Shared ownership: queued work keeps the hub alive, so a service object may go away (even from inside one
// of its own events) while work is queued; after Shutdown() no sink is called any more.
#include "granite/devices/CSimulatedHardware.h"
#include "granite/devices/IAudioDevices.h"
#include "granite/devices/ICameraDevices.h"
#include "granite/service/CServiceWorker.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

class IInProcDeviceManagerEvents;

namespace Granite {

class CServiceEventHub : public IHardwareListener, public std::enable_shared_from_this<CServiceEventHub> {
public:
    // Events come from `cameras`, which passes on the hardware's other events too, except the microphones'
    // and speakers' own events, which come from `audio`. The sound statuses of the simulated speakers come
    // with the hardware's events; those of real speakers from `audio` when it is a roster (CAudioRoster).
    static std::shared_ptr<CServiceEventHub> Create(std::shared_ptr<CSimulatedHardware> hardware,
                                                    std::shared_ptr<ICameraDevices> cameras,
                                                    std::shared_ptr<IAudioDevices> audio);
    ~CServiceEventHub();
    CServiceEventHub(const CServiceEventHub&) = delete;
    CServiceEventHub& operator=(const CServiceEventHub&) = delete;

    // Device events flow only after the service has started.
    void SetStarted();
    // Stops all events: no sink is called after this returns (unless it is called from a sink, where the
    // running call simply finishes).
    void Shutdown();

    HRESULT Advise(IInProcDeviceManagerEvents* sink, uint32_t* cookie);
    HRESULT Unadvise(uint32_t cookie);
    // Counted per camera and code; the camera must be plugged in to subscribe.
    HRESULT Subscribe(const std::string& cameraId, int32_t code);
    HRESULT Unsubscribe(const std::string& cameraId, int32_t code);
    bool IsSubscribed(const std::string& cameraId, int32_t code) const;

    // Level reports for a microphone run while its meter or its monitor is on.
    enum class LevelSource { Meter, Monitor };
    HRESULT StartLevels(const std::string& microphoneId, LevelSource source);
    HRESULT StopLevels(const std::string& microphoneId, LevelSource source);
    // Ends the playback `token` on the speaker after `milliseconds`.
    void ScheduleSoundEnd(const std::string& speakerId, uint64_t token, uint32_t milliseconds);

    std::thread::id WorkerThreadId() const { return worker_.ThreadId(); }

    void OnHardwareEvent(const HardwareEvent& event) override;

private:
    class AudioTap : public IHardwareListener {
    public:
        explicit AudioTap(CServiceEventHub& hub) : hub_(hub) {}
        void OnHardwareEvent(const HardwareEvent& event) override;

    private:
        CServiceEventHub& hub_;
    };

    CServiceEventHub(std::shared_ptr<CSimulatedHardware> hardware, std::shared_ptr<ICameraDevices> cameras,
                     std::shared_ptr<IAudioDevices> audio);
    void Queue(const HardwareEvent& event);
    void Dispatch(const HardwareEvent& event);
    static void Deliver(const HardwareEvent& event, IInProcDeviceManagerEvents& sink);
    void ScheduleLevelTick();
    void LevelTick();
    static std::string Key(const std::string& id);

    std::shared_ptr<CSimulatedHardware> hardware_;
    std::shared_ptr<ICameraDevices> cameras_;
    std::shared_ptr<IAudioDevices> audio_;
    AudioTap audioTap_{*this};
    bool audioTellsSounds_ = false; // `audio` is a roster, which tells the real speakers' sounds
    CServiceWorker worker_;

    mutable std::mutex lock_;
    std::condition_variable callDone_;
    bool started_ = false;
    bool shutdown_ = false;
    std::map<uint32_t, IInProcDeviceManagerEvents*> sinks_;
    uint32_t nextCookie_ = 1;
    uint32_t inCall_ = 0; // cookie of the sink being called on the worker, 0 when none
    std::map<std::pair<std::string, int32_t>, int> subscriptions_;
    std::map<std::string, std::pair<std::string, std::set<LevelSource>>> levels_; // key -> (id, sources)
    bool levelTickQueued_ = false;
};

} // namespace Granite
