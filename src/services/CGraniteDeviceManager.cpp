#include "services/CGraniteDeviceManager.h"

#include "platform/CObjectFactory.h"
#include "platform/DebugOutput.h"
#include "platform/IClock.h"
#include "platform/TextUtil.h"

#include <QCoreApplication>

#include <chrono>
#include <exception>
#include <new>
#include <string_view>
#include <system_error>
#include <thread>

namespace {

CGraniteDeviceManager* g_deviceManager = nullptr;

constexpr const char* kClientName = "Vidora10";

std::string ModulePath() {
    if (QCoreApplication::instance() == nullptr)
        return {};
    return QCoreApplication::applicationFilePath().toStdString();
}

} // namespace

IGraniteDeviceManager* GetGraniteDeviceManager() {
    if (g_deviceManager != nullptr) {
        g_deviceManager->AddRef();
        return g_deviceManager;
    }
    CGraniteDeviceManager* manager = nullptr;
    try {
        manager = new CGraniteDeviceManager();
    } catch (const std::exception&) {
        OutputDebugString("GetGraniteDeviceManager: the facade could not be created");
        return nullptr;
    }
    manager->AddRef();
    g_deviceManager = manager;
    if (FAILED(manager->Initialise())) {
        OutputDebugString("GetGraniteDeviceManager: the device-manager service is not available");
        g_deviceManager = nullptr;
        manager->refCount_ = 0;
        delete manager;
        return nullptr;
    }
    return manager;
}

CGraniteDeviceManager* CGraniteDeviceManager::Instance() {
    return g_deviceManager;
}

CGraniteDeviceManager::CGraniteDeviceManager() {
    deviceEvents_.SetTarget(this);
    fireEvents_.SetTarget(this);
}

CGraniteDeviceManager::~CGraniteDeviceManager() {
    Shutdown();
}

HRESULT CGraniteDeviceManager::Initialise() {
    if (service_ != nullptr)
        return S_OK;
    if (FAILED(CObjectFactory::Instance().Create(CLSID_InProcDeviceManager, IID_IInProcDeviceManager,
                                                 &service_)) ||
        service_ == nullptr) {
        service_ = nullptr;
        return E_FAIL;
    }

    sink_ = deviceEvents_.Sink();
    if (sinkCookie_ == GDM_SINK_NOT_CONNECTED) {
        uint32_t cookie = GDM_SINK_NOT_CONNECTED;
        if (FAILED(service_->Advise(sink_.get(), &cookie)) || cookie == GDM_SINK_NOT_CONNECTED)
            return E_FAIL;
        sinkCookie_ = cookie;
    }

    const std::string clientName =
        Text::Format("%s:%lu", kClientName, static_cast<unsigned long>(GetClock().GetTickCount()));
    const std::string modulePath = ModulePath();
    // Two clients registering within the same tick would otherwise carry the same name.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (FAILED(service_->RegisterClient(clientName, modulePath)))
        return E_FAIL;
    if (FAILED(service_->Start()))
        return E_FAIL;

    // No device is selected here: the main window chooses the camera.
    RefreshVideoDevices();
    RefreshMicrophones();
    RefreshSpeakers();
    RefreshHidDevices();
    return S_OK;
}

void CGraniteDeviceManager::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    // Events still queued must not reach a facade that is going away.
    deviceEvents_.SetTarget(nullptr);
    fireEvents_.SetTarget(nullptr);
    // A walk under way calls nobody else.
    listeners_.Clear();

    if (service_ != nullptr && !lists_.CurrentIdOf(Kind::Video).empty() && notificationsActive_) {
        service_->DetachVideoDevice(lists_.CurrentIdOf(Kind::Video));
        for (int32_t code : GdmProperty::kCurrentCameraEventCodes)
            service_->UnsubscribeVideoEvent(lists_.CurrentIdOf(Kind::Video), code, 0);
        notificationsActive_ = false;
    }
    if (sink_) {
        if (sinkCookie_ != GDM_SINK_NOT_CONNECTED && service_ != nullptr)
            service_->Unadvise(sinkCookie_);
        sinkCookie_ = GDM_SINK_NOT_CONNECTED;
        sink_.reset();
    }
    IInProcDeviceManager* service = service_;
    service_ = nullptr;
    if (service != nullptr)
        service->Release();

    // Each camera entry drops its own subscriptions with its own service reference.
    lists_.ClearAll();
    if (g_deviceManager == this)
        g_deviceManager = nullptr;
    // The serializers go with the object, the severity one first (declaration order).
}

