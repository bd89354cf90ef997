#include "settings/CMainSettingsDlg.h"

#include "app/CVidoraSettings.h"
#include "config/COEMInfo.h"
#include "settings/CAdvancedSettingsPaneDlg.h"
#include "settings/CAudioSettingsPaneDlg.h"
#include "settings/CPreferenceSettingsPaneDlg.h"
#include "settings/CSunTuneSettingsPaneDlg.h"
#include "settings/CWebcamSettingsPaneDlg.h"
#include "settings/SettingsPanes.h"
#include "ui/CTransparentImageButton.h"

#include <type_traits>
#include <utility>

namespace {

struct TabInfo {
    int item;
    uint32_t tooltip;
    uint32_t paneTemplate;
    uint32_t title;
};

// In tab order: webcam, audio, SunTune, advanced, preferences.
constexpr std::array<TabInfo, CMainSettingsDlg::kTabCount> kTabs{{
    {CMainSettingsDlg::kWebcamTab, 176, CWebcamSettingsPaneDlg::kTemplateId, 110},
    {CMainSettingsDlg::kAudioTab, 178, CAudioSettingsPaneDlg::kTemplateId, 121},
    {CMainSettingsDlg::kSunTuneTab, 179, CSunTuneSettingsPaneDlg::kTemplateId, 122},
    {CMainSettingsDlg::kAdvancedTab, 180, CAdvancedSettingsPaneDlg::kTemplateId, 123},
    {CMainSettingsDlg::kPreferencesTab, 181, CPreferenceSettingsPaneDlg::kTemplateId, 124},
}};

// The webcam tab's images may be replaced by an OEM folder; the built-in ones are images 219 to 221.
constexpr const char* kWebcamTabFiles[] = {"SETTINGS_WEBCAMTAB_UP.png", "SETTINGS_WEBCAMTAB_HOVER.png",
                                           "SETTINGS_WEBCAMTAB_DOWN.png"};
constexpr uint32_t kWebcamTabImage = 219;
// The other tabs' images (normal, hover, pressed), three ids per tab from here on, in tab order.
constexpr uint32_t kOtherTabImages = 226;
constexpr int kTabGap = 4;

const TabInfo& InfoOf(CMainSettingsDlg::Tab tab) {
    return kTabs[static_cast<size_t>(tab)];
}

// Calls f with the slot of the tab's pane, typed by the pane's class.
template <class F> decltype(auto) WithSlot(CMainSettingsDlg::Tab tab, F&& f) {
    switch (tab) {
    case CMainSettingsDlg::Tab::Webcam:
        return f(SettingsPanes::Webcam());
    case CMainSettingsDlg::Tab::Audio:
        return f(SettingsPanes::Audio());
    case CMainSettingsDlg::Tab::SunTune:
        return f(SettingsPanes::SunTune());
    case CMainSettingsDlg::Tab::Advanced:
        return f(SettingsPanes::Advanced());
    case CMainSettingsDlg::Tab::Preferences:
        break;
    }
    return f(SettingsPanes::Preferences());
}

// The pane's class, from the type of its slot.
template <class Slot> using PaneOf = std::remove_pointer_t<decltype(std::declval<Slot&>().Get())>;

} // namespace

CMainSettingsDlg::CMainSettingsDlg(QWidget* parent)
    : CAttachablePane(kTemplateId, CVidoraSettings::GetSettingsRoot(), "SettingsXPos", "SettingsYPos",
                      parent) {}

CMainSettingsDlg::~CMainSettingsDlg() {
    if (IsWindow())
        DestroyWindow();
}

int CMainSettingsDlg::TabItem(Tab tab) {
    return InfoOf(tab).item;
}

bool CMainSettingsDlg::OnInitDialog() {
    CAttachablePane::OnInitDialog();
    setWindowTitle(QString::fromStdString(LoadString(kTitleText)));
    SetUpTabButtons();
    SelectTab(Tab::Webcam);
    if (!CVidoraSettings::IsFeatureSeen("SunTune")) {
        if (QWidget* sunTune = GetDlgItem(kSunTuneTab))
            sunTune->hide();
    }
    LayOutTabButtons();
    return true;
}

