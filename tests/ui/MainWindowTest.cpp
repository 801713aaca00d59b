// The main window as a user meets it: its commands through their buttons,
// shortcuts and menu entries, opening, dropping and pasting graph files,
// saving the report as a log, and its layout when resized.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <sys/resource.h>

#include "resources/Strings.hpp"
#include "tests/support/RtfReader.hpp"
#include "tests/ui/UiTestSupport.hpp"

using namespace quorvel;
using namespace quorvel::uitest;

namespace {

// Types `path` into the file dialog's name field and confirms, as a user
// does (selectFile() leaves a shown dialog's field alone while it has focus).
void TypeAndConfirm(QWidget* w, const QString& path) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept();
}

// Chooses `path` in the open dialog as soon as it shows.
std::shared_ptr<bool> ChooseInOpenDialog(const QString& path) {
    return OnModal(QStringLiteral("OpenDialog1"), [path](QWidget* w) { TypeAndConfirm(w, path); });
}

std::shared_ptr<bool> ChooseInSaveDialog(const QString& path) {
    return OnModal(QStringLiteral("SaveDialog1"), [path](QWidget* w) { TypeAndConfirm(w, path); });
}

std::shared_ptr<bool> CancelDialog(const QString& name, int timeoutMs = 10000) {
    return OnModal(name, [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); }, timeoutMs);
}

QMimeData* FileList(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths) urls.append(QUrl::fromLocalFile(p));
    data->setUrls(urls);
    return data;
}

