#include "granite/pulse/CPulseSoundPlayer.h"

#include "granite/devices/CWaveFileInfo.h"

#include <algorithm>

namespace Granite {
namespace {
// Long enough for a sound server under load to open a stream; a sound not ready by then fails its call.
constexpr std::chrono::milliseconds kPrepareTimeout{5000};
} // namespace

std::shared_ptr<CPulseSoundPlayer> CPulseSoundPlayer::Shared() {
    static std::mutex lock;
    static std::weak_ptr<CPulseSoundPlayer> shared;
    std::lock_guard guard(lock);
    std::shared_ptr<CPulseSoundPlayer> player = shared.lock();
    if (!player) {
        player = std::make_shared<CPulseSoundPlayer>();
        shared = player;
    }
    return player;
}

CPulseSoundPlayer::CPulseSoundPlayer() = default;

CPulseSoundPlayer::~CPulseSoundPlayer() {
    std::map<std::string, Playing> sounds;
    {
        std::lock_guard guard(lock_);
        closing_ = true;
        listeners_.clear();
        sounds.swap(sounds_);
    }
    {
        std::lock_guard guard(endsLock_);
        stopping_ = true;
    }
    endsChanged_.notify_all();
    if (thread_.joinable())
        thread_.join();
    // The sounds stop here, silently, as they go out of scope.
}

std::string CPulseSoundPlayer::Key(const std::string& sink) {
    // The server's sink names are exact: "Speaker" and "speaker" are two sinks.
    return sink;
}

CPulseSound::EndHandler CPulseSoundPlayer::EndHandler() {
    return [this](uint64_t token, CPulseSound::Ending ending) {
        {
            std::lock_guard guard(endsLock_);
            ends_.push_back({token, ending});
        }
        endsChanged_.notify_all();
    };
}

HRESULT CPulseSoundPlayer::PlayFile(const std::string& sink, const std::string& path) {
    // The header decides what is a wave file, as for the simulated speakers.
    uint32_t milliseconds = 0;
    if (HRESULT hr = CWaveFileInfo::Duration(path, milliseconds); FAILED(hr))
        return hr;
    uint64_t token = 0;
    {
        std::lock_guard guard(lock_);
        token = nextToken_++;
    }
    return Start(sink, CPulseSound::File(sink, path, token, EndHandler()));
}

HRESULT CPulseSoundPlayer::PlayTone(const std::string& sink) {
    uint64_t token = 0;
    {
        std::lock_guard guard(lock_);
        token = nextToken_++;
    }
    return Start(sink, CPulseSound::Tone(sink, token, EndHandler()));
}

HRESULT CPulseSoundPlayer::Start(const std::string& sink, std::unique_ptr<CPulseSound> sound) {
    if (!sound)
        return E_FAIL; // GStreamer lacks an element the sound needs
    // Readied before anything is reported: a sound that cannot play fails its call and leaves the speaker's
    // present sound alone.
    if (HRESULT hr = sound->Prepare(kPrepareTimeout); FAILED(hr))
        return hr;
    std::unique_ptr<CPulseSound> previous;
    {
        std::lock_guard guard(lock_);
        if (closing_)
            return E_UNEXPECTED;
        Playing& slot = sounds_[Key(sink)];
        if (slot.sound) {
            previous = std::move(slot.sound);
            Emit(slot.sink, SoundStatus::Stopped);
        }
        // The thread that hears sounds end starts with the first sound.
        if (!thread_.joinable())
            thread_ = std::thread([this] { Run(); });
        slot.sink = sink;
        slot.sound = std::move(sound);
        // The old sound falls silent before the new one is heard.
        previous.reset();
        slot.sound->Play();
        Emit(sink, SoundStatus::Started);
    }
    return S_OK;
}

HRESULT CPulseSoundPlayer::Stop(const std::string& sink) {
    std::unique_ptr<CPulseSound> stopped;
    std::lock_guard guard(lock_);
    auto it = sounds_.find(Key(sink));
    if (it == sounds_.end())
        return S_FALSE;
    stopped = std::move(it->second.sound);
    const std::string name = it->second.sink;
    sounds_.erase(it);
    stopped.reset();
    Emit(name, SoundStatus::Stopped);
    return S_OK;
}

bool CPulseSoundPlayer::IsPlaying(const std::string& sink) const {
    std::lock_guard guard(lock_);
    return sounds_.count(Key(sink)) != 0;
}

void CPulseSoundPlayer::AddListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    if (listener != nullptr && !closing_ &&
        std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void CPulseSoundPlayer::RemoveListener(IHardwareListener* listener) {
    std::lock_guard guard(lock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void CPulseSoundPlayer::Emit(const std::string& sink, uint32_t status) {
    // Called with lock_ held.
    HardwareEvent event;
    event.type = HardwareEvent::Type::SoundStatus;
    event.kind = DeviceKind::Speaker;
    event.id = sink;
    event.status = status;
    for (IHardwareListener* listener : listeners_)
        listener->OnHardwareEvent(event);
}

void CPulseSoundPlayer::Run() {
    std::unique_lock guard(endsLock_);
    for (;;) {
        endsChanged_.wait(guard, [this] { return stopping_ || !ends_.empty(); });
        if (stopping_)
            return;
        const End end = ends_.front();
        ends_.pop_front();
        guard.unlock();
        OnEnd(end);
        guard.lock();
    }
}

void CPulseSoundPlayer::OnEnd(const End& end) {
    std::unique_ptr<CPulseSound> ended;
    std::lock_guard guard(lock_);
    // A sound stopped or replaced meanwhile has been reported already.
    auto it = std::find_if(sounds_.begin(), sounds_.end(), [&](const auto& entry) {
        return entry.second.sound && entry.second.sound->Token() == end.token;
    });
    if (closing_ || it == sounds_.end())
        return;
    ended = std::move(it->second.sound);
    const std::string sink = it->second.sink;
    sounds_.erase(it);
    ended.reset();
    // A sound cut off by its speaker or server counts as stopped, as a sound whose speaker is unplugged.
    Emit(sink, end.ending == CPulseSound::Ending::Finished ? SoundStatus::Finished : SoundStatus::Stopped);
}

} // namespace Granite
