#include "ui/UrlLabel.hpp"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QUrl>

namespace quorvel::ui {

UrlLabel::UrlLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    // Blue until the mouse has been over it once; navy after it has left.
    SetLook(activeColor_, false);
}

void UrlLabel::SetType(UrlType type) {
    type_ = type;
    TargetChanged();
}

void UrlLabel::SetUrl(const QString& url) {
    url_ = url;
    TargetChanged();
}

void UrlLabel::SetPrefix(const QString& prefix) {
    prefix_ = prefix;
    TargetChanged();
}

void UrlLabel::SetMailSubject(const QString& subject) {
    subject_ = subject;
    TargetChanged();
}

void UrlLabel::SetMailBody(const QString& body) {
    body_ = body;
    TargetChanged();
}

void UrlLabel::SetHintFollowsTarget(bool on) {
    hintFollowsTarget_ = on;
    TargetChanged();
}

QString UrlLabel::Target() const {
    if (type_ == UrlType::Custom) return prefix_ + url_;
    QString target = QStringLiteral("mailto:") + url_;
    if (!subject_.isEmpty()) target += QStringLiteral("?Subject=") + subject_;
    if (!body_.isEmpty()) target += QStringLiteral("&Body=") + body_;
    return target;
}

void UrlLabel::Open() const { QDesktopServices::openUrl(QUrl(Target(), QUrl::TolerantMode)); }

void UrlLabel::TargetChanged() {
    if (hintFollowsTarget_) setToolTip(Target());
}

void UrlLabel::SetLook(const QColor& color, bool underline) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
    QFont f = font();
    f.setUnderline(underline);
    setFont(f);
}

void UrlLabel::enterEvent(QEnterEvent* event) {
    if (hoverEffect_) SetLook(activeColor_, true);
    QLabel::enterEvent(event);
}

void UrlLabel::leaveEvent(QEvent* event) {
    if (hoverEffect_) SetLook(inactiveColor_, false);
    QLabel::leaveEvent(event);
}

void UrlLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void UrlLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) Open();
}

}  // namespace quorvel::ui
