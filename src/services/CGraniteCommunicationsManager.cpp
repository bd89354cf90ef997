#include "services/CGraniteCommunicationsManager.h"

#include "platform/CObjectFactory.h"
#include "platform/CResourceLibrary.h"
#include "platform/DebugOutput.h"
#include "platform/TextUtil.h"
#include "services/CGraniteCommunicationsManagerLocalApps.h"
#include "services/IGraniteCommunicationsManagerEvent.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMetaObject>
#include <QString>

namespace {

CGraniteCommunicationsManager* g_manager = nullptr;

std::string ResourceTextOr(uint32_t id, const char* fallback) {
    std::string text = CResourceLibrary::Instance().GetString(id);
    return text.empty() ? std::string(fallback) : text;
}

bool IsAvailableStatus(int32_t status) {
    switch (status) {
    case COMMS_APP_INSTALLED:
    case COMMS_APP_RUNNING:
    case COMMS_APP_IN_CALL:
    case COMMS_APP_STARTING:
    case COMMS_APP_LOCAL:
        return true;
    default:
        return false;
    }
}

} // namespace

// --- process-wide object
// -------------------------------------------------------------------------------------

IGraniteCommunicationsManager* GetGraniteCommunicationsManager() {
    if (g_manager != nullptr) {
        g_manager->AddRef();
        return g_manager;
    }
    auto* manager = new CGraniteCommunicationsManager();
    manager->AddRef();
    g_manager = manager;
    if (FAILED(manager->Initialise())) {
        OutputDebugString("Vidora: the communications service cannot be reached\n");
        manager->Shutdown();
        delete manager;
        return nullptr;
    }
    return manager;
}

CGraniteCommunicationsManager* CGraniteCommunicationsManager::Current() {
    return g_manager;
}

std::string CGraniteCommunicationsManager::LiveMessengerName() {
    return ResourceTextOr(kLiveMessengerNameId, "Windows Live Messenger");
}

std::string CGraniteCommunicationsManager::CallhubName() {
    return ResourceTextOr(kCallhubNameId, "Brenmoor Callhub");
}

std::string CGraniteCommunicationsManager::QQName() {
    return ResourceTextOr(kQQNameId, "Tencent QQ");
}

std::string CGraniteCommunicationsManager::ApplicationKeyFor(const std::string& name) {
    const std::pair<std::string, const char*> keys[] = {
        {"Skype", "SKYPE"},
        {"AIM Triton", "AIM_TRITON"},
        {"Yahoo! Messenger", "YAHOO_MESSENGER"},
        {LiveMessengerName(), "WINDOWS_LIVE_MESSENGER"},
        {QQName(), "TENCENT_QQ"},
        {CallhubName(), "BRENMOOR_CALLHUB"},
    };
    for (const auto& [known, key] : keys) {
        if (!known.empty() && Text::EqualsNoCase(name, known))
            return key;
    }
    return {};
}

// --- life
// ----------------------------------------------------------------------------------------------------

CGraniteCommunicationsManager::CGraniteCommunicationsManager() {
    events_.SetTarget(static_cast<IBrenCommunicationManagerEvents*>(this));
}

CGraniteCommunicationsManager::~CGraniteCommunicationsManager() {
    Shutdown();
}

HRESULT CGraniteCommunicationsManager::Initialise() {
    if (FAILED(CObjectFactory::Instance().Create(CLSID_CommunicationsService, IID_ICommunicationsService,
                                                 &service_)) ||
        service_ == nullptr) {
        service_ = nullptr;
        return E_FAIL;
    }
    if (!sink_)
        sink_ = events_.Sink();
    if (sinkCookie_ == GCM_SINK_NOT_CONNECTED) {
        uint32_t cookie = GCM_SINK_NOT_CONNECTED;
        if (FAILED(service_->Advise(sink_.get(), &cookie)))
            return E_FAIL; // without events the windows would show a stale picture of the calling programs
        sinkCookie_ = cookie;
    }
    service_->RegisterClient(kClientId);
    return S_OK;
}

void CGraniteCommunicationsManager::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    events_.SetTarget(nullptr); // events still queued vanish
    if (service_ != nullptr && sinkCookie_ != GCM_SINK_NOT_CONNECTED)
        service_->Unadvise(sinkCookie_);
    sinkCookie_ = GCM_SINK_NOT_CONNECTED;
    sink_.reset();
    if (service_ != nullptr)
        service_->Release();
    service_ = nullptr;
    applications_.clear();
    listeners_.Clear();
    if (g_manager == this)
        g_manager = nullptr;
}

