#include "granite/comms/CGraniteCommunicationsService.h"

#include "granite/comms/CGraniteCommsControl.h"
#include "granite/comms/CProcessSnapshot.h"
#include "platform/CDesktopExecLine.h"
#include "platform/CRegistry.h"
#include "platform/IProcessLauncher.h"
#include "platform/TextUtil.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace Granite {

namespace {

CGraniteCommsControl& Control() {
    return CGraniteCommsControl::Instance();
}

#define GRANITE_TAKE(operation)                                                                              \
    do {                                                                                                     \
        HRESULT failure_ = Control().Take(operation);                                                        \
        if (FAILED(failure_))                                                                                \
            return failure_;                                                                                 \
    } while (false)

bool ReadText(const std::string& name, std::string* text) {
    RegValue value;
    if (FAILED(CRegistry::Instance().QueryValue(Hive::CurrentUser,
                                                CGraniteCommunicationsService::kSettingsKey, name, value)) ||
        (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        return false;
    *text = value.text;
    return true;
}

HRESULT WriteValue(const std::string& name, const RegValue& value) {
    CRegistry& registry = CRegistry::Instance();
    HRESULT hr =
        registry.CreateKey(Hive::CurrentUser, CGraniteCommunicationsService::kSettingsKey, "", false);
    if (FAILED(hr))
        return hr;
    return registry.SetValue(Hive::CurrentUser, CGraniteCommunicationsService::kSettingsKey, name, value);
}

bool ReadNumber(const std::string& name, uint32_t* number) {
    RegValue value;
    if (FAILED(CRegistry::Instance().QueryValue(Hive::CurrentUser,
                                                CGraniteCommunicationsService::kSettingsKey, name, value)) ||
        value.type != REG_DWORD)
        return false;
    *number = value.dword;
    return true;
}

bool IsAcceptableText(const std::string& text) {
    return Text::IsValidUtf8(text) &&
           Text::CodePointCount(text) <= CGraniteCommunicationsService::kMaxTextChars &&
           text.find('\0') == std::string::npos;
}

bool IsKnownSetting(int32_t which) {
    return which == COMMS_SETTING_CAMERA || which == COMMS_SETTING_MICROPHONE ||
           which == COMMS_SETTING_SPEAKER || which == COMMS_SETTING_RING_SPEAKER ||
           which == COMMS_SETTING_VIDEO_SIZE;
}

bool IsBoolOption(int32_t option) {
    return option == COMMS_OPTION_ECHO_CANCELLATION || option == COMMS_OPTION_NOISE_SUPPRESSION ||
           option == COMMS_OPTION_CALLING_PROGRAMS;
}

uint32_t OptionDefault(int32_t option) {
    return option == COMMS_OPTION_CALL_VOLUME ? 80 : 1;
}

std::string OptionValueName(int32_t option) {
    return "Option" + std::to_string(option);
}

std::string LoginName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
        result->pw_name != nullptr && *result->pw_name != '\0')
        return result->pw_name;
    const char* user = std::getenv("USER");
    return user != nullptr ? user : "";
}

bool IsRunningStatus(int32_t status) {
    return status == COMMS_APP_RUNNING || status == COMMS_APP_IN_CALL;
}

} // namespace

// --- object
// ------------------------------------------------------------------------------------------------------

HRESULT CGraniteCommunicationsService::Create(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    GRANITE_TAKE(kCommsCreate);
    auto* service = new CGraniteCommunicationsService();
    HRESULT hr = service->QueryInterface(iid, object);
    service->Release();
    return hr;
}

CGraniteCommunicationsService::CGraniteCommunicationsService() {
    ReadText("DefaultApplication", &chosenDefault_);
    Control().Attach(this);
    pump_.Start([this] { Update(); }, Control().PollInterval());
}

CGraniteCommunicationsService::~CGraniteCommunicationsService() {
    Control().Detach(this);
    pump_.Stop();
}

