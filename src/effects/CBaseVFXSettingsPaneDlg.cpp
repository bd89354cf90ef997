#include "effects/CBaseVFXSettingsPaneDlg.h"

#include "app/CVidoraSettings.h"
#include "effects/CCalibrationReminder.h"
#include "effects/CEffectModelFolder.h"
#include "effects/CEffectThumbnail.h"
#include "effects/CEffectsMoreAddress.h"
#include "effects/CVideoEffectsAccessoriesCatalog.h"
#include "effects/CVideoEffectsAvatarsCatalog.h"
#include "effects/CVideoSpecialEffectsCatalog.h"
#include "platform/CResourceLibrary.h"
#include "platform/DebugOutput.h"
#include "platform/DesktopLinks.h"
#include "platform/GlobalAtoms.h"
#include "platform/RegisteredMessages.h"
#include "platform/TextUtil.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IEffectsEngine.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CTransparentStatic.h"
#include "ui/ControlsNotify.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QStackedWidget>

namespace {

constexpr uint32_t kCookie = 0x304;
constexpr const char* kCategoryNames[] = {"avatars", "accessories", "funfilters"};
constexpr int kTabs[] = {CBaseVFXSettingsPaneDlg::kAvatarsTab, CBaseVFXSettingsPaneDlg::kAccessoriesTab,
                         CBaseVFXSettingsPaneDlg::kFunTab};

CEffectModel::Kind KindOfCategory(int category) {
    switch (category) {
    case CBaseVFXSettingsPaneDlg::kAccessories:
        return CEffectModel::Kind::Accessory;
    case CBaseVFXSettingsPaneDlg::kFunFilters:
        return CEffectModel::Kind::Fun;
    default:
        return CEffectModel::Kind::Avatar;
    }
}

class CWaitCursor {
public:
    CWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

} // namespace

CBaseVFXSettingsPaneDlg::CBaseVFXSettingsPaneDlg(uint32_t templateId, const std::string& settingsRoot,
                                                 const std::string& xPosValueName,
                                                 const std::string& yPosValueName, QWidget* parent)
    : CAttachablePane(templateId, settingsRoot, xPosValueName, yPosValueName, parent),
      selector_(GetUiLanguage(), [this](CEffectModel::Kind kind) -> CEffectsMruList* {
          for (CVideoEffectsCatalog* catalog : catalogs_) {
              if (catalog != nullptr && catalog->Kind() == kind)
                  return &catalog->Mru();
          }
          return nullptr;
      }) {
    effects_ = GetBrenmoorVideoEffects();
    selector_.SetEffects(effects_);
}

CBaseVFXSettingsPaneDlg::~CBaseVFXSettingsPaneDlg() {
    if (IsWindow())
        DestroyWindow();
    ReleaseEngine();
}

void CBaseVFXSettingsPaneDlg::ReleaseEngine() {
    if (effects_ != nullptr && listening_)
        effects_->RemoveListener(this);
    listening_ = false;
    if (effects_ != nullptr)
        effects_->Release();
    effects_ = nullptr;
    selector_.SetEffects(nullptr);
}

const char* CBaseVFXSettingsPaneDlg::CategoryName(int category) {
    return category >= 0 && category < 3 ? kCategoryNames[category] : kCategoryNames[0];
}

int CBaseVFXSettingsPaneDlg::CategoryOf(const std::string& name) {
    for (int i = 0; i < 3; ++i) {
        if (Text::EqualsNoCase(name, kCategoryNames[i]))
            return i;
    }
    return kAvatars;
}

CVideoEffectsCatalog* CBaseVFXSettingsPaneDlg::Catalog(int category) const {
    return category >= 0 && category < 3 ? catalogs_[static_cast<size_t>(category)] : nullptr;
}

// ---- setting up
// ---------------------------------------------------------------------------------------------

bool CBaseVFXSettingsPaneDlg::OnInitDialog() {
    CAttachablePane::OnInitDialog();
    if (auto* notice = GetDlgItemAs<CTransparentStatic>(kNotice))
        notice->SetWordWrap(true);
    if (auto* description = GetDlgItemAs<CTransparentStatic>(kDescription))
        description->SetWordWrap(true);
    if (auto* calibration = GetDlgItemAs<CTransparentStatic>(kCalibration))
        calibration->SetWordWrap(true);

    // The part below opens from the toggle; everything from the preview down belongs to it.
    expandedHeight_ = height();
    if (QWidget* preview = GetDlgItem(kPreview))
        collapsedHeight_ = preview->y() - 6;

    MakeCatalogs();
    if (effects_ != nullptr)
        listening_ = SUCCEEDED(effects_->AddListener(this, kCookie));
    FillCatalogs();
    ShowCategory(CategoryOf(CVidoraSettings::GetVideoEffectsCategory()));
    // The model chosen last is shown, not applied again: the engine keeps what it draws itself.
    const std::string stored = CVidoraSettings::GetVideoEffectsModelXML();
    if (effects_ != nullptr && !stored.empty() &&
        SelectModel(stored, false) == CEffectModelSelector::Outcome::Chosen)
        ShowCategory(static_cast<int>(selector_.Current()->GetKind()));
    ShowChosen();
    ShowCalibrationReminder();
    if (auto* remind = GetDlgItemAs<QAbstractButton>(kRemindCalibration))
        remind->setChecked(CVidoraSettings::ReadRootNumber("CalibrationRemind", 1) != 0);
    SetExtraOpen(CVidoraSettings::ReadRootNumber("VideoEffectsToggleOpen", 0) != 0);
    MapMessage(RegisteredMessages::InstalledPackage.Id(), [this](WPARAM, LPARAM atom) {
        OnInstalledPackage(atom);
        return LRESULT(0);
    });
    return true;
}

void CBaseVFXSettingsPaneDlg::MakeCatalogs() {
    QWidget* place = GetDlgItem(kCatalogPlace);
    stack_ = new QStackedWidget(this);
    if (place != nullptr) {
        stack_->setGeometry(place->geometry());
        place->hide();
    }
    catalogs_[kAvatars] = new CVideoEffectsAvatarsCatalog(stack_);
    catalogs_[kAccessories] = new CVideoEffectsAccessoriesCatalog(stack_);
    catalogs_[kFunFilters] = new CVideoSpecialEffectsCatalog(stack_);
    for (CVideoEffectsCatalog* catalog : catalogs_) {
        stack_->addWidget(catalog);
        connect(catalog, &CVideoEffectsCatalog::modelPicked, this,
                [this](const QString& path) { SelectModel(path.toStdString(), true); });
    }
    stack_->setVisible(effects_ != nullptr);
}

void CBaseVFXSettingsPaneDlg::FillCatalogs() {
    if (effects_ == nullptr)
        return;
    const CEffectModelFolder folder(CEffectModelFolder::FromSettings(), GetUiLanguage());
    for (CVideoEffectsCatalog* catalog : catalogs_)
        catalog->Fill(folder);
}

void CBaseVFXSettingsPaneDlg::OnDestroy() {
    ReleaseEngine();
    CAttachablePane::OnDestroy();
}

// ---- what the user does
// -------------------------------------------------------------------------------------

LRESULT CBaseVFXSettingsPaneDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        OnCommand(LOWORD(wParam));
        return 0;
    }
    return CAttachablePane::OnMessage(message, wParam, lParam);
}

