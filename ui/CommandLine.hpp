// The command line of the window `quorvel`: a graph file to open at start-up,
// --help and --version.  It is read before the application object exists, so
// that the help and the version need no display; Qt's own options (-platform,
// -style, ...) are let through for QApplication to take.
#pragma once

#include <QString>
#include <QStringList>

namespace quorvel::ui {

struct WindowCommandLine {
    enum class Action { OpenWindow, ShowHelp, ShowVersion, UsageError };
    Action action = Action::OpenWindow;
    QString file;       // the first file named, as given; empty: none
    QString badOption;  // for UsageError: the option not understood
};

// `arguments` as main() has them, the program's name first.
WindowCommandLine ParseWindowCommandLine(const QStringList& arguments);

// What `quorvel` prints for the action and the exit status that goes with it;
// OpenWindow prints nothing.  `out` is for standard output, `err` for
// standard error.
struct CommandLineReply {
    QString out;
    QString err;
    int exitStatus = 0;
};
CommandLineReply ReplyTo(const WindowCommandLine& line);

// "quorvel 2.1.1 (Quorvel de Brunmoor)".
QString WindowVersionLine();

// A file named at start-up as a dropped file names it: an absolute path;
// a file: URL stands for its local file.
QString StartupFilePath(const QString& argument);

}  // namespace quorvel::ui
