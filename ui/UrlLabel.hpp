// A text label that acts as a hyperlink: a web address or a mail address,
// opened through the desktop when clicked; underlined in its active colour
// while the mouse is over it.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

namespace quorvel::ui {

class UrlLabel : public QLabel {
    Q_OBJECT
public:
    enum class UrlType {
        Custom,  // the target is Prefix() followed by Url()
        Mail,    // "mailto:" + the address, with the subject and body if set
    };

    explicit UrlLabel(QWidget* parent = nullptr);

    UrlType Type() const { return type_; }
    void SetType(UrlType type);
    const QString& Url() const { return url_; }
    void SetUrl(const QString& url);
    const QString& Prefix() const { return prefix_; }
    void SetPrefix(const QString& prefix);
    const QString& MailSubject() const { return subject_; }
    void SetMailSubject(const QString& subject);
    const QString& MailBody() const { return body_; }
    void SetMailBody(const QString& body);

    // On: the hint is the target and follows it.
    bool HintFollowsTarget() const { return hintFollowsTarget_; }
    void SetHintFollowsTarget(bool on);
    bool HoverEffect() const { return hoverEffect_; }
    void SetHoverEffect(bool on) { hoverEffect_ = on; }
    QColor ActiveColor() const { return activeColor_; }
    void SetActiveColor(const QColor& color) { activeColor_ = color; }
    QColor InactiveColor() const { return inactiveColor_; }
    void SetInactiveColor(const QColor& color) { inactiveColor_ = color; }

    // What a click asks the desktop to open.  Subject and body are appended
    // as they are, without escaping.
    QString Target() const;

    // Asks the desktop to open the target; the outcome is not checked.
    void Open() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void TargetChanged();
    void SetLook(const QColor& color, bool underline);

    UrlType type_ = UrlType::Custom;
    QString url_;
    QString prefix_;
    QString subject_;
    QString body_;
    bool hintFollowsTarget_ = true;
    bool hoverEffect_ = true;
    bool pressed_ = false;
    QColor activeColor_{0x00, 0x00, 0xFF};
    QColor inactiveColor_{0x00, 0x00, 0x80};
};

}  // namespace quorvel::ui
