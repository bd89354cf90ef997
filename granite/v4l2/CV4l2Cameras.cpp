#include "granite/v4l2/CV4l2Cameras.h"

#include "granite/v4l2/CUdevCameraMonitor.h"
#include "granite/v4l2/CV4l2ShadeStates.h"
#include "granite/v4l2/CV4l2SystemDevice.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <filesystem>

namespace Granite {
namespace {
namespace P = DeviceProperty::Camera;

bool IsIdentity(int32_t property) {
    return property == Prop::Name || property == Prop::ProductId || property == Prop::VendorId ||
           property == P::Revision.value;
}
} // namespace

CV4l2Cameras::CV4l2Cameras(std::shared_ptr<IV4l2DeviceOpener> opener, std::string sysfsRoot,
                           std::string devRoot)
    : opener_(std::move(opener)), sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

CV4l2Cameras::~CV4l2Cameras() {
    monitor_.reset();
    std::vector<std::shared_ptr<Camera>> cameras;
    {
        std::lock_guard guard(lock_);
        cameras.swap(cameras_);
    }
    for (auto& camera : cameras) {
        Stop(*camera);
        camera->controls->SetMuteFlag(nullptr);
    }
}

std::shared_ptr<CV4l2Cameras> CV4l2Cameras::Shared() {
    static std::mutex lock;
    static std::shared_ptr<CV4l2Cameras> shared;
    std::lock_guard guard(lock);
    if (!shared) {
        shared = std::make_shared<CV4l2Cameras>(std::make_shared<CV4l2SystemOpener>(), "/sys", "/dev");
        if (!shared->StartMonitoring())
            shared->Scan();
    }
    return shared;
}

bool CV4l2Cameras::StartMonitoring() {
    monitor_ = CUdevCameraMonitor::Start(
        [this](const std::string& node, bool added) { added ? (void)Add(node) : Remove(node); },
        [this] { Scan(); });
    return monitor_ != nullptr;
}

void CV4l2Cameras::Scan() {
    std::error_code error;
    std::vector<std::string> nodes;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(sysfsRoot_) / "class" / "video4linux", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("video", 0) == 0)
            nodes.push_back(name);
    }
    // video2 before video10: the order the kernel made them in.
    std::sort(nodes.begin(), nodes.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const std::string& node : nodes)
        Add(node);
}

bool CV4l2Cameras::Add(const std::string& node) {
    V4l2SysfsCamera info;
    if (!CV4l2SysfsCamera::Read(sysfsRoot_, node, info))
        return false;
    {
        std::lock_guard guard(lock_);
        for (const auto& camera : cameras_) {
            if (camera->info.node == node)
                return true;
        }
    }
    std::shared_ptr<CV4l2CameraControls> controls =
        CV4l2CameraControls::Open(opener_->Open(devRoot_ + "/" + node));
    if (!controls)
        return false;
    if (info.name.empty())
        info.name = controls->Card();
    auto camera = std::make_shared<Camera>();
    camera->info = info;
    camera->controls = controls;
    {
        std::lock_guard guard(lock_);
        // Two nodes of one camera (or a camera that reports no serial twice): the first keeps the id.
        for (const auto& other : cameras_) {
            if (Text::EqualsNoCase(other->info.id, info.id))
                return false;
        }
        cameras_.push_back(camera);
    }
    // The capture of this camera's picture shows the privacy shade while the camera is muted.
    controls->SetMuteFlag(CV4l2ShadeStates::Process().FlagOf(info.id));
    camera->events = std::thread([this, raw = camera.get()] { RunEvents(*raw); });
    HardwareEvent event;
    event.type = HardwareEvent::Type::Arrived;
    event.kind = DeviceKind::Camera;
    event.id = info.id;
    Emit(event);
    return true;
}

