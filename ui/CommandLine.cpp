#include "ui/CommandLine.hpp"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <array>

#include "analysis/GraphAnalyzer.hpp"
#include "resources/Strings.hpp"

namespace quorvel::ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

struct QtOption {
    const char* name;
    bool takesValue;
};

// The options QGuiApplication and QApplication take for themselves, with one
// dash or two; "-style=fusion" carries its value after '='.
constexpr std::array kQtOptions = {
    QtOption{"platform", true},   QtOption{"platformpluginpath", true}, QtOption{"platformtheme", true},
    QtOption{"plugin", true},     QtOption{"qwindowgeometry", true},    QtOption{"qwindowicon", true},
    QtOption{"qwindowtitle", true}, QtOption{"geometry", true},         QtOption{"title", true},
    QtOption{"name", true},       QtOption{"display", true},            QtOption{"session", true},
    QtOption{"style", true},      QtOption{"stylesheet", true},         QtOption{"qmljsdebugger", true},
    QtOption{"reverse", false},   QtOption{"widgetcount", false},       QtOption{"nograb", false},
    QtOption{"dograb", false},    QtOption{"sync", false},
};

const QtOption* FindQtOption(QString option) {
    option.remove(0, option.startsWith(QLatin1String("--")) ? 2 : 1);
    option = option.section(QLatin1Char('='), 0, 0);
    for (const QtOption& known : kQtOptions)
        if (option == QLatin1String(known.name)) return &known;
    return nullptr;
}

}  // namespace

WindowCommandLine ParseWindowCommandLine(const QStringList& arguments) {
    WindowCommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.startsWith(QLatin1Char('-'));
        if (!isOption) {
            if (line.file.isEmpty()) line.file = arg;  // the later ones are ignored, as in a drop
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            // The first of --help and --version wins; an unknown option
            // anywhere is an error all the same.
            if (line.action == WindowCommandLine::Action::OpenWindow) line.action = WindowCommandLine::Action::ShowHelp;
        } else if (arg == QLatin1String("--version")) {
            if (line.action == WindowCommandLine::Action::OpenWindow)
                line.action = WindowCommandLine::Action::ShowVersion;
        } else if (const QtOption* qt = FindQtOption(arg)) {
            if (qt->takesValue && !arg.contains(QLatin1Char('='))) ++i;
        } else if (line.action != WindowCommandLine::Action::UsageError) {
            line.action = WindowCommandLine::Action::UsageError;
            line.badOption = arg;
        }
    }
    return line;
}

QString WindowVersionLine() {
    return QStringLiteral("quorvel %1 (%2 %3 %4)")
        .arg(Q(ProgramVersionText()), Q(Res(Str::ProductName)), Q(Res(Str::By)), Q(Res(Str::Author)));
}

CommandLineReply ReplyTo(const WindowCommandLine& line) {
    switch (line.action) {
        case WindowCommandLine::Action::ShowHelp: return {Q(Res(Str::WindowUsage)), {}, 0};
        case WindowCommandLine::Action::ShowVersion: return {WindowVersionLine() + QLatin1Char('\n'), {}, 0};
        case WindowCommandLine::Action::UsageError:
            return {{}, Q(FormatRes(Str::WindowUnknownOption, {line.badOption.toStdString()})), 2};
        case WindowCommandLine::Action::OpenWindow: break;
    }
    return {};
}

QString StartupFilePath(const QString& argument) {
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        if (url.isLocalFile()) return QDir::cleanPath(url.toLocalFile());
    }
    return QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
}

}  // namespace quorvel::ui