HRESULT CGraniteCommunicationsService::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_ICommunicationsService)) {
        AddRef();
        *object = static_cast<ICommunicationsService*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CGraniteCommunicationsService::Advise(IBrenCommunicationManagerEvents* sink, uint32_t* cookie) {
    GRANITE_TAKE(kCommsAdvise);
    return pump_.Advise(sink, cookie);
}

HRESULT CGraniteCommunicationsService::Unadvise(uint32_t cookie) {
    return pump_.Unadvise(cookie);
}

HRESULT CGraniteCommunicationsService::RegisterClient(const std::string& clientId) {
    GRANITE_TAKE(kCommsRegister);
    if (clientId.empty())
        return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(lock_);
    clientId_ = clientId;
    return S_OK;
}

void CGraniteCommunicationsService::RequestScan() {
    pump_.RequestTick();
}

void CGraniteCommunicationsService::PostEvent(CEventPump<IBrenCommunicationManagerEvents>::Event event) {
    pump_.Post(std::move(event));
}

void CGraniteCommunicationsService::SetPollInterval(std::chrono::milliseconds interval) {
    pump_.SetInterval(interval);
}

bool CGraniteCommunicationsService::CallingProgramsEnabled() const {
    uint32_t enabled = 1;
    ReadNumber(OptionValueName(COMMS_OPTION_CALLING_PROGRAMS), &enabled);
    return enabled != 0;
}

// --- watching
// ----------------------------------------------------------------------------------------------------

int32_t CGraniteCommunicationsService::StatusOf(const Entry& entry, const std::vector<ProcessInfo>& processes,
                                                int32_t* pid) const {
    *pid = 0;
    if (entry.program.missing)
        return COMMS_APP_MISSING;
    *pid = CProcessSnapshot::Find(processes, entry.program.processNames);
    if (*pid != 0)
        return Control().InCall(entry.program.id, entry.program.name) ? COMMS_APP_IN_CALL : COMMS_APP_RUNNING;
    if (std::chrono::steady_clock::now() < entry.startingUntil)
        return COMMS_APP_STARTING;
    return COMMS_APP_INSTALLED;
}

std::string CGraniteCommunicationsService::SignedInUserOf(const Entry& entry) const {
    if (auto user = Control().SignedInUser(entry.program.id, entry.program.name))
        return IsRunningStatus(entry.status) ? *user : std::string();
    return IsRunningStatus(entry.status) ? LoginName() : std::string();
}

const CGraniteCommunicationsService::Entry* CGraniteCommunicationsService::DefaultEntry(const Lock&) const {
    if (entries_.empty())
        return nullptr;
    if (!chosenDefault_.empty()) {
        for (const Entry& entry : entries_) {
            if (Text::EqualsNoCase(entry.program.id, chosenDefault_) && !entry.program.missing)
                return &entry;
        }
    }
    if (!desktopDefault_.empty()) {
        for (const Entry& entry : entries_) {
            if (entry.program.desktopId == desktopDefault_)
                return &entry;
        }
    }
    for (const Entry& entry : entries_) {
        if (!entry.program.missing)
            return &entry;
    }
    return &entries_.front();
}

int32_t CGraniteCommunicationsService::Readiness(const Lock& held) const {
    const Entry* entry = DefaultEntry(held);
    if (entry == nullptr || !entry->program.video || !IsRunningStatus(entry->status))
        return 0;
    return SignedInUserOf(*entry).empty() ? 0 : 1;
}

void CGraniteCommunicationsService::UpdateLocked(const std::vector<ProcessInfo>& processes,
                                                 const Lock& held) {
    for (Entry& entry : entries_) {
        int32_t pid = 0;
        int32_t status = StatusOf(entry, processes, &pid);
        entry.pid = pid;
        if (status != COMMS_APP_STARTING && status != COMMS_APP_INSTALLED)
            entry.startingUntil = {};
        if (status != entry.status) {
            entry.status = status;
            std::string id = entry.program.id;
            std::string name = entry.program.name;
            pump_.Post([id, name, status](IBrenCommunicationManagerEvents& sink) {
                sink.IC_OnApplicationStatusChanged(id, name, status);
            });
        }
    }
    const Entry* current = DefaultEntry(held);
    std::string defaultName = current != nullptr ? current->program.name : std::string();
    if (defaultName != lastDefaultName_) {
        std::string previous = lastDefaultName_;
        std::string id = current != nullptr ? current->program.id : std::string();
        lastDefaultName_ = defaultName;
        pump_.Post([previous, defaultName, id](IBrenCommunicationManagerEvents& sink) {
            sink.IC_OnDefaultICApplicationChanged(previous, defaultName, id);
        });
    }
    int32_t readiness = Readiness(held);
    if (readiness != lastReadiness_) {
        lastReadiness_ = readiness;
        pump_.Post([](IBrenCommunicationManagerEvents& sink) { sink.IC_OnCallReadinessChange(); });
    }
}

void CGraniteCommunicationsService::Update() {
    std::vector<CallingProgram> programs;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (const Entry& entry : entries_)
            programs.push_back(entry.program);
    }
    if (programs.empty())
        return;
    // Files and processes are read without the lock, so the user-interface thread never waits for them.
    std::string desktopDefault =
        CCallingProgramScanner(CCallingProgramScanner::FromEnvironment()).DefaultDesktopId(programs);
    std::vector<ProcessInfo> processes = CProcessSnapshot::Read(Control().ProcRoot(), ::getuid());
    Lock held(lock_);
    desktopDefault_ = desktopDefault;
    UpdateLocked(processes, held);
}

