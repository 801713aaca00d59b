#include "ui/GraphPage.hpp"

#include <QAction>
#include <QBoxLayout>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QGraphicsView>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QSvgRenderer>
#include <QThreadPool>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <string>

#include "diagram/GraphDiagram.hpp"
#include "diagram/GraphLayout.hpp"
#include "platform/OutputFile.hpp"
#include "resources/Strings.hpp"
#include "ui/Pictures.hpp"
#include "ui/ShellFiles.hpp"

namespace quorvel::ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString QRes(Str id) { return Q(Res(id)); }

// The picture's units are Graphviz's points, shown one pixel each at 100 %.
constexpr double kMinZoom = 0.02;
constexpr double kMaxZoom = 8.0;
constexpr double kSceneMargin = 8.0;
// A PNG at twice the layout's size, less when that would pass QPainter's
// coordinate range or about 1 GiB of pixels; never under one pixel a point.
constexpr double kPngScale = 2.0;
constexpr double kMaxPngSide = 32767.0;
constexpr double kMaxPngPixels = 256.0 * 1024 * 1024;

// The longest a layout the user asked for may take.
constexpr double kLongestLayoutSeconds = 3600;

std::atomic<int> runningLayouts{0};


// Graphviz lays out one graph at a time (its library is not thread-safe), so
// layouts queue on one thread of their own and leave the shared pool to Qt.
QThreadPool& LayoutPool() {
    static QThreadPool pool;
    static const bool one = (pool.setMaxThreadCount(1), true);
    (void)one;
    return pool;
}

struct LayoutOutcome {
    QByteArray svg;
    QString error;
    bool skipped = false;
};

class GraphView final : public QGraphicsView {
public:
    GraphView(QGraphicsScene* scene, QWidget* parent) : QGraphicsView(scene, parent) {
        setObjectName(QStringLiteral("GraphView"));
        setDragMode(QGraphicsView::ScrollHandDrag);
        // The wheel keeps the point under the pointer itself (below); Qt's
        // own anchor reads the pointer from the screen, not from the event.
        setTransformationAnchor(QGraphicsView::NoAnchor);
        setResizeAnchor(QGraphicsView::AnchorViewCenter);
        setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        setBackgroundBrush(Qt::white);
        // Drops belong to the window, over the picture too.
        setAcceptDrops(false);
        viewport()->setAcceptDrops(false);
    }

protected:
    void wheelEvent(QWheelEvent* event) override {
        if (!(event->modifiers() & Qt::ControlModifier)) {
            QGraphicsView::wheelEvent(event);
            return;
        }
        event->accept();
        const int delta = event->angleDelta().y();
        const double now = transform().m11();
        if (delta == 0 || now <= 0) return;
        // Four notches of the wheel double or halve the picture.
        const double next = std::clamp(now * std::pow(2.0, delta / 480.0), kMinZoom, kMaxZoom);
        const QPoint at = event->position().toPoint();
        const QPointF under = mapToScene(at);
        scale(next / now, next / now);
        const QPoint moved = mapFromScene(under) - at;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + moved.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() + moved.y());
    }
};

// The drawing as a PNG, on white; empty with `why` set when it cannot be made.
QByteArray PngBytes(QSvgRenderer& renderer, QString& why) {
    const QSizeF points = renderer.viewBoxF().size();
    const double scale = std::min({kPngScale, kMaxPngSide / points.width(), kMaxPngSide / points.height(),
                                   std::sqrt(kMaxPngPixels / (points.width() * points.height()))});
    const QSize pixels(static_cast<int>(std::ceil(points.width() * scale)),
                       static_cast<int>(std::ceil(points.height() * scale)));
    const auto tooLarge = [&]() {
        why = Q(FormatRes(Str::ImageTooLarge, {std::to_string(std::lround(points.width())),
                                                std::to_string(std::lround(points.height()))}));
        return QByteArray();
    };
    if (scale < 1.0) return tooLarge();
    QImage image(pixels, QImage::Format_RGB32);
    if (image.isNull()) return tooLarge();
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        why = QStringLiteral("the PNG could not be encoded");
        return {};
    }
    return bytes;
}

}  // namespace

