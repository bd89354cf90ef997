#include "capture/CShutterSound.h"
#include "capture/GstHandles.h"

#include "platform/CResourceLibrary.h"
#include "platform/DebugOutput.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include <cerrno>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace GstHandles;

std::atomic<int> g_livePlayers{0};

// One sound on its way: the pipeline and its bus. Going away takes the pipeline down.
class CPlayer {
public:
    CPlayer(ElementPtr pipeline, BusPtr bus) : pipeline_(std::move(pipeline)), bus_(std::move(bus)) {
        ++g_livePlayers;
    }
    ~CPlayer() {
        gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
        --g_livePlayers;
    }
    CPlayer(const CPlayer&) = delete;
    CPlayer& operator=(const CPlayer&) = delete;

    bool Start() {
        return gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    }
    // Waits for the end of the sound, an error, a stop or the time-out, whichever comes first. A stopped
    // pipeline's bus drops what is posted to it, so the stop is seen through a flag of our own.
    void WaitForEnd(uint32_t timeoutMs) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!halted_.load()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return;
            const auto slice = std::min<int64_t>(left.count(), kPollMs);
            MessagePtr message(
                gst_bus_timed_pop_filtered(bus_.get(), static_cast<GstClockTime>(slice) * GST_MSECOND,
                                           static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
            if (message == nullptr)
                continue;
            if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR)
                OutputDebugString("ShutterSound: the sound could not be played");
            return;
        }
    }
    // Silences the sound now; whoever waits for its end stops waiting.
    void Halt() {
        halted_ = true;
        gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    }

private:
    // How often a waiting thread looks whether the sound was stopped.
    static constexpr int64_t kPollMs = 20;

    ElementPtr pipeline_;
    BusPtr bus_;
    std::atomic<bool> halted_{false};
};

// The sound that plays now. Made once and never destroyed: a waiting thread may still look at it while the
// process ends.
struct CCurrentSound {
    std::mutex lock;
    std::shared_ptr<CPlayer> player;
};

CCurrentSound& Current() {
    static auto* current = new CCurrentSound;
    return *current;
}

std::shared_ptr<CPlayer> Build(const QByteArray& wave) {
    EnsureGStreamer();
    const QByteArray sinkName = qgetenv(CShutterSound::kSinkVariable);
    ElementPtr pipeline(gst_pipeline_new(nullptr));
    if (pipeline != nullptr)
        gst_object_ref_sink(pipeline.get());
    ElementPtr source = MakeElement("appsrc");
    ElementPtr parse = MakeElement("wavparse");
    ElementPtr convert = MakeElement("audioconvert");
    ElementPtr resample = MakeElement("audioresample");
    ElementPtr sink = MakeElement(sinkName.isEmpty() ? "autoaudiosink" : sinkName.constData());
    if (!pipeline || !source || !parse || !convert || !resample || !sink) {
        OutputDebugString("ShutterSound: a GStreamer plug-in is missing; no sound");
        return nullptr;
    }
    // The sound plays at its own pace whatever sink it goes to (a fake sink would swallow it at once).
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink.get()), "sync") != nullptr)
        g_object_set(sink.get(), "sync", TRUE, nullptr);
    GstCaps* caps = gst_caps_new_empty_simple("audio/x-wav");
    g_object_set(source.get(), "caps", caps, "format", GST_FORMAT_BYTES, nullptr);
    gst_caps_unref(caps);

    gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), parse.get(), convert.get(), resample.get(),
                     sink.get(), nullptr);
    if (!gst_element_link_many(source.get(), parse.get(), convert.get(), resample.get(), sink.get(),
                               nullptr)) {
        OutputDebugString("ShutterSound: the sound pipeline cannot be linked; no sound");
        return nullptr;
    }
    GstBuffer* buffer = gst_buffer_new_memdup(wave.constData(), static_cast<gsize>(wave.size()));
    if (gst_app_src_push_buffer(GST_APP_SRC(source.get()), buffer) != GST_FLOW_OK ||
        gst_app_src_end_of_stream(GST_APP_SRC(source.get())) != GST_FLOW_OK)
        return nullptr;
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    if (bus == nullptr)
        return nullptr;
    return std::make_shared<CPlayer>(std::move(pipeline), std::move(bus));
}