void CBaseVFXSettingsPaneDlg::OnCommand(int item) {
    switch (item) {
    case kAvatarsTab:
        ShowCategory(kAvatars);
        break;
    case kAccessoriesTab:
        ShowCategory(kAccessories);
        break;
    case kFunTab:
        ShowCategory(kFunFilters);
        break;
    case kEffectOff:
        EffectOff();
        break;
    case kGetMore:
        OpenMoreEffects();
        break;
    case kToggle:
        SetExtraOpen(!extraOpen_);
        break;
    case kRemindCalibration:
        if (auto* remind = GetDlgItemAs<QAbstractButton>(kRemindCalibration))
            CVidoraSettings::WriteRootNumber("CalibrationRemind", remind->isChecked() ? 1 : 0);
        ShowCalibrationReminder();
        break;
    default:
        break;
    }
}

void CBaseVFXSettingsPaneDlg::ShowCategory(int category) {
    if (category < kAvatars || category > kFunFilters)
        category = kAvatars;
    category_ = category;
    CVidoraSettings::WriteRootString("VideoEffectsCategory", CategoryName(category));
    for (int i = 0; i < 3; ++i) {
        if (auto* tab = GetDlgItemAs<QAbstractButton>(kTabs[i])) {
            tab->setChecked(i == category);
            tab->setEnabled(effects_ != nullptr);
        }
    }
    if (stack_ != nullptr)
        stack_->setCurrentIndex(category);
    if (effects_ == nullptr) {
        ShowNotice(LoadString(kNoEngineText));
        return;
    }
    CVideoEffectsCatalog* catalog = Catalog(category);
    ShowNotice(catalog != nullptr && catalog->ItemCount() == 0 ? LoadString(kNoModelsText) : std::string());
    if (catalog != nullptr && selector_.Current())
        catalog->ShowSelected(selector_.Current()->DescriptionPath());
}

