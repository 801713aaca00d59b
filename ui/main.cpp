#include "ui/main.hpp"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

#include <functional>

#include "report/ReportExport.hpp"
#include "catalog/InstalledCatalog.hpp"
#include "model/GraphModel.hpp"
#include "platform/OutputFile.hpp"
#include "resources/Strings.hpp"
#include "ui/ActionLink.hpp"
#include "ui/Fonts.hpp"
#include "ui/GraphPage.hpp"
#include "ui/Pictures.hpp"
#include "ui/ReportText.hpp"
#include "ui/ShellFiles.hpp"
#include "ui/WindowFrame.hpp"
#include "ui/aproposUnit.hpp"

namespace quorvel::ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString QRes(Str id) { return Q(Res(id)); }

// The window's design values.
constexpr int kDesignLeft = 192;
constexpr int kDesignTop = 114;
constexpr int kDesignOuterWidth = 696;
constexpr int kDesignOuterHeight = 484;
constexpr int kMemoTop = 77;

// The classic dialogs' filter ("Text|pattern|Text|pattern") as Qt's name
// filters; each text already shows its pattern in brackets.
QStringList NameFilters(std::string_view filter) {
    QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        const QString& pattern = parts[i + 1];
        names.append(text.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))
                         ? text
                         : text + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return names;
}

// In the classic dialogs "*.*" stands for every file, names without a dot
// included; Qt's own dialog reads the pattern literally, so its file list is
// given "*" in its place.  (A desktop's dialog has no such list to widen.)
void ReadStarDotStarAsEveryFile(QFileDialog* dialog) {
    QObject::connect(dialog, &QFileDialog::filterSelected, dialog, [dialog]() {
        auto* files = dialog->findChild<QFileSystemModel*>();
        if (!files) return;
        QStringList patterns = files->nameFilters();
        const qsizetype at = patterns.indexOf(QStringLiteral("*.*"));
        if (at < 0) return;
        patterns[at] = QStringLiteral("*");
        files->setNameFilters(patterns);
    });
}

// Delivers the application's activation, as the application-events
// component of the classic toolkit does.
class ApplicationEvents final : public QObject {
public:
    ApplicationEvents(QObject* parent, std::function<void()> onActivate)
        : QObject(parent), onActivate_(std::move(onActivate)) {
        setObjectName(QStringLiteral("AppEvents1"));
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::ApplicationStateChange &&
            static_cast<QApplicationStateChangeEvent*>(event)->applicationState() == Qt::ApplicationActive)
            onActivate_();
        return false;
    }

private:
    std::function<void()> onActivate_;
};

QPushButton* MakeButton(QWidget* parent, const char* name, int left, int top, int width, int height,
                        const QIcon& picture) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, top, width, height);
    button->setIcon(picture);
    button->setIconSize(QSize(25, 25));
    return button;
}

// A legend swatch in the colour the report gives that kind of filter.
QColor KindColor(model::FilterKind kind) { return QColor(QRgb(model::FilterKindColor(kind))); }

QFrame* MakeSwatch(QWidget* parent, const char* name, int left, int top, const QColor& color) {
    auto* shape = new QFrame(parent);
    shape->setObjectName(QLatin1String(name));
    shape->setGeometry(left, top, 20, 10);
    shape->setFrameShape(QFrame::NoFrame);
    shape->setAutoFillBackground(true);
    QPalette p = shape->palette();
    p.setColor(QPalette::Window, color);
    shape->setPalette(p);
    return shape;
}

