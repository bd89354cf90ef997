#pragma once
// Makes the widget of a dialog-template control from its class name. The plain classes are built in
// ("Button", "Static", "CheckBox", "Radio", "Edit", "Slider", "ComboBox", "Progress", "Spin", "Group");
// the control toolkit registers its own classes (and may replace a built-in one) at start. Class names
// compare without regard to case.
#include "ui/CDialogTemplate.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>

class QWidget;

class CControlFactory {
public:
    // Makes the widget as a child of `parent`. The dialog then applies what every control shares: position,
    // text, tooltip and the initial state of the template, through the widget's standard properties
    // ("text", "checked", "minimum", "maximum", "value"), so a creator only sets what is particular to it.
    using Creator = std::function<QWidget*(const CDialogTemplate::Control& control, QWidget* parent)>;

    static CControlFactory& Instance();

    // Adds or replaces a class.
    void Register(const std::string& className, Creator creator);
    // Removes a class; a built-in class falls back to its built-in creator.
    void Unregister(const std::string& className);
    bool IsRegistered(const std::string& className) const;
    // The widget for the control; null for an unknown class.
    QWidget* Create(const CDialogTemplate::Control& control, QWidget* parent) const;

private:
    CControlFactory();
    static std::string Key(const std::string& className);

    mutable std::mutex lock_;
    std::map<std::string, Creator> creators_;
    std::map<std::string, Creator> builtIn_;
};