CGraniteDeviceManager::CCallScope::~CCallScope() {
    if (--owner_->callDepth_ == 0 && owner_->destroyPending_) {
        owner_->destroyPending_ = false;
        if (owner_->refCount_ == 0)
            delete owner_;
    }
}

HRESULT CGraniteDeviceManager::AddRef() {
    ++refCount_;
    return S_OK;
}

HRESULT CGraniteDeviceManager::Release() {
    if (refCount_ == 0)
        return S_OK;
    if (--refCount_ > 0)
        return S_OK;
    // Let go of the service and the listeners at once, even from inside a call: nobody holds a reference
    // any more, so nobody may hear from us again. A new GetGraniteDeviceManager meanwhile makes a fresh one.
    Shutdown();
    if (callDepth_ > 0) {
        // A listener gave back the last reference from inside a call; the memory goes once that call has
        // returned.
        destroyPending_ = true;
        return S_OK;
    }
    delete this;
    return S_OK;
}

bool CGraniteDeviceManager::TakeLock() {
    try {
        lock_.lock();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

HRESULT CGraniteDeviceManager::AddListener(IGraniteDeviceManagerEvent* listener, uint32_t cookie) {
    if (listener == nullptr)
        return E_INVALIDARG;
    if (!TakeLock())
        return E_FAIL;
    std::lock_guard guard(lock_, std::adopt_lock);
    if (listeners_.Add(listener, cookie))
        return S_OK;
    OutputDebugString("CGraniteDeviceManager: listener table full; listener not registered");
    return S_OK;
}

HRESULT CGraniteDeviceManager::RemoveListener(IGraniteDeviceManagerEvent* listener) {
    if (!TakeLock())
        return E_FAIL;
    std::lock_guard guard(lock_, std::adopt_lock);
    listeners_.Remove(listener);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SetSharedState(int32_t value) {
    CCallScope scope(this);
    if (!TakeLock())
        return E_FAIL;
    std::lock_guard guard(lock_, std::adopt_lock);
    sharedState_ = value;
    ForEachListener(
        [&](IGraniteDeviceManagerEvent& l, uint32_t cookie) { l.OnSharedStateChanged(cookie, value); });
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetSharedState(int32_t* value) {
    if (value == nullptr)
        return E_FAIL;
    *value = sharedState_;
    return S_OK;
}

HRESULT CGraniteDeviceManager::NotifyCameraSwitched() {
    CCallScope scope(this);
    ForEachListener([](IGraniteDeviceManagerEvent& l, uint32_t cookie) { l.OnCameraSwitched(cookie); });
    return S_OK;
}

HRESULT CGraniteDeviceManager::NotifyListeners4() {
    CCallScope scope(this);
    ForEachListener([](IGraniteDeviceManagerEvent& l, uint32_t cookie) { l.OnNotify4(cookie); });
    return S_OK;
}

HRESULT CGraniteDeviceManager::NotifyListeners7() {
    CCallScope scope(this);
    ForEachListener([](IGraniteDeviceManagerEvent& l, uint32_t cookie) { l.OnNotify7(cookie); });
    return S_OK;
}

HRESULT CGraniteDeviceManager::FireSeverityChanged(const std::string& deviceId, int32_t newValue,
                                                   int32_t oldValue) {
    // Deferred to the message loop: the caller is often a listener in the middle of its own handler.
    fireEvents_.FireSeverityChangedEvent(deviceId, newValue, oldValue);
    return S_OK;
}

void CGraniteDeviceManager::FireSeverityChangedEvent(const std::string& deviceId, int32_t newValue,
                                                     int32_t oldValue) {
    OnVideoPropertyChanged(deviceId, 0, GdmProperty::SunTuneMode.value, Variant::FromI4(newValue),
                           Variant::FromI4(oldValue));
}

// --- device lists, the current device of each kind, and the values kept per camera
// ---------------------------------------------------------------------------

HRESULT CGraniteDeviceManager::RefreshVideoDevices() {
    return RefreshList(Kind::Video);
}

HRESULT CGraniteDeviceManager::RefreshMicrophones() {
    return RefreshList(Kind::Microphone);
}

HRESULT CGraniteDeviceManager::RefreshSpeakers() {
    return RefreshList(Kind::Speaker);
}

HRESULT CGraniteDeviceManager::RefreshHidDevices() {
    return RefreshList(Kind::Hid);
}

HRESULT CGraniteDeviceManager::RefreshList(Kind kind) {
    return lists_.Refresh(kind, service_, props_, [this] { ReleaseCurrentCamera(); });
}

HRESULT CGraniteDeviceManager::SelectDevice(Kind kind, int index) {
    return kind == Kind::Video ? SelectVideoDevice(index) : SelectAudioDevice(kind, index);
}

void CGraniteDeviceManager::ReleaseCurrentCamera() {
    if (service_ != nullptr && !lists_.CurrentIdOf(Kind::Video).empty() && notificationsActive_) {
        service_->DetachVideoDevice(lists_.CurrentIdOf(Kind::Video));
        for (int32_t code : GdmProperty::kCurrentCameraEventCodes)
            service_->UnsubscribeVideoEvent(lists_.CurrentIdOf(Kind::Video), code, 0);
    }
    notificationsActive_ = false;
}

void CGraniteDeviceManager::AttachCurrentCamera() {
    // Results are not checked: a camera that refuses some codes still streams.
    service_->AttachVideoDevice(lists_.CurrentIdOf(Kind::Video));
    for (int32_t code : GdmProperty::kCurrentCameraEventCodes)
        service_->SubscribeVideoEvent(lists_.CurrentIdOf(Kind::Video), code, 0);
    notificationsActive_ = true;
}

HRESULT CGraniteDeviceManager::SelectVideoDevice(int index) {
    CCallScope scope(this);
    if (service_ == nullptr)
        return E_FAIL;
    if (index < 0 || index >= static_cast<int>(lists_.ListOf(Kind::Video).size()))
        return E_INVALIDARG;
    const DeviceEntry* entry = lists_.ListOf(Kind::Video)[static_cast<size_t>(index)].get();
    if (entry == nullptr)
        return E_FAIL;
    if (!lists_.CurrentIdOf(Kind::Video).empty() &&
        CDeviceLists::SameDevice(entry->id, lists_.CurrentIdOf(Kind::Video)))
        return S_OK;

    const std::string newId = entry->id; // the entry may go while listeners run
    lists_.CurrentIndexOf(Kind::Video) = index;
    if (notificationsActive_ && !lists_.CurrentIdOf(Kind::Video).empty())
        ReleaseCurrentCamera();
    lists_.CurrentIdOf(Kind::Video) = newId;
    AttachCurrentCamera();
    ForEachListener(
        [&](IGraniteDeviceManagerEvent& l, uint32_t cookie) { l.OnVideoDeviceSelected(cookie, newId); });
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetSelectedVideoDeviceIndex(int* index) {
    if (index == nullptr)
        return E_INVALIDARG;
    *index = lists_.CurrentIndexOf(Kind::Video);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectVideoDeviceById(const std::string& id) {
    const int index = lists_.FindCameraIndex(id);
    return index < 0 ? E_FAIL : SelectVideoDevice(index);
}

HRESULT CGraniteDeviceManager::SelectAudioDevice(Kind kind, int index) {
    if (service_ == nullptr)
        return E_FAIL;
    DeviceList& list = lists_.ListOf(kind);
    if (index < 0 || index >= static_cast<int>(list.size()))
        return E_INVALIDARG;
    const DeviceEntry* entry = list[static_cast<size_t>(index)].get();
    if (entry == nullptr)
        return E_FAIL;
    std::string& currentId = lists_.CurrentIdOf(kind);
    int& currentIndex = lists_.CurrentIndexOf(kind);
    if (!currentId.empty() && currentId == entry->id && currentIndex == index)
        return S_OK;
    currentId = entry->id;
    currentIndex = index;
    if (kind == Kind::Microphone)
        service_->SelectMicrophone(currentId);
    else
        service_->SelectSpeaker(currentId);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectAudioDeviceById(Kind kind, const std::string& id) {
    const int index = lists_.FindExactIndex(lists_.ListOf(kind), id);
    return index < 0 ? E_FAIL : SelectAudioDevice(kind, index);
}

HRESULT CGraniteDeviceManager::SelectMicrophone(int index) {
    return SelectAudioDevice(Kind::Microphone, index);
}

HRESULT CGraniteDeviceManager::GetSelectedMicrophoneIndex(int* index) {
    if (index == nullptr)
        return E_INVALIDARG;
    *index = lists_.CurrentIndexOf(Kind::Microphone);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectMicrophoneById(const std::string& id) {
    return SelectAudioDeviceById(Kind::Microphone, id);
}

HRESULT CGraniteDeviceManager::SelectSpeaker(int index) {
    return SelectAudioDevice(Kind::Speaker, index);
}

HRESULT CGraniteDeviceManager::GetSelectedSpeakerIndex(int* index) {
    if (index == nullptr)
        return E_INVALIDARG;
    *index = lists_.CurrentIndexOf(Kind::Speaker);
    return S_OK;
}

HRESULT CGraniteDeviceManager::SelectSpeakerById(const std::string& id) {
    return SelectAudioDeviceById(Kind::Speaker, id);
}

HRESULT CGraniteDeviceManager::IsSameDevice(const std::string& a, const std::string& b, bool* same) {
    if (same != nullptr)
        *same = CDeviceLists::SameDevice(a, b);
    return S_OK;
}

int CGraniteDeviceManager::GetMicrophoneCount() {
    return static_cast<int>(lists_.ListOf(Kind::Microphone).size());
}

HRESULT CGraniteDeviceManager::GetMicrophone(int index, DeviceInfo* out) {
    return lists_.CopyEntry(lists_.ListOf(Kind::Microphone), index, out);
}

HRESULT CGraniteDeviceManager::FindMicrophone(const std::string& id, DeviceInfo* out) {
    return lists_.FindEntry(lists_.ListOf(Kind::Microphone), id, out);
}

HRESULT CGraniteDeviceManager::GetSelectedMicrophoneId(std::string& id) {
    if (lists_.CurrentIdOf(Kind::Microphone).empty())
        return E_FAIL;
    id = lists_.CurrentIdOf(Kind::Microphone);
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetSelectedSpeakerId(std::string& id) {
    if (lists_.CurrentIdOf(Kind::Speaker).empty())
        return E_FAIL;
    id = lists_.CurrentIdOf(Kind::Speaker);
    return S_OK;
}

int CGraniteDeviceManager::GetSpeakerCount() {
    return static_cast<int>(lists_.ListOf(Kind::Speaker).size());
}

HRESULT CGraniteDeviceManager::GetSpeaker(int index, DeviceInfo* out) {
    return lists_.CopyEntry(lists_.ListOf(Kind::Speaker), index, out);
}

HRESULT CGraniteDeviceManager::FindSpeaker(const std::string& id, DeviceInfo* out) {
    return lists_.FindEntry(lists_.ListOf(Kind::Speaker), id, out);
}

int CGraniteDeviceManager::GetVideoDeviceCount() {
    return static_cast<int>(lists_.ListOf(Kind::Video).size());
}

HRESULT CGraniteDeviceManager::GetVideoDevice(int index, VideoDeviceInfo* out) {
    if (out == nullptr)
        return E_INVALIDARG;
    DeviceInfo info;
    const HRESULT hr = lists_.CopyEntry(lists_.ListOf(Kind::Video), index, &info);
    if (SUCCEEDED(hr))
        *out = VideoDeviceInfo{info.name, info.id, info.productId, info.vendorId, info.revision, 0};
    return hr;
}

HRESULT CGraniteDeviceManager::FindVideoDevice(const std::string& id, VideoDeviceInfo* out) {
    if (out == nullptr)
        return E_INVALIDARG;
    const int index = lists_.FindCameraIndex(id);
    return index < 0 ? E_FAIL : GetVideoDevice(index, out);
}

int CGraniteDeviceManager::GetHidDeviceCount() {
    return static_cast<int>(lists_.ListOf(Kind::Hid).size());
}

HRESULT CGraniteDeviceManager::GetHidDevice(int index, DeviceInfo* out) {
    return lists_.CopyEntry(lists_.ListOf(Kind::Hid), index, out);
}

HRESULT CGraniteDeviceManager::FindHidDevice(const std::string& id, DeviceInfo* out) {
    return lists_.FindEntry(lists_.ListOf(Kind::Hid), id, out);
}

HRESULT CGraniteDeviceManager::SetVideoDeviceValue(const std::string& deviceId, const std::string& key,
                                                   int32_t value) {
    const int index = lists_.FindCameraIndex(deviceId);
    if (index < 0)
        return E_FAIL;
    lists_.ListOf(Kind::Video)[static_cast<size_t>(index)]->SetValue(key, value);
    return S_OK;
}

HRESULT CGraniteDeviceManager::GetVideoDeviceValue(const std::string& deviceId, const std::string& key,
                                                   int32_t* value, int32_t defaultValue) {
    if (value == nullptr)
        return E_FAIL;
    *value = defaultValue;
    const int index = lists_.FindCameraIndex(deviceId);
    if (index < 0)
        return E_FAIL;
    lists_.ListOf(Kind::Video)[static_cast<size_t>(index)]->GetValue(key, value);
    return S_OK;
}

// --- the service's stored strings and text
// ------------------------------------------------------------------

HRESULT CGraniteDeviceManager::SetServiceString1(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue1, value);
}

HRESULT CGraniteDeviceManager::GetServiceString1(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue1, value);
}

HRESULT CGraniteDeviceManager::SetServiceString2(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue2, value);
}

HRESULT CGraniteDeviceManager::GetServiceString2(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue2, value);
}

HRESULT CGraniteDeviceManager::SetServiceString3(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue3, value);
}

HRESULT CGraniteDeviceManager::GetServiceString3(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue3, value);
}

HRESULT CGraniteDeviceManager::SetServiceString4(const std::string& value) {
    return props_.SetServiceString(&IInProcDeviceManager::SetStringValue4, value);
}

HRESULT CGraniteDeviceManager::GetServiceString4(std::string& value) {
    return props_.GetServiceString(&IInProcDeviceManager::GetStringValue4, value);
}

HRESULT CGraniteDeviceManager::GetServiceText66(std::string& text) {
    return props_.GetServiceString(&IInProcDeviceManager::GetServiceText, text);
}

// --- the service's events, handed to the dispatcher
// ---------------------------------------------------------

void CGraniteDeviceManager::OnMicrophonePropertyChanged(const std::string& deviceId, int32_t,
                                                        int32_t property, const Variant& newValue,
                                                        const Variant&) {
    HandleLocked([&] { events_.OnMicrophonePropertyChanged(deviceId, property, newValue); });
}

void CGraniteDeviceManager::OnSpeakerPropertyChanged(const std::string& deviceId, int32_t, int32_t property,
                                                     const Variant& newValue, const Variant&) {
    HandleLocked([&] { events_.OnSpeakerPropertyChanged(deviceId, property, newValue); });
}

void CGraniteDeviceManager::OnVideoPropertyChanged(const std::string& deviceId, int32_t, int32_t property,
                                                   const Variant& newValue, const Variant&) {
    HandleLocked([&] { events_.OnVideoPropertyChanged(deviceId, property, newValue); });
}

void CGraniteDeviceManager::OnHIDPropertyChanged(const std::string&, int32_t, int32_t, const Variant&) {
    // No window shows these reports.
}

void CGraniteDeviceManager::OnVideoDeviceEvent(const std::string& deviceId, int32_t code, int32_t,
                                               const Variant&) {
    HandleLocked([&] { events_.OnVideoDeviceEvent(deviceId, code); });
}

void CGraniteDeviceManager::OnDeviceArrived(int32_t type, const std::string& deviceId) {
    HandleLocked([&] { events_.OnDeviceArrived(type, deviceId); });
}

void CGraniteDeviceManager::OnDeviceRemoved(int32_t type, const std::string& deviceId) {
    HandleLocked([&] { events_.OnDeviceRemoved(type, deviceId); });
}

void CGraniteDeviceManager::OnVideoMotorStatus(const std::string& deviceId, uint32_t) {
    HandleLocked([&] { events_.OnVideoMotorStatus(deviceId); });
}

void CGraniteDeviceManager::OnPlaySoundFileStatus(const std::string& deviceId, uint32_t status) {
    HandleLocked([&] { events_.OnPlaySoundFileStatus(deviceId, status); });
}

void CGraniteDeviceManager::OnHIDPropertyChanged2(const std::string&, int32_t, int32_t property,
                                                  const Variant& newValue, const Variant&) {
    CCallScope scope(this);
    events_.OnHIDPropertyChanged2(property, newValue);
}

void CGraniteDeviceManager::OnGlobalPropertyChanged(int32_t option, const Variant& value) {
    CCallScope scope(this);
    events_.OnGlobalPropertyChanged(option, value);
}
