#include "ui/DateUtils.h"

#include <cctype>
#include <vector>

#include "ui/SysUtils.h"

namespace ui {

namespace {

// Day 0 of the serial count (30 December 1899) is this many days before 1 January 1970.
constexpr int kZeroDateToUnixEpoch = 25569;

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

// Two-digit years land within this many years before and after the current year.
constexpr int kTwoDigitYearWindow = 50;

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

// Days since 1 January 1970 in the proleptic Gregorian calendar (H. Hinnant's civil-day algorithms,
// which count eras of 400 years from 1 March so that the leap day falls at the end of a year).
int DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int days, int& year, int& month, int& day) {
    days += 719468;
    const int era = (days >= 0 ? days : days - 146096) / 146097;
    const int dayOfEra = days - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

std::string LocaleText(LCTYPE type) {
    char buffer[128];
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length - 1)) : std::string();
}

std::string MonthName(int month, bool full) {
    return LocaleText((full ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + static_cast<LCTYPE>(month - 1));
}

// LOCALE_SDAYNAME1 is Monday.
std::string DayName(TDate date, bool full) {
    const int mondayBased = ((date.Serial() - 2) % 7 + 7) % 7;
    return LocaleText((full ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + static_cast<LCTYPE>(mondayBased));
}

std::string Padded(int value, size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool SameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// One piece of a date format: a run of one picture letter, or literal text (separators and quoted
// text, where '' stands for one quote).
struct FormatPart {
    char letter;  // 'd', 'M', 'y', or 0 for literal text
    size_t count;
    std::string text;
};

std::vector<FormatPart> SplitFormat(const std::string& format) {
    std::vector<FormatPart> parts;
    auto addLiteral = [&parts](const std::string& text) {
        if (!parts.empty() && parts.back().letter == 0)
            parts.back().text += text;
        else
            parts.push_back({0, 0, text});
    };
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == 'd' || c == 'M' || c == 'y') {
            size_t end = i;
            while (end < format.size() && format[end] == c) ++end;
            parts.push_back({c, end - i, std::string()});
            i = end;
        } else if (c == '\'') {
            std::string text;
            ++i;
            while (i < format.size()) {
                if (format[i] == '\'') {
                    if (i + 1 < format.size() && format[i + 1] == '\'') {
                        text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += format[i++];
            }
            addLiteral(text);
        } else {
            addLiteral(std::string(1, c));
            ++i;
        }
    }
    return parts;
}

// The fields a reader finds in a date, in the order the format writes them; a run of three or more
// d's is the weekday's name, not a field.
enum class Field { Day, Month, Year };

int ExpandTwoDigitYear(int shortYear) {
    int year, month, day;
    Today().ToYMD(year, month, day);
    const int pivot = year - kTwoDigitYearWindow;
    int full = pivot / 100 * 100 + shortYear;
    if (full < pivot) full += 100;
    return full;
}

class DateScanner {
public:
    explicit DateScanner(const std::string& text) : text_(text) {}

    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    bool AtEnd() const { return pos_ == text_.size(); }
    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    // Up to maxDigits decimal digits; false when there are none or still more follow. 'digits'
    // tells how many were read.
    bool Number(size_t maxDigits, int& value, size_t& digits) {
        value = 0;
        digits = 0;
        while (pos_ < text_.size() && digits < maxDigits && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        return digits > 0 && !(pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9');
    }
    std::string Word() {
        const size_t start = pos_;
        while (pos_ < text_.size() && (IsAsciiLetter(text_[pos_]) || static_cast<unsigned char>(text_[pos_]) >= 0x80))
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

private:
    const std::string& text_;
    size_t pos_ = 0;
};

bool MonthFromName(const std::string& word, int& month) {
    for (int m = 1; m <= 12; ++m) {
        if (SameTextAscii(word, MonthName(m, false)) || SameTextAscii(word, MonthName(m, true))) {
            month = m;
            return true;
        }
    }
    return false;
}

}  // namespace

TDate TDate::FromYMD(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) throw ERangeError();
    return TDate(DaysFromCivil(year, month, day) + kZeroDateToUnixEpoch);
}

void TDate::ToYMD(int& year, int& month, int& day) const {
    CivilFromDays(days_ - kZeroDateToUnixEpoch, year, month, day);
}

TDate Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DateOf(now);
}

TDate DateOf(const SYSTEMTIME& time) {
    return TDate::FromYMD(time.wYear, time.wMonth, time.wDay);
}

std::string ShortDateFormat() {
    return LocaleText(LOCALE_SSHORTDATE);
}

std::string DateToStr(TDate date, const std::string& format) {
    int year, month, day;
    date.ToYMD(year, month, day);
    std::string text;
    for (const FormatPart& part : SplitFormat(format)) {
        switch (part.letter) {
            case 'd':
                text += part.count <= 2 ? Padded(day, part.count) : DayName(date, part.count > 3);
                break;
            case 'M':
                text += part.count <= 2 ? Padded(month, part.count) : MonthName(month, part.count > 3);
                break;
            case 'y':
                // "y" is the year in the century without a leading zero, "yy" with one; longer runs
                // write the whole year.
                text += part.count <= 2 ? Padded(year % 100, part.count) : Padded(year, 4);
                break;
            default:
                text += part.text;
        }
    }
    return text;
}

std::string DateToStr(TDate date) {
    return DateToStr(date, ShortDateFormat());
}

// Reads the three numbers in the order the format gives its day, month and year, each pair of
// fields parted by the format's own separator, the way users type dates: one or two digits for day
// and month, a leading zero optional, a two-digit year wherever a four-digit one is written, blanks
// around the fields and separators ignored. A month the format writes by name may be given by name.
bool TryStrToDate(const std::string& text, const std::string& format, TDate& date) {
    std::vector<Field> order;
    std::vector<std::string> separators;  // separators[i]: the non-blank text in front of field i
    std::string pending;
    bool monthByName = false;
    for (const FormatPart& part : SplitFormat(format)) {
        if (part.letter == 0) {
            for (char c : part.text) {
                if (c != ' ') pending += c;
            }
            continue;
        }
        if (part.letter == 'd' && part.count > 2) continue;
        const Field field = part.letter == 'd' ? Field::Day : part.letter == 'M' ? Field::Month : Field::Year;
        bool seen = false;
        for (Field f : order) seen = seen || f == field;
        if (seen) continue;
        order.push_back(field);
        // Text in front of the first field is not asked of the reader.
        separators.push_back(order.size() == 1 ? std::string() : pending);
        pending.clear();
        if (field == Field::Month && part.count > 2) monthByName = true;
    }
    if (order.size() != 3) return false;

    DateScanner scan(text);
    int year = 0, month = 0, day = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        for (char c : separators[i]) {
            scan.SkipBlanks();
            if (!scan.Take(c)) return false;
        }
        scan.SkipBlanks();
        int value = 0;
        size_t digits = 0;
        switch (order[i]) {
            case Field::Day:
                if (!scan.Number(2, value, digits)) return false;
                day = value;
                break;
            case Field::Month:
                if (!scan.Number(2, value, digits) &&
                    !(monthByName && digits == 0 && MonthFromName(scan.Word(), value)))
                    return false;
                month = value;
                break;
            case Field::Year:
                if (!scan.Number(4, value, digits)) return false;
                year = digits <= 2 ? ExpandTwoDigitYear(value) : value;
                break;
        }
    }
    // Some formats close with text of their own ("yyyy. MM. dd."); the reader may leave it out.
    scan.SkipBlanks();
    for (size_t i = 0; i < pending.size() && scan.Take(pending[i]); ++i) scan.SkipBlanks();
    if (!scan.AtEnd()) return false;
    if (!IsValidDate(year, month, day)) return false;
    date = TDate::FromYMD(year, month, day);
    return true;
}

bool TryStrToDate(const std::string& text, TDate& date) {
    return TryStrToDate(text, ShortDateFormat(), date);
}

}  // namespace ui