// Raises the calling thread as far as it is allowed (real-time scheduling when the user may, else the
// lowest nice value the limits allow) and puts it back when it goes.
class CThreadBoost {
public:
    CThreadBoost() {
        const pthread_t self = pthread_self();
        if (pthread_getschedparam(self, &policy_, &param_) == 0) {
            sched_param top{};
            top.sched_priority = sched_get_priority_max(SCHED_RR);
            scheduled_ = pthread_setschedparam(self, SCHED_RR, &top) == 0;
        }
        if (scheduled_)
            return;
        tid_ = static_cast<id_t>(gettid());
        errno = 0;
        const int current = getpriority(PRIO_PROCESS, tid_);
        if (errno != 0)
            return;
        for (int nice = -20; nice < current; ++nice) {
            if (setpriority(PRIO_PROCESS, tid_, nice) == 0) {
                oldNice_ = current;
                niced_ = true;
                break;
            }
        }
    }
    ~CThreadBoost() {
        if (scheduled_)
            pthread_setschedparam(pthread_self(), policy_, &param_);
        if (niced_)
            setpriority(PRIO_PROCESS, tid_, oldNice_);
    }
    CThreadBoost(const CThreadBoost&) = delete;
    CThreadBoost& operator=(const CThreadBoost&) = delete;

private:
    int policy_ = SCHED_OTHER;
    sched_param param_{};
    bool scheduled_ = false;
    id_t tid_ = 0;
    int oldNice_ = 0;
    bool niced_ = false;
};

// Drops the player from the current slot once it is over, unless a newer sound took the slot.
void Finished(const std::shared_ptr<CPlayer>& player) {
    std::lock_guard guard(Current().lock);
    if (Current().player == player)
        Current().player.reset();
}

} // namespace

void CShutterSound::Play(bool largeStill) {
    Stop();
    const QByteArray wave = CResourceLibrary::Instance().GetData(ResourceType::Wave, kWaveId);
    if (wave.isEmpty()) {
        OutputDebugString("ShutterSound: the shutter sound is missing from the resource library");
        return;
    }
    if (largeStill) {
        CThreadBoost boost;
        PlayWave(wave, true);
    } else {
        PlayWave(wave, false);
    }
}

void CShutterSound::PlayWave(const QByteArray& wave, bool synchronous) {
    if (wave.isEmpty())
        return;
    std::shared_ptr<CPlayer> player = Build(wave);
    if (player == nullptr)
        return;
    std::shared_ptr<CPlayer> previous;
    {
        std::lock_guard guard(Current().lock);
        previous = std::exchange(Current().player, player);
    }
    if (previous != nullptr)
        previous->Halt();
    if (!player->Start()) {
        Finished(player);
        return;
    }
    if (synchronous) {
        player->WaitForEnd(kMaxSyncPlayMs);
        Finished(player);
        return;
    }
    // The sound plays on; a thread of its own waits for the end and takes the player down.
    std::thread([player] {
        player->WaitForEnd(kMaxSyncPlayMs);
        Finished(player);
    }).detach();
}

void CShutterSound::Stop() {
    std::shared_ptr<CPlayer> player;
    {
        std::lock_guard guard(Current().lock);
        player = std::move(Current().player);
        Current().player.reset();
    }
    if (player != nullptr)
        player->Halt();
}

bool CShutterSound::IsPlaying() {
    std::lock_guard guard(Current().lock);
    return Current().player != nullptr;
}

int CShutterSound::LivePlayers() {
    return g_livePlayers.load();
}
