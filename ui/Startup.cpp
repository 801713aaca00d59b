#include "ui/Startup.hpp"

#include <QApplication>
#include <QLibraryInfo>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

#include "platform/ComApartment.hpp"
#include "ui/CommandLine.hpp"
#include "ui/GraphPage.hpp"
#include "ui/main.hpp"

namespace quorvel::ui {
namespace {

void Print(std::FILE* stream, const QString& text) {
    if (text.isEmpty()) return;
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallQtFrench(QCoreApplication& app, const QString& folder) {
    auto* french = new QTranslator(&app);
    if (!french->load(QStringLiteral("qtbase_fr"), folder) || !QCoreApplication::installTranslator(french)) {
        delete french;
        return false;
    }
    return true;
}

int RunWindowProgram(int argc, char** argv) {
    // Read before the application exists: --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    const WindowCommandLine line = ParseWindowCommandLine(arguments);
    if (line.action != WindowCommandLine::Action::OpenWindow) {
        const CommandLineReply reply = ReplyTo(line);
        Print(stdout, reply.out);
        Print(stderr, reply.err);
        return reply.exitStatus;
    }

    const quorvel::ComApartment apartment;  // before the window builds the catalog
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    // The installed desktop entry's id: Wayland docks match the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.brunmoor.Quorvel"));
    InstallQtFrench(app, QtTranslationsFolder());

    TForm1 form;
    form.show();
    if (!line.file.isEmpty()) {
        const QString path = StartupFilePath(line.file);
        const bool quitAfter = std::getenv(kQuitAfterStartupFile) != nullptr;
        // Once the window is up, as a drop on it would come.
        QTimer::singleShot(0, &form, [&form, path, quitAfter]() {
            form.OpenStartupFile(path);
            if (!quitAfter) return;
            const auto* memo = form.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
            if (memo && !memo->document()->isEmpty()) Print(stdout, memo->toPlainText() + QLatin1Char('\n'));
            Print(stderr, form.StatusText().isEmpty() ? QString() : form.StatusText() + QLatin1Char('\n'));
            QCoreApplication::exit(form.StatusText().isEmpty() ? 0 : 1);
        });
    }
    const int status = QApplication::exec();
    // A layout still running would keep a closed window's process waiting
    // for its worker: leave at once, its Graphviz process dies with us.
    if (TGraphPage::LayoutsRunning() > 0) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

}  // namespace quorvel::ui
