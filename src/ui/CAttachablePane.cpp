#include "ui/CAttachablePane.h"

#include "platform/SettingsPrimitives.h"
#include "ui/CVidoraSkin.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <cstdlib>

namespace {

QPointer<QWidget>& DockHostSlot() {
    static QPointer<QWidget> host;
    return host;
}

constexpr uint32_t kNoPosition = 0xFFFFFFFFu;

QRect WorkAreaAt(const QPoint& point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

} // namespace

CAttachablePane::CAttachablePane(uint32_t templateId, const std::string& settingsRoot,
                                 const std::string& xPosValueName, const std::string& yPosValueName,
                                 QWidget* parent)
    : CDialogBase(templateId, parent), settingsRoot_(settingsRoot), xPosName_(xPosValueName),
      yPosName_(yPosValueName) {
    SetSkin(std::make_unique<CVidoraSkin>("app_titlename_inactive.png", "app_titlename.png",
                                          CVidoraSkin::FrameStyle::Pane));
}

CAttachablePane::~CAttachablePane() {
    // The skin watches this window's events; it goes first.
    skin_.reset();
}

// ---- the ribbon's view
// -------------------------------------------------------------------------------------

bool CAttachablePane::IsDocked() const {
    return skin_ != nullptr && docked_;
}

int CAttachablePane::GetDockSide() const {
    return skin_ != nullptr ? side_ : kNoSkinDockSide;
}

void CAttachablePane::MarkClosedByRibbon() {
    closedByRibbon_ = true;
}

// ---- settings
// ------------------------------------------------------------------------------------------------

std::string CAttachablePane::DockedValueName() const {
    std::string base = xPosName_;
    constexpr const char* kSuffix = "XPos";
    if (base.size() > 4 && base.compare(base.size() - 4, 4, kSuffix) == 0)
        base.resize(base.size() - 4);
    return base + "Docked";
}

void CAttachablePane::StoreFloatingPosition() {
    if (settingsRoot_.empty() || xPosName_.empty() || yPosName_.empty())
        return;
    const QPoint pos = frameGeometry().topLeft();
    Settings::WriteNumber(settingsRoot_, xPosName_.c_str(), static_cast<uint32_t>(pos.x()));
    Settings::WriteNumber(settingsRoot_, yPosName_.c_str(), static_cast<uint32_t>(pos.y()));
}

void CAttachablePane::StoreDockedPreference(bool docked) {
    if (settingsRoot_.empty())
        return;
    Settings::WriteNumber(settingsRoot_, DockedValueName().c_str(), docked ? 1u : 0u);
}

bool CAttachablePane::ReadDockedPreference() const {
    uint32_t value = 1;
    if (!settingsRoot_.empty())
        Settings::ReadNumber(settingsRoot_, DockedValueName().c_str(), &value, 1);
    return value != 0;
}

// ---- skin
// ----------------------------------------------------------------------------------------------------

void CAttachablePane::SetSkin(std::unique_ptr<CVidoraSkin> skin) {
    skin_ = std::move(skin);
    skinAttached_ = false;
    if (!skin_) {
        docked_ = false;
        return;
    }
    connect(skin_.get(), &CVidoraSkin::dragFinished, this, &CAttachablePane::OnDragFinished);
    if (IsWindow())
        AttachSkin();
}

void CAttachablePane::AttachSkin() {
    if (!skin_ || skinAttached_)
        return;
    skin_->Attach(this);
    skinAttached_ = true;
}

void CAttachablePane::SetDockHost(QWidget* ribbon) {
    DockHostSlot() = ribbon;
}

QWidget* CAttachablePane::DockHost() {
    return DockHostSlot().data();
}

QRect CAttachablePane::HostRect() const {
    QWidget* host = DockHost();
    return host != nullptr ? host->frameGeometry() : QRect();
}

// ---- docking
// -------------------------------------------------------------------------------------------------

bool CAttachablePane::DockBeside(const QRect& ribbon, int side) {
    if (!skin_ || !ribbon.isValid())
        return false;
    AttachSkin();
    if (side < 0)
        side = CVidoraSkin::ChooseDockSide(frameGeometry().size(), ribbon, WorkAreaAt(ribbon.center()));
    side_ = side;
    docked_ = true;
    positioned_ = true;
    if (isVisible())
        skin_->SlideOut(ribbon, side_);
    else
        move(CVidoraSkin::DockedPosition(frameGeometry().size(), ribbon, side_));
    return true;
}

void CAttachablePane::KeepBeside(const QRect& ribbon) {
    if (IsDocked() && ribbon.isValid())
        move(CVidoraSkin::DockedPosition(frameGeometry().size(), ribbon, side_));
}

void CAttachablePane::Undock() {
    if (!docked_)
        return;
    docked_ = false;
    StoreDockedPreference(false);
    StoreFloatingPosition();
}

void CAttachablePane::PlaceFloating() {
    uint32_t x = kNoPosition;
    uint32_t y = kNoPosition;
    if (!settingsRoot_.empty()) {
        Settings::ReadNumber(settingsRoot_, xPosName_.c_str(), &x, kNoPosition);
        Settings::ReadNumber(settingsRoot_, yPosName_.c_str(), &y, kNoPosition);
    }
    const int sx = static_cast<int32_t>(x);
    const int sy = static_cast<int32_t>(y);
    const QSize size = frameGeometry().size();
    if (sx >= 0 && sy >= 0) {
        // Stored on another monitor layout, the place may be off screen: pull it back in.
        const QRect area = WorkAreaAt(QPoint(sx, sy));
        QPoint pos(sx, sy);
        if (area.isValid()) {
            pos.setX(std::max(area.left(), std::min(pos.x(), area.right() + 1 - size.width())));
            pos.setY(std::max(area.top(), std::min(pos.y(), area.bottom() + 1 - size.height())));
        }
        move(pos);
        return;
    }
    const QRect area = WorkAreaAt(QPoint(0, 0));
    if (area.isValid())
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void CAttachablePane::PositionPane() {
    positioned_ = true;
    const QRect host = HostRect();
    if (skin_ && host.isValid() && ReadDockedPreference()) {
        DockBeside(host);
        return;
    }
    docked_ = false;
    PlaceFloating();
}

void CAttachablePane::OnDragFinished() {
    const QRect ribbon = HostRect();
    const QRect pane = frameGeometry();
    if (ribbon.isValid() && skin_) {
        const bool overlapsVertically = pane.top() <= ribbon.bottom() && pane.bottom() >= ribbon.top();
        const int gapRight = std::abs(pane.left() - (ribbon.right() + 1));
        const int gapLeft = std::abs((pane.right() + 1) - ribbon.left());
        int side = -1;
        if (overlapsVertically && gapRight <= kSnapDistance)
            side = CVidoraSkin::DockRight;
        else if (overlapsVertically && gapLeft <= kSnapDistance)
            side = CVidoraSkin::DockLeft;
        if (side >= 0) {
            docked_ = true;
            side_ = side;
            move(CVidoraSkin::DockedPosition(pane.size(), ribbon, side));
            StoreDockedPreference(true);
            return;
        }
    }
    docked_ = false;
    StoreDockedPreference(false);
    StoreFloatingPosition();
}

// ---- lifetime
// ------------------------------------------------------------------------------------------------

bool CAttachablePane::OnInitDialog() {
    // A pane made again after being destroyed starts afresh.
    positioned_ = false;
    docked_ = false;
    closedByRibbon_ = false;
    closing_ = false;
    AttachSkin();
    return true;
}

void CAttachablePane::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnCancel();
}

void CAttachablePane::showEvent(QShowEvent* event) {
    AttachSkin();
    CDialogBase::showEvent(event);
    if (!positioned_)
        PositionPane();
}

void CAttachablePane::OnCancel() {
    if (closing_ || !IsWindow())
        return;
    const bool byRibbon = closedByRibbon_;
    closedByRibbon_ = false;
    const QRect ribbon = HostRect();
    if (!byRibbon && IsDocked() && isVisible() && ribbon.isValid() && CVidoraSkin::AnimationsEnabled()) {
        closing_ = true;
        QPointer<CAttachablePane> self(this);
        skin_->SlideIn(ribbon, side_, [self] {
            if (self) {
                self->closing_ = false;
                self->DestroyWindow();
            }
        });
        return;
    }
    DestroyWindow();
}
