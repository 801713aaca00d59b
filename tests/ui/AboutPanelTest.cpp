// The about panel: shown and hidden by the about command from each of its
// controls, the window narrowing to it and getting its width back, its texts,
// its links and its photograph.
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QUrl>

#include "resources/Strings.hpp"
#include "tests/ui/UiTestSupport.hpp"
#include "ui/JpegLoader.hpp"
#include "ui/Pictures.hpp"
#include "ui/UrlLabel.hpp"
#include "ui/aproposUnit.hpp"

using namespace quorvel;
using namespace quorvel::uitest;

namespace {

// Takes the URLs that the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme) : scheme_(scheme) {
        QDesktopServices::setUrlHandler(scheme_, this, "Open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }
    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls.append(url); }

private:
    QString scheme_;
};

// The text block of the about text that starts with `start`.
QTextBlock BlockStarting(QTextEdit& edit, const QString& start) {
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next())
        if (b.text().startsWith(start)) return b;
    return {};
}

QTextCharFormat FormatOf(const QTextBlock& block) { return block.begin().fragment().charFormat(); }

}  // namespace

class AboutPanelTest : public QObject {
    Q_OBJECT

private slots:
    void f1ShowsThePanelOverTheNarrowedWindow() {
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* panel = Child<QWidget>(form, "AproposFrame1");
        auto* entry = Child<QAction>(form, "Apropos1");
        const int outer = form.frameGeometry().width();
        QVERIFY(panel->geometry().right() < 0);  // out of sight before the first show
        QVERIFY(!entry->isChecked());

        QTest::keyClick(&form, Qt::Key_F1);
        QTRY_COMPARE(form.width(), 324);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->pos(), QPoint(0, 0));
        QCOMPARE(panel->width(), form.width());
        QVERIFY(entry->isChecked());
        QCOMPARE(Child<QLabel>(form, "RxLabel1")->text(), QStringLiteral("Quorvel 2.1.1 Fr"));
        // The panel is in front: the report area under it gets no clicks.
        QVERIFY(panel->isAncestorOf(form.childAt(100, 200)) || form.childAt(100, 200) == panel);

