#include "ui/CControlFactory.h"

#include "platform/TextUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

namespace {
Qt::Orientation OrientationOf(const CDialogTemplate::Control& c) {
    return Text::EqualsNoCase(c.Attribute("orientation"), "vertical") ? Qt::Vertical : Qt::Horizontal;
}
} // namespace

CControlFactory& CControlFactory::Instance() {
    static CControlFactory instance;
    return instance;
}

CControlFactory::CControlFactory() {
    using Control = CDialogTemplate::Control;
    builtIn_[Key("Button")] = [](const Control&, QWidget* p) -> QWidget* { return new QPushButton(p); };
    builtIn_[Key("Static")] = [](const Control&, QWidget* p) -> QWidget* { return new QLabel(p); };
    builtIn_[Key("CheckBox")] = [](const Control&, QWidget* p) -> QWidget* { return new QCheckBox(p); };
    builtIn_[Key("Radio")] = [](const Control&, QWidget* p) -> QWidget* { return new QRadioButton(p); };
    builtIn_[Key("Edit")] = [](const Control& c, QWidget* p) -> QWidget* {
        auto* edit = new QLineEdit(p);
        edit->setReadOnly(Text::EqualsNoCase(c.Attribute("readonly"), "1") ||
                          Text::EqualsNoCase(c.Attribute("readonly"), "true"));
        return edit;
    };
    builtIn_[Key("Slider")] = [](const Control& c, QWidget* p) -> QWidget* {
        return new QSlider(OrientationOf(c), p);
    };
    builtIn_[Key("ComboBox")] = [](const Control&, QWidget* p) -> QWidget* { return new QComboBox(p); };
    builtIn_[Key("Progress")] = [](const Control& c, QWidget* p) -> QWidget* {
        auto* bar = new QProgressBar(p);
        bar->setOrientation(OrientationOf(c));
        bar->setTextVisible(false);
        return bar;
    };
    builtIn_[Key("Spin")] = [](const Control&, QWidget* p) -> QWidget* { return new QSpinBox(p); };
    builtIn_[Key("Group")] = [](const Control&, QWidget* p) -> QWidget* { return new QGroupBox(p); };
}

std::string CControlFactory::Key(const std::string& className) {
    return Text::ToLower(className);
}

void CControlFactory::Register(const std::string& className, Creator creator) {
    if (!creator)
        return;
    std::lock_guard guard(lock_);
    creators_[Key(className)] = std::move(creator);
}

void CControlFactory::Unregister(const std::string& className) {
    std::lock_guard guard(lock_);
    creators_.erase(Key(className));
}

bool CControlFactory::IsRegistered(const std::string& className) const {
    std::lock_guard guard(lock_);
    std::string key = Key(className);
    return creators_.count(key) != 0 || builtIn_.count(key) != 0;
}

QWidget* CControlFactory::Create(const CDialogTemplate::Control& control, QWidget* parent) const {
    Creator creator;
    {
        std::lock_guard guard(lock_);
        std::string key = Key(control.className);
        if (auto it = creators_.find(key); it != creators_.end())
            creator = it->second;
        else if (auto b = builtIn_.find(key); b != builtIn_.end())
            creator = b->second;
    }
    // Called without the lock: a creator may itself look up or register classes.
    return creator ? creator(control, parent) : nullptr;
}
