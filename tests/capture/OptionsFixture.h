#pragma once
// The options pop-ups in a temporary settings store, with the fake clock driving their timers and the
// toolkit's and the capture window's control classes registered. Helpers open a pop-up, let it unroll,
// take its activation away and click its controls.
#include "app/CVidoraSettings.h"
#include "capture/COptionsPopup.h"
#include "capture/CaptureControlsRegistration.h"
#include "platform/IClock.h"
#include "support/CFakeClock.h"
#include "support/CTempEnvironment.h"
#include "support/CVirtualTimerService.h"
#include "support/EventPump.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsRegistration.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

class OptionsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterToolkitControls();
        RegisterCaptureControls();
        clock.SetTickCount(50000);
        SetClock(&clock);
        SetTimerService(&timers);
        CVidoraSkin::SetAnimationsEnabled(false);
        elsewhere = std::make_unique<QWidget>();
        elsewhere->setGeometry(600, 400, 100, 100);
    }
    void TearDown() override {
        elsewhere.reset();
        Pump();
        SetTimerService(nullptr);
        SetClock(nullptr);
        CVidoraSkin::SetAnimationsEnabled(true);
    }

    // Lets the unrolling finish.
    void Unroll() { timers.Advance(2000); }
    // Activates the pop-up, then another window, as a click elsewhere does.
    void ClickElsewhere(QWidget* popup) {
        QApplication::setActiveWindow(popup);
        elsewhere->show();
        QApplication::setActiveWindow(elsewhere.get());
        Pump();
    }
    static void Click(COptionsPopup* popup, int id) {
        auto* button = popup->GetDlgItemAs<QAbstractButton>(id);
        ASSERT_NE(button, nullptr) << "control " << id;
        button->click();
    }
    static bool IsChecked(COptionsPopup* popup, int id) {
        auto* button = popup->GetDlgItemAs<QAbstractButton>(id);
        return button != nullptr && button->isChecked();
    }

    CTempEnvironment env;
    CFakeClock clock;
    CVirtualTimerService timers{clock};
    std::unique_ptr<QWidget> elsewhere;
};
