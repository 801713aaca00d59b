// The user's date and time formats as the desktop knows them (Qt's system
// locale), for the report header and the about panel's date.
#pragma once

#include "platform/DateTime.hpp"

class QDate;
class QString;

namespace quorvel::ui {

class QtDateFormats final : public DateFormats {
public:
    std::string ShortDate(const LocalDateTime& t) const override;
    std::string LongDate(const LocalDateTime& t) const override;
    // The long time format without its time zone: hours, minutes and seconds.
    std::string LongTime(const LocalDateTime& t) const override;
};

}  // namespace quorvel::ui