CGraniteCommunicationsManager::CallOutScope::CallOutScope(CGraniteCommunicationsManager* owner)
    : owner_(owner) {
    ++owner_->callOutDepth_;
}

CGraniteCommunicationsManager::CallOutScope::~CallOutScope() {
    if (--owner_->callOutDepth_ == 0 && owner_->destroyPending_) {
        owner_->destroyPending_ = false;
        // The serializer keeps itself alive while it delivers, so the facade can go at once.
        delete owner_;
    }
}

HRESULT CGraniteCommunicationsManager::AddRef() {
    ++refCount_;
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::Release() {
    if (refCount_ == 0)
        return S_OK;
    if (--refCount_ == 0) {
        Shutdown();
        if (callOutDepth_ > 0)
            destroyPending_ = true;
        else
            delete this;
    }
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::AddListener(IGraniteCommunicationsManagerEvent* listener,
                                                   uint32_t cookie) {
    if (listener == nullptr)
        return E_INVALIDARG;
    listeners_.Add(listener, cookie); // a full table still answers S_OK
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::RemoveListener(IGraniteCommunicationsManagerEvent* listener) {
    listeners_.Remove(listener);
    return S_OK;
}

// --- applications
// ----------------------------------------------------------------------------------------------

HRESULT CGraniteCommunicationsManager::RefreshApplications() {
    // A listener asked during the refresh must not start another one over the list being built.
    if (refreshing_)
        return E_FAIL;
    CallOutScope scope(this);
    applications_.clear();
    if (service_ == nullptr)
        return E_FAIL;
    int32_t count = 0;
    if (FAILED(service_->RefreshApplications()) || FAILED(service_->GetApplicationCount(&count)))
        return E_FAIL;
    for (int32_t i = 0; i < count; ++i) {
        if (FAILED(AppendServiceApplication(i)))
            return E_FAIL;
    }
    AppendLocalApplications();
    AskWhichAreEnabled();
    return shutDown_ ? E_FAIL : S_OK;
}

HRESULT CGraniteCommunicationsManager::AppendServiceApplication(int32_t index) {
    std::string id;
    std::string name;
    VARIANT_BOOL messaging = VARIANT_FALSE;
    VARIANT_BOOL video = VARIANT_FALSE;
    int32_t status = 0;
    if (FAILED(service_->GetApplicationId(index, &id)) ||
        FAILED(service_->GetApplicationName(index, &name)) ||
        FAILED(service_->GetApplicationMessaging(index, &messaging)) ||
        FAILED(service_->GetApplicationVideo(index, &video)) ||
        FAILED(service_->GetApplicationStatus(index, &status)))
        return E_FAIL;
    auto record = std::make_unique<ApplicationInfo>();
    record->SetId(id);
    record->SetName(name);
    record->flag2 = video != VARIANT_FALSE ? 1 : 0;
    record->type = status;
    record->isLocal = 0;
    record->index = index;
    record->available = IsAvailableStatus(status) ? 1 : 0;
    applications_.push_back(std::move(record));
    return S_OK;
}

void CGraniteCommunicationsManager::AppendLocalApplications() {
    using Probes = CGraniteCommunicationsManagerLocalApps;
    const std::pair<std::string, std::string> locals[] = {
        {LiveMessengerName(), Probes::ProbeLiveMessenger()},
        {QQName(), Probes::ProbeQQ()},
        {CallhubName(), Probes::ProbeCallhub()},
    };
    for (const auto& [name, path] : locals) {
        auto record = std::make_unique<ApplicationInfo>();
        record->SetId(name);
        record->SetName(name);
        record->type = COMMS_APP_LOCAL;
        record->isLocal = 1;
        record->flag2 = 0;
        record->index = static_cast<int32_t>(applications_.size());
        record->available = path.empty() ? 0 : 1;
        record->path = path;
        applications_.push_back(std::move(record));
    }
}

void CGraniteCommunicationsManager::AskWhichAreEnabled() {
    refreshing_ = true;
    // The list may shrink under us when a listener releases the last reference; indexes are re-checked.
    for (size_t i = 0; i < applications_.size(); ++i) {
        const std::string key = ApplicationKeyFor(applications_[i]->name);
        int32_t enabled = 1;
        uint32_t cookie = 0;
        if (IGraniteCommunicationsManagerEvent* first = listeners_.First(&cookie))
            enabled = first->IsApplicationEnabled(cookie, key) != 0 ? 1 : 0;
        if (i < applications_.size())
            applications_[i]->enabled = enabled;
    }
    refreshing_ = false;
}

int32_t CGraniteCommunicationsManager::GetApplicationCount() {
    return static_cast<int32_t>(applications_.size());
}

const ApplicationInfo* CGraniteCommunicationsManager::Record(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= applications_.size())
        return nullptr;
    return applications_[static_cast<size_t>(index)].get();
}

HRESULT CGraniteCommunicationsManager::GetApplication(int32_t index, ApplicationInfo* out) {
    if (out == nullptr || index < 0 || static_cast<size_t>(index) >= applications_.size())
        return E_INVALIDARG;
    const ApplicationInfo* record = Record(index);
    if (record == nullptr)
        return E_FAIL;
    *out = *record;
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::FindBy(const std::string& text, bool byId,
                                              ApplicationInfo* out) const {
    if (out == nullptr)
        return E_INVALIDARG;
    if (text.empty())
        return E_FAIL;
    for (const auto& record : applications_) {
        if (Text::EqualsNoCase(byId ? record->id : record->name, text)) {
            *out = *record;
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT CGraniteCommunicationsManager::FindApplicationById(const std::string& id, ApplicationInfo* out) {
    return FindBy(id, true, out);
}

HRESULT CGraniteCommunicationsManager::FindApplicationByName(const std::string& name, ApplicationInfo* out) {
    return FindBy(name, false, out);
}

HRESULT CGraniteCommunicationsManager::SetDefaultApplication(int32_t index) {
    if (service_ == nullptr)
        return E_FAIL;
    const ApplicationInfo* record = Record(index);
    if (record == nullptr)
        return E_INVALIDARG;
    return SUCCEEDED(service_->SetDefaultApplication(record->name)) ? S_OK : E_FAIL;
}

HRESULT CGraniteCommunicationsManager::GetDefaultApplicationIndex(int32_t* index) {
    if (index == nullptr)
        return E_INVALIDARG;
    if (service_ == nullptr)
        return E_FAIL;
    std::string name;
    if (FAILED(service_->GetDefaultApplicationName(&name)) || name.empty())
        return E_FAIL;
    ApplicationInfo record;
    if (FAILED(FindApplicationByName(name, &record)))
        return E_FAIL;
    *index = record.index;
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::LaunchApplication(int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= applications_.size())
        return E_INVALIDARG;
    const ApplicationInfo* record = Record(index);
    if (record == nullptr)
        return E_FAIL;
    if (record->isLocal != 0)
        return CGraniteCommunicationsManagerLocalApps::Launch(record->path);
    if (service_ == nullptr)
        return E_FAIL;
    return SUCCEEDED(service_->LaunchApplication(record->name)) ? S_OK : E_FAIL;
}

HRESULT CGraniteCommunicationsManager::GetDefaultApplicationValue(int32_t* out) {
    if (out == nullptr)
        return E_INVALIDARG;
    *out = 0;
    if (service_ == nullptr)
        return E_FAIL;
    std::string name;
    if (FAILED(service_->GetDefaultApplicationName(&name)))
        return E_FAIL;
    int32_t value = 0;
    if (FAILED(service_->GetApplicationStatusByName(name, &value)))
        return E_FAIL;
    *out = value;
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::CloseApplication(int32_t index) {
    ApplicationInfo record;
    HRESULT hr = GetApplication(index, &record);
    if (FAILED(hr))
        return hr;
    if (service_ == nullptr)
        return E_FAIL;
    return SUCCEEDED(service_->CloseApplication(record.name)) ? S_OK : E_FAIL;
}

// --- call settings
// -----------------------------------------------------------------------------------------------

HRESULT CGraniteCommunicationsManager::GetSetting(int32_t which, std::string& value) {
    if (service_ == nullptr)
        return E_FAIL;
    std::string text;
    if (FAILED(service_->GetCallSetting(which, &text)))
        return E_FAIL;
    value = std::move(text);
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::SetSetting(int32_t which, const std::string& value) {
    if (service_ == nullptr)
        return E_FAIL;
    return SUCCEEDED(service_->SetCallSetting(which, value)) ? S_OK : E_FAIL;
}

HRESULT CGraniteCommunicationsManager::GetCallSetting3(std::string& value) {
    return GetSetting(COMMS_SETTING_SPEAKER, value);
}
HRESULT CGraniteCommunicationsManager::GetCallSetting2(std::string& value) {
    return GetSetting(COMMS_SETTING_MICROPHONE, value);
}
HRESULT CGraniteCommunicationsManager::SetCallSetting3(const std::string& value) {
    return SetSetting(COMMS_SETTING_SPEAKER, value);
}
HRESULT CGraniteCommunicationsManager::SetCallSetting2(const std::string& value) {
    return SetSetting(COMMS_SETTING_MICROPHONE, value);
}
HRESULT CGraniteCommunicationsManager::GetCallSetting5(std::string& value) {
    return GetSetting(COMMS_SETTING_RING_SPEAKER, value);
}
HRESULT CGraniteCommunicationsManager::SetCallSetting5(const std::string& value) {
    return SetSetting(COMMS_SETTING_RING_SPEAKER, value);
}
HRESULT CGraniteCommunicationsManager::GetCallSetting6(std::string& value) {
    return GetSetting(COMMS_SETTING_VIDEO_SIZE, value);
}
HRESULT CGraniteCommunicationsManager::SetCallSetting6(const std::string& value) {
    return SetSetting(COMMS_SETTING_VIDEO_SIZE, value);
}
HRESULT CGraniteCommunicationsManager::GetCallSetting1(std::string& value) {
    return GetSetting(COMMS_SETTING_CAMERA, value);
}
HRESULT CGraniteCommunicationsManager::SetCallSetting1(const std::string& value) {
    return SetSetting(COMMS_SETTING_CAMERA, value);
}

// --- forwarded operations
// ------------------------------------------------------------------------------------------

namespace {

// A forwarded call: E_FAIL without a service or when the service fails, else S_OK.
template <class Call> HRESULT Forward(ICommunicationsService* service, Call&& call) {
    if (service == nullptr)
        return E_FAIL;
    return SUCCEEDED(call(*service)) ? S_OK : E_FAIL;
}

} // namespace

HRESULT CGraniteCommunicationsManager::ServiceCall23(int32_t option, Variant* value) {
    if (value == nullptr)
        return E_INVALIDARG;
    return Forward(service_, [&](ICommunicationsService& s) { return s.GetOption(option, value); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall24(int32_t option, const Variant& value) {
    return Forward(service_, [&](ICommunicationsService& s) { return s.SetOption(option, value); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall25(int32_t* ready) {
    if (ready == nullptr)
        return E_INVALIDARG;
    return Forward(service_, [&](ICommunicationsService& s) { return s.GetCallReadiness(ready); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall26(const std::string& name) {
    return Forward(service_, [&](ICommunicationsService& s) { return s.StartVideoCall(name); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall27(const std::string& name, std::string* user) {
    if (user == nullptr)
        return E_INVALIDARG;
    return Forward(service_, [&](ICommunicationsService& s) { return s.GetSignedInUser(name, user); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall28(const std::string& name, std::string* icon) {
    if (icon == nullptr)
        return E_INVALIDARG;
    return Forward(service_, [&](ICommunicationsService& s) { return s.GetApplicationIcon(name, icon); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall29(const std::string& name, std::string* program) {
    if (program == nullptr)
        return E_INVALIDARG;
    return Forward(service_,
                   [&](ICommunicationsService& s) { return s.GetApplicationProgram(name, program); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall30(const std::string& name, VARIANT_BOOL* running) {
    if (running == nullptr)
        return E_INVALIDARG;
    return Forward(service_,
                   [&](ICommunicationsService& s) { return s.IsApplicationRunning(name, running); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall31(const std::string& name, int32_t* processId) {
    if (processId == nullptr)
        return E_INVALIDARG;
    return Forward(service_,
                   [&](ICommunicationsService& s) { return s.GetApplicationProcessId(name, processId); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall32(const std::string& name, std::string* description) {
    if (description == nullptr)
        return E_INVALIDARG;
    return Forward(service_,
                   [&](ICommunicationsService& s) { return s.GetApplicationDescription(name, description); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall33(std::string* version) {
    if (version == nullptr)
        return E_INVALIDARG;
    return Forward(service_, [&](ICommunicationsService& s) { return s.GetServiceVersion(version); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall34(int32_t* count) {
    if (count == nullptr)
        return E_INVALIDARG;
    return Forward(service_, [&](ICommunicationsService& s) { return s.GetRunningApplicationCount(count); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall35(std::string* name) {
    if (name == nullptr)
        return E_INVALIDARG;
    return Forward(service_, [&](ICommunicationsService& s) { return s.GetCallApplication(name); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall36(const std::string& name, std::string* desktopId) {
    if (desktopId == nullptr)
        return E_INVALIDARG;
    return Forward(service_,
                   [&](ICommunicationsService& s) { return s.GetApplicationDesktopId(name, desktopId); });
}

HRESULT CGraniteCommunicationsManager::ServiceCall37(VARIANT_BOOL* enabled) {
    if (enabled == nullptr)
        return E_INVALIDARG;
    Variant value;
    HRESULT hr = Forward(service_, [&](ICommunicationsService& s) {
        return s.GetOption(COMMS_OPTION_CALLING_PROGRAMS, &value);
    });
    if (FAILED(hr))
        return hr;
    int32_t number = 0;
    if (value.Type() == VarType::Bool)
        *enabled = value.GetBool();
    else if (value.ToI4(number))
        *enabled = static_cast<VARIANT_BOOL>(number);
    else
        return E_FAIL;
    return S_OK;
}

HRESULT CGraniteCommunicationsManager::ServiceCall38(VARIANT_BOOL enabled) {
    return Forward(service_, [&](ICommunicationsService& s) {
        return s.SetOption(COMMS_OPTION_CALLING_PROGRAMS, Variant::FromBool(enabled != VARIANT_FALSE));
    });
}

HRESULT CGraniteCommunicationsManager::GetServiceText26(std::string& value) {
    std::string text;
    HRESULT hr = Forward(service_, [&](ICommunicationsService& s) { return s.GetStatusMessage(&text); });
    if (SUCCEEDED(hr))
        value = std::move(text);
    return hr;
}

HRESULT CGraniteCommunicationsManager::SetServiceText25(const std::string& value) {
    return Forward(service_, [&](ICommunicationsService& s) { return s.SetStatusMessage(value); });
}

// --- events
// ----------------------------------------------------------------------------------------------------

template <class Call> void CGraniteCommunicationsManager::ForEachListener(Call&& call) {
    CallOutScope scope(this);
    listeners_.ForEach(call); // the table is emptied at shutdown, which ends a walk under way
}

void CGraniteCommunicationsManager::IC_OnCallEvent(const std::string& text1, const std::string& text2,
                                                   const std::string& text3, const std::string& text4,
                                                   int32_t value) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnCallEvent(cookie, text1, text2, text3, text4, value);
    });
}

void CGraniteCommunicationsManager::IC_OnContactlistUpdate(const std::string& text1, const std::string& text2,
                                                           const std::string& text3, int32_t value) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnContactlistUpdate(cookie, text1, text2, text3, value);
    });
}

void CGraniteCommunicationsManager::OnMessageReceivedInfo(const std::string& text1, const std::string& text2,
                                                          const std::string& text3,
                                                          const std::string& text4) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnMessageReceivedInfo(cookie, text1, text2, text3, text4);
    });
}

void CGraniteCommunicationsManager::IC_OnVoicemailChanged(const std::string& text1, const std::string& text2,
                                                          int32_t value1, int32_t value2) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnVoicemailChanged(cookie, text1, text2, value1, value2);
    });
}

void CGraniteCommunicationsManager::IC_OnContactStatusChanged(const std::string& text1,
                                                              const std::string& text2,
                                                              const std::string& text3, int32_t value) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnContactStatusChanged(cookie, text1, text2, text3, value);
    });
}

// Devices are reported by the device-manager facade; the service's own device reports are not passed on.
void CGraniteCommunicationsManager::IC_OnDeviceAdded(const std::string&, int32_t, const std::string&) {}
void CGraniteCommunicationsManager::IC_OnDeviceRemoved(const std::string&, int32_t, const std::string&,
                                                       const std::string&) {}

void CGraniteCommunicationsManager::IC_OnApplicationStatusChanged(const std::string& text1,
                                                                  const std::string& text2, int32_t value) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnApplicationStatusChanged(cookie, text1, text2, value);
    });
}

void CGraniteCommunicationsManager::IC_OnDefaultICApplicationChanged(const std::string& text1,
                                                                     const std::string& text2,
                                                                     const std::string& text3) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnDefaultICApplicationChanged(cookie, text1, text2, text3);
    });
}

void CGraniteCommunicationsManager::IC_OnShutdown() {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) { l.OnShutdown(cookie); });
}

void CGraniteCommunicationsManager::IC_OnCallReadinessChange() {
    ForEachListener(
        [&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) { l.OnCallReadinessChange(cookie); });
}

void CGraniteCommunicationsManager::IC_OnDeviceSelectionChanged(const std::string& text1, int32_t value,
                                                                const std::string& text2) {
    ForEachListener([&](IGraniteCommunicationsManagerEvent& l, uint32_t cookie) {
        l.OnDeviceSelectionChanged(cookie, text1, value, text2);
    });
}
