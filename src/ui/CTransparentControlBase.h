#pragma once
// What every control of the toolkit shares, whatever Qt widget class it is built on: a transparent
// background (the parent's drawing shows through), a numeric control id, a tooltip by string id, and the
// command and scroll notifications sent to the owning dialog. It is a mixin beside the control's Qt base
// class.
#include <cstdint>
#include <string>

#include <Qt>

class QWidget;
class CToolTip;

class CTransparentControlBase {
public:
    explicit CTransparentControlBase(QWidget* self);
    virtual ~CTransparentControlBase();
    CTransparentControlBase(const CTransparentControlBase&) = delete;
    CTransparentControlBase& operator=(const CTransparentControlBase&) = delete;

    QWidget* ControlWidget() const { return self_; }
    // The control's numeric id (the dialog template's id); 0 when it has none.
    int ControlId() const;
    void SetControlId(int id);

    // Tooltip from a string id of the resource library, or a text; an empty text removes the tip.
    void SetToolTipId(uint32_t stringId);
    void SetToolTipText(const std::string& text);
    // The control's tooltip object (created on demand) for width and display-time settings.
    CToolTip* ToolTip();

protected:
    // WM_COMMAND (id, code) to the owning dialog.
    void NotifyCommand(uint16_t code);
    // WM_HSCROLL / WM_VSCROLL (code, position) to the owning dialog.
    void NotifyScroll(Qt::Orientation orientation, uint16_t code, int position);

private:
    QWidget* self_;
};