int TGraphPage::LayoutsRunning() { return runningLayouts.load(); }

TGraphPage::TGraphPage(QWidget* parent, std::function<void(const QString&)> showError)
    : QWidget(parent),
      showError_(std::move(showError)),
      generation_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
    setObjectName(QStringLiteral("GraphPage1"));

    stack_ = new QStackedWidget(this);
    stack_->setObjectName(QStringLiteral("GraphStack"));

    messagePage_ = new QWidget(stack_);
    message_ = new QLabel(messagePage_);
    message_->setObjectName(QStringLiteral("GraphMessage"));
    message_->setTextFormat(Qt::PlainText);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    progress_ = new QProgressBar(messagePage_);
    progress_->setObjectName(QStringLiteral("GraphProgress"));
    progress_->setRange(0, 0);  // Graphviz tells nothing of its progress
    progress_->setTextVisible(false);
    progress_->setFixedWidth(240);
    drawBtn_ = new QPushButton(QRes(Str::CaptionDraw), messagePage_);
    drawBtn_->setObjectName(QStringLiteral("DrawBtn"));
    connect(drawBtn_, &QPushButton::clicked, this, [this]() { StartLayout(false); });
    auto* column = new QVBoxLayout(messagePage_);
    column->addStretch();
    column->addWidget(message_);
    column->addWidget(progress_, 0, Qt::AlignHCenter);
    column->addWidget(drawBtn_, 0, Qt::AlignHCenter);
    column->addStretch();
    stack_->addWidget(messagePage_);

    scene_ = new QGraphicsScene(this);
    scene_->setObjectName(QStringLiteral("GraphScene"));
    view_ = new GraphView(scene_, stack_);
    stack_->addWidget(view_);

    acEnregistrerImage_ = new QAction(QRes(Str::CaptionSaveImage), this);
    acEnregistrerImage_->setObjectName(QStringLiteral("acEnregistrerImage"));
    acEnregistrerImage_->setToolTip(QRes(Str::HintSaveImage));
    acEnregistrerImage_->setIcon(ImageListIcon(Picture::Save));
    connect(acEnregistrerImage_, &QAction::triggered, this, &TGraphPage::ChooseImageFile);
    acAjuster_ = new QAction(QRes(Str::CaptionFit), this);
    acAjuster_->setObjectName(QStringLiteral("acAjuster"));
    acAjuster_->setToolTip(QRes(Str::HintFit));
    // Bound to the page: Ctrl+0 answers only while the picture is shown.
    acAjuster_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    addAction(acAjuster_);
    connect(acAjuster_, &QAction::triggered, this, &TGraphPage::FitPicture);

    auto* saveBtn = new QPushButton(this);
    saveBtn->setObjectName(QStringLiteral("SaveImageBtn"));
    auto* fitBtn = new QPushButton(this);
    fitBtn->setObjectName(QStringLiteral("FitBtn"));
    for (auto [button, command] : {std::pair{saveBtn, acEnregistrerImage_}, std::pair{fitBtn, acAjuster_}}) {
        button->setText(command->text());
        button->setToolTip(command->toolTip());
        button->setIcon(command->icon());
        connect(button, &QPushButton::clicked, command, &QAction::trigger);
        connect(command, &QAction::enabledChanged, button, &QPushButton::setEnabled);
    }

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("GraphMenu"));
    menu_->addAction(acEnregistrerImage_);
    menu_->addAction(acAjuster_);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(view_->viewport()->mapToGlobal(at)); });

    fitBtn->setMinimumHeight(saveBtn->sizeHint().height());
    auto* help = new QLabel(QRes(Str::GraphHelp), this);
    help->setObjectName(QStringLiteral("GraphHelp"));
    QPalette grey = help->palette();
    grey.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    help->setPalette(grey);

    auto* commands = new QHBoxLayout;
    commands->setContentsMargins(0, 4, 0, 0);
    commands->addWidget(saveBtn);
    commands->addWidget(fitBtn);
    commands->addSpacing(8);
    commands->addWidget(help, 1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(stack_, 1);
    page->addLayout(commands);

    if (diagram::LayoutAvailable()) {
        SetState(State::Empty);
        message_->clear();  // nothing analysed yet
    } else {
        SetState(State::Unavailable);
    }
}

