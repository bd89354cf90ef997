#include "ui/CWidgetLocalizer.h"

#include "config/COEMInfo.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QWidget>

#include <set>
#include <string>
#include <vector>

namespace {
// Replaces a Qt text by its expansion when that differs.
template <typename Setter> void Localize(COEMInfo& info, const QString& text, Setter set) {
    if (text.isEmpty())
        return;
    std::string original = text.toStdString();
    std::string expanded = info.ExpandText(original);
    if (expanded != original)
        set(QString::fromStdString(expanded));
}
} // namespace

void CWidgetLocalizer::LocalizeWidget(QWidget* w) {
    Localize(info_, w->windowTitle(), [w](const QString& t) { w->setWindowTitle(t); });
    Localize(info_, w->toolTip(), [w](const QString& t) { w->setToolTip(t); });
    if (auto* label = qobject_cast<QLabel*>(w))
        Localize(info_, label->text(), [label](const QString& t) { label->setText(t); });
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        Localize(info_, button->text(), [button](const QString& t) { button->setText(t); });
    if (auto* group = qobject_cast<QGroupBox*>(w))
        Localize(info_, group->title(), [group](const QString& t) { group->setTitle(t); });
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        Localize(info_, edit->placeholderText(), [edit](const QString& t) { edit->setPlaceholderText(t); });
    if (auto* tabs = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            Localize(info_, tabs->tabText(i), [tabs, i](const QString& t) { tabs->setTabText(i, t); });
            Localize(info_, tabs->tabToolTip(i), [tabs, i](const QString& t) { tabs->setTabToolTip(i, t); });
        }
    }
}

void CWidgetLocalizer::LocalizeWindow(QWidget* window) {
    if (window == nullptr)
        return;
    LocalizeWidget(window);
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children)
        LocalizeWidget(child);
}

void CWidgetLocalizer::LocalizeMenu(QMenu* menu) {
    // Without recursion, and each menu once: a menu may appear in several places, even inside itself.
    std::vector<QMenu*> pending{menu};
    std::set<QMenu*> done;
    while (!pending.empty()) {
        QMenu* current = pending.back();
        pending.pop_back();
        if (current == nullptr || !done.insert(current).second)
            continue;
        Localize(info_, current->title(), [current](const QString& t) { current->setTitle(t); });
        const QList<QAction*> actions = current->actions();
        for (QAction* action : actions) {
            Localize(info_, action->text(), [action](const QString& t) { action->setText(t); });
            if (QMenu* sub = action->menu<QMenu*>())
                pending.push_back(sub);
        }
    }
}
