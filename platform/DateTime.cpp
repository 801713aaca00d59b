#include "platform/DateTime.hpp"

#include <array>
#include <clocale>
#include <cstdio>
#include <string_view>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace quorvel {

LocalDateTime LocalDateTimeFromTm(const std::tm& tm, bool evenSeconds) {
    LocalDateTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = evenSeconds ? (tm.tm_sec & ~1) : tm.tm_sec;
    t.weekday = tm.tm_wday;
    return t;
}

LocalDateTime LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return LocalDateTimeFromTm(tm);
}

namespace {

#ifndef _WIN32
std::tm ToTm(const LocalDateTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_wday = t.weekday;
    tm.tm_isdst = -1;
    return tm;
}
#endif

#ifdef _WIN32
SYSTEMTIME ToSystemTime(const LocalDateTime& t) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wDayOfWeek = static_cast<WORD>(t.weekday);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    return st;
}

std::string Narrow(const wchar_t* w, int n) {
    const int len = WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, n, s.data(), len, nullptr, nullptr);
    return s;
}

std::string WinDate(const LocalDateTime& t, DWORD flags) {
    const SYSTEMTIME st = ToSystemTime(t);
    wchar_t buf[128];
    const int n = GetDateFormatW(LOCALE_USER_DEFAULT, flags, &st, nullptr, buf, 128);
    return n > 0 ? Narrow(buf, n - 1) : std::string();
}
#else
std::string Strftime(const char* format, const LocalDateTime& t) {
    const std::tm tm = ToTm(t);
    std::array<char, 256> buf{};
    const std::size_t n = std::strftime(buf.data(), buf.size(), format, &tm);
    return std::string(buf.data(), n);
}
#endif

}  // namespace

#ifdef _WIN32
std::string SystemDateFormats::ShortDate(const LocalDateTime& t) const { return WinDate(t, DATE_SHORTDATE); }
std::string SystemDateFormats::LongDate(const LocalDateTime& t) const { return WinDate(t, DATE_LONGDATE); }
std::string SystemDateFormats::LongTime(const LocalDateTime& t) const {
    const SYSTEMTIME st = ToSystemTime(t);
    wchar_t buf[128];
    const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 128);
    return n > 0 ? Narrow(buf, n - 1) : std::string();
}
#else
namespace {
// The C and POSIX locales name no language: their English day and month
// names would stand in a French sentence, so the program's own French
// formats are used instead.
bool TimeLocaleHasNoLanguage() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    const std::string_view n = name ? name : "C";
    return n == "C" || n == "POSIX" || n.starts_with("C.");
}
const FixedDateFormats kProgramFormats;
}  // namespace

std::string SystemDateFormats::ShortDate(const LocalDateTime& t) const {
    return TimeLocaleHasNoLanguage() ? kProgramFormats.ShortDate(t) : Strftime("%x", t);
}
std::string SystemDateFormats::LongDate(const LocalDateTime& t) const {
    return TimeLocaleHasNoLanguage() ? kProgramFormats.LongDate(t) : Strftime("%A %-d %B %Y", t);
}
std::string SystemDateFormats::LongTime(const LocalDateTime& t) const {
    return TimeLocaleHasNoLanguage() ? kProgramFormats.LongTime(t) : Strftime("%X", t);
}
#endif

std::string FixedDateFormats::ShortDate(const LocalDateTime& t) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.day, t.month, t.year);
    return buf;
}

std::string FixedDateFormats::LongDate(const LocalDateTime& t) const {
    static constexpr std::array<const char*, 7> kDays = {"dimanche", "lundi",    "mardi", "mercredi",
                                                         "jeudi",    "vendredi", "samedi"};
    static constexpr std::array<const char*, 12> kMonths = {
        "janvier", "février", "mars",      "avril",   "mai",      "juin",
        "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
    const int wd = (t.weekday % 7 + 7) % 7;
    const int m = (t.month >= 1 && t.month <= 12) ? t.month - 1 : 0;
    return std::string(kDays[static_cast<std::size_t>(wd)]) + " " + std::to_string(t.day) + " " +
           kMonths[static_cast<std::size_t>(m)] + " " + std::to_string(t.year);
}

std::string FixedDateFormats::LongTime(const LocalDateTime& t) const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

}  // namespace quorvel