QLabel* MakeLegendLabel(QWidget* parent, const char* name, int left, int top, Str text) {
    auto* label = new QLabel(QRes(text), parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(PixelFont(kArial, 11));
    label->move(left, top);
    label->adjustSize();
    return label;
}

// The design's shortcut comes first (the menus show it); the platform's
// usual one, where it differs, follows.
QAction* MakeCommand(QObject* list, const char* name, Str caption, const QList<QKeySequence>& shortcuts,
                     Picture picture) {
    auto* action = new QAction(list);
    action->setObjectName(QLatin1String(name));
    action->setText(QRes(caption));
    action->setShortcuts(shortcuts);
    action->setIcon(ImageListIcon(picture));
    return action;
}

// The about panel's maroon, for the status line.
const QColor kMaroon(0x80, 0x00, 0x00);

// The window's one setting, "Détails", kept from one run to the next.
QSettings Settings() { return QSettings(QStringLiteral("Brunmoor"), QStringLiteral("Quorvel")); }
constexpr const char* kDetailsKey = "Details";

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    InstallFontSubstitutes();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QRes(Str::ProductName));
    setWindowIcon(ProgramIcon());
    setFont(PixelFont(kMsSansSerif, 11));
    // The button face behind every control.
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);

    CreateControls();
    CreateCommands();

    // The platform window exists from here on, so the frame is known where
    // the platform can tell it before the window is shown.
    create();
    move(kDesignLeft, kDesignTop);
    SetOuterSize(*this, kDesignOuterWidth, kDesignOuterHeight);
    designClientSize_ = size();
    windowHandle()->installEventFilter(this);
    FormCreate();
}

bool TForm1::IsCommandShortcut(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* command : {acOuvrir, acPaste, acSauver, acApropos, acQuitter})
        if (command->isEnabled() && command->shortcuts().contains(pressed)) return true;
    return false;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // The first exposure comes once a window manager has framed the window.
    if (watched == windowHandle() && event->type() == QEvent::Expose && !frameAdopted_)
        QMetaObject::invokeMethod(this, &TForm1::AdoptFrame, Qt::QueuedConnection);
    // Left unaccepted, the key goes to the window's shortcuts, not to the text.
    if (watched == AproposFrame1->AboutText() && event->type() == QEvent::ShortcutOverride &&
        IsCommandShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::AdoptFrame() {
    if (frameAdopted_ || !shown_ || FrameMargins(*this).isNull()) return;
    frameAdopted_ = true;
    // Still the design size, so the user has not resized it yet: the design
    // position and outer size again, now that they can be told apart.
    if (size() == designClientSize_ && !isMaximized()) {
        move(kDesignLeft, kDesignTop);
        SetOuterSize(*this, kDesignOuterWidth, kDesignOuterHeight);
    }
    FormResize();
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::CreateControls() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 0, width(), 30);

    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(PixelFont(kArial, 16, false, true));
    QPalette blue = Label1->palette();
    blue.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0xFF));
    Label1->setPalette(blue);
    Label1->move(16, 8);
    Label1->adjustSize();

    OuvrirBtn = MakeButton(this, "OuvrirBtn", 16, 40, 75, 30, ImageListIcon(Picture::Open));
    SaveBtn = MakeButton(this, "SaveBtn", 112, 40, 75, 30, ImageListIcon(Picture::Save));
    PasteBtn = MakeButton(this, "PasteBtn", 208, 40, 75, 30, ImageListIcon(Picture::Paste));

    Shape1 = MakeSwatch(this, "Shape1", 312, 40, KindColor(model::FilterKind::DirectShow));
    Label2 = MakeLegendLabel(this, "Label2", 344, 40, Str::LegendDirectShow);
    Shape2 = MakeSwatch(this, "Shape2", 312, 58, KindColor(model::FilterKind::DmoWrapper));
    Label3 = MakeLegendLabel(this, "Label3", 344, 56, Str::LegendDmo);
    Shape3 = MakeSwatch(this, "Shape3", 408, 42, KindColor(model::FilterKind::PnpProxy));
    Label4 = MakeLegendLabel(this, "Label4", 432, 40, Str::LegendPnp);
    Shape4 = MakeSwatch(this, "Shape4", 408, 58, KindColor(model::FilterKind::AcmWrapper));
    Label5 = MakeLegendLabel(this, "Label5", 432, 56, Str::LegendAcm);

    AproposBtn = MakeButton(this, "AproposBtn", 496, 40, 83, 30, ImageListIcon(Picture::About));
    CloseBtn = MakeButton(this, "CloseBtn", 600, 40, 75, 30, ImageListIcon(Picture::Quit));

    // In the place and with the sizing rule the design gives Memo1; the
    // report is its first tab, whole, and the picture of the graph its second.
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, kMemoTop, 671, 361);
    PageControl1->setDocumentMode(true);  // Memo1's own frame, not a second one around it

    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setWordWrapMode(QTextOption::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->document()->setUndoRedoEnabled(false);
    // Drops and the context menu belong to the window, over the report too.
    Memo1->setAcceptDrops(false);
    Memo1->viewport()->setAcceptDrops(false);
    Memo1->setContextMenuPolicy(Qt::NoContextMenu);
    PageControl1->addTab(Memo1, QRes(Str::TabReport));

    GraphPage1 = new TGraphPage(PageControl1, [this](const QString& message) { ShowError(message); });
    PageControl1->addTab(GraphPage1, QRes(Str::TabGraph));
    // Laid out when looked at: an analysis with the report in front costs
    // what it cost before.
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this]() { GraphPage1->SetActive(PageControl1->currentWidget() == GraphPage1); });

    AproposFrame1 = new TAproposFrame(this);
    AproposFrame1->setObjectName(QStringLiteral("AproposFrame1"));
    AproposFrame1->setGeometry(-500, -2, 324, 451);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setNameFilters(NameFilters(Res(Str::OpenDialogFilter)));
    OpenDialog1->setDefaultSuffix(QStringLiteral("grf"));
    ReadStarDotStarAsEveryFile(OpenDialog1);

    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setNameFilters(NameFilters(Res(Str::SaveDialogFilter)));
    SaveDialog1->setDefaultSuffix(QStringLiteral("log"));
    ReadStarDotStarAsEveryFile(SaveDialog1);
    // The classic save dialog replaces an existing log without asking.
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, true);

    // In the strip the design leaves under the report, so that no control of
    // the design moves; FormResize keeps it there.  Under the about panel.
    StatusLine = new QLabel(this);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setTextFormat(Qt::PlainText);
    QPalette maroon = StatusLine->palette();
    maroon.setColor(QPalette::WindowText, kMaroon);
    StatusLine->setPalette(maroon);
    StatusLine->stackUnder(AproposFrame1);
}

