#include "capture/COptionsPopup.h"

#include "capture/COptionsPlacement.h"
#include "platform/IClock.h"
#include "ui/CVidoraSkin.h"
#include "ui/ControlsNotify.h"

#include <QEvent>
#include <QKeyEvent>

#include <algorithm>

namespace {
// User-interface thread only, like the pop-ups.
std::optional<uint32_t> g_lastCloseTick;
} // namespace

COptionsPopup::COptionsPopup(uint32_t templateId, QWidget* parent) : CDialogBase(templateId, parent) {}

COptionsPopup::~COptionsPopup() = default;

std::optional<uint32_t> COptionsPopup::LastCloseTick() {
    return g_lastCloseTick;
}

bool COptionsPopup::OnInitDialog() {
    LoadSettings();
    skin_ = new CVidoraSkin("app_titlename_inactive.png", "app_titlename.png", CVidoraSkin::FrameStyle::Popup,
                            this);
    skin_->Attach(this);
    setFixedSize(size());
    fullHeight_ = height();
    // No keyboard cues until the keyboard is used: the pop-up itself holds the focus as it opens, so no
    // control shows a focus ring; Tab moves into the controls.
    setFocusPolicy(Qt::StrongFocus);
    setFocus(Qt::OtherFocusReason);
    return true;
}

void COptionsPopup::FitClientToControls(int margin) {
    int bottom = 0;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden())
            bottom = std::max(bottom, child->geometry().bottom() + 1);
    }
    resize(width(), bottom + margin);
}

bool COptionsPopup::Open(const QPoint& position, QWidget* parent) {
    if (!Create(parent))
        return false;
    const QSize frame = size();
    move(COptionsPlacement::Place(position, frame, COptionsPlacement::WorkAreaFor(QRect(position, frame))));
    unroll_.emplace(fullHeight_);
    ShowUnrollStep();
    show();
    raise();
    activateWindow();
    return true;
}

// ---- unrolling ------------------------------------------------------------------------------------------

void COptionsPopup::ShowUnrollStep() {
    std::optional<CUnrollSequence::Step> next = unroll_ ? unroll_->Next() : std::nullopt;
    if (!next || next->last) {
        FinishUnroll();
        return;
    }
    step_ = *next;
    stepStart_ = GetClock().GetTickCount();
    setFixedSize(width(), std::clamp(step_.visibleHeight, 1, fullHeight_));
    if (isVisible())
        repaint();
    ArmUnrollTimer(step_.waitMs);
}

void COptionsPopup::ArmUnrollTimer(uint32_t remainingMs) {
    SetTimer(kUnrollTimerId, std::max(kMinimumTimerInterval, remainingMs));
}

void COptionsPopup::FinishUnroll() {
    KillTimer(kUnrollTimerId);
    unroll_.reset();
    setFixedSize(width(), fullHeight_);
    update();
}

void COptionsPopup::OnTimer(UINT_PTR id) {
    if (id != kUnrollTimerId || !unroll_)
        return;
    const uint32_t elapsed = GetClock().GetTickCount() - stepStart_;
    if (elapsed < step_.waitMs) {
        ArmUnrollTimer(step_.waitMs - elapsed);
        return;
    }
    ShowUnrollStep();
}

// ---- closing --------------------------------------------------------------------------------------------

bool COptionsPopup::event(QEvent* e) {
    // Clicking anywhere else closes the pop-up without saving; the close is posted so that the click that
    // took the activation away is handled first.
    if (e->type() == QEvent::WindowDeactivate && IsWindow() && !saving_)
        PostMessage(WM_CLOSE);
    return CDialogBase::event(e);
}

void COptionsPopup::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::NoModifier) {
        e->accept();
        OnOK();
        return;
    }
    CDialogBase::keyPressEvent(e);
}

LRESULT COptionsPopup::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        const uint16_t code = HIWORD(wParam);
        if (id == IDOK && code == ControlsNotify::BN_CLICKED)
            OnOK();
        else
            OnCommand(id, code);
        return 0;
    }
    return CDialogBase::OnMessage(message, wParam, lParam);
}

void COptionsPopup::OnOK() {
    if (!IsWindow() || saving_)
        return;
    saving_ = true;
    SaveSettings();
    OnSaved();
    DestroyWindow();
}

void COptionsPopup::OnCancel() {
    DestroyWindow();
}

void COptionsPopup::OnDestroy() {
    unroll_.reset();
    closeTick_ = GetClock().GetTickCount();
    g_lastCloseTick = closeTick_;
    if (ClosedCallback callback = std::move(closed_))
        callback(*closeTick_);
}