void Drop(QWidget& window, QMimeData* data) {
    const QPointF at(window.width() / 2.0, window.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

void Activate() {
    QApplicationStateChangeEvent event(Qt::ApplicationActive);
    QApplication::sendEvent(qApp, &event);
}

QList<ShownLine> FromRtf(const std::vector<test::RtfLine>& rtf) {
    QList<ShownLine> lines;
    for (const test::RtfLine& l : rtf)
        lines.append({Q(l.text), QColor((l.color >> 16) & 0xFF, (l.color >> 8) & 0xFF, l.color & 0xFF), l.bold});
    return lines;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    // Opens `path` through the open command, as a user does.
    void OpenThroughDialog(TestForm& form, const QString& path) {
        auto chosen = ChooseInOpenDialog(path);
        Child<QAction>(form, "acOuvrir")->trigger();
        QVERIFY(*chosen);
        // The closed dialog hands the focus back to the window.
        QVERIFY(ShowActive(form));
    }

    static QString Label1Text(TestForm& form) { return Child<QLabel>(form, "Label1")->text(); }

private slots:
    void init() {
        QGuiApplication::clipboard()->clear();
        QSettings(QStringLiteral("Brunmoor"), QStringLiteral("Quorvel")).clear();
    }

    void captionFromTheFirstShow() {
        TestForm form;
        QVERIFY(ShowActive(form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Quorvel 2.1.1 de Brunmoor"));
    }

    void commandsHaveTheirCaptionsHintsAndShortcuts() {
        TestForm form;
        QVERIFY(ShowActive(form));
        struct Expected {
            const char* command;
            const char* button;
            QString caption;
            QString hint;
            QList<QKeySequence> shortcuts;  // the design's first
        };
        const QList<Expected> expected = {
            {"acOuvrir", "OuvrirBtn", "Ouvrir", "Ouvrir un fichier .grf", {QKeySequence("Ctrl+F"), QKeySequence("Ctrl+O")}},
            {"acPaste", "PasteBtn", "Coller", "Coller un fichier depuis le presse-papiers", {QKeySequence("Ctrl+V")}},
            {"acSauver", "SaveBtn", "Sauver", "Enregistrer un fichier log avec l'analyse de ", {QKeySequence("Ctrl+S")}},
            {"acApropos", "AproposBtn", "A propos...", "Pour avoir des informations sur Quorvel et Brunmoor",
             {QKeySequence("F1")}},
            {"acQuitter", "CloseBtn", "Quitter", "Quitter Quorvel", {QKeySequence("Alt+F4"), QKeySequence("Ctrl+Q")}},
        };
        for (const Expected& e : expected) {
            auto* command = Child<QAction>(form, e.command);
            auto* button = Child<QPushButton>(form, e.button);
            QVERIFY2(command && button, e.command);
            QCOMPARE(command->text(), e.caption);
            QCOMPARE(command->toolTip(), e.hint);
            QCOMPARE(command->shortcuts(), e.shortcuts);
            QCOMPARE(button->text(), e.caption);
            QCOMPARE(button->toolTip(), e.hint);
        }
    }

    void contextMenuHoldsTheCommandsInOrder() {
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* menu = Child<QMenu>(form, "PopupMenu1");
        QVERIFY(menu);
        QStringList names;
        QStringList captions;
        for (QAction* a : menu->actions()) {
            names.append(a->objectName());
            captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        // The design's entries, then the report's own, then its details.
        QCOMPARE(names, QStringList({"Ouvrir1", "Coller1", "Sauver1", "N1", "Apropos1", "Quitter1", "N2", "Copier1",
                                     "ToutSelectionner1", "N3", "Details1"}));
        QCOMPARE(captions, QStringList({"Ouvrir", "Coller", "Sauver", "-", "A propos...", "Quitter", "-", "Copier",
                                        QString::fromUtf8("Tout sélectionner"), "-", QString::fromUtf8("Détails")}));
        QVERIFY(Child<QAction>(form, "Details1")->isCheckable());
        QVERIFY(!Child<QAction>(form, "Sauver1")->isEnabled());
        QVERIFY(!Child<QAction>(form, "Copier1")->isEnabled());  // nothing selected yet
    }

    void openDialogOffersGraphFiles() {
        TestForm form;
        QVERIFY(ShowActive(form));
        QStringList filters;
        QString suffix;
        auto seen = OnModal(QStringLiteral("OpenDialog1"), [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            dialog->reject();
        });
        Child<QAction>(form, "acOuvrir")->trigger();
        QVERIFY(*seen);
        QCOMPARE(filters, QStringList({"Fichiers GraphEdit (*.grf)", "Tous fichiers (*.*)"}));
        QCOMPARE(suffix, QStringLiteral("grf"));
        // Cancelled: nothing analysed.
        QCOMPARE(Label1Text(form), QString());
        QVERIFY(form.CurrentFileName().isEmpty());
        QVERIFY(!Child<QAction>(form, "acSauver")->isEnabled());
    }

    void openShortcutsShowTheOpenDialog_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("Ctrl+F") << QKeySequence("Ctrl+F");
        QTest::newRow("Ctrl+O") << QKeySequence("Ctrl+O");
    }
    void openShortcutsShowTheOpenDialog() {
        QFETCH(QKeySequence, keys);
        TestForm form;
        QVERIFY(ShowActive(form));
        auto shown = CancelDialog(QStringLiteral("OpenDialog1"), 3000);
        QTest::keySequence(&form, keys);
        QVERIFY(*shown);
    }

    void allFilesFilterListsNamesWithoutADot() {
        // "Tous fichiers (*.*)" means every file, as in the classic dialogs,
        // a name without an extension included.
        QTemporaryDir dir;
        const QString graph = WriteFile(dir, QStringLiteral("capture.grf"), ColourfulGraph());
        const QString bare = WriteFile(dir, QStringLiteral("capture"), ColourfulGraph());
        TestForm form;
        QVERIFY(ShowActive(form));
        bool graphListed = false;
        bool bareHiddenByGraphFilter = false;
        bool bareListedByAllFiles = false;
        auto seen = OnModal(QStringLiteral("OpenDialog1"), [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            auto* model = dialog->findChild<QFileSystemModel*>();
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            if (model && types) {
                dialog->setDirectory(dir.path());
                // The names the dialog lists in the folder.
                const auto listed = [&](const QString& path) {
                    const QModelIndex folder = model->index(dir.path());
                    for (int row = 0; row < model->rowCount(folder); ++row)
                        if (model->filePath(model->index(row, 0, folder)) == path) return true;
                    return false;
                };
                graphListed = QTest::qWaitFor([&] { return listed(graph); }, 5000);
                bareHiddenByGraphFilter = !listed(bare);
                // The user picks the second filter from the list.
                types->setFocus();
                QTest::keyClick(types, Qt::Key_Down);
                bareListedByAllFiles =
                    types->currentIndex() == 1 && QTest::qWaitFor([&] { return listed(bare); }, 5000);
            }
            dialog->reject();
        });
        Child<QAction>(form, "acOuvrir")->trigger();
        QVERIFY(*seen);
        QVERIFY(graphListed);
        QVERIFY(bareHiddenByGraphFilter);
        QVERIFY(bareListedByAllFiles);
    }

    void openRunsFromEachOfItsControls_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("command") << "command";
        QTest::newRow("Ctrl+F") << "shortcut";
        QTest::newRow("OuvrirBtn") << "button";
        QTest::newRow("Ouvrir1") << "menu";
    }
    void openRunsFromEachOfItsControls() {
        QFETCH(QString, how);
        const QString path = WriteFile(dir_, QStringLiteral("capture.grf"), ColourfulGraph());
        TestForm form;
        QVERIFY(ShowActive(form));
        auto chosen = ChooseInOpenDialog(path);
        if (how == "command") Child<QAction>(form, "acOuvrir")->trigger();
        if (how == "shortcut") QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
        if (how == "button") QTest::mouseClick(Child<QPushButton>(form, "OuvrirBtn"), Qt::LeftButton);
        if (how == "menu") Child<QAction>(form, "Ouvrir1")->trigger();
        QVERIFY(*chosen);

        QCOMPARE(form.CurrentFileName(), path);
        QCOMPARE(Label1Text(form), path + QStringLiteral("  "));
        auto* save = Child<QAction>(form, "acSauver");
        QVERIFY(save->isEnabled());
        QVERIFY(Child<QPushButton>(form, "SaveBtn")->isEnabled());
        QCOMPARE(save->toolTip(), QStringLiteral("Enregistrer un fichier log avec l'analyse de ") + path);
        QCOMPARE(Child<QPushButton>(form, "SaveBtn")->toolTip(), save->toolTip());
        const QList<ShownLine> lines = ShownLines(*Child<QPlainTextEdit>(form, "Memo1"));
        QVERIFY(lines.size() > 20);
        QCOMPARE(lines[1].text, QStringLiteral("CAPTURE.GRF"));
        QVERIFY(!QGuiApplication::overrideCursor());  // the wait cursor is gone
    }

    void headerStampUsesTheDesktopsFormats() {
        if (QLocale::system().name() != QStringLiteral("fr_FR"))
            QSKIP("needs a French desktop: LC_ALL=fr_FR.UTF-8, as CTest sets it");
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("dated.grf"), ColourfulGraph());
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime(QDate(2009, 1, 20), QTime(8, 30, 4)), QFileDevice::FileModificationTime));
        }
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({path}));
        const QList<ShownLine> lines = ShownLines(*Child<QPlainTextEdit>(form, "Memo1"));
        QCOMPARE(lines[3].text, QStringLiteral("Analyse du fichier ") + path + QStringLiteral(", modifié le 20/01/2009 08:30:04"));
        const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::LongFormat);
        QCOMPARE(lines[4].text, QStringLiteral("faite le ") + today + QStringLiteral(" avec Quorvel de Brunmoor version 2.1.1"));
    }

    void reportShowsColoursAndBoldFromItsFirstLine() {
        const QString path = WriteFile(dir_, QStringLiteral("long.grf"), LongGraph(300));
        const QString colours = WriteFile(dir_, QStringLiteral("colours.grf"), ColourfulGraph());
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* memo = Child<QPlainTextEdit>(form, "Memo1");

        OpenThroughDialog(form, colours);
        const QList<ShownLine> lines = ShownLines(*memo);
        const QColor olive(0x80, 0x80, 0x00);
        const auto find = [&](const QString& start) {
            for (const ShownLine& l : lines)
                if (l.text.startsWith(start)) return l;
            return ShownLine{};
        };
        // Filter lines begin with their id and two spaces.
        QCOMPARE(find("CAPTURE").text, QString());  // another file: the old report is gone
        QCOMPARE(lines[1], (ShownLine{"COLOURS.GRF", olive, true}));
        QCOMPARE(find("0001  ").color, QColor(0x00, 0x00, 0x00));
        QCOMPARE(find("0002  ").color, QColor(0x00, 0x80, 0x00));
        QCOMPARE(find("0003  ").color, QColor(0x00, 0x00, 0xFF));
        QCOMPARE(find("0004  ").color, QColor(0x80, 0x00, 0x80));
        QVERIFY(find("0002  ").bold);
        QCOMPARE(find("FILTERS"), (ShownLine{"FILTERS", olive, true}));
        QCOMPARE(lines[0].bold, false);

        // Scroll away, then analyse a long report: it shows from its top.
        OpenThroughDialog(form, path);
        memo->verticalScrollBar()->setValue(memo->verticalScrollBar()->maximum());
        OpenThroughDialog(form, path);
        QVERIFY(memo->verticalScrollBar()->maximum() > 0);
        QCOMPARE(memo->verticalScrollBar()->value(), 0);
        QCOMPARE(memo->horizontalScrollBar()->value(), memo->horizontalScrollBar()->minimum());
        QCOMPARE(memo->textCursor().position(), 0);
        QVERIFY(memo->isReadOnly());
    }

    void catalogErrorIsShownAndTheWindowOpens() {
        // A Wine prefix whose registry is damaged after its first key.
        QTemporaryDir prefix;
        QFile reg(prefix.filePath(QStringLiteral("system.reg")));
        QVERIFY(reg.open(QIODevice::WriteOnly));
        reg.write("WINE REGISTRY Version 2\n\n[Software\\\\Classes] 1\nnot registry text\n");
        reg.close();
        const QByteArray saved = qgetenv("WINEPREFIX");
        qputenv("WINEPREFIX", prefix.path().toLocal8Bit());
        QString shown;
        auto seen = OnModal(QStringLiteral("ErrorBox"), [&](QWidget* w) {
            shown = qobject_cast<QMessageBox*>(w)->text();
            qobject_cast<QDialog*>(w)->accept();
        });
        TestForm form;
        qputenv("WINEPREFIX", saved);
        QVERIFY(*seen);
        QVERIFY2(shown.contains(QStringLiteral("system.reg")) && shown.contains(QStringLiteral("line 4")),
                 qPrintable(shown));

        // The window opens, and names the standard filters all the same.
        QVERIFY(ShowActive(form));
        OpenThroughDialog(form, WriteFile(dir_, QStringLiteral("named.grf"), ColourfulGraph()));
        const QList<ShownLine> lines = ShownLines(*Child<QPlainTextEdit>(form, "Memo1"));
        const auto first = std::find_if(lines.begin(), lines.end(),
                                        [](const ShownLine& l) { return l.text.startsWith(QStringLiteral("0001  ")); });
        QVERIFY(first != lines.end());
        QVERIFY2(first->text.contains(QStringLiteral(": File Source (Async.) {E436EBB5-524F-11CE-9F53-0020AF0BA770}")),
                 qPrintable(first->text));
    }

    void saveIsDisabledBeforeAnyAnalysis() {
        TestForm form;
        QVERIFY(ShowActive(form));
        QVERIFY(!Child<QAction>(form, "acSauver")->isEnabled());
        QVERIFY(!Child<QPushButton>(form, "SaveBtn")->isEnabled());
        auto opened = CancelDialog(QStringLiteral("SaveDialog1"), 500);
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        QTest::qWait(700);
        QVERIFY(!*opened);
    }

    void saveIsEnabledEvenAfterAFailedAnalysis() {
        const QString missing = dir_.filePath(QStringLiteral("missing.grf"));
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({missing}));
        QCOMPARE(Label1Text(form), missing + QStringLiteral("  "));
        QVERIFY(Child<QAction>(form, "acSauver")->isEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
        auto opened = CancelDialog(QStringLiteral("SaveDialog1"));
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(*opened);
    }

    void dropOfThreeFilesAnalysesOnlyTheFirst() {
        const QString first = WriteFile(dir_, QStringLiteral("first.txt"), ColourfulGraph("First"));
        const QString second = WriteFile(dir_, QStringLiteral("second.grf"), ColourfulGraph("Second"));
        const QString third = WriteFile(dir_, QStringLiteral("third.grf"), ColourfulGraph("Third"));
        TestForm form;
        QVERIFY(ShowActive(form));
        QVERIFY(form.acceptDrops());
        Drop(form, FileList({first, second, third}));
        QCOMPARE(form.CurrentFileName(), first);
        QCOMPARE(Label1Text(form), first + QStringLiteral("  "));
        const QList<ShownLine> lines = ShownLines(*Child<QPlainTextEdit>(form, "Memo1"));
        QCOMPARE(lines[1].text, QStringLiteral("FIRST.TXT"));  // any extension is analysed
        bool firstFilter = false;
        for (const ShownLine& l : lines) {
            firstFilter = firstFilter || l.text.contains(QStringLiteral("\"File First\""));
            QVERIFY(!l.text.contains(QStringLiteral("Second")) && !l.text.contains(QStringLiteral("Third")));
        }
        QVERIFY(firstFilter);
    }

    void dropWithoutLocalFileDoesNothing() {
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* data = new QMimeData;
        data->setUrls({QUrl(QStringLiteral("https://brunmoor.example/graph.grf"))});
        Drop(form, data);
        QCOMPARE(Label1Text(form), QString());
        QVERIFY(!Child<QAction>(form, "acSauver")->isEnabled());
    }

    void pasteAnalysesTheFirstCopiedFile_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+V") << "shortcut";
        QTest::newRow("PasteBtn") << "button";
        QTest::newRow("Coller1") << "menu";
    }
    void pasteAnalysesTheFirstCopiedFile() {
        QFETCH(QString, how);
        const QString first = WriteFile(dir_, QStringLiteral("pasted.grf"), ColourfulGraph("Pasted"));
        const QString second = WriteFile(dir_, QStringLiteral("other.grf"), ColourfulGraph("Other"));
        TestForm form;
        QVERIFY(ShowActive(form));
        QGuiApplication::clipboard()->setMimeData(FileList({first, second}));
        if (how == "shortcut") QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
        if (how == "button") {
            Activate();
            QTest::mouseClick(Child<QPushButton>(form, "PasteBtn"), Qt::LeftButton);
        }
        if (how == "menu") Child<QAction>(form, "Coller1")->trigger();
        QCOMPARE(form.CurrentFileName(), first);
        QCOMPARE(ShownLines(*Child<QPlainTextEdit>(form, "Memo1"))[1].text, QStringLiteral("PASTED.GRF"));
    }

    void commandShortcutsComeBeforeTheAboutTextsKeys() {
        // The about text can be edited, but Ctrl+V there pastes a graph like
        // anywhere else in the window: the commands' shortcuts come first.
        const QString path = WriteFile(dir_, QStringLiteral("from-about.grf"), ColourfulGraph("About"));
        TestForm form;
        QVERIFY(ShowActive(form));
        QTest::keyClick(&form, Qt::Key_F1);
        auto* about = Child<QTextEdit>(form, "RxApropos");
        about->setFocus();
        QTRY_VERIFY(about->hasFocus());
        const QString before = about->toPlainText();
        QGuiApplication::clipboard()->setMimeData(FileList({path}));
        QTest::keyClick(about, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.CurrentFileName(), path);
        QCOMPARE(about->toPlainText(), before);
        // Keys that are no command's still edit the text.
        QTest::keyClick(about, Qt::Key_X);
        QVERIFY(about->toPlainText() != before);
    }

    void contextMenuIsTheWindowsOverEveryControl_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("window") << "Form1";
        QTest::newRow("Memo1") << "Memo1";
        QTest::newRow("Label1") << "Label1";
        QTest::newRow("RxApropos") << "RxApropos";
    }
    void contextMenuIsTheWindowsOverEveryControl() {
        QFETCH(QString, control);
        TestForm form;
        QVERIFY(ShowActive(form));
        QTest::keyClick(&form, Qt::Key_F1);
        QWidget* target = control == QStringLiteral("Form1") ? &form : Child<QWidget>(form, control.toLatin1().constData());
        QVERIFY(target);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) target = area->viewport();
        // Whatever menu opens is noted and closed, so that a modal one cannot
        // hold the test.
        QString opened;
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened = popup->objectName().isEmpty() ? QStringLiteral("(unnamed)") : popup->objectName();
                popup->close();
            }
        });
        closer.start();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), target->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(target, &event);
        QTRY_VERIFY(!opened.isEmpty());
        QCOMPARE(opened, QStringLiteral("PopupMenu1"));
    }

    void pasteWithoutFileListDoesNothing() {
        const QString path = WriteFile(dir_, QStringLiteral("kept.grf"), ColourfulGraph("Kept"));
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({path}));
        auto* memo = Child<QPlainTextEdit>(form, "Memo1");
        const QList<ShownLine> before = ShownLines(*memo);

        QGuiApplication::clipboard()->setText(QStringLiteral("/tmp/not-a-file-list.grf"));
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.CurrentFileName(), path);
        QCOMPARE(ShownLines(*memo), before);

        // A first path longer than the shell allows: nothing either.
        QGuiApplication::clipboard()->setMimeData(FileList({QStringLiteral("/") + QString(70000, QLatin1Char('a'))}));
        Child<QAction>(form, "acPaste")->trigger();
        QCOMPARE(form.CurrentFileName(), path);
        QCOMPARE(ShownLines(*memo), before);
        QVERIFY(form.errors.isEmpty());
    }

    void pasteButtonFollowsTheClipboardAtEachActivation() {
        const QString path = WriteFile(dir_, QStringLiteral("copied.grf"), ColourfulGraph("Copied"));
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* button = Child<QPushButton>(form, "PasteBtn");
        auto* command = Child<QAction>(form, "acPaste");

        QGuiApplication::clipboard()->setMimeData(FileList({path}));
        Activate();
        QVERIFY(button->isEnabled());

        QGuiApplication::clipboard()->setText(QStringLiteral("some text"));
        QVERIFY(button->isEnabled());  // only an activation looks at the clipboard
        Activate();
        QVERIFY(!button->isEnabled());
        QVERIFY(command->isEnabled());
        QVERIFY(Child<QAction>(form, "Coller1")->isEnabled());

        // The shortcut still pastes while the button is disabled.
        QGuiApplication::clipboard()->setMimeData(FileList({path}));
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.CurrentFileName(), path);
        QVERIFY(!button->isEnabled());
        Activate();
        QVERIFY(button->isEnabled());
    }

    void copyAndSelectAllTakeTheWholeReport_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ctrl+A, Ctrl+C") << "shortcuts";
        QTest::newRow("menu") << "menu";
    }
    void copyAndSelectAllTakeTheWholeReport() {
        QFETCH(QString, how);
        const QString path = WriteFile(dir_, QStringLiteral("copied-report.grf"), ColourfulGraph("Copied"));
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({path}));
        auto* memo = Child<QPlainTextEdit>(form, "Memo1");
        auto* copy = Child<QAction>(form, "Copier1");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QVERIFY(!copy->isEnabled());
        // The focus on a button, so that the window's commands, not Memo1's
        // own keys, answer.
        Child<QPushButton>(form, "OuvrirBtn")->setFocus();
        if (how == "shortcuts") {
            QTest::keyClick(&form, Qt::Key_A, Qt::ControlModifier);
            QVERIFY(copy->isEnabled());
            QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
        } else {
            Child<QAction>(form, "ToutSelectionner1")->trigger();
            QVERIFY(copy->isEnabled());
            copy->trigger();
        }
        QCOMPARE(memo->textCursor().selectedText().size(), memo->toPlainText().size());
        QCOMPARE(QGuiApplication::clipboard()->text(), memo->toPlainText());
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("\"File Copied\"")));
        // A new report drops the selection, and with it the copy.
        Drop(form, FileList({path}));
        QVERIFY(!copy->isEnabled());
    }

    void statusLineSaysWhyAFileWasNotAnalysed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");  // of ColourfulGraph's bytes kept; -1: no file, 0: not a graph
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << "missing.grf" << -1
                                 << "Impossible d'analyser \"%1\" : cannot open: No such file or directory";
        QTest::newRow("not a graph")
            << "notes.txt" << 0
            << "Impossible d'analyser \"%1\" : no graph stream: no version text 0002 or 0003 at a 512-byte boundary";
        QTest::newRow("cut short") << "cut.grf" << 3300 << QString::fromUtf8("Analyse de \"%1\" arrêtée à l'octet ");
    }
    void statusLineSaysWhyAFileWasNotAnalysed() {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString good = WriteFile(dir, QStringLiteral("good.grf"), ColourfulGraph());
        QString path = dir.filePath(name);
        if (size == 0) path = WriteFile(dir, name, testing::Bytes(4096, 'x'));
        if (size > 0) {
            testing::Bytes bytes = ColourfulGraph();
            bytes.resize(static_cast<std::size_t>(size));
            path = WriteFile(dir, name, bytes);
        }
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* status = Child<QLabel>(form, "StatusLine");
        auto* memo = Child<QPlainTextEdit>(form, "Memo1");
        Drop(form, FileList({path}));
        QVERIFY2(status->text().startsWith(said.arg(path)), qPrintable(status->text()));
        QCOMPARE(status->text(), form.StatusText());
        QVERIFY(status->isVisible());
        // Said beside the report, never in it.
        for (const ShownLine& line : ShownLines(*memo)) QVERIFY(!line.text.contains(said.arg(path)));
        QVERIFY(form.errors.isEmpty());

        // Hidden under the about panel, back after it.
        QTest::keyClick(&form, Qt::Key_F1);
        QVERIFY(!status->isVisible());
        QTest::keyClick(&form, Qt::Key_F1);
        QVERIFY(status->isVisible());

        Drop(form, FileList({good}));
        QCOMPARE(status->text(), QString());
        QCOMPARE(form.StatusText(), QString());
    }

    void longStatusKeepsItsReason() {
        QTemporaryDir dir;
        const QString folder = QString(100, QLatin1Char('d'));
        const QString path = dir.filePath(QStringList(3, folder).join(QLatin1Char('/')) + QStringLiteral("/missing.grf"));
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({path}));
        auto* status = Child<QLabel>(form, "StatusLine");
        QVERIFY(status->fontMetrics().horizontalAdvance(status->text()) <= status->width());
        QVERIFY2(status->text().endsWith(QStringLiteral(" : cannot open: No such file or directory")),
                 qPrintable(status->text()));
        QVERIFY(form.StatusText().contains(path));
        QCOMPARE(status->toolTip(), form.StatusText());
    }

    void proposedLogName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("log");
        QTest::newRow("extension") << R"(C:\graphs\capture.grf)" << R"(C:\graphs\capture.log)";
        QTest::newRow("posix") << "/home/ana/graphs/capture.grf" << "/home/ana/graphs/capture.log";
        QTest::newRow("no extension") << "/home/ana/graphs/capture" << "/home/ana/graphs/capture.log";
        QTest::newRow("dotted folder") << "/home/ana/my.graphs/capture" << "/home/ana/my.graphs/capture.log";
        QTest::newRow("two dots") << "/home/ana/capture.old.grf" << "/home/ana/capture.old.log";
        QTest::newRow("log already") << "/home/ana/capture.log" << "/home/ana/capture.log";
    }
    void proposedLogName() {
        QFETCH(QString, file);
        QFETCH(QString, log);
        QCOMPARE(ui::TForm1::ProposedLogName(file), log);
    }

    void saveDialogProposesTheLogBesideTheGraph_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("with extension") << "capture.grf" << "capture.log";
        QTest::newRow("without extension") << "capture" << "capture.log";
    }
    void saveDialogProposesTheLogBesideTheGraph() {
        QFETCH(QString, name);
        QFETCH(QString, proposed);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, name, ColourfulGraph());
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({path}));
        QCOMPARE(form.CurrentFileName(), path);
        QString shown;
        QStringList filters;
        QString suffix;
        auto seen = OnModal(QStringLiteral("SaveDialog1"), [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            shown = dialog->selectedFiles().value(0);
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            dialog->reject();
        });
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(*seen);
        QCOMPARE(shown, dir.filePath(proposed));
        QCOMPARE(filters, QStringList({"Fichier Log (*.log)", "Fichier Texte (*.txt)", "Tous fichiers (*.*)"}));
        QCOMPARE(suffix, QStringLiteral("log"));
        QVERIFY(!QFile::exists(dir.filePath(proposed)));  // cancelled: nothing written
    }

    void savedLogIsRtfWhateverItsExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow(".log") << "report.log";
        QTest::newRow(".txt") << "report.txt";
        QTest::newRow(".dat") << "report.dat";
    }
    void savedLogIsRtfWhateverItsExtension() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString graph = WriteFile(dir, QStringLiteral("capture.grf"), ColourfulGraph());
        TestForm form;
        QVERIFY(ShowActive(form));
        OpenThroughDialog(form, graph);
        const QString target = dir.filePath(name);
        auto saved = ChooseInSaveDialog(target);
        Child<QPushButton>(form, "SaveBtn")->click();
        QVERIFY(*saved);
        QVERIFY(form.errors.isEmpty());

        const QByteArray rtf = ReadAll(target);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        const QList<ShownLine> shown = ShownLines(*Child<QPlainTextEdit>(form, "Memo1"));
        QList<ShownLine> read = FromRtf(test::ReadRtfLines(std::string_view(rtf.constData(), rtf.size())));
        // A last empty paragraph is how some writers close a document.
        if (read.size() == shown.size() + 1 && read.last().text.isEmpty()) read.removeLast();
        QCOMPARE(read.size(), shown.size());
        for (qsizetype i = 0; i < shown.size(); ++i) QVERIFY2(read[i] == shown[i], qPrintable(Describe(read[i])));
        // Nothing but the log was written there.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void refusedSaveShowsErrorAndKeepsReportAndFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << "no-such-folder/capture.log";
        QTest::newRow("the graph itself") << "capture.grf";
    }
    void refusedSaveShowsErrorAndKeepsReportAndFiles() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString graph = WriteFile(dir, QStringLiteral("capture.grf"), ColourfulGraph());
        const QByteArray graphBytes = ReadAll(graph);
        TestForm form;
        QVERIFY(ShowActive(form));
        OpenThroughDialog(form, graph);
        auto* memo = Child<QPlainTextEdit>(form, "Memo1");
        const QList<ShownLine> before = ShownLines(*memo);

        const QString target = dir.filePath(name);
        auto saved = ChooseInSaveDialog(target);
        Child<QAction>(form, "acSauver")->trigger();
        QVERIFY(*saved);
        QCOMPARE(form.errors.size(), 1);
        QVERIFY2(form.errors[0].contains(QDir::toNativeSeparators(target)), qPrintable(form.errors[0]));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"capture.grf"}));
        QCOMPARE(ReadAll(graph), graphBytes);
        QCOMPARE(ShownLines(*memo), before);
    }

    void failedSaveKeepsTheExistingFile() {
        QTemporaryDir dir;
        const QString graph = WriteFile(dir, QStringLiteral("capture.grf"), LongGraph(200));
        const QString target = dir.filePath(QStringLiteral("capture.log"));
        const QByteArray precious = "an older log that must survive";
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(precious);
        }
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({graph}));
        const QList<ShownLine> before = ShownLines(*Child<QPlainTextEdit>(form, "Memo1"));

        // The disk "fills up" after 4 KiB, for root as for anyone: the log
        // is larger, so its writing fails half way.
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        auto saved = ChooseInSaveDialog(target);
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(*saved);
        QCOMPARE(form.errors.size(), 1);
        QVERIFY2(form.errors[0].contains(QDir::toNativeSeparators(target)), qPrintable(form.errors[0]));
        QCOMPARE(ReadAll(target), precious);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"capture.grf", "capture.log"}));  // no temporary file left
        QCOMPARE(ShownLines(*Child<QPlainTextEdit>(form, "Memo1")), before);
    }

    void resizeKeepsTheReportAndButtonsInPlace_data() {
        QTest::addColumn<QSize>("client");
        QTest::newRow("larger") << QSize(900, 640);
        QTest::newRow("smaller") << QSize(520, 360);
    }
    void resizeKeepsTheReportAndButtonsInPlace() {
        QFETCH(QSize, client);
        TestForm form;
        QVERIFY(ShowActive(form));
        form.resize(client);
        QTRY_COMPARE(form.size(), client);
        const int outer = form.frameGeometry().width();
        // The design's rule for Memo1 holds for the tabs that carry it, and
        // Memo1 fills its tab.
        auto* pages = Child<QWidget>(form, "PageControl1");
        auto* memo = Child<QPlainTextEdit>(form, "Memo1");
        QCOMPARE(pages->geometry(), QRect(8, 77, client.width() - 20, client.height() - 77 - 20));
        QCOMPARE(memo->width(), pages->width());
        QCOMPARE(memo->mapTo(&form, QPoint(0, memo->height())).y(), pages->geometry().bottom() + 1);
        QCOMPARE(Child<QPushButton>(form, "CloseBtn")->x(), outer - 112);
        QCOMPARE(Child<QPushButton>(form, "AproposBtn")->x(), outer - 216);
        QCOMPARE(Child<QPushButton>(form, "OuvrirBtn")->pos(), QPoint(16, 40));
        // The status line keeps to the strip under the report.
        const QRect status = Child<QLabel>(form, "StatusLine")->geometry();
        QVERIFY(status.top() > pages->geometry().bottom() && status.bottom() < client.height());
        QCOMPARE(status.width(), memo->width());
        QCOMPARE(Child<QPushButton>(form, "PasteBtn")->pos(), QPoint(208, 40));
    }

    void detailsAddGreyLinesAndAreRemembered() {
        QTemporaryDir dir;
        const QString graph = WriteFile(dir, QStringLiteral("capture.grf"), ColourfulGraph());
        const QColor grey(0x80, 0x80, 0x80);
        const auto classic = [&](const QList<ShownLine>& lines) {
            QList<ShownLine> kept;
            for (const ShownLine& l : lines)
                if (l.color != grey) kept.append(l);
            return kept;
        };
        TestForm form;
        QVERIFY(ShowActive(form));
        Drop(form, FileList({graph}));
        auto* memo = Child<QPlainTextEdit>(form, "Memo1");
        const QList<ShownLine> before = ShownLines(*memo);
        QCOMPARE(classic(before), before);

        Child<QAction>(form, "Details1")->trigger();
        const QList<ShownLine> detailed = ShownLines(*memo);
        QVERIFY(detailed.size() > before.size());
        QCOMPARE(classic(detailed), before);  // added under the classic lines, none changed

        // The log holds them as Memo1 shows them.
        const QString log = dir.filePath(QStringLiteral("capture.log"));
        auto saved = ChooseInSaveDialog(log);
        Child<QAction>(form, "acSauver")->trigger();
        QVERIFY(*saved);
        const QByteArray rtf = ReadAll(log);
        QList<ShownLine> read = FromRtf(test::ReadRtfLines(std::string_view(rtf.constData(), rtf.size())));
        if (read.size() == detailed.size() + 1 && read.last().text.isEmpty()) read.removeLast();
        QCOMPARE(read, detailed);

        // Remembered: the next window starts with them, and drops them when asked.
        TestForm next;
        QVERIFY(ShowActive(next));
        QVERIFY(Child<QAction>(next, "acDetails")->isChecked());
        Drop(next, FileList({graph}));
        QCOMPARE(ShownLines(*Child<QPlainTextEdit>(next, "Memo1")).size(), detailed.size());
        Child<QAction>(next, "Details1")->trigger();
        QCOMPARE(ShownLines(*Child<QPlainTextEdit>(next, "Memo1")), before);
        QVERIFY(!TestForm().findChild<QAction*>(QStringLiteral("acDetails"))->isChecked());
    }

    void quitClosesTheWindow_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("command") << "command";
        QTest::newRow("Alt+F4") << "shortcut";
        QTest::newRow("Ctrl+Q") << "Ctrl+Q";
        QTest::newRow("CloseBtn") << "button";
        QTest::newRow("Quitter1") << "menu";
    }
    void quitClosesTheWindow() {
        QFETCH(QString, how);
        TestForm form;
        QVERIFY(ShowActive(form));
        if (how == "command") Child<QAction>(form, "acQuitter")->trigger();
        if (how == "shortcut") QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);
        if (how == "Ctrl+Q") QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
        if (how == "button") QTest::mouseClick(Child<QPushButton>(form, "CloseBtn"), Qt::LeftButton);
        if (how == "menu") Child<QAction>(form, "Quitter1")->trigger();
        QTRY_VERIFY(!form.isVisible());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The window's setting in a folder of the test's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    // The closing of a test window must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
