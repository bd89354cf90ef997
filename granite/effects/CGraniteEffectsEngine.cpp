#include "granite/effects/CGraniteEffectsEngine.h"

#include "granite/effects/CEffectsScene.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "platform/CRegistry.h"
#include "platform/TextUtil.h"

#include <QImageReader>
#include <QString>

#include <filesystem>
#include <fstream>

namespace Granite {

namespace {

CGraniteEffectsControl& Control() {
    return CGraniteEffectsControl::Instance();
}

#define GRANITE_TAKE(operation)                                                                              \
    do {                                                                                                     \
        HRESULT failure_ = Control().Take(operation);                                                        \
        if (FAILED(failure_))                                                                                \
            return failure_;                                                                                 \
    } while (false)

std::string ReadText(const std::string& name) {
    RegValue value;
    if (FAILED(CRegistry::Instance().QueryValue(Hive::CurrentUser, CGraniteEffectsEngine::kSettingsKey, name,
                                                value)) ||
        value.type != REG_SZ || !Text::IsValidUtf8(value.text))
        return {};
    return value.text;
}

HRESULT WriteValue(const std::string& name, const RegValue& value) {
    CRegistry& registry = CRegistry::Instance();
    HRESULT hr = registry.CreateKey(Hive::CurrentUser, CGraniteEffectsEngine::kSettingsKey, "", false);
    if (FAILED(hr))
        return hr;
    return registry.SetValue(Hive::CurrentUser, CGraniteEffectsEngine::kSettingsKey, name, value);
}

// The shade picture, decoded; null when the file is not a picture Qt can read.
QImage ReadShade(const std::string& path) {
    if (path.empty())
        return {};
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // A picture too large to keep in memory for every frame is refused like an unreadable one.
    if (size.isValid() && (size.width() > 8192 || size.height() > 8192))
        return {};
    return reader.read();
}

bool IsOpenable(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
}

} // namespace

HRESULT CGraniteEffectsEngine::Create(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    GRANITE_TAKE(kEffectsCreate);
    auto* engine = new CGraniteEffectsEngine();
    HRESULT hr = engine->QueryInterface(iid, object);
    engine->Release();
    return hr;
}

CGraniteEffectsEngine::CGraniteEffectsEngine() {
    camera_ = ReadText("Camera");
    picture_ = ReadText("ShadePicture");
    RegValue quality;
    if (SUCCEEDED(CRegistry::Instance().QueryValue(Hive::CurrentUser, kSettingsKey, "Quality", quality)) &&
        quality.type == REG_DWORD && quality.dword <= static_cast<uint32_t>(EFFECTS_QUALITY_HIGH))
        quality_ = static_cast<int32_t>(quality.dword);
    if (!picture_.empty()) {
        // A kept picture that went away since is forgotten rather than shown as nothing.
        QImage shade = ReadShade(picture_);
        if (shade.isNull())
            picture_.clear();
        CEffectsScene::Instance().SetShade(std::move(shade));
    }
    Control().Attach(this);
    // The engine has no periodic work; its thread runs loads, calibration steps and events.
    pump_.Start(nullptr, std::chrono::hours(1));
}

CGraniteEffectsEngine::~CGraniteEffectsEngine() {
    Control().Detach(this);
    pump_.Stop();
    // The camera picture is left as it is without an engine; the shade stays with the camera.
    if (drawing_)
        CEffectsScene::Instance().ClearEffects();
}

HRESULT CGraniteEffectsEngine::QueryInterface(const Guid& iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualGuid(iid, IID_IUnknown) || IsEqualGuid(iid, IID_IEffectsEngine)) {
        AddRef();
        *object = static_cast<IEffectsEngine*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CGraniteEffectsEngine::Advise(ICOCIMngrEvents* sink, uint32_t* cookie) {
    GRANITE_TAKE(kEffectsAdvise);
    return pump_.Advise(sink, cookie);
}

HRESULT CGraniteEffectsEngine::Unadvise(uint32_t cookie) {
    return pump_.Unadvise(cookie);
}

std::string CGraniteEffectsEngine::CanonicalKind(const std::string& kind) {
    for (const char* known : {kEffectsKindAvatar, kEffectsKindAccessory, kEffectsKindFun}) {
        if (Text::EqualsNoCase(kind, known))
            return known;
    }
    return {};
}

bool CGraniteEffectsEngine::IsReadableImage(const std::string& path) {
    if (!IsOpenable(path))
        return false;
    QImageReader reader(QString::fromStdString(path));
    return reader.canRead();
}

// --- the mode machine
// ------------------------------------------------------------------------------------------

int32_t CGraniteEffectsEngine::ComputeMode(const Lock&) const {
    if (calibrating_)
        return EFFECTS_MODE_CALIBRATING;
    if (!enabled_)
        return EFFECTS_MODE_IDLE;
    bool modelLoading = false;
    for (const auto& [what, token] : loading_)
        modelLoading = modelLoading || !what.empty();
    if (models_.empty() && !modelLoading)
        return EFFECTS_MODE_IDLE;
    return loading_.empty() ? EFFECTS_MODE_RUNNING : EFFECTS_MODE_STARTING;
}

void CGraniteEffectsEngine::PublishScene(int32_t mode, const Lock&) {
    if (mode != EFFECTS_MODE_RUNNING) {
        if (drawing_)
            CEffectsScene::Instance().ClearEffects();
        drawing_ = false;
        return;
    }
    std::vector<EffectOverlay> overlays;
    std::vector<EffectFilter> filters;
    for (const char* kind : {kEffectsKindAvatar, kEffectsKindAccessory, kEffectsKindFun}) {
        auto it = models_.find(kind);
        if (it == models_.end() || !it->second.read)
            continue;
        const CEffectPackage& package = *it->second.read;
        if (package.HasOverlay())
            overlays.push_back(package.Overlay());
        if (package.Filter() != EffectFilter::None)
            filters.push_back(package.Filter());
    }
    CEffectsScene::Instance().SetEffects(std::move(overlays), std::move(filters), mirror_ != 0,
                                         quality_ != EFFECTS_QUALITY_LOW, camera_);
    drawing_ = true;
}

void CGraniteEffectsEngine::Publish(const Lock& held) {
    int32_t mode = ComputeMode(held);
    PublishScene(mode, held);
    if (mode == publishedMode_)
        return;
    int32_t old = publishedMode_;
    publishedMode_ = mode;
    pump_.Post([old, mode](ICOCIMngrEvents& sink) { sink.CME_OnModeChange(old, mode); });
}

void CGraniteEffectsEngine::BeginLoad(const std::string& what, const Model& model,
                                      std::chrono::milliseconds delay, const Lock& held) {
    uint64_t token = nextToken_++;
    loading_[what] = token;
    Publish(held);
    pump_.RunAfter(delay, [this, what, token, model] { FinishLoad(what, token, model); });
}

void CGraniteEffectsEngine::FinishLoad(const std::string& what, uint64_t token, const Model& model) {
    {
        Lock held(lock_);
        if (holdStarts_) {
            held_.push_back(HeldLoad{what, token, model});
            return;
        }
    }
    // The package is read without the lock; the result only counts if this load is still wanted.
    Model loaded = model;
    std::string why;
    bool readable = what.empty() || model.package.empty();
    if (!readable) {
        auto package = std::make_shared<CEffectPackage>();
        readable = SUCCEEDED(CEffectPackage::Load(model.package, package.get(), &why));
        loaded.read = std::move(package);
    }
    Lock held(lock_);
    auto it = loading_.find(what);
    if (it == loading_.end() || it->second != token)
        return;
    loading_.erase(it);
    if (!readable) {
        std::string text = "The effect model cannot be read: " + model.package + " (" + why + ")";
        pump_.Post([text](ICOCIMngrEvents& sink) { sink.CME_OnError(E_FAIL, text, EFFECTS_OP_LOAD_MODEL); });
    } else if (!what.empty()) {
        models_[what] = loaded;
        lastModel_ = model.id.empty() ? model.package : model.id;
    }
    Publish(held);
}

void CGraniteEffectsEngine::HoldStarts(bool hold) {
    Lock held(lock_);
    holdStarts_ = hold;
    if (hold)
        return;
    std::vector<HeldLoad> loads;
    loads.swap(held_);
    for (const HeldLoad& load : loads) {
        pump_.RunAfter(std::chrono::milliseconds(0),
                       [this, load] { FinishLoad(load.what, load.token, load.model); });
    }
}

void CGraniteEffectsEngine::ScheduleCalibrationStep(uint64_t token, std::chrono::milliseconds step) {
    pump_.RunAfter(step, [this, token] { CalibrationStep(token); });
}

void CGraniteEffectsEngine::CalibrationStep(uint64_t token) {
    const auto step = Control().CalibrationStep();
    Lock held(lock_);
    if (!calibrating_ || token != calibrationToken_)
        return;
    calibrationProgress_ += 10;
    if (calibrationProgress_ >= 100) {
        calibrating_ = false;
        calibrationProgress_ = 0;
        Publish(held);
        return;
    }
    ScheduleCalibrationStep(token, step);
}

// --- operations
// ----------------------------------------------------------------------------------------------------

HRESULT CGraniteEffectsEngine::SetOption(int32_t option, int32_t value) {
    GRANITE_TAKE(EFFECTS_OP_SET_OPTION);
    Lock held(lock_);
    if (option == EFFECTS_OPTION_MANUAL_FOCUS) {
        manualFocus_ = value;
        return S_OK;
    }
    if (option == EFFECTS_OPTION_MIRROR && (value == 0 || value == 1)) {
        mirror_ = value;
        PublishScene(ComputeMode(held), held);
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CGraniteEffectsEngine::GetCamera(std::string* cameraId) {
    GRANITE_TAKE(EFFECTS_OP_GET_CAMERA);
    if (cameraId == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    if (camera_.empty())
        return E_FAIL;
    *cameraId = camera_;
    return S_OK;
}

HRESULT CGraniteEffectsEngine::GetCalibrationProgress(int32_t* percent) {
    GRANITE_TAKE(EFFECTS_OP_GET_CALIBRATION_PROGRESS);
    if (percent == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    if (!calibrating_)
        return E_FAIL;
    *percent = calibrationProgress_;
    return S_OK;
}

HRESULT CGraniteEffectsEngine::SetCamera(const std::string& cameraId) {
    GRANITE_TAKE(EFFECTS_OP_SET_CAMERA);
    if (cameraId.empty() || !Text::IsValidUtf8(cameraId))
        return E_INVALIDARG;
    if (FAILED(WriteValue("Camera", RegValue::String(cameraId))))
        return E_FAIL;
    const auto delay = Control().LoadDelay();
    Lock held(lock_);
    bool changed = !Text::EqualsNoCase(camera_, cameraId);
    camera_ = cameraId;
    PublishScene(ComputeMode(held), held);
    // Running effects move to the new camera: the engine takes it first, and is not ready meanwhile.
    int32_t mode = ComputeMode(held);
    if (changed && (mode == EFFECTS_MODE_RUNNING || mode == EFFECTS_MODE_STARTING))
        BeginLoad("", Model{}, delay, held);
    return S_OK;
}

HRESULT CGraniteEffectsEngine::Enable(int32_t on) {
    GRANITE_TAKE(EFFECTS_OP_ENABLE);
    const auto delay = Control().LoadDelay();
    Lock held(lock_);
    if (calibrating_)
        return E_FAIL;
    if (on == 0) {
        enabled_ = false;
        loading_.clear();
        Publish(held);
        return S_OK;
    }
    if (models_.empty() && loading_.empty())
        return S_FALSE;
    if (enabled_)
        return S_OK;
    enabled_ = true;
    BeginLoad("", Model{}, delay, held);
    return S_OK;
}

HRESULT CGraniteEffectsEngine::GetModel(std::string* modelId) {
    GRANITE_TAKE(EFFECTS_OP_GET_MODEL);
    if (modelId == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    if (models_.empty())
        return E_FAIL;
    *modelId = lastModel_;
    return S_OK;
}

HRESULT CGraniteEffectsEngine::GetMode(int32_t* mode) {
    GRANITE_TAKE(EFFECTS_OP_GET_MODE);
    if (mode == nullptr)
        return E_POINTER;
    Lock held(lock_);
    *mode = ComputeMode(held);
    return S_OK;
}

HRESULT CGraniteEffectsEngine::GetPicture(std::string* path) {
    GRANITE_TAKE(EFFECTS_OP_GET_PICTURE);
    if (path == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    *path = picture_;
    return S_OK;
}

HRESULT CGraniteEffectsEngine::GetQuality(int32_t* quality) {
    GRANITE_TAKE(EFFECTS_OP_GET_QUALITY);
    if (quality == nullptr)
        return E_POINTER;
    std::lock_guard<std::mutex> guard(lock_);
    *quality = quality_;
    return S_OK;
}

HRESULT CGraniteEffectsEngine::GetStatus() {
    GRANITE_TAKE(EFFECTS_OP_GET_STATUS);
    Lock held(lock_);
    return ComputeMode(held) == EFFECTS_MODE_STARTING ? E_EFFECTS_NOT_READY : S_OK;
}

HRESULT CGraniteEffectsEngine::StartCalibration() {
    GRANITE_TAKE(EFFECTS_OP_START_CALIBRATION);
    const auto step = Control().CalibrationStep();
    Lock held(lock_);
    if (calibrating_)
        return S_FALSE;
    calibrating_ = true;
    calibrationProgress_ = 0;
    calibrationToken_ = nextToken_++;
    Publish(held);
    ScheduleCalibrationStep(calibrationToken_, step);
    return S_OK;
}

HRESULT CGraniteEffectsEngine::CancelCalibration() {
    GRANITE_TAKE(EFFECTS_OP_CANCEL_CALIBRATION);
    Lock held(lock_);
    if (!calibrating_)
        return S_FALSE;
    calibrating_ = false;
    calibrationProgress_ = 0;
    Publish(held);
    return S_OK;
}

HRESULT CGraniteEffectsEngine::SetPicture(int32_t mode, const std::string& path) {
    GRANITE_TAKE(EFFECTS_OP_SET_PICTURE);
    std::string picture;
    QImage shade;
    if (mode == EFFECTS_PICTURE_SHADE) {
        // Decoded here, once: a file that is not a picture fails now instead of showing nothing later.
        if (!IsOpenable(path) || (shade = ReadShade(path)).isNull())
            return E_INVALIDARG;
        picture = path;
    } else if (mode != EFFECTS_PICTURE_CLEAR) {
        return E_INVALIDARG;
    }
    if (FAILED(WriteValue("ShadePicture", RegValue::String(picture))))
        return E_FAIL;
    std::lock_guard<std::mutex> guard(lock_);
    picture_ = picture;
    CEffectsScene::Instance().SetShade(std::move(shade));
    return S_OK;
}

HRESULT CGraniteEffectsEngine::SetQuality(int32_t quality) {
    GRANITE_TAKE(EFFECTS_OP_SET_QUALITY);
    if (quality < EFFECTS_QUALITY_LOW || quality > EFFECTS_QUALITY_HIGH)
        return E_INVALIDARG;
    if (FAILED(WriteValue("Quality", RegValue::Dword(static_cast<uint32_t>(quality)))))
        return E_FAIL;
    Lock held(lock_);
    quality_ = quality;
    PublishScene(ComputeMode(held), held);
    return S_OK;
}

HRESULT CGraniteEffectsEngine::RemoveModel(const std::string& kind) {
    GRANITE_TAKE(EFFECTS_OP_REMOVE_MODEL);
    Lock held(lock_);
    bool removed = false;
    if (kind.empty()) {
        removed = !models_.empty() || loading_.size() > loading_.count("");
        models_.clear();
        loading_.clear();
    } else {
        std::string canonical = CanonicalKind(kind);
        if (canonical.empty())
            return E_INVALIDARG;
        removed = models_.erase(canonical) + loading_.erase(canonical) > 0;
        bool modelLoading = loading_.size() > loading_.count("");
        if (models_.empty() && !modelLoading)
            loading_.clear(); // nothing left to draw: the camera need not be taken
    }
    Publish(held);
    return removed ? S_OK : S_FALSE;
}

HRESULT CGraniteEffectsEngine::LoadModel(const std::string& packageFile, const std::string& kind,
                                         const std::string& modelId) {
    GRANITE_TAKE(EFFECTS_OP_LOAD_MODEL);
    std::string canonical = CanonicalKind(kind);
    if (canonical.empty() || !IsOpenable(packageFile))
        return E_INVALIDARG;
    const auto delay = Control().LoadDelay();
    Lock held(lock_);
    if (calibrating_)
        return E_FAIL;
    enabled_ = true;
    BeginLoad(canonical, Model{packageFile, modelId, nullptr}, delay, held);
    return S_OK;
}

// --- control
// -------------------------------------------------------------------------------------------------------

void CGraniteEffectsEngine::StartBuiltInEffects(std::chrono::milliseconds delay) {
    Lock held(lock_);
    if (calibrating_)
        return;
    enabled_ = true;
    BeginLoad(kEffectsKindFun, Model{"", kBuiltInModelId, nullptr}, delay, held);
}

void CGraniteEffectsEngine::StopEffects() {
    Lock held(lock_);
    enabled_ = false;
    loading_.clear();
    Publish(held);
}

void CGraniteEffectsEngine::RaiseError(int32_t code, const std::string& text, int32_t value) {
    pump_.Post([code, text, value](ICOCIMngrEvents& sink) { sink.CME_OnError(code, text, value); });
}

} // namespace Granite
