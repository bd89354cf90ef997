#include "support/CFakeTrayIcon.h"

#include <QMenu>

#include <algorithm>

namespace {

std::vector<CFakeTrayIcon*>& Registry() {
    static std::vector<CFakeTrayIcon*> live;
    return live;
}

} // namespace

CFakeTrayIcon::CFakeTrayIcon() {
    Registry().push_back(this);
}

CFakeTrayIcon::~CFakeTrayIcon() {
    auto& live = Registry();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

const std::vector<CFakeTrayIcon*>& CFakeTrayIcon::Live() {
    return Registry();
}

CFakeTrayIcon* CFakeTrayIcon::Last() {
    return Registry().empty() ? nullptr : Registry().back();
}

void CFakeTrayIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    ++iconChanges_;
}

void CFakeTrayIcon::SetContextMenu(QMenu* menu) {
    menu_ = menu;
    menuSet_ = menu != nullptr;
}

void CFakeTrayIcon::Show() {
    shown_ = true;
    ++showCalls_;
}

void CFakeTrayIcon::Hide() {
    shown_ = false;
    ++hideCalls_;
}

void CFakeTrayIcon::ShowBalloon(const std::string& title, const std::string& text, int milliseconds) {
    balloons_.push_back({title, text, milliseconds, IsShownInTray()});
}

bool CFakeTrayIcon::Activate(Activation activation) {
    if (!handler_)
        return false;
    const auto handler = handler_;
    handler(activation);
    return true;
}
