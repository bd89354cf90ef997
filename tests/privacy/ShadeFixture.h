#pragma once
// The privacy-shade window on the simulated camera and the stand-in effects engine (or without the engine),
// with a temporary settings store, shade folders of real pictures, the fake clock driving the timers, and
// message boxes and the folder picker answered by the test.
#include "app/CVidoraApp.h"
#include "app/CVidoraSettings.h"
#include "granite/RegisterGraniteDeviceService.h"
#include "granite/devices/CSimulatedHardware.h"
#include "granite/effects/CGraniteEffectsControl.h"
#include "granite/effects/RegisterGraniteEffectsService.h"
#include "platform/CVidoraNamedEvents.h"
#include "platform/IClock.h"
#include "privacy/CPrivacyShadeCatalog.h"
#include "privacy/CPrivacyShadeDialog.h"
#include "privacy/CShadeFolderPicker.h"
#include "services/CGraniteDeviceManager.h"
#include "services/IBrenmoorVideoEffects.h"
#include "services/IGraniteDeviceManager.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CCustomMessageBox.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsRegistration.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ShadeTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock.SetTickCount(100000);
        SetClock(&clock);
        SetTimerService(&timers);
        RegisterToolkitControls();
        CVidoraSkin::SetAnimationsEnabled(false);
        CVidoraNamedEvents::CloseAll();
        Granite::CGraniteEffectsControl::Instance().Reset();
        CCustomMessageBox::SetAnswerHook(
            [this](CCustomMessageBox::Kind, const std::string& text, MessageBoxIcon) {
                told.push_back(text);
                return IDOK;
            });
        CShadeFolderPicker::SetHook([this](const std::string&) { return pickerAnswer; });
        home = env.Path("shades");
        QDir().mkpath(QString::fromStdString(home));
        CVidoraSettings::SetPrivacyShadeBrowseFolderDefault(home);
        CVidoraSettings::SetPrivacyShadeBrowseFolder(home);
    }
    void TearDown() override {
        Close();
        if (effects != nullptr)
            effects->Release();
        if (facade != nullptr)
            facade->Release();
        while (CGraniteDeviceManager* open = CGraniteDeviceManager::Instance())
            open->Release();
        Pump();
        UnregisterGraniteEffectsService();
        UnregisterGraniteDeviceService();
        Granite::CSimulatedHardware::SetCurrent(nullptr);
        CShadeFolderPicker::SetHook(nullptr);
        CCustomMessageBox::SetAnswerHook(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
        CVidoraNamedEvents::CloseAll();
        SetTimerService(nullptr);
        SetClock(nullptr);
    }

    // The simulated camera (none for an empty model), and the effects engine when asked for.
    void Plug(const std::string& model, bool withEngine) {
        std::vector<Granite::DeviceRequest> devices;
        if (!model.empty())
            devices.push_back({Granite::DeviceKind::Camera, model});
        hardware = std::make_shared<Granite::CSimulatedHardware>(devices);
        Granite::CSimulatedHardware::SetCurrent(hardware);
        RegisterGraniteDeviceService();
        facade = GetGraniteDeviceManager();
        if (facade != nullptr && facade->GetVideoDeviceCount() > 0)
            facade->SelectVideoDevice(0);
        if (withEngine) {
            RegisterGraniteEffectsService();
            effects = GetBrenmoorVideoEffects();
            ASSERT_NE(effects, nullptr);
            std::string camera;
            if (!model.empty() && hardware->IdAt(Granite::DeviceKind::Camera, 0, camera)) {
                ASSERT_EQ(effects->EffectsCall10(camera), S_OK);
            }
        }
    }

    CPrivacyShadeDialog* Open() {
        Close();
        shade = new CPrivacyShadeDialog();
        shade->SetDeleteOnDestroy(true);
        EXPECT_TRUE(shade->Create(nullptr));
        shade->show();
        Settle();
        return shade;
    }
    void Close() {
        if (shade != nullptr && shade->IsWindow())
            shade->DestroyWindow();
        shade = nullptr;
        DrainEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Settle() {
        for (int i = 0; i < 5; ++i)
            Pump();
    }

    // A picture of the sample media copied into a folder under another name.
    std::string Copy(const std::string& media, const std::string& folder, const std::string& name) const {
        QDir().mkpath(QString::fromStdString(folder));
        const std::string target = folder + "/" + name;
        QFile::remove(QString::fromStdString(target));
        EXPECT_TRUE(
            QFile::copy(QString::fromStdString(TestMediaDir() + "/" + media), QString::fromStdString(target)))
            << media;
        return target;
    }
    std::string Good(const std::string& name) const {
        return Copy("jpeg-baseline-420-227x149-ijg.jpg", home, name);
    }

    QWidget* Item(int id) const { return shade->GetDlgItem(id); }
    bool Shown(int id) const { return Item(id) != nullptr && !Item(id)->isHidden(); }
    bool Enabled(int id) const { return Item(id) != nullptr && Item(id)->isEnabled(); }
    void Command(int id) { shade->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<uint16_t>(id), 0)); }
    int32_t Mute() const {
        int32_t value = -1;
        EXPECT_EQ(facade->GetVideoMute(&value), S_OK);
        return value;
    }
    std::string EnginePicture() const {
        std::string path;
        EXPECT_EQ(effects->EffectsCall14(&path), S_OK);
        return path;
    }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    CVidoraApp app;
    std::shared_ptr<Granite::CSimulatedHardware> hardware;
    IGraniteDeviceManager* facade = nullptr;
    IBrenmoorVideoEffects* effects = nullptr;
    CPrivacyShadeDialog* shade = nullptr;
    std::string home;
    std::vector<std::string> told;
    std::optional<std::string> pickerAnswer;
};