void CV4l2Cameras::Remove(const std::string& node) {
    std::shared_ptr<Camera> gone;
    {
        std::lock_guard guard(lock_);
        auto it = std::find_if(cameras_.begin(), cameras_.end(),
                               [&](const auto& c) { return c->info.node == node; });
        if (it == cameras_.end())
            return;
        gone = *it;
        cameras_.erase(it);
        std::erase_if(attached_, [&](const auto& a) { return Text::EqualsNoCase(a.second, gone->info.id); });
    }
    Stop(*gone);
    gone->controls->SetMuteFlag(nullptr);
    HardwareEvent event;
    event.type = HardwareEvent::Type::Removed;
    event.kind = DeviceKind::Camera;
    event.id = gone->info.id;
    Emit(event);
}

void CV4l2Cameras::Stop(Camera& camera) {
    camera.stop = true;
    if (camera.events.joinable() && camera.events.get_id() != std::this_thread::get_id())
        camera.events.join();
    else if (camera.events.joinable())
        camera.events.detach();
}

void CV4l2Cameras::RunEvents(Camera& camera) {
    while (!camera.stop) {
        std::vector<V4l2PropertyChange> changes;
        const bool alive =
            camera.controls->PumpEvents(std::chrono::milliseconds(eventWaitMs_.load()), changes);
        if (!changes.empty() && !camera.stop)
            EmitChanges(camera.info.id, changes);
        if (!alive)
            break; // unplugged: udev's removal follows
    }
}

std::shared_ptr<CV4l2Cameras::Camera> CV4l2Cameras::Find(const std::string& id) const {
    std::lock_guard guard(lock_);
    for (const auto& camera : cameras_) {
        if (Text::EqualsNoCase(camera->info.id, id))
            return camera;
    }
    return nullptr;
}

void CV4l2Cameras::Emit(const HardwareEvent& event) {
    // Held while calling: a listener removed after this returns is never called again.
    std::lock_guard guard(listenersLock_);
    for (IHardwareListener* listener : listeners_)
        listener->OnHardwareEvent(event);
}

void CV4l2Cameras::EmitChanges(const std::string& id, const std::vector<V4l2PropertyChange>& changes) {
    for (const V4l2PropertyChange& change : changes) {
        HardwareEvent event;
        event.type = HardwareEvent::Type::PropertyChanged;
        event.kind = DeviceKind::Camera;
        event.id = id;
        event.number = change.property;
        event.oldValue = change.oldValue;
        event.newValue = change.newValue;
        Emit(event);
    }
}

int32_t CV4l2Cameras::Count() const {
    std::lock_guard guard(lock_);
    return static_cast<int32_t>(cameras_.size());
}

bool CV4l2Cameras::IdAt(int32_t index, std::string& id) const {
    std::lock_guard guard(lock_);
    if (index < 0 || index >= static_cast<int32_t>(cameras_.size()))
        return false;
    id = cameras_[static_cast<size_t>(index)]->info.id;
    return true;
}

bool CV4l2Cameras::Exists(const std::string& id) const {
    return Find(id) != nullptr;
}

HRESULT CV4l2Cameras::Query(const std::string& id, int32_t property, int32_t* state) const {
    if (state == nullptr)
        return E_POINTER;
    std::shared_ptr<Camera> camera = Find(id);
    if (!camera)
        return E_DEVICE_NOT_CONNECTED;
    *state = IsIdentity(property) ? kPropertyReadOnly : camera->controls->State(property);
    return S_OK;
}

HRESULT CV4l2Cameras::Get(const std::string& id, int32_t property, Variant* value) const {
    if (value == nullptr)
        return E_POINTER;
    std::shared_ptr<Camera> camera = Find(id);
    if (!camera)
        return E_DEVICE_NOT_CONNECTED;
    const V4l2SysfsCamera& info = camera->info;
    if (property == Prop::Name)
        *value = Variant::FromString(info.name);
    else if (property == Prop::ProductId)
        *value = Variant::FromI4(info.productId);
    else if (property == Prop::VendorId)
        *value = Variant::FromI4(info.vendorId);
    else if (property == P::Revision.value)
        *value = Variant::FromI4(info.release);
    else
        return camera->controls->Get(property, value);
    return S_OK;
}

HRESULT CV4l2Cameras::Set(const std::string& id, int32_t property, const Variant& value) {
    std::shared_ptr<Camera> camera = Find(id);
    if (!camera)
        return E_DEVICE_NOT_CONNECTED;
    if (IsIdentity(property))
        return E_ACCESSDENIED;
    std::vector<V4l2PropertyChange> changes;
    const HRESULT hr = camera->controls->Set(property, value, changes);
    EmitChanges(camera->info.id, changes);
    return hr;
}

