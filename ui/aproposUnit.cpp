#include "ui/aproposUnit.hpp"

#include <QPainter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "resources/Strings.hpp"
#include "ui/Fonts.hpp"
#include "ui/Pictures.hpp"
#include "ui/UrlLabel.hpp"
#include "ui/WindowFrame.hpp"

namespace quorvel::ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString QRes(Str id) { return Q(Res(id)); }

constexpr int kPanelWidth = 324;
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);

// Appends `text` as a new line of the area, its CR LF pairs as line breaks,
// in `format`.
void AppendParagraph(QTextCursor& cursor, const QString& text, const QTextCharFormat& format) {
    cursor.movePosition(QTextCursor::End);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const bool empty = cursor.document()->isEmpty();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0 || !empty)
            cursor.insertBlock(QTextBlockFormat(), format);
        else
            cursor.setBlockCharFormat(format);
        cursor.insertText(lines[i], format);
    }
}

}  // namespace

ShadowLabel::ShadowLabel(QWidget* parent) : QLabel(parent) { setAttribute(Qt::WA_TranslucentBackground); }

QColor ShadowLabel::ShadowColor() const { return palette().color(QPalette::ButtonText); }

void ShadowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const int flags = static_cast<int>(alignment());
    painter.setPen(ShadowColor());
    painter.drawText(rect().translated(-1, 1), flags, text());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), flags, text());
}

TAproposFrame::TAproposFrame(QWidget* parent) : QFrame(parent) {
    resize(kPanelWidth, 434);
    setAutoFillBackground(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);

    RxLabel1 = new ShadowLabel(this);
    RxLabel1->setObjectName(QStringLiteral("RxLabel1"));
    RxLabel1->setGeometry(8, 16, 305, 24);
    RxLabel1->setAlignment(Qt::AlignCenter);
    RxLabel1->setFont(PixelFont(kMsSansSerif, 19, true));
    QPalette maroon = RxLabel1->palette();
    maroon.setColor(QPalette::WindowText, kMaroon);
    RxLabel1->setPalette(maroon);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(272, 8, 41, 41);
    Image2->setAlignment(Qt::AlignCenter);
    Image2->setPixmap(ProgramPicture(devicePixelRatioF()));

    RxApropos = new QTextEdit(this);
    RxApropos->setObjectName(QStringLiteral("RxApropos"));
    RxApropos->setGeometry(16, 64, 297, 265);
    RxApropos->setLineWrapMode(QTextEdit::WidgetWidth);
    RxApropos->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RxApropos->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RxApropos->setAcceptRichText(true);
    // The window's context menu, over the about text as over the report.
    RxApropos->setContextMenuPolicy(Qt::NoContextMenu);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(24, 352, 80, 60);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap::fromImage(Photograph()));

    HomePageLink = new UrlLabel(this);
    HomePageLink->setObjectName(QStringLiteral("HomePageLink"));
    HomePageLink->setGeometry(136, 344, 147, 13);
    HomePageLink->SetType(UrlLabel::UrlType::Custom);

    MailLink = new UrlLabel(this);
    MailLink->setObjectName(QStringLiteral("MailLink"));
    MailLink->setGeometry(144, 368, 122, 13);
    MailLink->SetType(UrlLabel::UrlType::Mail);
    MailLink->SetHintFollowsTarget(false);

    fermerBtn_ = new QPushButton(this);
    fermerBtn_->setObjectName(QStringLiteral("FermerBtn"));
    fermerBtn_->setGeometry(168, 392, 75, 25);
    fermerBtn_->setIcon(CloseIcon());
    fermerBtn_->setIconSize(QSize(18, 18));
}

void TAproposFrame::InitTexts() {
    const std::string author(Res(Str::Author));
    const QString homePage = QRes(Str::HomePageUrl);

    HomePageLink->setToolTip(homePage);
    HomePageLink->setText(Q(FormatRes(Str::HomePageCaption, {author})));
    HomePageLink->setFont(PixelFont(kVerdana, 11));
    HomePageLink->SetUrl(homePage);

    MailLink->setToolTip(Q(FormatRes(Str::MailHint, {author})));
    MailLink->setText(Q(FormatRes(Str::MailCaption, {author})));
    MailLink->setFont(PixelFont(kVerdana, 11));
    MailLink->SetUrl(QRes(Str::MailAddress));

    RxLabel1->setText(QRes(Str::ProductName));
    RxLabel1->setFont(PixelFont(kMsSansSerif, 19, true));

    Image1->setToolTip(QRes(Str::PhotoHint));

    fermerBtn_->setToolTip(QRes(Str::HintClose));
    fermerBtn_->setText(QRes(Str::CaptionClose));
}

void TAproposFrame::ShowPanel(const QString& programVersion, const QString& lastUpdateText) {
    QWidget& window = *parentWidget();
    const QString versionFr = programVersion + QLatin1Char(' ') + QRes(Str::LanguageTag);
    MailLink->SetMailSubject(
        Q(FormatRes(Str::AboutMailSubject, {Res(Str::ProductName), versionFr.toStdString()})));
    move(0, 0);
    // The icon as dense as the screen the window is on now.
    Image2->setPixmap(ProgramPicture(window.devicePixelRatioF()));
    savedWindowWidth_ = OuterWidth(window);
    RxLabel1->setText(QRes(Str::ProductName) + QLatin1Char(' ') + versionFr);
    FillAboutText(lastUpdateText);
    // The window has no scroll bars of its own to switch off: it is no
    // scroll area, so nothing beyond its client area ever scrolls into view.
    SetClientWidth(window, width());
    show();
    raise();
}

void TAproposFrame::HidePanel() {
    hide();
    SetOuterWidth(*parentWidget(), savedWindowWidth_);
}

void TAproposFrame::FillAboutText(const QString& lastUpdateText) {
    RxApropos->clear();
    QTextDocument* doc = RxApropos->document();
    QTextCharFormat format;
    format.setFontFamilies({kArial});
    format.setFontItalic(true);
    format.setFontWeight(QFont::Normal);
    doc->setDefaultFont(PixelFont(kArial, 11, false, true));

    QTextCursor cursor(doc);
    const std::string product(Res(Str::ProductName));
    const std::string author(Res(Str::Author));
    AppendParagraph(cursor,
                    Q(FormatRes(Str::AboutParagraph1,
                                {product, author, Res(Str::AboutCredits), lastUpdateText.toStdString()})),
                    format);

    format.setFontWeight(QFont::Bold);
    format.setForeground(kBlue);
    AppendParagraph(cursor, QRes(Str::AboutParagraph2), format);

    format.setFontWeight(QFont::Normal);
    AppendParagraph(cursor, QRes(Str::AboutParagraph3), format);

    cursor.movePosition(QTextCursor::Start);
    RxApropos->setTextCursor(cursor);
}

}  // namespace quorvel::ui
