// TAproposFrame, the about panel: a panel of the main window (not a window
// of its own) with the program's name and version, a text about it, links to
// the author's home page and mail address, the program's icon and a
// photograph.  Shown, it covers the window, which narrows to the panel;
// hidden, it gives the window back its width.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QString>

class QPushButton;
class QTextEdit;

namespace quorvel::ui {

class UrlLabel;

// A caption with a one-pixel shadow below and to the left of it.
class ShadowLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ShadowLabel(QWidget* parent = nullptr);

    QColor ShadowColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TAproposFrame final : public QFrame {
    Q_OBJECT
public:
    explicit TAproposFrame(QWidget* parent);

    // Once, from the main window's show handler, after the commands' own
    // captions and hints.
    void InitTexts();

    // The panel over the whole window, which narrows to it.
    void ShowPanel(const QString& programVersion, const QString& lastUpdateText);
    // The window gets back the outer width it had when the panel was shown.
    void HidePanel();

    int SavedWindowWidth() const { return savedWindowWidth_; }

    // Bound by the main window to its about command.
    QPushButton* FermerBtn() const { return fermerBtn_; }
    // The main window watches its keys, for the commands' shortcuts.
    QTextEdit* AboutText() const { return RxApropos; }

private:
    void FillAboutText(const QString& lastUpdateText);

    ShadowLabel* RxLabel1 = nullptr;
    QLabel* Image2 = nullptr;
    QTextEdit* RxApropos = nullptr;
    QLabel* Image1 = nullptr;
    UrlLabel* HomePageLink = nullptr;
    UrlLabel* MailLink = nullptr;
    QPushButton* fermerBtn_ = nullptr;
    int savedWindowWidth_ = 0;
};

}  // namespace quorvel::ui
