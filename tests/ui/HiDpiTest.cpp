// The window on a screen at twice the density (CTest runs this with
// QT_SCALE_FACTOR=2): the design's sizes are device-independent, so the
// window is twice as large in the screen's pixels, its texts are drawn twice
// as tall, and its pictures come from their large copies, not enlarged.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "tests/ui/UiTestSupport.hpp"

using namespace quorvel;
using namespace quorvel::uitest;

namespace {

// The rows of `image` where some pixel differs from the top-left one.
int InkHeight(const QImage& image) {
    const QRgb background = image.pixel(0, 0);
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32_Premultiplied); }

}  // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (qApp->devicePixelRatio() != 2.0) QSKIP("run with QT_SCALE_FACTOR=2 (CTest does)");
    }

    void windowIsTwiceAsLarge() {
        TestForm form;
        QVERIFY(ShowActive(form));
        // The design's outer size, frame included, in device-independent
        // pixels; the client area inside it is drawn at twice its size.
        const QWindow& window = *form.windowHandle();
        QCOMPARE(window.devicePixelRatio(), 2.0);
        QCOMPARE(window.frameGeometry().size(), QSize(696, 484));
        QCOMPARE(window.frameGeometry().size() * window.devicePixelRatio(), QSize(1392, 968));
        QCOMPARE(form.grab().size(), form.size() * 2);
    }

    void textsAreDrawnTwiceAsTall_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("Label1 (16 px)") << "Label1";
        QTest::newRow("Label2 (11 px)") << "Label2";
    }
    void textsAreDrawnTwiceAsTall() {
        QFETCH(QString, control);
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("TALL.grf"), ColourfulGraph());
        TestForm form;
        QVERIFY(ShowActive(form));
        form.OpenStartupFile(path);
        auto* label = Child<QLabel>(form, control.toLatin1().constData());
        const QImage drawn = label->grab().toImage();
        QCOMPARE(drawn.devicePixelRatio(), 2.0);
        // The glyphs' ink against their height in device-independent pixels.
        const int logical = label->fontMetrics().tightBoundingRect(label->text()).height();
        QVERIFY2(InkHeight(drawn) >= 2 * logical - 2,
                 qPrintable(QStringLiteral("%1 rows of ink for %2 logical").arg(InkHeight(drawn)).arg(logical)));
    }

    void picturesComeFromTheirLargeCopies_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("picture");
        QTest::newRow("OuvrirBtn") << "OuvrirBtn" << "open";
        QTest::newRow("CloseBtn") << "CloseBtn" << "quit";
        QTest::newRow("FermerBtn") << "FermerBtn" << "close";
    }
    void picturesComeFromTheirLargeCopies() {
        QFETCH(QString, button);
        QFETCH(QString, picture);
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* b = Child<QPushButton>(form, button.toLatin1().constData());
        const QPixmap shown = b->icon().pixmap(b->iconSize(), b->devicePixelRatioF());
        const QImage large(QStringLiteral(":/images/%1@2x.png").arg(picture));
        QVERIFY(!large.isNull());
        QCOMPARE(shown.size(), large.size());
        QCOMPARE(Rgb(shown.toImage()), Rgb(large));
    }

    void aboutPanelIconIsTheLargeOne() {
        TestForm form;
        QVERIFY(ShowActive(form));
        QTest::keyClick(&form, Qt::Key_F1);
        const QPixmap icon = Child<QLabel>(form, "Image2")->pixmap();
        QCOMPARE(icon.devicePixelRatio(), 2.0);
        QCOMPARE(Rgb(icon.toImage()), Rgb(QImage(QStringLiteral(":/images/quorvel@2x.png"))));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HiDpiTest.moc"