CEffectModelSelector::Outcome CBaseVFXSettingsPaneDlg::SelectModel(const std::string& descriptionPath,
                                                                   bool apply) {
    const CEffectModelSelector::Outcome outcome = selector_.Select(descriptionPath, apply);
    if (outcome == CEffectModelSelector::Outcome::Unreadable) {
        OutputDebugString("Effects: the model " + descriptionPath +
                          " cannot be used: " + selector_.LastProblem());
        if (apply)
            ShowNotice(LoadString(kUnreadableModelText));
        return outcome;
    }
    if (outcome == CEffectModelSelector::Outcome::Unchanged)
        return outcome;
    ShowChosen();
    if (apply && FAILED(selector_.LastLoadResult()))
        ShowNotice(LoadString(kLoadFailedText));
    for (CVideoEffectsCatalog* catalog : catalogs_) {
        if (catalog != nullptr)
            catalog->ShowSelected(selector_.Current()->DescriptionPath());
    }
    return outcome;
}

void CBaseVFXSettingsPaneDlg::ShowChosen() {
    const std::optional<CEffectModel>& chosen = selector_.Current();
    if (QWidget* off = GetDlgItem(kEffectOff))
        off->setEnabled(effects_ != nullptr && chosen.has_value());
    auto* picture = GetDlgItemAs<CTransparentStatic>(kChosenPicture);
    auto* preview = GetDlgItemAs<CTransparentStatic>(kPreview);
    if (!chosen) {
        SetDlgItemText(kChosenCaption, "");
        SetDlgItemText(kChosenName, effects_ != nullptr ? LoadString(kNothingChosenText) : std::string());
        SetDlgItemText(kDescription, "");
        if (picture != nullptr)
            picture->SetImage(QImage());
        if (preview != nullptr)
            preview->SetImage(QImage());
        return;
    }
    SetDlgItemText(kChosenCaption, LoadString(CEffectModelSelector::CaptionOf(chosen->GetKind())));
    SetDlgItemText(kChosenName, chosen->DisplayName());
    SetDlgItemText(kDescription, chosen->Description());
    CEffectThumbnail::Problem problem = CEffectThumbnail::Problem::None;
    if (picture != nullptr) {
        picture->SetImage(CEffectThumbnail::Make(chosen->ImageFile(), picture->size(), &problem));
        picture->setToolTip(problem != CEffectThumbnail::Problem::None
                                ? QString::fromStdString(LoadString(CEffectThumbnail::ProblemText(problem)))
                                : QString());
    }
    if (preview != nullptr) {
        // A model without a preview picture shows its thumbnail there.
        const std::string file = chosen->PreviewFile().empty() ? chosen->ImageFile() : chosen->PreviewFile();
        CEffectThumbnail::Problem previewProblem = CEffectThumbnail::Problem::None;
        preview->SetImage(CEffectThumbnail::Make(file, preview->size(), &previewProblem));
        preview->setToolTip(
            previewProblem != CEffectThumbnail::Problem::None
                ? QString::fromStdString(LoadString(CEffectThumbnail::ProblemText(previewProblem)))
                : QString());
    }
    if (problem != CEffectThumbnail::Problem::None)
        ShowNotice(Text::Format("%s %s", LoadString(kChosenPictureProblem).c_str(),
                                LoadString(CEffectThumbnail::ProblemText(problem)).c_str()));
}