        QTest::keyClick(&form, Qt::Key_F1);
        QTRY_COMPARE(form.frameGeometry().width(), outer);
        QVERIFY(!panel->isVisible());
        QVERIFY(!entry->isChecked());
    }

    void f1TwiceRestoresTheOuterWidthEvenAfterAResize() {
        TestForm form;
        QVERIFY(ShowActive(form));
        const int outer = form.frameGeometry().width();
        const int height = form.height();
        QTest::keyClick(&form, Qt::Key_F1);
        QTRY_COMPARE(form.width(), 324);
        form.resize(500, height - 40);
        QTRY_COMPARE(form.width(), 500);
        QTest::keyClick(&form, Qt::Key_F1);
        QTRY_COMPARE(form.frameGeometry().width(), outer);
        QCOMPARE(form.height(), height - 40);  // the height is left alone
        // The report area follows the restored width.
        QCOMPARE(Child<QWidget>(form, "Memo1")->width(), form.width() - 20);
    }

    void eachAboutControlTogglesThePanel_data() {
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::newRow("button, panel's button") << "AproposBtn" << "FermerBtn";
        QTest::newRow("menu, menu") << "Apropos1" << "Apropos1";
        QTest::newRow("command, F1") << "acApropos" << "F1";
    }
    void eachAboutControlTogglesThePanel() {
        QFETCH(QString, open);
        QFETCH(QString, close);
        TestForm form;
        QVERIFY(ShowActive(form));
        const int outer = form.frameGeometry().width();
        auto* panel = Child<QWidget>(form, "AproposFrame1");
        const auto use = [&](const QString& name) {
            if (name == "F1") {
                QTest::keyClick(&form, Qt::Key_F1);
            } else if (auto* button = form.findChild<QPushButton*>(name)) {
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                form.findChild<QAction*>(name)->trigger();
            }
        };
        use(open);
        QTRY_VERIFY(panel->isVisible());
        QVERIFY(Child<QAction>(form, "acApropos")->isChecked());
        QVERIFY(Child<QAction>(form, "Apropos1")->isChecked());
        use(close);
        QTRY_VERIFY(!panel->isVisible());
        QVERIFY(!Child<QAction>(form, "Apropos1")->isChecked());
        QTRY_COMPARE(form.frameGeometry().width(), outer);
    }

    void closeButtonKeepsItsOwnCaptionAndHint() {
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* button = Child<QPushButton>(form, "FermerBtn");
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(button->text(), QStringLiteral("Fermer"));
            QCOMPARE(button->toolTip(), QStringLiteral("Quitter la fenêtre \"A propos\" et revenir au programme."));
            QTest::keyClick(&form, Qt::Key_F1);
        }
    }

    void mailLinkWritesToTheAuthorAboutThisVersion() {
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* mail = Child<ui::UrlLabel>(form, "MailLink");
        const QString address = Q(Res(Str::MailAddress));
        QCOMPARE(mail->text(), QStringLiteral("e-mail de Brunmoor"));
        QCOMPARE(mail->toolTip(), QStringLiteral("Envoyer un mail à Brunmoor"));
        QCOMPARE(mail->Target(), QStringLiteral("mailto:") + address);

        QTest::keyClick(&form, Qt::Key_F1);
        const QString target = QStringLiteral("mailto:") + address + QStringLiteral("?Subject=A propos de Quorvel 2.1.1 Fr");
        QCOMPARE(mail->Target(), target);
        QCOMPARE(mail->toolTip(), QStringLiteral("Envoyer un mail à Brunmoor"));

        UrlCatcher desktop(QStringLiteral("mailto"));
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(desktop.urls.size(), 1);
        QCOMPARE(desktop.urls[0].scheme(), QStringLiteral("mailto"));
        QCOMPARE(desktop.urls[0].path(), address);
        QCOMPARE(desktop.urls[0].query(QUrl::FullyDecoded), QStringLiteral("Subject=A propos de Quorvel 2.1.1 Fr"));
    }

    void mailTargetWithBody() {
        ui::UrlLabel link;
        link.SetType(ui::UrlLabel::UrlType::Mail);
        link.SetUrl(QStringLiteral("someone@example.org"));
        link.SetMailBody(QStringLiteral("Bonjour"));
        QCOMPARE(link.Target(), QStringLiteral("mailto:someone@example.org&Body=Bonjour"));
        link.SetMailSubject(QStringLiteral("Sujet"));
        QCOMPARE(link.Target(), QStringLiteral("mailto:someone@example.org?Subject=Sujet&Body=Bonjour"));
        QCOMPARE(link.toolTip(), link.Target());  // the hint follows the target by default
    }

    void homePageLinkOpensTheHomePage() {
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* home = Child<ui::UrlLabel>(form, "HomePageLink");
        const QString url = Q(Res(Str::HomePageUrl));
        QCOMPARE(home->text(), QStringLiteral("Homepage de Brunmoor"));
        QCOMPARE(home->toolTip(), url);
        QCOMPARE(home->Target(), url);
        UrlCatcher desktop(QUrl(url).scheme());
        QTest::mouseClick(home, Qt::LeftButton);
        QCOMPARE(desktop.urls, QList<QUrl>({QUrl(url)}));
    }

    void linksUnderlineWhileHovered() {
        TestForm form;
        QVERIFY(ShowActive(form));
        QTest::keyClick(&form, Qt::Key_F1);
        auto* link = Child<ui::UrlLabel>(form, "HomePageLink");
        const QColor blue(0x00, 0x00, 0xFF);
        const QColor navy(0x00, 0x00, 0x80);
        QCOMPARE(link->palette().color(QPalette::WindowText), blue);
        QVERIFY(!link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(link, &enter);
        QCOMPARE(link->palette().color(QPalette::WindowText), blue);
        QVERIFY(link->font().underline());

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        QCOMPARE(link->palette().color(QPalette::WindowText), navy);
        QVERIFY(!link->font().underline());
    }

    void lastUpdateIsInTheShortDateFormat() {
        if (QLocale::system().name() != QStringLiteral("fr_FR"))
            QSKIP("needs a French desktop: LC_ALL=fr_FR.UTF-8, as CTest sets it");
        TestForm form;
        QVERIFY(ShowActive(form));
        QCOMPARE(form.LastUpdateText(), QStringLiteral("20/01/2009"));
    }

    void aboutTextIsRebuiltAtEachShow() {
        TestForm form;
        QVERIFY(ShowActive(form));
        QTest::keyClick(&form, Qt::Key_F1);
        auto* text = Child<QTextEdit>(form, "RxApropos");
        const QString lastUpdate = QLocale::system().toString(QDate(2009, 1, 20), QLocale::ShortFormat);
        QCOMPARE(form.LastUpdateText(), lastUpdate);

        const QTextBlock first = text->document()->begin();
        QVERIFY(first.text().startsWith(QStringLiteral("Quorvel a été écrit par Brunmoor")));
        const QTextBlock update = BlockStarting(*text, QStringLiteral("Sa dernière mise à jour date du "));
        QCOMPARE(update.text(), QStringLiteral("Sa dernière mise à jour date du ") + lastUpdate + QLatin1Char('.'));
        QVERIFY(FormatOf(update).fontItalic());
        QVERIFY(FormatOf(update).fontWeight() < QFont::Bold);
        QVERIFY(FormatOf(update).fontFamilies().toStringList().contains(QStringLiteral("Arial")));

        const QTextBlock terms = BlockStarting(*text, QStringLiteral("Ce programme est gratuit"));
        QVERIFY(terms.isValid());
        QVERIFY(FormatOf(terms).fontItalic());
        QVERIFY(FormatOf(terms).fontWeight() >= QFont::Bold);
        QCOMPARE(FormatOf(terms).foreground().color(), QColor(0x00, 0x00, 0xFF));

        const QTextBlock help = BlockStarting(*text, QStringLiteral("Pour avoir une aide sur son utilisation"));
        QCOMPARE(help.text(), QStringLiteral("Pour avoir une aide sur son utilisation, des informations, des mises à jour "
                                             "éventuelles rendez-vous sur mon site web. Par ailleurs un e-mail fait "
                                             "toujours plaisir, si vous utilisez ce programme ou avez des suggestions."));
        QVERIFY(FormatOf(help).fontItalic());
        QVERIFY(FormatOf(help).fontWeight() < QFont::Bold);
        QCOMPARE(FormatOf(help).foreground().color(), QColor(0x00, 0x00, 0xFF));

        // What the user types there is gone at the next show.
        const QString before = text->toPlainText();
        text->moveCursor(QTextCursor::End);
        text->insertPlainText(QStringLiteral(" typed by the user"));
        QTest::keyClick(&form, Qt::Key_F1);
        QTest::keyClick(&form, Qt::Key_F1);
        QCOMPARE(text->toPlainText(), before);
    }

    void photographIsOurJpeg() {
        TestForm form;
        QVERIFY(ShowActive(form));
        auto* photo = Child<QLabel>(form, "Image1");
        QCOMPARE(photo->toolTip(), Q(Res(Str::PhotoHint)));
        QCOMPARE(photo->size(), QSize(80, 60));
        QVERIFY(!photo->pixmap().isNull());
        QCOMPARE(photo->pixmap().size(), QSize(548, 372));
        const QImage image = ui::Photograph();
        QCOMPARE(image.size(), QSize(548, 372));
        QVERIFY(image.pixelColor(274, 20) != image.pixelColor(274, 350));  // a picture, not a plain colour
        QVERIFY(!Child<QLabel>(form, "Image2")->pixmap().isNull());
    }

    void brokenJpegGivesNoPicture() {
        QVERIFY(ui::DecodeJpeg(QByteArray("not a picture at all")).isNull());
        QVERIFY(ui::DecodeJpeg(QByteArray()).isNull());
        static const char kStopsShort[] = "\xFF\xD8\xFF\xE0 a JPEG that stops short";
        QVERIFY(ui::DecodeJpeg(QByteArray(kStopsShort, sizeof kStopsShort - 1)).isNull());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    AboutPanelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AboutPanelTest.moc"