// --- the application list
// ------------------------------------------------------------------------------------------

HRESULT CGraniteCommunicationsService::RefreshApplications() {
    GRANITE_TAKE(kCommsRefresh);
    std::vector<Entry> fresh;
    std::string desktopDefault;
    if (CallingProgramsEnabled()) {
        CCallingProgramScanner scanner(CCallingProgramScanner::FromEnvironment());
        for (CallingProgram& program : scanner.Scan()) {
            Entry entry;
            entry.program = std::move(program);
            fresh.push_back(std::move(entry));
        }
        std::vector<CallingProgram> programs;
        for (const Entry& entry : fresh)
            programs.push_back(entry.program);
        desktopDefault = scanner.DefaultDesktopId(programs);
    }
    std::vector<ProcessInfo> processes = CProcessSnapshot::Read(Control().ProcRoot(), ::getuid());
    Lock held(lock_);
    // Programs seen before keep their status and start time, so only real changes are announced.
    for (Entry& entry : fresh) {
        for (const Entry& old : entries_) {
            if (old.program.desktopId == entry.program.desktopId) {
                entry.status = old.status;
                entry.startingUntil = old.startingUntil;
            }
        }
        if (entry.status == COMMS_APP_UNKNOWN) {
            int32_t pid = 0;
            entry.status = StatusOf(entry, processes, &pid);
        }
    }
    entries_ = std::move(fresh);
    desktopDefault_ = desktopDefault;
    UpdateLocked(processes, held);
    return S_OK;
}

HRESULT CGraniteCommunicationsService::GetApplicationCount(int32_t* count) {
    GRANITE_TAKE(kCommsCount);
    if (count == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    *count = static_cast<int32_t>(entries_.size());
    return S_OK;
}

HRESULT CGraniteCommunicationsService::EntryAt(int32_t index, const Entry** entry, const Lock&) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        return E_INVALIDARG;
    *entry = &entries_[static_cast<size_t>(index)];
    return S_OK;
}

#define GRANITE_INDEXED(operation, out, expression)                                                          \
    GRANITE_TAKE(operation);                                                                                 \
    if ((out) == nullptr)                                                                                    \
        return E_POINTER;                                                                                    \
    Lock held(lock_);                                                                                        \
    const Entry* entry = nullptr;                                                                            \
    if (HRESULT hr = EntryAt(index, &entry, held); FAILED(hr))                                               \
        return hr;                                                                                           \
    *(out) = (expression);                                                                                   \
    return S_OK

HRESULT CGraniteCommunicationsService::GetApplicationId(int32_t index, std::string* id) {
    GRANITE_INDEXED(kCommsId, id, entry->program.id);
}

HRESULT CGraniteCommunicationsService::GetApplicationName(int32_t index, std::string* name) {
    GRANITE_INDEXED(kCommsName, name, entry->program.name);
}

HRESULT CGraniteCommunicationsService::GetApplicationMessaging(int32_t index, VARIANT_BOOL* supported) {
    GRANITE_INDEXED(kCommsMessaging, supported, entry->program.messaging ? VARIANT_TRUE : VARIANT_FALSE);
}