void TForm1::CreateCommands() {
    ActionList1 = new QObject(this);
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    // The captions stored here are design values; FormShow sets the real ones.
    acOuvrir = MakeCommand(ActionList1, "acOuvrir", Str::CaptionOpen,
                           {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::CTRL | Qt::Key_O)}, Picture::Open);
    acPaste = MakeCommand(ActionList1, "acPaste", Str::CaptionPaste, {QKeySequence(Qt::CTRL | Qt::Key_V)}, Picture::Paste);
    acSauver = MakeCommand(ActionList1, "acSauver", Str::CaptionSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}, Picture::Save);
    acApropos = MakeCommand(ActionList1, "acApropos", Str::CaptionAbout, {QKeySequence(Qt::Key_F1)}, Picture::About);
    acQuitter = MakeCommand(ActionList1, "acQuitter", Str::CaptionQuit,
                            {QKeySequence(Qt::ALT | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_Q)}, Picture::Quit);
    acSauver->setEnabled(false);
    acApropos->setCheckable(true);
    for (QAction* command : {acOuvrir, acPaste, acSauver, acApropos, acQuitter}) addAction(command);

    connect(acOuvrir, &QAction::triggered, this, &TForm1::acOuvrirExecute);
    connect(acPaste, &QAction::triggered, this, &TForm1::acPasteExecute);
    connect(acSauver, &QAction::triggered, this, &TForm1::acSauverExecute);
    connect(acApropos, &QAction::triggered, this, &TForm1::acAproposExecute);
    connect(acQuitter, &QAction::triggered, this, &TForm1::acQuitterExecute);

    ActionLink::Bind(acOuvrir, OuvrirBtn);
    ActionLink::Bind(acSauver, SaveBtn);
    ActionLink::Bind(acPaste, PasteBtn);
    ActionLink::Bind(acApropos, AproposBtn);
    ActionLink::Bind(acQuitter, CloseBtn);
    ActionLink::Bind(acApropos, AproposFrame1->FermerBtn());
    // The about text can be edited, yet there too the commands' shortcuts
    // come first, as everywhere in the window: Ctrl+V pastes a graph.
    AproposFrame1->AboutText()->installEventFilter(this);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto entry = [this](const char* name, QAction* command) {
        auto* item = new QAction(PopupMenu1);
        item->setObjectName(QLatin1String(name));
        ActionLink::Bind(command, item);
        PopupMenu1->addAction(item);
    };
    entry("Ouvrir1", acOuvrir);
    entry("Coller1", acPaste);
    entry("Sauver1", acSauver);
    QAction* separator = PopupMenu1->addSeparator();
    separator->setObjectName(QStringLiteral("N1"));
    entry("Apropos1", acApropos);
    entry("Quitter1", acQuitter);

    // After the design's entries: the report's own commands.  Where a text
    // takes Ctrl+C and Ctrl+A itself (the about text), it keeps them.
    acCopier = new QAction(QRes(Str::CaptionCopy), ActionList1);
    acCopier->setObjectName(QStringLiteral("acCopier"));
    acCopier->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    acCopier->setEnabled(false);
    acToutSelectionner = new QAction(QRes(Str::CaptionSelectAll), ActionList1);
    acToutSelectionner->setObjectName(QStringLiteral("acToutSelectionner"));
    acToutSelectionner->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    addAction(acCopier);
    addAction(acToutSelectionner);
    connect(acCopier, &QAction::triggered, Memo1, &QPlainTextEdit::copy);
    connect(acToutSelectionner, &QAction::triggered, Memo1, &QPlainTextEdit::selectAll);
    connect(Memo1, &QPlainTextEdit::copyAvailable, acCopier, &QAction::setEnabled);
    QAction* reportSeparator = PopupMenu1->addSeparator();
    reportSeparator->setObjectName(QStringLiteral("N2"));
    entry("Copier1", acCopier);
    entry("ToutSelectionner1", acToutSelectionner);

    // Then the report's details, on or off from one run to the next.
    acDetails = new QAction(QRes(Str::CaptionDetails), ActionList1);
    acDetails->setObjectName(QStringLiteral("acDetails"));
    acDetails->setToolTip(QRes(Str::HintDetails));
    acDetails->setCheckable(true);
    acDetails->setChecked(Settings().value(QLatin1String(kDetailsKey), false).toBool());
    connect(acDetails, &QAction::triggered, this, &TForm1::acDetailsExecute);
    QAction* detailsSeparator = PopupMenu1->addSeparator();
    detailsSeparator->setObjectName(QStringLiteral("N3"));
    entry("Details1", acDetails);

    AppEvents1 = new ApplicationEvents(this, [this]() { AppEvents1Activate(); });
}

