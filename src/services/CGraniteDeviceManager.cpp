#include "services/CGraniteDeviceManager.h"

#include "platform/CObjectFactory.h"
#include "platform/DebugOutput.h"
#include "platform/IClock.h"
#include "platform/TextUtil.h"

#include <QCoreApplication>

#include <chrono>
#include <exception>
#include <new>
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

    if (service_ != nullptr && !currentVideoId_.empty() && notificationsActive_) {
        service_->DetachVideoDevice(currentVideoId_);
        for (int32_t code : GdmProperty::kCurrentCameraEventCodes)
            service_->UnsubscribeVideoEvent(currentVideoId_, code, 0);
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
    ClearList(videoDevices_);
    ClearList(microphones_);
    ClearList(speakers_);
    ClearList(hidDevices_);

    if (g_deviceManager == this)
        g_deviceManager = nullptr;
    currentVideoId_.clear();
    currentMicrophoneId_.clear();
    currentSpeakerId_.clear();
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
    if (callDepth_ > 0) {
        // A listener gave back the last reference from inside a call; free the facade once that call has
        // returned. A new GetGraniteDeviceManager meanwhile makes a fresh one.
        destroyPending_ = true;
        if (g_deviceManager == this)
            g_deviceManager = nullptr;
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
    for (ListenerSlot& slot : listeners_) {
        if (slot.listener == nullptr) {
            slot.listener = listener;
            slot.cookie = cookie;
            slot.generation = nextGeneration_++;
            return S_OK;
        }
    }
    OutputDebugString("CGraniteDeviceManager: listener table full; listener not registered");
    return S_OK;
}

HRESULT CGraniteDeviceManager::RemoveListener(IGraniteDeviceManagerEvent* listener) {
    if (!TakeLock())
        return E_FAIL;
    std::lock_guard guard(lock_, std::adopt_lock);
    for (ListenerSlot& slot : listeners_) {
        if (slot.listener != nullptr && slot.listener == listener) {
            slot.listener = nullptr;
            slot.cookie = 0;
            slot.generation = 0;
        }
    }
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

HRESULT CGraniteDeviceManager::NotifyListeners48() {
    CCallScope scope(this);
    ForEachListener([](IGraniteDeviceManagerEvent& l, uint32_t cookie) { l.OnNotify48(cookie); });
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
