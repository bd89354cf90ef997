#pragma once
// The video-effects window's behaviour: three galleries (avatars, accessories, fun filters) of the
// installed models, the chosen model with its picture and name, a button that takes the chosen
// model's effect off again, the link to further effects on the maker's site, and a part that opens below with
// the chosen model's preview, its description and the calibration reminder.
//
// Picking a model in a gallery applies it: the engine loads it and draws it. The model chosen last is shown
// (not applied again) when the window opens. Without the effects engine the galleries are not shown and the
// window says why.
#include "effects/CEffectModel.h"
#include "effects/CEffectModelSelector.h"
#include "services/IBrenmoorVideoEffectsEvents.h"
#include "ui/CAttachablePane.h"

#include <array>
#include <string>

class CVideoEffectsCatalog;
class IBrenmoorVideoEffects;
class QStackedWidget;

class CBaseVFXSettingsPaneDlg : public CAttachablePane, public IBrenmoorVideoEffectsEvents {
    Q_OBJECT
public:
    enum Item : int {
        kAvatarsTab = 2001,
        kAccessoriesTab = 2002,
        kFunTab = 2003,
        kCatalogPlace = 2004,
        kNotice = 2005,
        kChosenPicture = 2006,
        kChosenCaption = 2007,
        kChosenName = 2008,
        kEffectOff = 2009,
        kGetMore = 2010,
        kToggle = 2011,
        kPreview = 2012,
        kDescription = 2013,
        kCalibration = 2014,
        kRemindCalibration = 2015,
    };
    // Categories as "VideoEffectsCategory" names them.
    enum Category : int { kAvatars = 0, kAccessories = 1, kFunFilters = 2 };

    // Texts of the resource library.
    static constexpr uint32_t kNoEngineText = 1800;
    static constexpr uint32_t kNoModelsText = 1801;
    static constexpr uint32_t kNothingChosenText = 1802;
    static constexpr uint32_t kUnreadableModelText = 1803;
    static constexpr uint32_t kLoadFailedText = 1804;
    static constexpr uint32_t kMoreText = 1805;
    static constexpr uint32_t kLessText = 1806;
    static constexpr uint32_t kCalibrationDueText = 1807;
    static constexpr uint32_t kNoBrowserText = 1808;
    static constexpr uint32_t kChosenPictureProblem = 1809;

    CBaseVFXSettingsPaneDlg(uint32_t templateId, const std::string& settingsRoot,
                            const std::string& xPosValueName, const std::string& yPosValueName,
                            QWidget* parent = nullptr);
    ~CBaseVFXSettingsPaneDlg() override;

    // Shows a category's gallery and stores it as the one shown last.
    void ShowCategory(int category);
    int GetCategory() const { return category_; }
    CVideoEffectsCatalog* Catalog(int category) const;
    // Chooses a model by its description; `apply` hands it to the engine. What the chooser answered.
    CEffectModelSelector::Outcome SelectModel(const std::string& descriptionPath, bool apply);
    const CEffectModelSelector& Selector() const { return selector_; }
    // Opens the maker's page of further effects for the shown category.
    void OpenMoreEffects();
    // Opens or closes the part below.
    void SetExtraOpen(bool open);
    bool IsExtraOpen() const { return extraOpen_; }
    // Whether the window has the effects engine.
    bool HasEngine() const { return effects_ != nullptr; }

    // "VideoEffectsCategory" text of a category, and back (unknown texts: avatars).
    static const char* CategoryName(int category);
    static int CategoryOf(const std::string& name);

    void OnEffectsError(uint32_t cookie, int32_t code, const std::string& text, int32_t value) override;
    void OnEffectsModeChange(uint32_t cookie, int32_t oldMode, int32_t newMode) override;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCommand(int item);
    void MakeCatalogs();
    void FillCatalogs();
    void OnInstalledPackage(LPARAM atom);
    void ShowChosen();
    void ShowNotice(const std::string& text);
    void ShowCalibrationReminder();
    void ReleaseEngine();
    void EffectOff();

    IBrenmoorVideoEffects* effects_ = nullptr;
    bool listening_ = false;
    CEffectModelSelector selector_;
    QStackedWidget* stack_ = nullptr;
    std::array<CVideoEffectsCatalog*, 3> catalogs_{};
    int category_ = kAvatars;
    bool extraOpen_ = false;
    int collapsedHeight_ = 0;
    int expandedHeight_ = 0;
};