HRESULT CV4l2Cameras::HasFeature(const std::string& id, const std::string& feature, bool* supported) const {
    if (supported == nullptr)
        return E_POINTER;
    std::shared_ptr<Camera> camera = Find(id);
    if (!camera)
        return E_DEVICE_NOT_CONNECTED;
    // What the program does itself on any picture (effects, motion, the picture mute) works on every
    // camera; focus modes and the light follow the camera's controls; face tracking needs the maker's
    // firmware.
    const CV4l2CameraControls& c = *camera->controls;
    if (feature == "AFAutoMode")
        *supported = c.Has(P::AutoFocus.value);
    else if (feature == "LEDControl")
        *supported = c.Has(P::LedMode.value);
    else if (feature == "AFManualMode")
        *supported = c.Has(P::Focus.value);
    else
        *supported = feature == "Avatar" || feature == "FunFilters" || feature == "MoDetect" ||
                     feature == "SW Video Mute";
    return S_OK;
}

HRESULT CV4l2Cameras::HasFaceTracking(const std::string& id, bool, bool* supported) const {
    if (supported == nullptr)
        return E_POINTER;
    if (!Exists(id))
        return E_DEVICE_NOT_CONNECTED;
    *supported = false;
    return S_OK;
}

HRESULT CV4l2Cameras::PropertyFlag(const std::string& id, int32_t property, bool* flag) const {
    if (flag == nullptr)
        return E_POINTER;
    std::shared_ptr<Camera> camera = Find(id);
    if (!camera)
        return E_DEVICE_NOT_CONNECTED;
    *flag = !IsIdentity(property) && camera->controls->State(property) == kPropertyReadWrite;
    return S_OK;
}

HRESULT CV4l2Cameras::DriverName(const std::string& id, std::string* driver) const {
    if (driver == nullptr)
        return E_POINTER;
    std::shared_ptr<Camera> camera = Find(id);
    if (!camera)
        return E_DEVICE_NOT_CONNECTED;
    *driver = camera->controls->Driver();
    return S_OK;
}

HRESULT CV4l2Cameras::DeviceStrings(const std::string& id, int32_t, std::string* first,
                                    std::string* second) const {
    if (first == nullptr || second == nullptr)
        return E_POINTER;
    if (!Exists(id))
        return E_DEVICE_NOT_CONNECTED;
    // Which other program streams from a real camera is not known here.
    first->clear();
    second->clear();
    return S_OK;
}

HRESULT CV4l2Cameras::CameraInUse(std::string* id) const {
    if (id == nullptr)
        return E_POINTER;
    std::lock_guard guard(lock_);
    if (attached_.empty())
        return E_FAIL;
    *id = attached_.back().second;
    return S_OK;
}

HRESULT CV4l2Cameras::Attach(uint64_t client, const std::string& id) {
    std::shared_ptr<Camera> camera = Find(id);
    if (!camera)
        return E_DEVICE_NOT_CONNECTED;
    std::lock_guard guard(lock_);
    attached_.emplace_back(client, camera->info.id);
    return S_OK;
}

HRESULT CV4l2Cameras::Detach(uint64_t client, const std::string& id) {
    std::lock_guard guard(lock_);
    for (auto it = attached_.rbegin(); it != attached_.rend(); ++it) {
        if (it->first == client && Text::EqualsNoCase(it->second, id)) {
            attached_.erase(std::next(it).base());
            return S_OK;
        }
    }
    return S_FALSE;
}

void CV4l2Cameras::DetachAll(uint64_t client) {
    std::lock_guard guard(lock_);
    std::erase_if(attached_, [&](const auto& a) { return a.first == client; });
}

void CV4l2Cameras::AddListener(IHardwareListener* listener) {
    std::lock_guard guard(listenersLock_);
    if (listener != nullptr && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void CV4l2Cameras::RemoveListener(IHardwareListener* listener) {
    std::lock_guard guard(listenersLock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

} // namespace Granite