HRESULT CGraniteCommunicationsService::GetApplicationVideo(int32_t index, VARIANT_BOOL* supported) {
    GRANITE_INDEXED(kCommsVideo, supported, entry->program.video ? VARIANT_TRUE : VARIANT_FALSE);
}

HRESULT CGraniteCommunicationsService::GetApplicationStatus(int32_t index, int32_t* status) {
    GRANITE_INDEXED(kCommsStatus, status, entry->status);
}

// --- one application
// ---------------------------------------------------------------------------------------------

const CGraniteCommunicationsService::Entry* CGraniteCommunicationsService::FindEntry(const std::string& name,
                                                                                     const Lock&) const {
    if (name.empty())
        return nullptr;
    for (const Entry& entry : entries_) {
        if (Text::EqualsNoCase(entry.program.name, name) || Text::EqualsNoCase(entry.program.id, name))
            return &entry;
    }
    return nullptr;
}

CGraniteCommunicationsService::Entry* CGraniteCommunicationsService::FindEntry(const std::string& name,
                                                                               const Lock& held) {
    return const_cast<Entry*>(static_cast<const CGraniteCommunicationsService*>(this)->FindEntry(name, held));
}

#define GRANITE_NAMED(operation, out, expression)                                                            \
    GRANITE_TAKE(operation);                                                                                 \
    if ((out) == nullptr)                                                                                    \
        return E_POINTER;                                                                                    \
    Lock held(lock_);                                                                                        \
    const Entry* entry = FindEntry(name, held);                                                              \
    if (entry == nullptr)                                                                                    \
        return E_INVALIDARG;                                                                                 \
    *(out) = (expression);                                                                                   \
    return S_OK

HRESULT CGraniteCommunicationsService::GetApplicationStatusByName(const std::string& name, int32_t* status) {
    GRANITE_NAMED(kCommsStatusByName, status, entry->status);
}

HRESULT CGraniteCommunicationsService::GetSignedInUser(const std::string& name, std::string* user) {
    GRANITE_NAMED(kCommsSignedInUser, user, SignedInUserOf(*entry));
}

HRESULT CGraniteCommunicationsService::GetApplicationIcon(const std::string& name, std::string* icon) {
    GRANITE_NAMED(kCommsIcon, icon, entry->program.icon);
}

HRESULT CGraniteCommunicationsService::GetApplicationProgram(const std::string& name, std::string* program) {
    GRANITE_NAMED(kCommsProgram, program, entry->program.program);
}

HRESULT CGraniteCommunicationsService::IsApplicationRunning(const std::string& name, VARIANT_BOOL* running) {
    GRANITE_NAMED(kCommsRunning, running, IsRunningStatus(entry->status) ? VARIANT_TRUE : VARIANT_FALSE);
}

HRESULT CGraniteCommunicationsService::GetApplicationDescription(const std::string& name,
                                                                 std::string* description) {
    GRANITE_NAMED(kCommsDescription, description, entry->program.description);
}

HRESULT CGraniteCommunicationsService::GetApplicationDesktopId(const std::string& name,
                                                               std::string* desktopId) {
    GRANITE_NAMED(kCommsDesktopId, desktopId, entry->program.desktopId);
}

HRESULT CGraniteCommunicationsService::GetApplicationProcessId(const std::string& name, int32_t* processId) {
    GRANITE_TAKE(kCommsProcessId);
    if (processId == nullptr)
        return E_POINTER;
    Lock held(lock_);
    const Entry* entry = FindEntry(name, held);
    if (entry == nullptr)
        return E_INVALIDARG;
    if (entry->pid == 0)
        return E_FAIL;
    *processId = entry->pid;
    return S_OK;
}

