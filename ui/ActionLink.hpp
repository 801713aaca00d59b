// Binds a button or a menu entry to a command the way a control follows its
// action: each property of the command is copied to the control when it is
// set on the command, and only then.  A control may therefore carry a caption
// or a hint of its own, set after the command's (the about panel's close
// button does), and keeps it until the command's own caption or hint changes.
#pragma once

#include <QIcon>
#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QAction;

namespace quorvel::ui {

class ActionLink final : public QObject {
    Q_OBJECT
public:
    // A button: caption, hint and enabled state follow the command (the
    // button keeps its own picture); a click runs the command.
    static ActionLink* Bind(QAction* command, QAbstractButton* button);

    // A menu entry: caption, hint, enabled and checked state, picture and the
    // shortcut's text follow the command; choosing the entry runs the command.
    static ActionLink* Bind(QAction* command, QAction* entry);

private:
    ActionLink(QAction* command, QObject* control);
    void Push(bool all);

    struct Snapshot {
        QString text;
        QString toolTip;
        bool enabled = true;
        bool checkable = false;
        bool checked = false;
        qint64 iconKey = 0;
        QKeySequence shortcut;
    };
    static Snapshot Take(const QAction& command);

    QPointer<QAction> command_;
    QPointer<QAbstractButton> button_;
    QPointer<QAction> entry_;
    Snapshot last_;
};

}  // namespace quorvel::ui
