// The program `quorvel` as started: its command line (a file to open, --help,
// --version, Qt's own options, unknown ones), the built program run with it,
// and Qt's own texts in French.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "resources/Strings.hpp"
#include "tests/ui/UiTestSupport.hpp"
#include "ui/CommandLine.hpp"
#include "ui/Startup.hpp"

using namespace quorvel;
using namespace quorvel::uitest;
using Action = ui::WindowCommandLine::Action;

Q_DECLARE_METATYPE(Action)

namespace {

struct Run {
    int exitStatus = -1;
    QString out;
    QString err;
};

// The built program with `args`; `environment` is added to the test's own,
// where a name alone removes that variable.
Run RunProgram(const QStringList& args, const QStringList& environment = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq < 0)
            env.remove(entry);
        else
            env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QUORVEL_WINDOW_PROGRAM), args);
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        return {};
    }
    if (program.exitStatus() != QProcess::NormalExit) return {};
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

const QStringList kNoDisplay = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};

QString StandardButtonText(QMessageBox::StandardButton which) {
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Save | QMessageBox::Cancel);
    return box.button(which)->text();
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("badOption");
        QTest::newRow("nothing") << QStringList{} << Action::OpenWindow << "" << "";
        QTest::newRow("a file") << QStringList{"g.grf"} << Action::OpenWindow << "g.grf" << "";
        QTest::newRow("the second file ignored") << QStringList{"a.grf", "b.grf"} << Action::OpenWindow << "a.grf" << "";
        QTest::newRow("help") << QStringList{"--help"} << Action::ShowHelp << "" << "";
        QTest::newRow("version") << QStringList{"--version"} << Action::ShowVersion << "" << "";
        QTest::newRow("unknown") << QStringList{"--bogus", "g.grf"} << Action::UsageError << "g.grf" << "--bogus";
        QTest::newRow("unknown after help") << QStringList{"--help", "-x"} << Action::UsageError << "" << "-x";
        QTest::newRow("Qt's options and their values")
            << QStringList{"-platform", "offscreen", "--style=fusion", "-reverse", "g.grf"} << Action::OpenWindow
            << "g.grf" << "";
        QTest::newRow("after --, a name like an option")
            << QStringList{"--", "--help"} << Action::OpenWindow << "--help" << "";
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, file);
        QFETCH(QString, badOption);
        const ui::WindowCommandLine line = ui::ParseWindowCommandLine(QStringList{"quorvel"} + args);
        QCOMPARE(line.action, action);
        QCOMPARE(line.file, file);
        QCOMPARE(line.badOption, badOption);
    }

    void startupFileIsAnAbsolutePath_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("path");
        QTest::newRow("relative") << "graphs/../g.grf" << QDir::current().filePath(QStringLiteral("g.grf"));
        QTest::newRow("absolute") << "/srv/g.grf" << "/srv/g.grf";
        QTest::newRow("file URL") << "file:///srv/a%20b.grf" << "/srv/a b.grf";
    }
    void startupFileIsAnAbsolutePath() {
        QFETCH(QString, argument);
        QFETCH(QString, path);
        QCOMPARE(ui::StartupFilePath(argument), path);
    }

    void helpAndVersionNeedNoDisplay_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "quorvel 2.1.1 (Quorvel de Brunmoor)\n" << "";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << Q(Res(Str::WindowUsage)) << "";
        QTest::newRow("unknown option")
            << QStringList{"--bogus", "g.grf"} << 2 << ""
            << QString::fromUtf8("quorvel : option inconnue « --bogus »\nEssayez « quorvel --help ».\n");
    }
    void helpAndVersionNeedNoDisplay() {
        QFETCH(QStringList, args);
        QFETCH(int, exitStatus);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run run = RunProgram(args, kNoDisplay);
        QCOMPARE(run.exitStatus, exitStatus);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, err);
    }

    void programOpensTheFileNamedFirst() {
        QTemporaryDir dir;
        const QString first = WriteFile(dir, QStringLiteral("first.grf"), ColourfulGraph("First"));
        const QString second = WriteFile(dir, QStringLiteral("second.grf"), ColourfulGraph("Second"));
        const Run run = RunProgram({first, second}, {"QT_QPA_PLATFORM=offscreen", "QUORVEL_QUIT_AFTER_STARTUP_FILE=1"});
        QCOMPARE(run.exitStatus, 0);
        QVERIFY2(run.out.contains(QStringLiteral("\nFIRST.GRF\n")), qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("\"File First\"")));
        QVERIFY(!run.out.contains(QStringLiteral("Second")));
        QVERIFY2(!run.err.contains(QStringLiteral("Impossible")), qPrintable(run.err));
    }

    void programSaysWhyAFileCannotBeRead() {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("missing.grf"));
        const Run run = RunProgram({QStringLiteral("-platform"), QStringLiteral("offscreen"), missing},
                                   {"QUORVEL_QUIT_AFTER_STARTUP_FILE=1"});
        QCOMPARE(run.exitStatus, 1);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(QStringLiteral("Impossible d'analyser \"%1\" : cannot open: No such file or directory\n")
                                      .arg(missing)),
                 qPrintable(run.err));
    }

    // First, before any translation is installed: without its file, Qt stays
    // English and the start goes on.
    void missingTranslationLeavesQtEnglish() {
        QTemporaryDir empty;
        QVERIFY(!ui::InstallQtFrench(*qApp, empty.path()));
        QCOMPARE(StandardButtonText(QMessageBox::Cancel), QStringLiteral("Cancel"));
    }

    void qtSpeaksFrench() {
        if (!QFile::exists(ui::QtTranslationsFolder() + QStringLiteral("/qtbase_fr.qm")))
            QSKIP("qtbase_fr.qm is missing: Debian package qt6-translations-l10n");
        QVERIFY(ui::InstallQtFrench(*qApp, ui::QtTranslationsFolder()));
        QCOMPARE(StandardButtonText(QMessageBox::Cancel), QStringLiteral("Annuler"));
        QCOMPARE(StandardButtonText(QMessageBox::Save), QStringLiteral("Enregistrer"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        QVERIFY(lookIn);
        QCOMPARE(lookIn->text(), QStringLiteral("Voir dans :"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StartupTest.moc"