HRESULT CGraniteCommunicationsService::Start(const std::string& name, bool needVideo) {
    std::vector<std::string> argv;
    {
        Lock held(lock_);
        Entry* entry = FindEntry(name, held);
        if (entry == nullptr)
            return E_INVALIDARG;
        if (entry->program.missing || (needVideo && !entry->program.video))
            return E_FAIL;
        CDesktopExecLine::Context context{entry->program.icon, entry->program.name,
                                          entry->program.desktopFile};
        if (!CDesktopExecLine::Split(entry->program.exec, context, &argv))
            return E_FAIL;
        if (!entry->program.program.empty() && entry->program.program.find('/') != std::string::npos)
            argv.front() = entry->program.program;
    }
    if (!GetProcessLauncher().StartDetached(argv))
        return E_FAIL;
    Lock held(lock_);
    if (Entry* entry = FindEntry(name, held); entry != nullptr && !IsRunningStatus(entry->status)) {
        entry->startingUntil = std::chrono::steady_clock::now() + kStartingGrace;
        if (entry->status != COMMS_APP_STARTING) {
            entry->status = COMMS_APP_STARTING;
            std::string id = entry->program.id;
            std::string displayName = entry->program.name;
            pump_.Post([id, displayName](IBrenCommunicationManagerEvents& sink) {
                sink.IC_OnApplicationStatusChanged(id, displayName, COMMS_APP_STARTING);
            });
        }
    }
    pump_.RequestTick();
    return S_OK;
}

HRESULT CGraniteCommunicationsService::LaunchApplication(const std::string& name) {
    GRANITE_TAKE(kCommsLaunch);
    return Start(name, false);
}

HRESULT CGraniteCommunicationsService::StartVideoCall(const std::string& name) {
    GRANITE_TAKE(kCommsStartVideo);
    // Starting a program that runs already brings its window up; it is ready for the call either way.
    return Start(name, true);
}

HRESULT CGraniteCommunicationsService::CloseApplication(const std::string& name) {
    GRANITE_TAKE(kCommsClose);
    int32_t pid = 0;
    {
        Lock held(lock_);
        const Entry* entry = FindEntry(name, held);
        if (entry == nullptr)
            return E_INVALIDARG;
        pid = entry->pid;
    }
    if (pid == 0)
        return S_FALSE;
    if (!Control().Terminate(pid))
        return E_FAIL;
    pump_.RequestTick();
    return S_OK;
}

// --- the default
// ---------------------------------------------------------------------------------------------------

HRESULT CGraniteCommunicationsService::SetDefaultApplication(const std::string& name) {
    GRANITE_TAKE(kCommsSetDefault);
    std::string id;
    {
        Lock held(lock_);
        const Entry* entry = FindEntry(name, held);
        if (entry == nullptr)
            return E_INVALIDARG;
        if (entry->program.missing)
            return E_FAIL;
        id = entry->program.id;
    }
    if (FAILED(WriteValue("DefaultApplication", RegValue::String(id))))
        return E_FAIL;
    Lock held(lock_);
    chosenDefault_ = id;
    UpdateLocked(CProcessSnapshot::Read(Control().ProcRoot(), ::getuid()), held);
    return S_OK;
}

HRESULT CGraniteCommunicationsService::GetDefaultApplicationName(std::string* name) {
    GRANITE_TAKE(kCommsDefaultName);
    if (name == nullptr)
        return E_POINTER;
    Lock held(lock_);
    const Entry* entry = DefaultEntry(held);
    *name = entry != nullptr ? entry->program.name : std::string();
    return S_OK;
}

// --- calls
// ---------------------------------------------------------------------------------------------------------

HRESULT CGraniteCommunicationsService::GetCallReadiness(int32_t* ready) {
    GRANITE_TAKE(kCommsReadiness);
    if (ready == nullptr)
        return E_POINTER;
    Lock held(lock_);
    *ready = Readiness(held);
    return S_OK;
}

