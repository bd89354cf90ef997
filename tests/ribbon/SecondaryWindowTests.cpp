// The secondary windows the ribbon opens exist as real windows of their classes: each builds from its own
// dialog template, carries its title, and empties its slot when destroyed.
#include "capture/CSnapDeskDlg.h"
#include "communicate/CCommunicateDlg.h"
#include "effects/CVideoEffectsDialog.h"
#include "privacy/CPrivacyShadeDialog.h"
#include "privacy/CPrivacyShutterSwitchDlg.h"
#include "ribbon/CMSNCameraControlDlg.h"
#include "ribbon/CMirrorModeDlg.h"
#include "ribbon/CVidoraAboutBox.h"
#include "ribbon/CVidoraHelpDlg.h"
#include "settings/CMainSettingsDlg.h"
#include "support/CTempEnvironment.h"
#include "ui/CVidoraSkin.h"
#include "ui/CWindowSlot.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

template <class T> void ExpectWindow(const char* title) {
    CWindowSlot<T> slot;
    auto window = std::make_unique<T>();
    ASSERT_TRUE(window->Create(nullptr)) << title;
    slot = window.get();
    EXPECT_EQ(window->TemplateId(), T::kTemplateId);
    EXPECT_NE(window->windowTitle().toStdString().find(title), std::string::npos)
        << window->windowTitle().toStdString();
    window->DestroyWindow();
    EXPECT_FALSE(slot) << title;
}

TEST(SecondaryWindows, EachBuildsFromItsTemplateWithItsTitle) {
    CTempEnvironment env;
    CVidoraSkin::SetAnimationsEnabled(false);
    ExpectWindow<CSnapDeskDlg>("Capture");
    ExpectWindow<CMainSettingsDlg>("Settings");
    ExpectWindow<CVideoEffectsDialog>("Video Effects");
    ExpectWindow<CCommunicateDlg>("Communicate");
    ExpectWindow<CPrivacyShadeDialog>("Privacy Shade");
    ExpectWindow<CPrivacyShutterSwitchDlg>("Privacy Shutter");
    ExpectWindow<CMSNCameraControlDlg>("Camera Control");
    ExpectWindow<CMirrorModeDlg>("Mirror");
    ExpectWindow<CVidoraHelpDlg>("Help");
    ExpectWindow<CVidoraAboutBox>("About");
}

} // namespace
