// Calendar dates in whole days, today's date, and dates in the user's short date format.
#pragma once

#include <windows.h>

#include <string>

namespace base {

// A day counted from the zero date, 30 December 1899 (day 0); earlier days are negative.
class TDate {
public:
    constexpr TDate() = default;
    static constexpr TDate FromSerial(int days) { return TDate(days); }
    static TDate FromYMD(int year, int month, int day);  // throws ERangeError for no such day

    constexpr int Serial() const { return days_; }
    bool IsZero() const { return days_ == 0; }
    void ToYMD(int& year, int& month, int& day) const;

    friend constexpr bool operator==(TDate a, TDate b) { return a.days_ == b.days_; }
    friend constexpr bool operator!=(TDate a, TDate b) { return a.days_ != b.days_; }
    friend constexpr bool operator<(TDate a, TDate b) { return a.days_ < b.days_; }
    friend constexpr bool operator>(TDate a, TDate b) { return a.days_ > b.days_; }
    friend constexpr bool operator<=(TDate a, TDate b) { return a.days_ <= b.days_; }
    friend constexpr bool operator>=(TDate a, TDate b) { return a.days_ >= b.days_; }

private:
    constexpr explicit TDate(int days) : days_(days) {}
    int days_ = 0;
};

// The local date (GetLocalTime).
TDate Today();
TDate DateOf(const SYSTEMTIME& time);

// Every text of a locale (its short date format, its month and day names, its era) comes from the system's
// wide calls, in the active code page; the locale is the user's unless another is named.

// The short date format (LOCALE_SSHORTDATE), e.g. "M/d/yyyy".
std::string ShortDateFormat(LCID locale = LOCALE_USER_DEFAULT);

// The date written in a short date format: "d" "dd" "ddd" "dddd", "M" "MM" "MMM" "MMMM", "y" "yy"
// "yyyy", the era "g" "gg", and literal text (quoted with ', or any other character), each as the
// system's own formatter writes it for the locale.
std::string DateToStr(TDate date, const std::string& format, LCID locale = LOCALE_USER_DEFAULT);
std::string DateToStr(TDate date);

// Parses a date written in a short date format, and what users type for one: leading zeros, day names
// and eras optional, two-digit years in a sliding century window around this year. False when the
// text is not a date.
bool TryStrToDate(const std::string& text, const std::string& format, TDate& date, LCID locale = LOCALE_USER_DEFAULT);
bool TryStrToDate(const std::string& text, TDate& date);

}  // namespace base