HRESULT CGraniteCommunicationsService::GetCallApplication(std::string* name) {
    GRANITE_TAKE(kCommsCallApplication);
    if (name == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    name->clear();
    for (const Entry& entry : entries_) {
        if (entry.status == COMMS_APP_IN_CALL) {
            *name = entry.program.name;
            break;
        }
    }
    return S_OK;
}

HRESULT CGraniteCommunicationsService::GetRunningApplicationCount(int32_t* count) {
    GRANITE_TAKE(kCommsRunningCount);
    if (count == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    int32_t running = 0;
    for (const Entry& entry : entries_)
        running += IsRunningStatus(entry.status) ? 1 : 0;
    *count = running;
    return S_OK;
}

// --- settings
// ------------------------------------------------------------------------------------------------------

HRESULT CGraniteCommunicationsService::GetCallSetting(int32_t which, std::string* value) {
    GRANITE_TAKE(kCommsGetSetting);
    if (value == nullptr)
        return E_POINTER;
    if (!IsKnownSetting(which))
        return E_INVALIDARG;
    std::string text;
    if (!ReadText("CallSetting" + std::to_string(which), &text) || !IsAcceptableText(text))
        text.clear(); // a missing or damaged value reads as "not chosen"
    *value = text;
    return S_OK;
}

HRESULT CGraniteCommunicationsService::SetCallSetting(int32_t which, const std::string& value) {
    GRANITE_TAKE(kCommsSetSetting);
    if (!IsKnownSetting(which) || !IsAcceptableText(value))
        return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(
        lock_); // one change at a time, so each event names its true predecessor
    std::string previous;
    if (!ReadText("CallSetting" + std::to_string(which), &previous) || !IsAcceptableText(previous))
        previous.clear();
    if (FAILED(WriteValue("CallSetting" + std::to_string(which), RegValue::String(value))))
        return E_FAIL;
    bool device =
        which == COMMS_SETTING_CAMERA || which == COMMS_SETTING_MICROPHONE || which == COMMS_SETTING_SPEAKER;
    if (device && previous != value) {
        pump_.Post([previous, which, value](IBrenCommunicationManagerEvents& sink) {
            sink.IC_OnDeviceSelectionChanged(previous, which, value);
        });
    }
    return S_OK;
}

HRESULT CGraniteCommunicationsService::GetOption(int32_t option, Variant* value) {
    GRANITE_TAKE(kCommsGetOption);
    if (value == nullptr)
        return E_POINTER;
    if (!IsBoolOption(option) && option != COMMS_OPTION_CALL_VOLUME)
        return E_INVALIDARG;
    uint32_t number = OptionDefault(option);
    ReadNumber(OptionValueName(option), &number);
    if (option == COMMS_OPTION_CALL_VOLUME && number > 100)
        number = OptionDefault(option);
    *value =
        IsBoolOption(option) ? Variant::FromBool(number != 0) : Variant::FromI4(static_cast<int32_t>(number));
    return S_OK;
}

HRESULT CGraniteCommunicationsService::SetOption(int32_t option, const Variant& value) {
    GRANITE_TAKE(kCommsSetOption);
    int32_t number = 0;
    if (IsBoolOption(option)) {
        if (value.Type() == VarType::Bool)
            number = value.GetBool() != VARIANT_FALSE ? 1 : 0;
        else if (!value.ToI4(number) || (number != 0 && number != 1))
            return E_INVALIDARG;
    } else if (option == COMMS_OPTION_CALL_VOLUME) {
        if (value.Type() == VarType::Bool || !value.ToI4(number) || number < 0 || number > 100)
            return E_INVALIDARG;
    } else {
        return E_INVALIDARG;
    }
    if (FAILED(WriteValue(OptionValueName(option), RegValue::Dword(static_cast<uint32_t>(number)))))
        return E_FAIL;
    if (option == COMMS_OPTION_CALLING_PROGRAMS && number == 0) {
        // Calling programs are no longer followed: forget them until they are switched on and listed again.
        Lock held(lock_);
        entries_.clear();
        UpdateLocked({}, held);
    }
    return S_OK;
}

HRESULT CGraniteCommunicationsService::GetStatusMessage(std::string* text) {
    GRANITE_TAKE(kCommsGetStatusMessage);
    if (text == nullptr)
        return E_POINTER;
    std::string message;
    if (!ReadText("StatusMessage", &message) || !IsAcceptableText(message))
        message.clear();
    *text = message;
    return S_OK;
}

HRESULT CGraniteCommunicationsService::SetStatusMessage(const std::string& text) {
    GRANITE_TAKE(kCommsSetStatusMessage);
    if (!IsAcceptableText(text))
        return E_INVALIDARG;
    return SUCCEEDED(WriteValue("StatusMessage", RegValue::String(text))) ? S_OK : E_FAIL;
}

HRESULT CGraniteCommunicationsService::GetServiceVersion(std::string* version) {
    GRANITE_TAKE(kCommsVersion);
    if (version == nullptr)
        return E_POINTER;
    *version = kVersion;
    return S_OK;
}

} // namespace Granite
