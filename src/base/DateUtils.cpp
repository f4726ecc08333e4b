#include "base/DateUtils.h"

#include <vector>

#include "base/SysUtils.h"

namespace base {

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

// The locale's text through the wide calls, asked for its size first. The single-byte calls answer in the
// locale's own code page (1251 for Bulgarian, 1256 for Arabic), not the program's UTF-8, and their text would
// not survive the settings file. Where an older code page cannot hold a character, writer and reader meet
// the same stand-in.
template <typename Call>
std::string SystemText(Call call) {
    const int size = call(nullptr, 0);
    if (size <= 0) return std::string();
    std::vector<wchar_t> buffer(static_cast<size_t>(size));
    const int length = call(buffer.data(), size);
    return length > 0 ? DisplayText(std::wstring(buffer.data(), static_cast<size_t>(length - 1))) : std::string();
}

std::string LocaleText(LCTYPE type, LCID locale) {
    return SystemText([type, locale](wchar_t* buffer, int size) { return GetLocaleInfoW(locale, type, buffer, size); });
}

std::string MonthName(int month, bool full, LCID locale) {
    return LocaleText((full ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + static_cast<LCTYPE>(month - 1), locale);
}

// LOCALE_SDAYNAME1 is Monday.
std::string DayName(int mondayBased, bool full, LCID locale) {
    return LocaleText((full ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + static_cast<LCTYPE>(mondayBased), locale);
}

int MondayBasedWeekday(TDate date) {
    return ((date.Serial() - 2) % 7 + 7) % 7;
}

std::string Padded(int value, size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

// What the system's own formatter writes for a format on a day it can take (1601 and later).
std::string SystemFormatted(const std::string& format, int year, int month, int day, LCID locale) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    // Wine's 32-bit formatter may read past a format's end (a listed format crashed it at the end of a page):
    // zeros there.
    const std::wstring picture = WideText(format) + std::wstring(2, L'\0');
    return SystemText([&time, &picture, locale](wchar_t* buffer, int size) {
        return GetDateFormatW(locale, 0, &time, picture.c_str(), buffer, size);
    });
}

// The era is the system's: Windows documents one era name for "g" and "gg" ("A.D."), Wine writes its
// name once per letter ("ADAD"). Every day we can hold lies in the one era of the Gregorian calendar.
std::string EraText(size_t letters, LCID locale) {
    return SystemFormatted(std::string(letters, 'g'), 2000, 1, 1, locale);
}

// A single "y" is the system's too: Windows documents the last digit, Wine writes the two of "yy". The
// same year of this century stands in for years the system's formatter does not take.
std::string ShortYearText(int year, size_t letters, LCID locale) {
    if (letters == 2) return Padded(year % 100, 2);
    return SystemFormatted("y", 2000 + year % 100, 1, 1, locale);
}

// One piece of a date format: a run of one picture letter, or literal text (anything else, and quoted
// text, where '' stands for one quote and an unclosed quote runs to the end).
struct FormatPart {
    char letter;  // 'd', 'M', 'y', 'g', or 0 for literal text
    size_t count;
    std::string text;

    bool IsLiteral() const { return letter == 0; }
    bool IsDayName() const { return letter == 'd' && count > 2; }
    bool IsEra() const { return letter == 'g'; }
    // A day, month or year: what a reader must find. A day name or an era only decorates them.
    bool IsField() const { return letter == 'y' || letter == 'M' || (letter == 'd' && count <= 2); }
};

bool IsPictureLetter(char c) {
    return c == 'd' || c == 'M' || c == 'y' || c == 'g';
}

std::vector<FormatPart> SplitFormat(const std::string& format) {
    std::vector<FormatPart> parts;
    auto addLiteral = [&parts](const std::string& text) {
        if (!parts.empty() && parts.back().IsLiteral())
            parts.back().text += text;
        else
            parts.push_back({0, 0, text});
    };
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (IsPictureLetter(c)) {
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

int ExpandTwoDigitYear(int shortYear) {
    int year, month, day;
    Today().ToYMD(year, month, day);
    const int pivot = year - kTwoDigitYearWindow;
    int full = pivot / 100 * 100 + shortYear;
    if (full < pivot) full += 100;
    return full;
}

// Reads a date the way users type one, by the format's parts: one or two digits for a day or a month
// (a leading zero optional), up to four for a year, where two or fewer are a year of the sliding
// century window; a month the format writes by name given by name or number; blanks around
// everything ignored. Day names and eras may be left out, and so may literal text before the first
// field and at the end ("yyyy. MM. dd."); the text between fields is required. A field the format
// repeats must agree with itself. Where the text leaves more than one reading, the first that gives a
// valid date counts, longer numbers first.
class DateReader {
public:
    DateReader(const std::string& text, const std::vector<FormatPart>& parts, LCID locale)
        : text_(text), parts_(parts), locale_(locale) {
        for (size_t i = 0; i < parts_.size(); ++i) {
            if (!parts_[i].IsField()) continue;
            if (firstField_ == parts_.size()) firstField_ = i;
            lastField_ = i;
        }
    }

    bool Read(TDate& date) {
        if (!Match(0, 0)) return false;
        date = TDate::FromYMD(values_[kYear], values_[kMonth], values_[kDay]);
        return true;
    }

private:
    enum { kDay, kMonth, kYear };

    // A format the user set by hand could be built to make the search explode; none of the system's
    // needs more than a few hundred steps.
    static constexpr int kStepBudget = 100000;

    size_t SkipBlanks(size_t pos) const {
        while (pos < text_.size() && text_[pos] == ' ') ++pos;
        return pos;
    }

    bool MatchesAt(size_t pos, const std::string& word) const {
        if (word.empty() || text_.size() - pos < word.size()) return false;
        const std::wstring here = WideText(text_.substr(pos, word.size()));
        const std::wstring name = WideText(word);
        return CompareStringW(locale_, NORM_IGNORECASE, here.data(), static_cast<int>(here.size()), name.data(),
                              static_cast<int>(name.size())) == CSTR_EQUAL;
    }

    // The non-blank characters of a literal in order, blanks anywhere around them; npos when one is
    // missing. At the end of the format the text may stop short of the literal.
    size_t MatchLiteral(size_t pos, const std::string& literal, bool mayStopShort) const {
        for (char c : literal) {
            if (c == ' ') continue;
            pos = SkipBlanks(pos);
            if (pos < text_.size() && text_[pos] == c)
                ++pos;
            else
                return mayStopShort ? pos : std::string::npos;
        }
        return pos;
    }

    bool Store(int field, int value, size_t part, size_t pos) {
        const int before = values_[field];
        if (before != 0 && before != value) return false;
        values_[field] = value;
        if (Match(part + 1, pos)) return true;
        values_[field] = before;
        return false;
    }

    // A field that meets the next one without a separator takes exactly the digits its letters write
    // ("yyyyMMdd"); otherwise from one up to maxDigits, the longest first.
    bool MatchNumber(int field, size_t maxDigits, size_t part, size_t pos) {
        const FormatPart& piece = parts_[part];
        const bool fixedWidth = piece.count > 1 && part + 1 < parts_.size() && parts_[part + 1].IsField();
        const size_t most = !fixedWidth ? maxDigits : field == kYear && piece.count > 2 ? 4 : 2;
        const size_t fewest = fixedWidth ? most : 1;
        size_t available = 0;
        while (available < most && pos + available < text_.size() && text_[pos + available] >= '0' &&
               text_[pos + available] <= '9')
            ++available;
        for (size_t digits = available; digits >= fewest && digits > 0; --digits) {
            const int value = std::stoi(text_.substr(pos, digits));
            if (field == kYear && digits <= 2) {
                if (Store(field, ExpandTwoDigitYear(value), part, pos + digits)) return true;
            } else if (value > 0 && Store(field, value, part, pos + digits)) {
                return true;
            }
        }
        return false;
    }

    bool MatchMonthName(size_t part, size_t pos) {
        for (int month = 1; month <= 12; ++month) {
            for (bool full : {true, false}) {
                const std::string name = MonthName(month, full, locale_);
                if (MatchesAt(pos, name) && Store(kMonth, month, part, pos + name.size())) return true;
            }
        }
        return false;
    }

    bool MatchDayName(size_t part, size_t pos) {
        for (int weekday = 0; weekday < 7; ++weekday) {
            for (bool full : {true, false}) {
                const std::string name = DayName(weekday, full, locale_);
                if (MatchesAt(pos, name) && Match(part + 1, pos + name.size())) return true;
            }
        }
        return false;
    }

    bool Match(size_t part, size_t pos) {
        if (++steps_ > kStepBudget) return false;
        pos = SkipBlanks(pos);
        if (part == parts_.size())
            return pos == text_.size() && IsValidDate(values_[kYear], values_[kMonth], values_[kDay]);
        const FormatPart& piece = parts_[part];
        if (piece.IsLiteral()) {
            const size_t after = MatchLiteral(pos, piece.text, part > lastField_);
            if (after != std::string::npos && Match(part + 1, after)) return true;
            return part < firstField_ && Match(part + 1, pos);
        }
        if (piece.IsDayName()) return MatchDayName(part, pos) || Match(part + 1, pos);
        if (piece.IsEra()) {
            const std::string era = EraText(piece.count, locale_);
            return (MatchesAt(pos, era) && Match(part + 1, pos + era.size())) || Match(part + 1, pos);
        }
        if (piece.letter == 'y') return MatchNumber(kYear, 4, part, pos);
        if (piece.letter == 'M' && piece.count > 2 && MatchMonthName(part, pos)) return true;
        return MatchNumber(piece.letter == 'M' ? kMonth : kDay, 2, part, pos);
    }

    const std::string& text_;
    const std::vector<FormatPart>& parts_;
    const LCID locale_;
    size_t firstField_ = parts_.size();
    size_t lastField_ = 0;
    int values_[3] = {0, 0, 0};
    int steps_ = 0;
};

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

std::string ShortDateFormat(LCID locale) {
    return LocaleText(LOCALE_SSHORTDATE, locale);
}

std::string DateToStr(TDate date, const std::string& format, LCID locale) {
    int year, month, day;
    date.ToYMD(year, month, day);
    std::string text;
    for (const FormatPart& part : SplitFormat(format)) {
        switch (part.letter) {
            case 'd':
                text += part.count <= 2 ? Padded(day, part.count)
                                        : DayName(MondayBasedWeekday(date), part.count > 3, locale);
                break;
            case 'M':
                text += part.count <= 2 ? Padded(month, part.count) : MonthName(month, part.count > 3, locale);
                break;
            case 'y':
                // Three letters and more write the whole year.
                text += part.count <= 2 ? ShortYearText(year, part.count, locale) : Padded(year, 4);
                break;
            case 'g':
                text += EraText(part.count, locale);
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

bool TryStrToDate(const std::string& text, const std::string& format, TDate& date, LCID locale) {
    const std::vector<FormatPart> parts = SplitFormat(format);
    return DateReader(text, parts, locale).Read(date);
}

bool TryStrToDate(const std::string& text, TDate& date) {
    return TryStrToDate(text, ShortDateFormat(), date);
}

}  // namespace base
