// The window's Graphe tab: the graph of the last analysis drawn once the
// user looks at it, laid out off the window's thread, asked about when it is
// big, zoomed, fitted and saved as an image.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include <algorithm>

#include "tests/ui/UiTestSupport.hpp"
#include "tests/support/HostileGraphs.hpp"
#include "ui/GraphPage.hpp"

using namespace quorvel;
using namespace quorvel::uitest;

namespace {

const QString kSample = QStringLiteral(QUORVEL_SOURCE_DIR "/samples/capture.grf");
constexpr int kSampleFilters = 11;
constexpr int kSampleConnections = 10;

QList<QGraphicsItem*> ItemsOf(QObject& form, const char* kind) {
    QList<QGraphicsItem*> found;
    for (QGraphicsItem* item : Child<QGraphicsView>(form, "GraphView")->scene()->items())
        if (item->data(0).toString() == QLatin1String(kind)) found.append(item);
    return found;
}

int Filters(QObject& form) { return static_cast<int>(ItemsOf(form, "filter").size()); }

// Alt+G, as a user switches to the tab.
void ShowGraphTab(QWidget& form) { QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier); }

// Every layout asked for started, done, and what it handed back delivered.
void SettleLayouts() {
    QCoreApplication::processEvents();  // a layout the tab has queued starts
    QTRY_COMPARE_WITH_TIMEOUT(ui::TGraphPage::LayoutsRunning(), 0, 120000);
}

void Wheel(QGraphicsView* view, const QPoint& at, int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &event);
}

}  // namespace

class GraphTabTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    // No test leaves a layout to the next.
    void cleanup() { SettleLayouts(); }

    void pictureHasOneItemPerFilterRead_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("filters");
        QTest::addColumn<int>("connections");
        QTest::newRow("sample") << kSample << kSampleFilters << kSampleConnections;
        QTest::newRow("stopped in its connections") << "cut" << kSampleFilters << 0;
        QTest::newRow("cannot be opened") << "missing" << 0 << 0;
    }
    void pictureHasOneItemPerFilterRead() {
        QFETCH(QString, file);
        QFETCH(int, filters);
        QFETCH(int, connections);
        if (file == "cut") {
            // The sample cut just after its CONNECTIONS heading.
            QFile sample(kSample);
            QVERIFY(sample.open(QIODevice::ReadOnly));
            QByteArray bytes = sample.readAll();
            const QByteArray heading(reinterpret_cast<const char*>(u"CONNECTIONS"), 22);
            const qsizetype at = bytes.indexOf(heading);
            QVERIFY(at > 0);
            bytes.truncate(at + heading.size() + 8);
            file = WriteFile(dir_, QStringLiteral("cut.grf"), testing::Bytes(bytes.begin(), bytes.end()));
        }
        if (file == "missing") file = dir_.filePath(QStringLiteral("missing.grf"));
        TestForm form;
        QVERIFY(ShowActive(form));
        // Nothing is laid out while the report is in front.
        form.AnalyzeGraphFile(file);
        QTest::qWait(300);
        QCOMPARE(Filters(form), 0);
        ShowGraphTab(form);
        SettleLayouts();
        QVERIFY2(Filters(form) == filters, qPrintable(Child<QLabel>(form, "GraphMessage")->text()));
        QCOMPARE(ItemsOf(form, "connection").size(), connections);
        // Each box where Graphviz put it: no two of them overlap.
        const QList<QGraphicsItem*> boxes = ItemsOf(form, "filter");
        for (qsizetype i = 0; i < boxes.size(); ++i)
            for (qsizetype j = i + 1; j < boxes.size(); ++j)
                QVERIFY(!boxes[i]->sceneBoundingRect().intersects(boxes[j]->sceneBoundingRect()));
    }

    void newerAnalysisWinsOverAnOlderLayout_data() {
        QTest::addColumn<QString>("newer");
        QTest::addColumn<int>("filters");
        QTest::newRow("a file that cannot be opened") << "missing" << 0;
        QTest::newRow("the sample") << kSample << kSampleFilters;
    }
    void newerAnalysisWinsOverAnOlderLayout() {
        QFETCH(QString, newer);
        QFETCH(int, filters);
        if (newer == "missing") newer = dir_.filePath(QStringLiteral("missing.grf"));
        // Graphviz would take it half a minute and more: asked for, then abandoned.
        const QString older = WriteFile(dir_, QStringLiteral("older.grf"), testing::RandomConnectionsFile(30, 500));
        TestForm form;
        QVERIFY(ShowActive(form));
        ShowGraphTab(form);
        auto asked = OnModal(QStringLiteral("LayoutQuestion"), [](QWidget* w) {
            qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        }, 10000);
        form.AnalyzeGraphFile(older);
        QTRY_VERIFY(*asked);
        QTRY_VERIFY(ui::TGraphPage::LayoutsRunning() > 0);
        QCOMPARE(Filters(form), 0);  // the older picture is still to come
        QElapsedTimer clock;
        clock.start();
        form.AnalyzeGraphFile(newer);
        QTRY_COMPARE_WITH_TIMEOUT(ui::TGraphPage::LayoutsRunning(), 0, 8000);
        QCOMPARE(Filters(form), filters);
        QVERIFY2(clock.elapsed() < 8000, "the older layout was waited for");
    }

    void bigGraphIsLaidOutOnlyIfTheUserSaysSo_data() {
        QTest::addColumn<int>("connections");
        QTest::addColumn<QString>("answer");  // empty: no question expected
        QTest::addColumn<int>("drawn");
        // 500 filters and 620 connections between them at random: about
        // 14 s by the estimate, under 2 s in fact (a minute under the
        // sanitizers, within what a layout the user asked for may take).
        QTest::newRow("500 filters, 500 connections: no question") << 500 << QString() << 500;
        QTest::newRow("500 filters, 620 connections, Non") << 620 << "Non" << 0;
        QTest::newRow("500 filters, 620 connections, Oui") << 620 << "Oui" << 500;
    }
    void bigGraphIsLaidOutOnlyIfTheUserSaysSo() {
        QFETCH(int, connections);
        QFETCH(QString, answer);
        QFETCH(int, drawn);
        const QString path =
            WriteFile(dir_, QStringLiteral("big.grf"), testing::RandomConnectionsFile(500, connections));
        TestForm form;
        QVERIFY(ShowActive(form));
        ShowGraphTab(form);
        QString asked;
        auto seen = OnModal(
            QStringLiteral("LayoutQuestion"),
            [&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                asked = box->text();
                for (QAbstractButton* button : box->buttons())
                    if (button->text() == answer) button->click();
                if (box->isVisible()) box->reject();
            },
            answer.isEmpty() ? 2000 : 10000);
        form.AnalyzeGraphFile(path);
        if (answer.isEmpty()) {
            QTest::qWait(2500);
            QVERIFY(!*seen);
        } else {
            QTRY_VERIFY(*seen);
            QCOMPARE(asked, QString::fromUtf8("Ce graphe compte 500 filtres et %1 connexions ; sa mise en page "
                                              "prendrait environ 14 s. Le dessiner ?")
                                .arg(connections));
        }
        if (answer == "Non") {
            QCOMPARE(ui::TGraphPage::LayoutsRunning(), 0);  // none started
            QVERIFY(Child<QPushButton>(form, "DrawBtn")->isVisible());
        }
        SettleLayouts();
        QVERIFY2(Filters(form) == drawn, qPrintable(Child<QLabel>(form, "GraphMessage")->text()));
    }

    void savedImages_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pngFilter");
        QTest::addColumn<QString>("written");  // empty: an error
        QTest::addColumn<QString>("format");
        QTest::newRow("button, .svg") << "button" << "picture.svg" << false << "picture.svg" << "svg";
        QTest::newRow("menu, .png with the SVG filter") << "menu" << "picture.png" << false << "picture.png" << "png";
        QTest::newRow("no extension, PNG filter") << "button" << "picture" << true << "picture.png" << "png";
        QTest::newRow("missing folder") << "button" << "no-such-folder/picture.svg" << false << QString() << "";
    }
    void savedImages() {
        QFETCH(QString, how);
        QFETCH(QString, name);
        QFETCH(bool, pngFilter);
        QFETCH(QString, written);
        QFETCH(QString, format);
        QTemporaryDir dir;
        TestForm form;
        QVERIFY(ShowActive(form));
        ShowGraphTab(form);
        form.AnalyzeGraphFile(kSample);
        QTRY_COMPARE_WITH_TIMEOUT(Filters(form), kSampleFilters, 30000);

        const QString target = dir.filePath(name);
        QStringList offered;
        auto chosen = OnModal(QStringLiteral("ImageDialog"), [&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            offered = dialog->nameFilters();
            if (pngFilter) {
                auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                types->setFocus();
                QTest::keyClick(types, Qt::Key_Down);
            }
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(target);
            static_cast<QDialog*>(dialog)->accept();
        });
        if (how == "button") {
            QTest::mouseClick(Child<QPushButton>(form, "SaveImageBtn"), Qt::LeftButton);
        } else {
            for (QAction* entry : Child<QMenu>(form, "GraphMenu")->actions())
                if (entry->text() == QString::fromUtf8("Enregistrer l'image…")) entry->trigger();
        }
        QVERIFY(*chosen);
        QCOMPARE(offered, QStringList({"Image SVG (*.svg)", "Image PNG (*.png)"}));

        if (written.isEmpty()) {
            QCOMPARE(form.errors.size(), 1);
            QVERIFY2(form.errors[0].contains(QDir::toNativeSeparators(target)), qPrintable(form.errors[0]));
            QVERIFY(QDir(dir.path()).isEmpty());
            return;
        }
        QVERIFY(form.errors.isEmpty());
        // The image alone: no temporary file left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({written}));
        QFile file(dir.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (format == "svg") {
            QXmlStreamReader xml(bytes);
            QVERIFY(xml.readNextStartElement());
            QCOMPARE(xml.name(), QLatin1String("svg"));
            while (!xml.atEnd()) xml.readNext();
            QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
            QVERIFY(bytes.contains("id=\"filter&#45;11\""));
        } else {
            QImage image;
            QVERIFY(image.loadFromData(bytes, "PNG"));
            // Twice the layout's size, the drawing on white.
            const double across = image.width() / Child<QGraphicsView>(form, "GraphView")->sceneRect().width();
            QVERIFY2(across > 1.9 && across < 2.1, qPrintable(QString::number(across)));
            QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
            const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
            bool drawn = false;
            for (int y = 0; y < grey.height() && !drawn; ++y)
                drawn = std::any_of(grey.constScanLine(y), grey.constScanLine(y) + grey.width(), [](uchar v) { return v < 128; });
            QVERIFY(drawn);
        }
    }

    void ctrlWheelZoomsAroundThePointerAndCtrl0Fits() {
        TestForm form;
        QVERIFY(ShowActive(form));
        ShowGraphTab(form);
        form.AnalyzeGraphFile(kSample);
        QTRY_COMPARE_WITH_TIMEOUT(Filters(form), kSampleFilters, 30000);
        auto* view = Child<QGraphicsView>(form, "GraphView");
        QCOMPARE(view->transform().m11(), 1.0);  // opens at 100 %, where its texts read

        const QPoint at(view->viewport()->width() / 3, view->viewport()->height() / 2);
        const QPointF under = view->mapToScene(at);
        Wheel(view, at, 240, Qt::ControlModifier);
        QVERIFY(view->transform().m11() > 1.2);
        QVERIFY((view->mapFromScene(under) - at).manhattanLength() <= 2);
        // Without Ctrl the wheel scrolls.
        const qreal zoom = view->transform().m11();
        Wheel(view, at, -120, Qt::NoModifier);
        QCOMPARE(view->transform().m11(), zoom);

        QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
        const QRect shown = view->mapFromScene(view->sceneRect()).boundingRect();
        const QRect room = view->viewport()->rect();
        QVERIFY2(room.adjusted(-1, -1, 1, 1).contains(shown),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                .arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height())
                                .arg(room.width()).arg(room.height())));
        // Qt leaves a margin of 2 pixels on each side.
        QVERIFY2(room.width() - shown.width() <= 6 || room.height() - shown.height() <= 6,
                 qPrintable(QStringLiteral("%1x%2 in %3x%4").arg(shown.width()).arg(shown.height()).arg(room.width()).arg(room.height())));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    GraphTabTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GraphTabTest.moc"
