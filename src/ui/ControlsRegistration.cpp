#include "ui/ControlsRegistration.h"

#include "platform/TextUtil.h"
#include "ui/CControlFactory.h"
#include "ui/CDialogBase.h"
#include "ui/CHoverComboBox.h"
#include "ui/CTransparentCheckBox.h"
#include "ui/CTransparentImageButton.h"
#include "ui/CTransparentProgressCtrl.h"
#include "ui/CTransparentRadioButton.h"
#include "ui/CTransparentSliderCtrl.h"
#include "ui/CTransparentSpinCtrl.h"
#include "ui/CTransparentStatic.h"
#include "ui/CTransparentTextButton.h"
#include "ui/CTransparentToggleButton.h"
#include "ui/ControlsStyle.h"

#include <QLineEdit>
#include <QTimer>

namespace {

using Control = CDialogTemplate::Control;

bool IsOn(const Control& c, const char* name) {
    const std::string v = c.Attribute(name);
    return v == "1" || Text::EqualsNoCase(v, "true") || Text::EqualsNoCase(v, "yes");
}

std::optional<int> Number(const Control& c, const char* name) {
    const std::string v = Text::Trim(c.Attribute(name));
    if (v.empty())
        return std::nullopt;
    bool ok = false;
    const int n = QString::fromStdString(v).toInt(&ok, 0);
    return ok ? std::optional<int>(n) : std::nullopt;
}

// "n,h,p,d": up to four image ids; missing or unreadable entries stay without an image.
std::vector<uint32_t> ImageIds(const Control& c, const char* name) {
    std::vector<uint32_t> ids(4, CTransparentImageButton::kNoImage);
    const QStringList parts = QString::fromStdString(c.Attribute(name)).split(QLatin1Char(','));
    for (int i = 0; i < parts.size() && i < 4; ++i) {
        bool ok = false;
        const uint n = parts[i].trimmed().toUInt(&ok, 0);
        if (ok)
            ids[static_cast<size_t>(i)] = n;
    }
    return ids;
}

Qt::Orientation OrientationOf(const Control& c) {
    return Text::EqualsNoCase(c.Attribute("orientation"), "vertical") ? Qt::Vertical : Qt::Horizontal;
}

QWidget* MakeImageButton(const Control& c, QWidget* parent) {
    auto* button = new CTransparentImageButton(parent);
    const auto ids = ImageIds(c, "images");
    button->SetImageIds(ids[0], ids[1], ids[2], ids[3]);
    return button;
}

QWidget* MakeToggleButton(const Control& c, QWidget* parent) {
    auto* button = new CTransparentToggleButton(parent);
    const auto ids = ImageIds(c, "images");
    button->SetImageIds(ids[0], ids[1], ids[2], ids[3]);
    const auto checked = ImageIds(c, "checkedimages");
    button->SetCheckedImageIds(checked[0], checked[1], checked[2], checked[3]);
    return button;
}

QWidget* MakeStatic(const Control& c, QWidget* parent) {
    auto* label = new CTransparentStatic(parent);
    label->SetNotify(IsOn(c, "notify"));
    label->SetWordWrap(IsOn(c, "wrap"));
    const std::string align = c.Attribute("align");
    if (Text::EqualsNoCase(align, "center"))
        label->SetAlignment(Qt::AlignCenter);
    else if (Text::EqualsNoCase(align, "right"))
        label->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (auto image = Number(c, "image"))
        label->SetImageId(static_cast<uint32_t>(*image));
    return label;
}

QWidget* MakeSlider(const Control& c, QWidget* parent) {
    auto* slider = new CTransparentSliderCtrl(OrientationOf(c), parent);
    if (auto line = Number(c, "linestep"))
        slider->SetLineSize(*line);
    if (auto page = Number(c, "pagestep"))
        slider->SetPageSize(*page);
    return slider;
}

QWidget* MakeCombo(const Control& c, QWidget* parent) {
    auto* combo = new CHoverComboBox(parent);
    if (auto height = Number(c, "itemheight"))
        combo->SetItemHeight(*height);
    return combo;
}

QWidget* MakeProgress(const Control& c, QWidget* parent) {
    auto* bar = new CTransparentProgressCtrl(parent);
    bar->SetOrientation(OrientationOf(c));
    return bar;
}

QWidget* MakeSpin(const Control& c, QWidget* parent) {
    auto* spin = new CTransparentSpinCtrl(parent);
    if (auto buddyId = Number(c, "buddy"); buddyId && *buddyId > 0) {
        // The edit field may come later in the template: look it up once every control exists.
        const int id = *buddyId;
        QTimer::singleShot(0, spin, [spin, id] {
            auto* dialog = qobject_cast<CDialogBase*>(spin->parentWidget());
            if (dialog != nullptr)
                spin->SetBuddy(dialog->GetDlgItemAs<QLineEdit>(id));
        });
    }
    return spin;
}

QWidget* MakeEdit(const Control& c, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(IsOn(c, "readonly"));
    ControlsStyle::ApplyEditLook(edit);
    return edit;
}

struct Entry {
    const char* name;
    CControlFactory::Creator creator;
};

std::vector<Entry> OwnClasses() {
    return {
        {"CTransparentImageButton", MakeImageButton},
        {"CTransparentToggleButton", MakeToggleButton},
        {"CTransparentStatic", MakeStatic},
        {"CTransparentTextButton",
         [](const Control&, QWidget* p) -> QWidget* { return new CTransparentTextButton(p); }},
        {"CHoverComboBox", MakeCombo},
        {"CTransparentSliderCtrl", MakeSlider},
        {"CTransparentSpinCtrl", MakeSpin},
        {"CTransparentCheckBox",
         [](const Control&, QWidget* p) -> QWidget* { return new CTransparentCheckBox(p); }},
        {"CTransparentRadioButton",
         [](const Control& c, QWidget* p) -> QWidget* {
             auto* radio = new CTransparentRadioButton(p);
             if (auto group = Number(c, "group"))
                 radio->SetExclusiveGroup(*group);
             return radio;
         }},
        {"CTransparentProgressCtrl", MakeProgress},
    };
}

std::vector<Entry> BuiltInReplacements() {
    std::vector<Entry> own = OwnClasses();
    auto creatorOf = [&own](const char* name) {
        for (const Entry& e : own) {
            if (std::string(e.name) == name)
                return e.creator;
        }
        return CControlFactory::Creator();
    };
    return {
        {"Button", creatorOf("CTransparentImageButton")},
        {"Static", creatorOf("CTransparentStatic")},
        {"CheckBox", creatorOf("CTransparentCheckBox")},
        {"Radio", creatorOf("CTransparentRadioButton")},
        {"Slider", creatorOf("CTransparentSliderCtrl")},
        {"ComboBox", creatorOf("CHoverComboBox")},
        {"Progress", creatorOf("CTransparentProgressCtrl")},
        {"Spin", creatorOf("CTransparentSpinCtrl")},
        {"Edit", MakeEdit},
    };
}

} // namespace

void RegisterToolkitControls(bool replaceBuiltIns) {
    CControlFactory& factory = CControlFactory::Instance();
    for (Entry& e : OwnClasses())
        factory.Register(e.name, std::move(e.creator));
    if (replaceBuiltIns) {
        for (Entry& e : BuiltInReplacements())
            factory.Register(e.name, std::move(e.creator));
    }
}

void UnregisterToolkitControls() {
    for (const std::string& name : ToolkitControlClassNames(true))
        CControlFactory::Instance().Unregister(name);
}

std::vector<std::string> ToolkitControlClassNames(bool withBuiltIns) {
    std::vector<std::string> names;
    for (const Entry& e : OwnClasses())
        names.emplace_back(e.name);
    if (withBuiltIns) {
        for (const Entry& e : BuiltInReplacements())
            names.emplace_back(e.name);
    }
    return names;
}
