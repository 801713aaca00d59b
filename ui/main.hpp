// TForm1, the program's window: the report area Memo1, the commands (open,
// paste, save, about, quit) on buttons, shortcuts and the context menu, the
// colour legend, file drops, and the about panel AproposFrame1.  Beside the
// design: the report and the graph's picture as two tabs, and "Détails".
#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <string>

#include "analysis/GraphAnalyzer.hpp"
#include "report/ReportView.hpp"
#include "catalog/FilterCatalog.hpp"
#include "platform/DateTime.hpp"

class QAction;
class QFileDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace quorvel::ui {

class TAproposFrame;
class TGraphPage;

class TForm1 : public QWidget, private AnalysisObserver {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The path last given to AnalyzeGraphFile; empty before the first analysis.
    const QString& CurrentFileName() const { return currentFileName_; }
    // "2.1.1" and 20 January 2009 in the user's short date format, made when
    // the window is first shown.
    const QString& ProgramVersion() const { return programVersion_; }
    const QString& LastUpdateText() const { return lastUpdateText_; }

    // Analyses one graph file into Memo1 (with the wait cursor meanwhile);
    // false when the analysis stopped before its end.
    bool AnalyzeGraphFile(const QString& path);

    // The file named on the command line, taken as a drop of that file.
    void OpenStartupFile(const QString& path);

    // What the status line under the report says in full (it may show it
    // shortened); empty after an analysis that ran to its end.
    const QString& StatusText() const { return statusText_; }

    // The name SaveDialog1 proposes for the log of `fileName`: its extension
    // (from the last '.' of the file name on) replaced by ".log", or ".log"
    // appended when it has none.
    static QString ProposedLogName(const QString& fileName);

    const ReportView& Report() const { return report_; }

protected:
    // Tells the user of an error outside an analysis (a log that cannot be
    // written, a damaged catalog source): an error box ("ErrorBox") by
    // default.  Errors of the window's creation always take the box.
    virtual void ShowError(const QString& message);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateControls();
    void CreateCommands();
    void FormCreate();
    void FormShow();
    void FormResize();
    // X11 tells a window its frame only once a window manager has framed it,
    // after the first show; the design geometry and the buttons' rule are in
    // outer sizes, so they are applied once more when the frame is known.
    void AdoptFrame();
    bool IsCommandShortcut(const QKeyEvent& key) const;
    void FormDestroy();
    void WMDROPFILES(const QMimeData* files);
    void AppEvents1Activate();
    void acOuvrirExecute();
    void acPasteExecute();
    void acSauverExecute();
    void acAproposExecute();
    void acQuitterExecute();
    void acDetailsExecute();
    void SetStatus(const QString& text);
    void ShowStatus();

    void SaveLog(const QString& fileName);

    void AnalysisStarted(const std::filesystem::path& path) override;
    void AnalysisFinished(const AnalysisResult& result) override;

    // Controls, owned by the window through Qt's parent links.
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OuvrirBtn = nullptr;
    QPushButton* SaveBtn = nullptr;
    QPushButton* PasteBtn = nullptr;
    QFrame* Shape1 = nullptr;
    QFrame* Shape2 = nullptr;
    QFrame* Shape3 = nullptr;
    QFrame* Shape4 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* AproposBtn = nullptr;
    QPushButton* CloseBtn = nullptr;
    // Beside the design: Memo1 as the first of two tabs in the place the
    // design gives it, the graph's picture as the second.
    QTabWidget* PageControl1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TGraphPage* GraphPage1 = nullptr;
    // Beside the design: why the last file could not be read, in the strip
    // the design leaves under Memo1.
    QLabel* StatusLine = nullptr;
    TAproposFrame* AproposFrame1 = nullptr;
    QObject* ActionList1 = nullptr;
    QAction* acOuvrir = nullptr;
    QAction* acPaste = nullptr;
    QAction* acSauver = nullptr;
    QAction* acApropos = nullptr;
    QAction* acQuitter = nullptr;
    QAction* acCopier = nullptr;
    QAction* acToutSelectionner = nullptr;
    QAction* acDetails = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;
    QObject* AppEvents1 = nullptr;

    QString currentFileName_;
    QString statusText_;
    QString programVersion_;
    QString lastUpdateText_;
    bool shown_ = false;
    bool frameAdopted_ = false;
    QSize designClientSize_;
    bool waitCursor_ = false;

    ReportView report_;
    SystemDateFormats dates_;
    std::unique_ptr<FilterCatalog> catalog_;
};

}  // namespace quorvel::ui
