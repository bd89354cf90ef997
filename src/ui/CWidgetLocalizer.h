#pragma once
// Brands what a window or menu shows: every visible text runs through the OEM information's placeholder
// expansion (ExpandText), so "%product%" in a caption, label, button, tab or menu item becomes the reseller's
// name. Texts that expand to themselves are left untouched, so running it twice changes nothing more.
class COEMInfo;
class QMenu;
class QWidget;

class CWidgetLocalizer {
public:
    explicit CWidgetLocalizer(COEMInfo& info) : info_(info) {}

    // The window and all its child widgets: titles, tooltips, label, button and group texts, placeholder
    // texts of edit fields (never what the user typed) and tab texts.
    void LocalizeWindow(QWidget* window);
    // The menu's title and item texts and, recursively, its submenus; each menu once, even when it appears
    // inside itself.
    void LocalizeMenu(QMenu* menu);

private:
    void LocalizeWidget(QWidget* widget);

    COEMInfo& info_;
};
