#include "ui/QtDateFormats.hpp"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace quorvel::ui {
namespace {

QDate DateOf(const LocalDateTime& t) { return QDate(t.year, t.month, t.day); }
QTime TimeOf(const LocalDateTime& t) { return QTime(t.hour, t.minute, t.second); }

// Qt's long time format ends with the time zone ("HH:mm:ss t"); the report's
// time stamp is local time and says nothing of the zone.  The zone's letters
// are dropped outside quoted text only, with the spaces and brackets around.
QString LongTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        kept += c;
    }
    kept.remove(QStringLiteral("()"));
    return kept.trimmed();
}

}  // namespace

std::string QtDateFormats::ShortDate(const LocalDateTime& t) const {
    return QLocale::system().toString(DateOf(t), QLocale::ShortFormat).toStdString();
}

std::string QtDateFormats::LongDate(const LocalDateTime& t) const {
    return QLocale::system().toString(DateOf(t), QLocale::LongFormat).toStdString();
}

std::string QtDateFormats::LongTime(const LocalDateTime& t) const {
    const QLocale locale = QLocale::system();
    return locale.toString(TimeOf(t), LongTimeFormat(locale)).toStdString();
}

}  // namespace quorvel::ui