void CBaseVFXSettingsPaneDlg::ShowNotice(const std::string& text) {
    if (QWidget* notice = GetDlgItem(kNotice)) {
        SetWidgetText(notice, text);
        notice->setVisible(!text.empty());
    }
}

void CBaseVFXSettingsPaneDlg::ShowCalibrationReminder() {
    SetDlgItemText(kCalibration,
                   CCalibrationReminder::IsDue() ? LoadString(kCalibrationDueText) : std::string());
}

void CBaseVFXSettingsPaneDlg::SetExtraOpen(bool open) {
    extraOpen_ = open;
    CVidoraSettings::WriteRootNumber("VideoEffectsToggleOpen", open ? 1 : 0);
    for (int item : {kPreview, kDescription, kCalibration, kRemindCalibration}) {
        if (QWidget* widget = GetDlgItem(item))
            widget->setVisible(open);
    }
    SetDlgItemText(kToggle, LoadString(open ? kLessText : kMoreText));
    if (collapsedHeight_ > 0)
        resize(width(), open ? expandedHeight_ : collapsedHeight_);
}

void CBaseVFXSettingsPaneDlg::EffectOff() {
    if (effects_ == nullptr)
        return;
    // The button sits under the chosen model: it takes that model's kind off, else the kind shown.
    const CEffectModel::Kind kind =
        selector_.Current() ? selector_.Current()->GetKind() : KindOfCategory(category_);
    if (SUCCEEDED(effects_->EffectsCall23(CEffectModel::KindName(kind))))
        selector_.ModelRemoved(kind);
}

void CBaseVFXSettingsPaneDlg::OpenMoreEffects() {
    CWaitCursor wait;
    IGraniteDeviceManager* devices = GetGraniteDeviceManager();
    const std::string address = CEffectsMoreAddress::Build(category_, devices);
    if (devices != nullptr)
        devices->Release();
    if (!DesktopLinks::OpenWebAddress(address))
        ShowNotice(LoadString(kNoBrowserText));
}

void CBaseVFXSettingsPaneDlg::OnInstalledPackage(LPARAM atom) {
    std::string identity;
    if (effects_ == nullptr || atom == 0 ||
        !GlobalAtoms::GetName(static_cast<GlobalAtoms::ATOM>(atom), identity) || identity.empty())
        return;
    const CEffectModelFolder folder(CEffectModelFolder::FromSettings(), GetUiLanguage());
    std::optional<CEffectModel> model = folder.FindByIdentity(identity);
    if (!model || model->GetKind() != KindOfCategory(category_))
        return;
    if (CVideoEffectsCatalog* catalog = Catalog(category_)) {
        catalog->AddModel(*model);
        catalog->ShowSelected(model->DescriptionPath());
        ShowNotice({});
    }
}

// ---- the engine
// -------------------------------------------------------------------------------------------------

void CBaseVFXSettingsPaneDlg::OnEffectsError(uint32_t, int32_t, const std::string& text, int32_t value) {
    if (value == EFFECTS_OP_LOAD_MODEL) {
        OutputDebugString("Effects: the engine could not load a model: " + text);
        ShowNotice(LoadString(kLoadFailedText));
    }
}

void CBaseVFXSettingsPaneDlg::OnEffectsModeChange(uint32_t, int32_t, int32_t newMode) {
    selector_.ModeChanged(newMode);
}