// Layouts still queued or running for this page are stopped: nobody will
// look at them.
TGraphPage::~TGraphPage() {
    ++*generation_;
    runningLayouts -= awaited_;
}

void TGraphPage::SetGraph(std::shared_ptr<const model::Graph> graph, const QString& fileName) {
    const std::uint64_t generation = ++*generation_;
    graph_ = std::move(graph);
    fileName_ = fileName;
    svg_.clear();
    scene_->clear();  // the items first: they draw through the renderer
    delete renderer_;
    renderer_ = nullptr;
    if (!diagram::LayoutAvailable()) {
        SetState(State::Unavailable);
        return;
    }
    if (!graph_ || (graph_->filters.empty() && graph_->connections.empty())) {
        SetState(State::Empty);
        return;
    }
    SetState(State::Waiting);
    // Later, not inside the analysis: the question for a big graph is a
    // dialog of its own.
    if (active_)
        QMetaObject::invokeMethod(
            this, [this, generation]() { if (generation == *generation_) StartLayout(true); }, Qt::QueuedConnection);
}

void TGraphPage::SetActive(bool active) {
    active_ = active;
    if (active_ && state_ == State::Waiting) {
        const std::uint64_t generation = *generation_;
        QMetaObject::invokeMethod(
            this, [this, generation]() { if (generation == *generation_) StartLayout(true); }, Qt::QueuedConnection);
    }
}

void TGraphPage::StartLayout(bool ask) {
    if ((state_ != State::Waiting && state_ != State::Declined) || !graph_) return;
    const std::uint64_t generation = *generation_;
    const diagram::LayoutEstimate estimate = diagram::EstimateLayout(*graph_);
    const bool big = estimate.seconds > kAskAboveSeconds;
    if (ask && big) {
        QMessageBox box(QMessageBox::Question, window()->windowTitle(),
                        Q(FormatRes(Str::GraphLayoutQuestion,
                                    {std::to_string(estimate.nodes), std::to_string(estimate.connections),
                                     diagram::DurationText(estimate.seconds)})),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("LayoutQuestion"));
        box.button(QMessageBox::Yes)->setText(QRes(Str::CaptionYes));
        box.button(QMessageBox::No)->setText(QRes(Str::CaptionNo));
        box.setDefaultButton(QMessageBox::Yes);
        const bool yes = box.exec() == QMessageBox::Yes;
        if (generation != *generation_) return;  // another graph came meanwhile
        if (!yes) {
            SetState(State::Declined);
            return;
        }
    }
    SetState(State::Running);

    // Counted until its outcome is taken here, not when the worker is done:
    // whoever waits for the layouts to settle then finds the picture shown.
    ++runningLayouts;
    ++awaited_;
    const std::string title = QFileInfo(fileName_).fileName().toStdString();
    // A big graph the user asked for gets ample time, a minute at least, for
    // an estimate is only one; any graph is stopped as soon as a newer
    // analysis replaces it.
    diagram::LayoutLimits limits;
    if (big) limits.seconds = std::min(kLongestLayoutSeconds, std::max(60.0, 10 * estimate.seconds));
    limits.cancelled = [generation, latest = generation_]() { return *latest != generation; };
    QFuture<LayoutOutcome> future =
        QtConcurrent::run(&LayoutPool(), [graph = graph_, title, generation, latest = generation_, limits]() {
            LayoutOutcome outcome;
            // Replaced while it queued behind another graph: not laid out.
            if (*latest != generation) {
                outcome.skipped = true;
                return outcome;
            }
            try {
                const std::string svg = diagram::RenderSvg(diagram::DotText(*graph, title), limits);
                outcome.svg = QByteArray(svg.data(), static_cast<qsizetype>(svg.size()));
            } catch (const diagram::LayoutError& e) {
                outcome.skipped = e.kind() == diagram::LayoutError::Kind::Cancelled;
                outcome.error = QString::fromUtf8(e.what());
            } catch (const std::exception& e) {
                outcome.error = QString::fromUtf8(e.what());
            }
            return outcome;
        });
    auto* watcher = new QFutureWatcher<LayoutOutcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation]() {
        watcher->deleteLater();
        --runningLayouts;
        --awaited_;
        const LayoutOutcome outcome = watcher->result();
        if (!outcome.skipped) LayoutArrived(generation, outcome.svg, outcome.error);
    });
    watcher->setFuture(future);
}

