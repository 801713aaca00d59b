// Local dates and times, and the user's date formats.  The front-end supplies
// the formats (the user's locale for the reporter and the window, a fixed set
// in tests), so that reports are deterministic under test.
#pragma once

#include <ctime>
#include <string>

namespace quorvel {

struct LocalDateTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 = Sunday
};

LocalDateTime LocalDateTimeFromTm(const std::tm& tm, bool evenSeconds = false);
LocalDateTime LocalNow();

class DateFormats {
public:
    virtual ~DateFormats() = default;
    virtual std::string ShortDate(const LocalDateTime& t) const = 0;  // "ddddd"
    virtual std::string LongDate(const LocalDateTime& t) const = 0;   // "dddddd"
    virtual std::string LongTime(const LocalDateTime& t) const = 0;   // "tt"
};

// The formats of the user's locale (LC_TIME on POSIX, the user's regional
// settings on Windows), for the window and the reporter alike.  Under the C
// or POSIX locale, which names no language, the program's own French formats
// (FixedDateFormats).  Texts are UTF-8.
class SystemDateFormats final : public DateFormats {
public:
    std::string ShortDate(const LocalDateTime& t) const override;
    std::string LongDate(const LocalDateTime& t) const override;
    std::string LongTime(const LocalDateTime& t) const override;
};

// dd/mm/yyyy, "<weekday> d <month> yyyy" in French, hh:mm:ss: the formats of a
// French desktop, fixed so that tests do not depend on the machine.
class FixedDateFormats final : public DateFormats {
public:
    std::string ShortDate(const LocalDateTime& t) const override;
    std::string LongDate(const LocalDateTime& t) const override;
    std::string LongTime(const LocalDateTime& t) const override;
};

}  // namespace quorvel
