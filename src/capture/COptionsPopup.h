#pragma once
// What the photo and movie options pop-ups share: built from a dialog template and skinned like the other
// pop-ups, opened modeless at the place the capture window chose (kept inside the work area of its monitor),
// unrolled from the top edge, closed when the user clicks elsewhere (nothing saved) or with OK (saved).
//
// The capture window keeps a CWindowSlot to the pop-up (emptied when it goes) and hears of the closing
// through the closed callback, with the tick count of the closing for its reopen guard.
//
// The unrolling runs on the window's timer and the process clock: each step shows more of the pop-up (the
// window is cut to that height; its controls keep their places) and lasts until its wait has passed on the
// clock, however late the timer fires.
#include "capture/CUnrollSequence.h"
#include "ui/CDialogBase.h"

#include <QPoint>

#include <cstdint>
#include <functional>
#include <optional>

class CVidoraSkin;

class COptionsPopup : public CDialogBase {
    Q_OBJECT
public:
    static constexpr UINT_PTR kUnrollTimerId = 1;
    using ClosedCallback = std::function<void(uint32_t closeTick)>;

    ~COptionsPopup() override;

    // Creates the pop-up, puts its top-left corner at `position` (screen coordinates, moved into the work
    // area), shows and activates it and starts the unrolling. False when the pop-up cannot be created (its
    // template is unreadable) or is already open.
    bool Open(const QPoint& position, QWidget* parent = nullptr);

    // Called once when the pop-up goes, however it closes.
    void SetClosedCallback(ClosedCallback callback) { closed_ = std::move(callback); }

    bool IsUnrolling() const { return unroll_.has_value(); }
    // The height of the part shown now (the whole window once unrolled), and of the whole window.
    int VisibleHeight() const { return height(); }
    int FullHeight() const { return fullHeight_; }
    // The tick count of this pop-up's closing; nothing while it has not closed.
    std::optional<uint32_t> CloseTick() const { return closeTick_; }
    // The tick count of the latest closing of any options pop-up; nothing when none closed yet.
    static std::optional<uint32_t> LastCloseTick();

    CVidoraSkin* Skin() const { return skin_; }

protected:
    COptionsPopup(uint32_t templateId, QWidget* parent);

    // Sets the controls from the stored settings (in the template's coordinates, before the skin frames the
    // window); may hide controls and change the client height.
    virtual void LoadSettings() = 0;
    // Writes the controls' values (OK).
    virtual void SaveSettings() = 0;
    // After the settings were written on OK, before the window goes.
    virtual void OnSaved() {}
    // A control's WM_COMMAND that is not OK.
    virtual void OnCommand(int id, uint16_t code) {}

    // Shrinks (or grows) the client area to end `margin` pixels below the lowest shown control. Only from
    // LoadSettings.
    void FitClientToControls(int margin);

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool event(QEvent* event) override;
    // Return and Enter mean OK (the pop-up has no default push button); Escape closes without saving.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowUnrollStep();
    void ArmUnrollTimer(uint32_t remainingMs);
    void FinishUnroll();

    CVidoraSkin* skin_ = nullptr;
    ClosedCallback closed_;
    std::optional<CUnrollSequence> unroll_;
    CUnrollSequence::Step step_;
    uint32_t stepStart_ = 0;
    std::optional<uint32_t> closeTick_;
    int fullHeight_ = 0;
    bool saving_ = false;
};