void TGraphPage::LayoutArrived(std::uint64_t generation, const QByteArray& svg, const QString& error) {
    // The picture of a graph the window no longer shows.
    if (generation != *generation_ || state_ != State::Running) return;
    if (!error.isEmpty()) {
        failure_ = Q(FormatRes(Str::GraphLayoutFailed, {error.toStdString()}));
        SetState(State::Failed);
        return;
    }
    ShowPicture(svg);
}

void TGraphPage::ShowPicture(const QByteArray& svg) {
    svg_ = svg;
    renderer_ = new QSvgRenderer(svg_, this);
    if (!renderer_->isValid()) {
        failure_ = Q(FormatRes(Str::GraphLayoutFailed, {"Graphviz's SVG cannot be read"}));
        SetState(State::Failed);
        return;
    }
    QRectF drawn;
    // Every element at the place Graphviz gave it: its bounds already hold
    // its own transforms and, like its drawing, none of its parents'.
    const auto place = [&](const QString& id, const char* kind, qreal z, const QString& hint) {
        if (!renderer_->elementExists(id)) return false;
        auto* item = new QGraphicsSvgItem;
        item->setSharedRenderer(renderer_);
        item->setElementId(id);
        const QRectF bounds = renderer_->boundsOnElement(id);
        item->setPos(bounds.topLeft());
        item->setZValue(z);
        item->setData(0, QString::fromLatin1(kind));
        if (!hint.isEmpty()) item->setToolTip(hint);
        scene_->addItem(item);
        drawn |= bounds;
        return true;
    };
    for (std::size_t i = 0; i < graph_->filters.size(); ++i) {
        const model::Filter& f = graph_->filters[i];
        place(QStringLiteral("filter-%1").arg(i + 1), "filter", 1, Q(f.id) + QStringLiteral("  ") + Q(f.name));
    }
    int unresolved = 0;
    while (place(QStringLiteral("unresolved-%1").arg(unresolved + 1), "unresolved", 1, {})) ++unresolved;
    // Under the filters, so that a line never crosses a box's text.
    for (std::size_t k = 1; k <= graph_->connections.size(); ++k)
        place(QStringLiteral("edge%1").arg(k), "connection", 0, {});
    scene_->setSceneRect(drawn.adjusted(-kSceneMargin, -kSceneMargin, kSceneMargin, kSceneMargin));
    SetState(State::Shown);

    // At 100 %, where its texts read: the whole graph when it fits, else
    // its sources (the graph reads left to right); Ctrl+0 shows it all.
    view_->resetTransform();
    const QRectF picture = scene_->sceneRect();
    const double across = view_->viewport()->width() / 2.0;
    view_->centerOn(std::min(picture.center().x(), picture.left() + across), picture.center().y());
}

