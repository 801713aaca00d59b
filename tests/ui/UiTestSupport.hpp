// Helpers of the window's tests: a window whose error boxes are recorded
// instead of shown, generated graph files, and a driver for the modal
// dialogs (file dialogs) that a command opens.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tests/support/GraphBuilder.hpp"
#include "ui/main.hpp"

class QPlainTextEdit;
class QWidget;

namespace quorvel::uitest {

// The main window, with its error boxes recorded.
class TestForm final : public ui::TForm1 {
public:
    QStringList errors;

protected:
    void ShowError(const QString& message) override { errors.append(message); }
};

// Shows the window and makes it the active one, so that its shortcuts work.
bool ShowActive(QWidget& window);

// A graph with a filter of each colour class (DirectShow, DMO, ACM, PnP),
// one connection, the clock and the end marker.  `tag` is put in the name of
// the first filter, so that reports of different files differ.
testing::Bytes ColourfulGraph(const std::string& tag = "Source");

// A graph with `filters` plain filters: a report longer than the window.
testing::Bytes LongGraph(int filters);

// Writes `bytes` to `name` in `dir`; the full path.
QString WriteFile(const QTemporaryDir& dir, const QString& name, const testing::Bytes& bytes);

// Runs `fn` on the modal widget named `name` as soon as it is the active
// modal widget, within `timeoutMs`.  The flag turns true when `fn` ran.
std::shared_ptr<bool> OnModal(const QString& name, std::function<void(QWidget*)> fn, int timeoutMs = 10000);

// A line of Memo1 as the user sees it.
struct ShownLine {
    QString text;
    QColor color;
    bool bold = false;
    bool operator==(const ShownLine& other) const {
        return text == other.text && color == other.color && bold == other.bold;
    }
};
QList<ShownLine> ShownLines(const QPlainTextEdit& memo);

// "text" #RRGGBB bold, for failure messages.
QString Describe(const ShownLine& line);

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A control of the window, found by its object name.
template <typename T>
T* Child(QObject& root, const char* name) {
    return root.findChild<T*>(QLatin1String(name));
}

}  // namespace quorvel::uitest