void CMainSettingsDlg::SetUpTabButtons() {
    COEMInfo* oem = GetOEMInfo();
    const CTransparentImageButton::State states[] = {CTransparentImageButton::State::Normal,
                                                     CTransparentImageButton::State::Hover,
                                                     CTransparentImageButton::State::Pressed};
    for (int i = 0; i < kTabCount; ++i) {
        auto* button = GetDlgItemAs<CTransparentImageButton>(kTabs[static_cast<size_t>(i)].item);
        if (button == nullptr)
            continue;
        button->setToolTip(QString::fromStdString(LoadString(kTabs[static_cast<size_t>(i)].tooltip)));
        if (i == 0) {
            for (int s = 0; s < 3; ++s) {
                QImage image;
                if (oem != nullptr && oem->GetGraphic(kWebcamTabFiles[s], kWebcamTabImage + s, image))
                    button->SetImage(states[s], image);
            }
        } else {
            const uint32_t first = kOtherTabImages + 3 * static_cast<uint32_t>(i - 1);
            button->SetImageIds(first, first + 1, first + 2);
        }
    }
}

// The tabs sit side by side from the first tab's place; a hidden tab leaves no gap.
void CMainSettingsDlg::LayOutTabButtons() {
    QWidget* first = GetDlgItem(kTabs[0].item);
    if (first == nullptr)
        return;
    int x = first->x();
    for (const TabInfo& info : kTabs) {
        QWidget* button = GetDlgItem(info.item);
        if (button == nullptr || button->isHidden())
            continue;
        button->move(x, first->y());
        x += button->width() + kTabGap;
    }
}

void CMainSettingsDlg::OnDestroy() {
    for (Tab tab : {Tab::Audio, Tab::SunTune, Tab::Advanced, Tab::Preferences, Tab::Webcam})
        DestroyPane(tab);
    CAttachablePane::OnDestroy();
}

LRESULT CMainSettingsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        for (int i = 0; i < kTabCount; ++i) {
            if (LOWORD(wParam) == kTabs[static_cast<size_t>(i)].item) {
                SelectTab(static_cast<Tab>(i));
                return 0;
            }
        }
    }
    return CAttachablePane::OnMessage(message, wParam, lParam);
}

void CMainSettingsDlg::SelectTab(Tab tab) {
    bool& selecting = selecting_[static_cast<size_t>(tab)];
    if (selecting || !IsWindow())
        return;
    selecting = true;
    for (Tab other : {Tab::Webcam, Tab::Audio, Tab::SunTune, Tab::Advanced, Tab::Preferences}) {
        if (other != tab)
            DestroyPane(other);
    }
    current_ = tab;
    if (ExistingPane(tab) == nullptr) {
        setWindowTitle(QString::fromStdString(LoadString(InfoOf(tab).title)));
        CDialogBase* pane = MakePane(tab);
        QWidget* place = GetDlgItem(kPanePlace);
        if (pane != nullptr) {
            if (place != nullptr)
                pane->move(place->pos());
            pane->show();
        }
    }
    MarkTab(tab);
    selecting = false;
}

CDialogBase* CMainSettingsDlg::MakePane(Tab tab) {
    return WithSlot(tab, [this](auto& slot) -> CDialogBase* {
        auto* pane = new PaneOf<decltype(slot)>(this);
        slot = pane;
        pane->SetDeleteOnDestroy(true);
        if (!pane->Create(this)) {
            slot.Clear();
            delete pane;
            return nullptr;
        }
        return pane;
    });
}

CDialogBase* CMainSettingsDlg::ExistingPane(Tab tab) {
    return WithSlot(tab, [](auto& slot) -> CDialogBase* { return slot.Get(); });
}

CDialogBase* CMainSettingsDlg::CurrentPane() const {
    return ExistingPane(current_);
}

void CMainSettingsDlg::DestroyPane(Tab tab) {
    if (CDialogBase* pane = ExistingPane(tab)) {
        WithSlot(tab, [](auto& slot) { slot.Clear(); });
        pane->DestroyWindow();
    }
}

void CMainSettingsDlg::MarkTab(Tab tab) {
    for (int i = 0; i < kTabCount; ++i) {
        if (auto* button = GetDlgItemAs<CTransparentImageButton>(kTabs[static_cast<size_t>(i)].item))
            button->SetPressedLook(static_cast<Tab>(i) == tab);
    }
}