void TForm1::FormCreate() {
    FormResize();
    // A damaged catalog source is told and the window opens all the same,
    // naming filters from what could be read.
    catalog_ = std::make_unique<FilterCatalog>();
    try {
        BuildInstalledCatalog(*catalog_);
    } catch (const CatalogBuildError& e) {
        ShowError(Q(e.what()));
    }
}

void TForm1::FormDestroy() {
    if (catalog_) catalog_->Release();
    catalog_.reset();
}

void TForm1::FormShow() {
    programVersion_ = Q(ProgramVersionText());
    lastUpdateText_ = Q(dates_.ShortDate(LocalDateTime{2009, 1, 20, 0, 0, 0, 2}));

    const std::string product(Res(Str::ProductName));
    const std::string author(Res(Str::Author));
    acOuvrir->setText(QRes(Str::CaptionOpen));
    acOuvrir->setToolTip(QRes(Str::HintOpen));
    acPaste->setText(QRes(Str::CaptionPaste));
    acPaste->setToolTip(QRes(Str::HintPaste));
    acSauver->setText(QRes(Str::CaptionSave));
    acSauver->setToolTip(Q(FormatRes(Str::HintSave, {currentFileName_.toStdString()})));
    acApropos->setText(QRes(Str::CaptionAbout));
    acApropos->setToolTip(Q(FormatRes(Str::HintAbout, {product, author})));
    acQuitter->setText(QRes(Str::CaptionQuit));
    acQuitter->setToolTip(Q(FormatRes(Str::HintQuit, {product})));

    setWindowTitle(QRes(Str::ProductName) + QLatin1Char(' ') + programVersion_ + QLatin1Char(' ') + QRes(Str::By) +
                   QLatin1Char(' ') + QRes(Str::Author));
    AproposFrame1->InitTexts();
    setAcceptDrops(true);
}

