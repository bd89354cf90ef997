#include "ribbon/CShutterPolicy.h"

#include "app/CVidoraSettings.h"
#include "platform/TextUtil.h"
#include "privacy/CShadePictureFile.h"
#include "ribbon/CPaneCoordinator.h"
#include "ribbon/RibbonReentryGuard.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteCommunicationsManager.h"
#include "services/IGraniteDeviceManager.h"
#include "ui/CCustomMessageBoxOK.h"
#include "ui/CCustomMessageBoxYESNO.h"

namespace {

constexpr uint32_t kMuteFailedText = 259;
constexpr uint32_t kNoCallingProgramText = 285;
constexpr uint32_t kCallFailedText = 246;

// One shutter event at a time for the whole program.
bool g_shutterRunning = false;

} // namespace

CShutterPolicy::CShutterPolicy(const RibbonServices& services, CPaneCoordinator& panes,
                               std::function<void()> showRibbon)
    : services_(services), panes_(panes), showRibbon_(std::move(showRibbon)) {}

bool CShutterPolicy::SetVideoMute(bool on) {
    if (services_.devices == nullptr)
        return false;
    if (on && services_.effects != nullptr) {
        // The shade picture shows in place of the camera's; when it is gone or broken, another picture of
        // the shade folder does, as in the shade window.
        const std::string picture = CShadePictureFile::Usable(CVidoraSettings::GetPrivacyShadeFilename(),
                                                              CVidoraSettings::GetPrivacyShadeBrowseFolder());
        if (!picture.empty())
            services_.effects->EffectsCall21(2, picture);
    }
    return SUCCEEDED(services_.devices->SetVideoMute(on ? 1 : 0));
}

void CShutterPolicy::OnOpened() {
    RibbonReentryGuard guard(g_shutterRunning);
    if (!guard.Entered())
        return;
    lastOpened_ = true;
    if (CVidoraSettings::GetShadeFirstTimeUse() != 0) {
        panes_.OpenShutterSwitch();
        return;
    }
    switch (CVidoraSettings::GetShadeBehavior()) {
    case 0:
        StartVideoCall();
        break;
    case 1:
        if (!SetVideoMute(false))
            CCustomMessageBoxOK::Show(kMuteFailedText, MessageBoxIcon::Warning);
        break;
    default:
        break;
    }
}

void CShutterPolicy::OnClosed() {
    RibbonReentryGuard guard(g_shutterRunning);
    if (!guard.Entered())
        return;
    lastOpened_ = false;
    if (CVidoraSettings::GetShadeFirstTimeUse() != 0) {
        panes_.OpenShutterSwitch();
        return;
    }
    if (CVidoraSettings::GetShadeBehavior() != 1)
        return;
    if (!SetVideoMute(true))
        CCustomMessageBoxOK::Show(kMuteFailedText, MessageBoxIcon::Warning);
    if (showRibbon_)
        showRibbon_();
    panes_.Open(CPaneCoordinator::Pane::Shade);
}

void CShutterPolicy::Replay() {
    if (lastOpened_)
        OnOpened();
    else
        OnClosed();
}

void CShutterPolicy::ApplyStartRule() {
    int32_t closed = 0;
    if (services_.devices != nullptr && CVidoraSettings::GetShadeFirstTimeUse() == 0 &&
        CVidoraSettings::GetShadeBehavior() == 1 &&
        SUCCEEDED(services_.devices->GetMechanicalPrivacyShade(&closed)) && closed != 0)
        services_.devices->SetVideoMute(1);
}

void CShutterPolicy::StartVideoCall() {
    IGraniteCommunicationsManager* comms = services_.comms;
    if (comms == nullptr)
        return;
    // The programs as they are now: one may have started or signed in since the list was last read.
    comms->RefreshApplications();
    // The calling program the user chose in the preferences ("AIM" is stored for "AIM Triton"), else the
    // service's default, becomes the selected one.
    ApplicationInfo chosen;
    bool haveChosen = false;
    const std::string stored = CVidoraSettings::GetVideoCallingIMApp();
    if (!stored.empty()) {
        const std::string name = Text::EqualsNoCase(stored, "AIM") ? std::string("AIM Triton") : stored;
        haveChosen = SUCCEEDED(comms->FindApplicationByName(name, &chosen));
    } else {
        int32_t defaultIndex = -1;
        if (SUCCEEDED(comms->GetDefaultApplicationIndex(&defaultIndex)) &&
            SUCCEEDED(comms->GetApplication(defaultIndex, &chosen))) {
            const std::string name = chosen.name == "AIM" ? std::string("AIM Triton") : chosen.name;
            haveChosen = SUCCEEDED(comms->FindApplicationByName(name, &chosen));
        }
    }
    if (haveChosen)
        comms->SetDefaultApplication(chosen.index);
    // A running calling program ready for video: the chosen one when it is, else the first that is.
    auto startWith = [&](const ApplicationInfo& app) {
        if (FAILED(comms->ServiceCall26(app.name)))
            CCustomMessageBoxOK::Show(kCallFailedText, MessageBoxIcon::Warning);
    };
    if (haveChosen && IsVideoCallCandidate(*comms, chosen)) {
        startWith(chosen);
        return;
    }
    for (int32_t i = 0; i < comms->GetApplicationCount(); ++i) {
        ApplicationInfo app;
        if (SUCCEEDED(comms->GetApplication(i, &app)) && IsVideoCallCandidate(*comms, app)) {
            startWith(app);
            return;
        }
    }
    if (CCustomMessageBoxYESNO::Show(kNoCallingProgramText, MessageBoxIcon::Question) == IDYES) {
        if (showRibbon_)
            showRibbon_();
        panes_.Open(CPaneCoordinator::Pane::Communicate);
    }
}
