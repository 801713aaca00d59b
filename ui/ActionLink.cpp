#include "ui/ActionLink.hpp"

#include <QAbstractButton>
#include <QAction>

namespace quorvel::ui {

ActionLink::ActionLink(QAction* command, QObject* control) : QObject(control), command_(command) {}

ActionLink::Snapshot ActionLink::Take(const QAction& command) {
    Snapshot s;
    s.text = command.text();
    s.toolTip = command.toolTip();
    s.enabled = command.isEnabled();
    s.checkable = command.isCheckable();
    s.checked = command.isChecked();
    s.iconKey = command.icon().cacheKey();
    s.shortcut = command.shortcut();
    return s;
}

ActionLink* ActionLink::Bind(QAction* command, QAbstractButton* button) {
    auto* link = new ActionLink(command, button);
    link->button_ = button;
    link->Push(true);
    connect(command, &QAction::changed, link, [link]() { link->Push(false); });
    connect(button, &QAbstractButton::clicked, command, [command]() { command->trigger(); });
    return link;
}

ActionLink* ActionLink::Bind(QAction* command, QAction* entry) {
    auto* link = new ActionLink(command, entry);
    link->entry_ = entry;
    // The entry shows the shortcut, but only the command answers it: the
    // entry's copy acts only while its menu has the focus.
    entry->setShortcutContext(Qt::WidgetShortcut);
    link->Push(true);
    connect(command, &QAction::changed, link, [link]() { link->Push(false); });
    connect(entry, &QAction::triggered, link, [link]() {
        if (link->command_) link->command_->trigger();
        // A checkable entry has flipped itself; the command's state decides.
        if (link->entry_ && link->command_) link->entry_->setChecked(link->command_->isChecked());
    });
    return link;
}

void ActionLink::Push(bool all) {
    if (!command_) return;
    const Snapshot now = Take(*command_);
    if (button_) {
        if (all || now.text != last_.text) button_->setText(now.text);
        if (all || now.toolTip != last_.toolTip) button_->setToolTip(now.toolTip);
        if (all || now.enabled != last_.enabled) button_->setEnabled(now.enabled);
    }
    if (entry_) {
        if (all || now.text != last_.text) entry_->setText(now.text);
        if (all || now.toolTip != last_.toolTip) entry_->setToolTip(now.toolTip);
        if (all || now.enabled != last_.enabled) entry_->setEnabled(now.enabled);
        if (all || now.checkable != last_.checkable) entry_->setCheckable(now.checkable);
        if (all || now.checked != last_.checked) entry_->setChecked(now.checked);
        if (all || now.iconKey != last_.iconKey) entry_->setIcon(command_->icon());
        if (all || now.shortcut != last_.shortcut) entry_->setShortcut(now.shortcut);
    }
    last_ = now;
}

}  // namespace quorvel::ui