void TForm1::FormResize() {
    PageControl1->resize(width() - 20, height() - PageControl1->y() - 20);
    StatusLine->setGeometry(PageControl1->x(), PageControl1->geometry().bottom() + 3, PageControl1->width(), 16);
    ShowStatus();
    // Stated in the window's outer width, frame included.
    CloseBtn->move(OuterWidth(*this) - 112, CloseBtn->y());
    AproposBtn->move(OuterWidth(*this) - 216, AproposBtn->y());
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Panel1->setGeometry(0, 0, width(), Panel1->height());  // aligned to the top
    FormResize();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    WMDROPFILES(event->mimeData());
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) { PopupMenu1->popup(event->globalPos()); }

void TForm1::OpenStartupFile(const QString& path) {
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(path)});
    WMDROPFILES(&files);
}

void TForm1::WMDROPFILES(const QMimeData* files) {
    // Only the first file counts, whatever its extension.
    const QString path = FirstFileOf(files);
    if (!path.isEmpty()) AnalyzeGraphFile(path);
}

void TForm1::AppEvents1Activate() {
    bool fileList = false;
    try {
        fileList = HoldsFileList(QGuiApplication::clipboard()->mimeData());
    } catch (...) {
    }
    // Only the button: the command, its shortcut and its menu entry stay.
    PasteBtn->setEnabled(fileList);
}

void TForm1::acOuvrirExecute() {
    if (OpenDialog1->exec() != QDialog::Accepted) return;
    const QStringList files = OpenDialog1->selectedFiles();
    if (!files.isEmpty() && !files.first().isEmpty()) AnalyzeGraphFile(files.first());
}

void TForm1::acPasteExecute() {
    QString path;
    try {
        path = FirstFileOf(QGuiApplication::clipboard()->mimeData());
    } catch (...) {
        // A clipboard that cannot be read holds nothing to paste.
        path.clear();
    }
    if (!path.isEmpty()) AnalyzeGraphFile(path);
}

QString TForm1::ProposedLogName(const QString& fileName) {
    const qsizetype nameStart = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? fileName.left(dot) : fileName;
    return stem + QStringLiteral(".log");
}

void TForm1::acSauverExecute() {
    const QString proposed = ProposedLogName(currentFileName_);
    SaveDialog1->setDirectory(QFileInfo(proposed).absolutePath());
    SaveDialog1->selectFile(proposed);
    if (SaveDialog1->exec() != QDialog::Accepted) return;
    const QStringList files = SaveDialog1->selectedFiles();
    if (!files.isEmpty() && !files.first().isEmpty()) SaveLog(files.first());
}

void TForm1::SaveLog(const QString& fileName) {
    // Written beside the target and renamed over it at the end, so that a
    // failed save leaves an existing file as it was.
    try {
        OutputFile log(PathFromQString(fileName));
        log.CheckTarget({PathFromQString(currentFileName_)});  // never over the graph itself
        WriteRtfReport(log.Stream(), report_);
        log.Commit();
    } catch (const OutputError& e) {
        ShowError(Q(FormatRes(Str::SaveLogError, {QDir::toNativeSeparators(fileName).toStdString(), e.reason()})));
    }
}

