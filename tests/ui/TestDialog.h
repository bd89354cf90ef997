#pragma once
// A dialog that records what happens to it, for the dialog-base tests.
#include "ui/CDialogBase.h"

#include <QCoreApplication>

#include <functional>
#include <tuple>
#include <vector>

class CTestDialog : public CDialogBase {
public:
    using CDialogBase::CDialogBase;
    using CDialogBase::OnCancel;

    std::function<void(CTestDialog&)> onInit;
    std::function<void(CTestDialog&, UINT_PTR)> onTimer;
    std::vector<UINT_PTR> timers;
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> messages;
    int initCount = 0;
    int destroyCount = 0;

protected:
    bool OnInitDialog() override {
        ++initCount;
        if (onInit)
            onInit(*this);
        return true;
    }
    void OnTimer(UINT_PTR id) override {
        timers.push_back(id);
        if (onTimer)
            onTimer(*this, id);
    }
    void OnDestroy() override { ++destroyCount; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.emplace_back(message, wParam, lParam);
        return static_cast<LRESULT>(wParam + 1);
    }
};

// Delivers everything posted to this thread so far (and what that posts in turn).
inline void PumpEvents() {
    QCoreApplication::sendPostedEvents();
}
