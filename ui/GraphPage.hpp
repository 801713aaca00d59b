// TGraphPage, the window's second view: the graph of the last analysis as a
// picture.  Graphviz lays it out from a worker thread, in a process of its
// own under a limit of time and memory (it may take seconds, or hours for a
// few filters tied by many connections); the page says so meanwhile, and a
// layout whose graph has been replaced by a newer analysis is stopped.  The picture is a scene with one item per filter, per unresolved
// connection end and per connection, all drawn from Graphviz's own SVG; it
// zooms with Ctrl+wheel around the pointer, fits the view with Ctrl+0, pans
// by dragging, and saves as SVG or PNG.
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "diagram/GraphLayout.hpp"
#include "model/GraphModel.hpp"

class QAction;
class QFileDialog;
class QGraphicsScene;
class QGraphicsView;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QSvgRenderer;

namespace quorvel::ui {

class TGraphPage final : public QWidget {
    Q_OBJECT
public:
    // A graph whose layout is expected to take longer than this is drawn
    // only if the user says so, and then given longer.
    static constexpr double kAskAboveSeconds = diagram::kDefaultLayoutSeconds;

    // Errors (an image that cannot be written) go to `showError`, the
    // window's error box.
    TGraphPage(QWidget* parent, std::function<void(const QString&)> showError);
    ~TGraphPage() override;

    // The graph of the last analysis; null when its file could not be
    // opened.  `fileName` names the picture and the image proposed on saving.
    // A layout still running for an older graph will be dropped.
    void SetGraph(std::shared_ptr<const model::Graph> graph, const QString& fileName);

    // The page is the one the user sees: a graph waiting for its layout gets
    // it now (after a question, for a big graph).  Hidden, nothing is laid out.
    void SetActive(bool active);

    // The whole picture in the view.
    void FitPicture();

    // Writes the picture to `fileName`: the SVG as Graphviz made it, or a PNG
    // at twice the layout's size on white.  Errors go to the error box.
    void SaveImage(const QString& fileName, bool png);

    // Layouts queued or running whose outcome a page still awaits; a
    // program that quits does not wait for them (their Graphviz process
    // dies with it).
    static int LayoutsRunning();

private:
    enum class State { Empty, Waiting, Declined, Running, Shown, Failed, Unavailable };

    void StartLayout(bool ask);
    void LayoutArrived(std::uint64_t generation, const QByteArray& svg, const QString& error);
    void ShowPicture(const QByteArray& svg);
    void ShowMessage(const QString& text, bool busy, bool drawButton);
    void SetState(State state);
    void ChooseImageFile();

    std::function<void(const QString&)> showError_;
    QStackedWidget* stack_ = nullptr;
    QWidget* messagePage_ = nullptr;
    QLabel* message_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* drawBtn_ = nullptr;
    QGraphicsView* view_ = nullptr;
    QGraphicsScene* scene_ = nullptr;
    QSvgRenderer* renderer_ = nullptr;
    QAction* acEnregistrerImage_ = nullptr;
    QAction* acAjuster_ = nullptr;
    QMenu* menu_ = nullptr;
    QFileDialog* imageDialog_ = nullptr;

    std::shared_ptr<const model::Graph> graph_;
    QString fileName_;
    QByteArray svg_;
    QString failure_;
    State state_ = State::Empty;
    int awaited_ = 0;  // layouts started here whose outcome has not come back
    bool active_ = false;
    // The analysis the page shows; a worker reads it to skip a layout whose
    // graph has been replaced before it began.
    std::shared_ptr<std::atomic<std::uint64_t>> generation_;
};

}  // namespace quorvel::ui