void TForm1::ShowError(const QString& message) {
    QString text = message;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // the string table's line ends
    // Before the first show the window has no caption yet.
    const QString title = windowTitle().isEmpty() ? Q(Res(Str::ProductName)) : windowTitle();
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

void TForm1::acAproposExecute() {
    // The command has already flipped its check mark.
    if (acApropos->isChecked())
        AproposFrame1->ShowPanel(programVersion_, lastUpdateText_);
    else
        AproposFrame1->HidePanel();
    // The panel leaves the window's last pixels uncovered: no half status line there.
    StatusLine->setVisible(!acApropos->isChecked());
}

void TForm1::acQuitterExecute() { close(); }

void TForm1::acDetailsExecute() {
    Settings().setValue(QLatin1String(kDetailsKey), acDetails->isChecked());
    // The report follows at once: the same file again, with or without them.
    if (!currentFileName_.isEmpty()) AnalyzeGraphFile(currentFileName_);
}

void TForm1::SetStatus(const QString& text) {
    statusText_ = text;
    StatusLine->setToolTip(text);
    ShowStatus();
}

void TForm1::ShowStatus() {
    // A long path gives way in its middle, so that the reason stays whole.
    StatusLine->setText(StatusLine->fontMetrics().elidedText(statusText_, Qt::ElideMiddle, StatusLine->width()));
}

bool TForm1::AnalyzeGraphFile(const QString& path) {
    AnalysisEnvironment env;
    env.catalog = catalog_.get();
    env.dates = &dates_;
    env.programVersion = programVersion_.isEmpty() ? std::string() : programVersion_.toStdString();
    env.observer = this;
    env.details = acDetails->isChecked();
    env.keepGraph = true;  // the Graphe tab draws the connections
    AnalysisResult result;
    try {
        result = quorvel::AnalyzeGraphFile(PathFromQString(path), report_, env);
    } catch (...) {
        // The analysis ends quietly whatever happened; the window is left as
        // after any analysis.
        AnalysisFinished(AnalysisResult{});
        GraphPage1->SetGraph(nullptr, path);
        return false;
    }
    // What was read, stopped analyses included; a file that could not be
    // opened has nothing to draw.
    GraphPage1->SetGraph(result.Reported() ? std::make_shared<const model::Graph>(std::move(result.graph)) : nullptr,
                         path);
    return result.complete;
}

void TForm1::AnalysisStarted(const std::filesystem::path& path) {
    if (!waitCursor_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        waitCursor_ = true;
    }
    currentFileName_ = QStringFromPath(path);
    Label1->setText(currentFileName_ + QStringLiteral("  "));
    Label1->adjustSize();
    acSauver->setToolTip(Q(FormatRes(Str::HintSave, {currentFileName_.toStdString()})));
    Memo1->clear();
}

void TForm1::AnalysisFinished(const AnalysisResult& result) {
    try {
        ShowReport(*Memo1, report_);
    } catch (...) {
        // What could not be shown is lost; the window goes on.
    }
    acCopier->setEnabled(Memo1->textCursor().hasSelection());
    // The reasons are the analysis's own, in English, as the reporter gives them.
    const std::string name = QDir::toNativeSeparators(currentFileName_).toStdString();
    if (result.complete)
        SetStatus({});
    else if (!result.stopped)
        SetStatus(Q(FormatRes(Str::StatusStopped, {name})));
    else if (!result.Reported() || result.stopped->kind == StopKind::NoGraphStream)
        SetStatus(Q(FormatRes(Str::StatusCannotAnalyse, {name, result.stopped->reason})));
    else
        SetStatus(Q(FormatRes(Str::StatusStoppedAt, {name, std::to_string(result.stopped->offset), result.stopped->reason})));
    if (waitCursor_) {
        QGuiApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
    acSauver->setEnabled(true);
}

}  // namespace quorvel::ui