void TGraphPage::FitPicture() {
    if (state_ != State::Shown) return;
    // Twice: the first fit may take the scroll bars away, and with them
    // the room the second one fills.
    view_->fitInView(scene_->sceneRect(), Qt::KeepAspectRatio);
    view_->fitInView(scene_->sceneRect(), Qt::KeepAspectRatio);
}

void TGraphPage::ShowMessage(const QString& text, bool busy, bool drawButton) {
    message_->setText(text);
    progress_->setVisible(busy);
    drawBtn_->setVisible(drawButton);
    stack_->setCurrentWidget(messagePage_);
}

void TGraphPage::SetState(State state) {
    state_ = state;
    switch (state) {
        case State::Empty: ShowMessage(QRes(Str::GraphNothingToDraw), false, false); break;
        case State::Waiting: ShowMessage({}, false, false); break;
        case State::Declined:
            ShowMessage(Q(FormatRes(Str::GraphLayoutDeclined, {std::to_string(graph_->filters.size())})), false, true);
            break;
        case State::Running: ShowMessage(QRes(Str::GraphLayoutRunning), true, false); break;
        case State::Failed: ShowMessage(failure_, false, false); break;
        case State::Unavailable: ShowMessage(QRes(Str::GraphNotInThisBuild), false, false); break;
        case State::Shown: stack_->setCurrentWidget(view_); break;
    }
    acEnregistrerImage_->setEnabled(state == State::Shown);
    acAjuster_->setEnabled(state == State::Shown);
}

void TGraphPage::ChooseImageFile() {
    if (state_ != State::Shown) return;
    const QString svgFilter = QRes(Str::ImageFilterSvg);
    const QString pngFilter = QRes(Str::ImageFilterPng);
    if (!imageDialog_) {
        imageDialog_ = new QFileDialog(this);
        imageDialog_->setObjectName(QStringLiteral("ImageDialog"));
        imageDialog_->setAcceptMode(QFileDialog::AcceptSave);
        imageDialog_->setFileMode(QFileDialog::AnyFile);
        imageDialog_->setNameFilters({svgFilter, pngFilter});
        imageDialog_->setDefaultSuffix(QStringLiteral("svg"));
        connect(imageDialog_, &QFileDialog::filterSelected, imageDialog_, [this, pngFilter](const QString& filter) {
            imageDialog_->setDefaultSuffix(filter == pngFilter ? QStringLiteral("png") : QStringLiteral("svg"));
        });
    }
    // Beside the graph, named after it, in the format chosen last.
    const QFileInfo graph(fileName_);
    imageDialog_->setDirectory(graph.absolutePath());
    imageDialog_->selectFile(graph.completeBaseName() + QLatin1Char('.') + imageDialog_->defaultSuffix());
    if (imageDialog_->exec() != QDialog::Accepted) return;
    const QString chosen = imageDialog_->selectedFiles().value(0);
    if (chosen.isEmpty()) return;
    // The name's extension decides; the filter, for a name without either.
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    const bool png = suffix == QLatin1String("png") ||
                     (suffix != QLatin1String("svg") && imageDialog_->selectedNameFilter() == pngFilter);
    SaveImage(chosen, png);
}

void TGraphPage::SaveImage(const QString& fileName, bool png) {
    if (state_ != State::Shown) return;
    const std::string shown = QDir::toNativeSeparators(fileName).toStdString();
    QByteArray bytes = svg_;
    if (png) {
        QString why;
        bytes = PngBytes(*renderer_, why);
        if (bytes.isEmpty()) {
            showError_(Q(FormatRes(Str::SaveImageError, {shown, why.toStdString()})));
            return;
        }
    }
    // Written beside the target and renamed over it, as the log is.
    try {
        OutputFile image(PathFromQString(fileName));
        image.CheckTarget({PathFromQString(fileName_)});  // never over the graph itself
        image.Stream().write(bytes.constData(), bytes.size());
        image.Commit();
    } catch (const OutputError& e) {
        showError_(Q(FormatRes(Str::SaveImageError, {shown, e.reason()})));
    }
}

}  // namespace quorvel::ui
