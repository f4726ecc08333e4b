#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "base/DateUtils.h"
#include "base/SysUtils.h"

namespace {

base::TDate Parsed(const std::string& text, const std::string& format) {
    base::TDate date = base::TDate::FromSerial(-1);
    EXPECT_TRUE(base::TryStrToDate(text, format, date)) << '"' << text << "\" as " << format;
    return date;
}

bool Parses(const std::string& text, const std::string& format) {
    base::TDate date;
    return base::TryStrToDate(text, format, date);
}

int ThisYear() {
    int year, month, day;
    base::Today().ToYMD(year, month, day);
    return year;
}

TEST(DateUtils, SerialDaysCountFromTheZeroDate) {
    EXPECT_EQ(base::TDate::FromYMD(1899, 12, 30).Serial(), 0);
    EXPECT_TRUE(base::TDate::FromYMD(1899, 12, 30).IsZero());
    EXPECT_EQ(base::TDate::FromYMD(1899, 12, 29).Serial(), -1);
    // 1900 is no leap year: 28 February and 1 March are neighbours.
    EXPECT_EQ(base::TDate::FromYMD(1900, 3, 1).Serial() - base::TDate::FromYMD(1900, 2, 28).Serial(), 1);
    EXPECT_EQ(base::TDate::FromYMD(2000, 3, 1).Serial() - base::TDate::FromYMD(2000, 2, 28).Serial(), 2);
    // 400 Gregorian years are always 146097 days.
    EXPECT_EQ(base::TDate::FromYMD(2300, 6, 15).Serial() - base::TDate::FromYMD(1900, 6, 15).Serial(), 146097);
}

TEST(DateUtils, EveryDayRoundTripsThroughYearMonthDay) {
    int previousYear = 0, previousMonth = 0, previousDay = 0;
    const int first = base::TDate::FromYMD(1, 1, 1).Serial();
    const int last = base::TDate::FromYMD(9999, 12, 31).Serial();
    for (int serial = first; serial <= last; ++serial) {
        int year, month, day;
        base::TDate::FromSerial(serial).ToYMD(year, month, day);
        ASSERT_EQ(base::TDate::FromYMD(year, month, day).Serial(), serial);
        if (serial > first) {
            // Each day follows the one before: the next day of the month, or the first of the next month.
            const bool nextDay = year == previousYear && month == previousMonth && day == previousDay + 1;
            const bool nextMonth = day == 1 && (month == previousMonth + 1 || (month == 1 && previousMonth == 12));
            ASSERT_TRUE(nextDay || nextMonth) << serial;
        }
        previousYear = year;
        previousMonth = month;
        previousDay = day;
    }
}

TEST(DateUtils, NoSuchDayIsARangeError) {
    EXPECT_THROW(base::TDate::FromYMD(1900, 2, 29), base::ERangeError);
    EXPECT_THROW(base::TDate::FromYMD(2021, 4, 31), base::ERangeError);
    EXPECT_THROW(base::TDate::FromYMD(2021, 13, 1), base::ERangeError);
    EXPECT_THROW(base::TDate::FromYMD(2021, 1, 0), base::ERangeError);
    EXPECT_THROW(base::TDate::FromYMD(0, 1, 1), base::ERangeError);
    EXPECT_NO_THROW(base::TDate::FromYMD(2000, 2, 29));
}

TEST(DateUtils, TodayIsTheLocalClocksDate) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    const base::TDate today = base::Today();
    GetLocalTime(&after);
    int year, month, day;
    today.ToYMD(year, month, day);
    // Midnight may pass between the calls.
    const bool matchesBefore = year == before.wYear && month == before.wMonth && day == before.wDay;
    const bool matchesAfter = year == after.wYear && month == after.wMonth && day == after.wDay;
    EXPECT_TRUE(matchesBefore || matchesAfter);
}

TEST(DateUtils, WritesTheFieldsTheFormatAsksFor) {
    const base::TDate march5 = base::TDate::FromYMD(2021, 3, 5);
    EXPECT_EQ(base::DateToStr(march5, "M/d/yyyy"), "3/5/2021");
    EXPECT_EQ(base::DateToStr(march5, "dd.MM.yyyy"), "05.03.2021");
    EXPECT_EQ(base::DateToStr(march5, "yyyy-MM-dd"), "2021-03-05");
    EXPECT_EQ(base::DateToStr(march5, "d/M/yy"), "5/3/21");
    EXPECT_EQ(base::DateToStr(base::TDate::FromYMD(2005, 11, 25), "yy|yyy|yyyyy"), "05|2005|2005");
    EXPECT_EQ(base::DateToStr(march5, "'d''M' d"), "d'M 5");
    EXPECT_EQ(base::DateToStr(base::TDate(), "M/d/yyyy"), "12/30/1899");
    EXPECT_EQ(base::DateToStr(base::TDate::FromYMD(987, 6, 7), "yyyy-MM-dd"), "0987-06-07");
}

TEST(DateUtils, ReadsDayMonthAndYearInTheFormatsOrder) {
    const base::TDate march5 = base::TDate::FromYMD(2021, 3, 5);
    EXPECT_EQ(Parsed("3/5/2021", "M/d/yyyy"), march5);
    EXPECT_EQ(Parsed("03/05/2021", "M/d/yyyy"), march5);
    EXPECT_EQ(Parsed("05.03.2021", "dd.MM.yyyy"), march5);
    EXPECT_EQ(Parsed("5.3.2021", "dd.MM.yyyy"), march5);
    EXPECT_EQ(Parsed("2021-03-05", "yyyy-MM-dd"), march5);
    EXPECT_EQ(Parsed("2021-3-5", "yyyy-MM-dd"), march5);
    EXPECT_EQ(Parsed(" 3/5/2021 ", "M/d/yyyy"), march5);
    EXPECT_EQ(Parsed("2021. 03. 05.", "yyyy. MM. dd."), march5);
    EXPECT_EQ(Parsed("2021.3.5", "yyyy. MM. dd."), march5);
    EXPECT_EQ(Parsed("5 3 2021", "d M yyyy"), march5);
    EXPECT_EQ(Parsed("12/30/1899", "M/d/yyyy"), base::TDate());
    // Fields that meet without a separator take the digits the format gives them.
    EXPECT_EQ(Parsed("20210305", "yyyyMMdd"), march5);
    EXPECT_EQ(Parsed("050321", "ddMMyy"), march5);
    // Text before the first field, day names and eras are read when present and may be left out.
    EXPECT_EQ(Parsed("Date: 3/5/2021", "'Date: 'M/d/yyyy"), march5);
    EXPECT_EQ(Parsed("3/5/2021", "'Date: 'M/d/yyyy"), march5);
    EXPECT_EQ(Parsed("Fri 3/5/2021", "ddd M/d/yyyy"), march5);
    EXPECT_EQ(Parsed("FRIDAY 3/5/2021", "ddd M/d/yyyy"), march5);
    EXPECT_EQ(Parsed("3/5/2021", "ddd M/d/yyyy"), march5);
    EXPECT_EQ(Parsed(base::DateToStr(march5, "gg yyyy-MM-dd"), "gg yyyy-MM-dd"), march5);
    EXPECT_EQ(Parsed("2021-03-05", "gg yyyy-MM-dd"), march5);
    // A field written twice must agree with itself.
    EXPECT_EQ(Parsed("5 3/5/2021", "d M/d/yyyy"), march5);
}

TEST(DateUtils, TextThatIsNotADateIsRefused) {
    for (const char* text : {"", "   ", "never", "3/5", "3/5/2021/1", "3-5-2021", "3/5/2021x", "13/5/2021", "2/29/2021",
                             "0/5/2021", "3/0/2021", "3/5/12345", "3//2021", "-3/5/2021"}) {
        EXPECT_FALSE(Parses(text, "M/d/yyyy")) << '"' << text << '"';
    }
    EXPECT_FALSE(Parses("2021/03/05", "yyyy-MM-dd"));
    EXPECT_FALSE(Parses("05.13.2021", "dd.MM.yyyy"));
    EXPECT_FALSE(Parses("Fry 3/5/2021", "ddd M/d/yyyy"));
    EXPECT_FALSE(Parses("Date 3/5/2021", "'Date: 'M/d/yyyy"));
    EXPECT_FALSE(Parses("2021030", "yyyyMMdd"));
    EXPECT_FALSE(Parses("6 3/5/2021", "d M/d/yyyy"));
    EXPECT_FALSE(Parses("3/5/2021", "d/M"));
    EXPECT_TRUE(Parses("2/29/2020", "M/d/yyyy"));
}

TEST(DateUtils, TwoDigitYearsFallWithinFiftyYearsOfThisYear) {
    const int thisYear = ThisYear();
    const int oldest = thisYear - 50;
    const int newest = oldest + 99;
    const auto twoDigits = [](int year) { return base::Format("%02d", year % 100); };
    EXPECT_EQ(Parsed("1/2/" + twoDigits(oldest), "M/d/yy"), base::TDate::FromYMD(oldest, 1, 2));
    EXPECT_EQ(Parsed("1/2/" + twoDigits(newest), "M/d/yy"), base::TDate::FromYMD(newest, 1, 2));
    EXPECT_EQ(Parsed("1/2/" + twoDigits(thisYear), "M/d/yyyy"), base::TDate::FromYMD(thisYear, 1, 2));
    EXPECT_EQ(Parsed("02.01." + std::to_string((thisYear + 1) % 100), "dd.MM.yyyy"),
              base::TDate::FromYMD(thisYear + 1, 1, 2));
    // Four digits are taken as written, even far outside the window.
    EXPECT_EQ(Parsed("1/2/1850", "M/d/yy"), base::TDate::FromYMD(1850, 1, 2));
}

TEST(DateUtils, MonthNamesRoundTripInTheUsersLanguage) {
    for (int month = 1; month <= 12; ++month) {
        const base::TDate date = base::TDate::FromYMD(2024, month, 28);
        for (const char* format : {"d-MMM-yyyy", "MMMM d, yyyy"}) {
            const std::string text = base::DateToStr(date, format);
            EXPECT_EQ(Parsed(text, format), date) << text;
        }
    }
}

// Every locale and its short date formats as the system lists them, through the wide calls and in UTF-8, as
// the program takes them. The enumerations take no context, hence the file's own lists.
std::vector<std::string> listedFormats;
std::vector<LCID> locales;

BOOL CALLBACK OnShortDateFormat(LPWSTR format) {
    listedFormats.push_back(base::NarrowText(format));
    return TRUE;
}

BOOL CALLBACK OnLocale(LPWSTR name) {
    locales.push_back(std::wcstoul(name, nullptr, 16));
    EnumDateFormatsW(OnShortDateFormat, locales.back(), DATE_SHORTDATE);
    return TRUE;
}

void ListLocales() {
    locales.clear();
    listedFormats.clear();
    EnumSystemLocalesW(OnLocale, LCID_SUPPORTED);
}

// What the system's wide formatter writes, in UTF-8: what a user of the locale sees.
std::string SystemDateText(base::TDate date, const std::string& format, bool& accepted,
                           LCID locale = LOCALE_USER_DEFAULT) {
    int year, month, day;
    date.ToYMD(year, month, day);
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    wchar_t text[256];
    // Wine's 32-bit formatter may read past a format's end (a listed format crashed it at the end of a page):
    // zeros there.
    const std::wstring picture = base::WideText(format) + std::wstring(2, L'\0');
    const int length = GetDateFormatW(locale, 0, &time, picture.c_str(), text, 256);
    accepted = length > 0;
    return accepted ? base::NarrowText(text) : std::string();
}

// The round trip below runs in the pinned en-US locale, with ASCII names only, and compared with the system's
// single-byte formatter, which answered in the same code page as the program's calls: another locale's text
// matched on both sides, while a run in that locale wrote bytes that the UTF-8 settings file turned into U+FFFD.
// Here each locale writes with its own names and formats, as a run in it does. (Beside a day the system writes
// some languages' genitive month names, "мая" for "май": texts with month names are only read back.)
TEST(DateUtils, EveryLocaleWritesItsOwnDatesInUtf8AndReadsThemBack) {
    ListLocales();
    ASSERT_GT(locales.size(), 200u);
    for (const LCID locale : locales) {
        for (const std::string& format :
             {base::ShortDateFormat(locale), std::string("d MMMM yyyy"), std::string("dd-MMM-yyyy")}) {
            for (int month = 1; month <= 12; ++month) {
                const base::TDate date = base::TDate::FromYMD(2026, month, 28);
                const std::string text = base::DateToStr(date, format, locale);
                bool accepted = false;
                const std::string system = SystemDateText(date, format, accepted, locale);
                base::TDate back;
                const bool clean = base::IsValidUtf8(text) && text.find('?') == std::string::npos &&
                                   text.find("\xEF\xBF\xBD") == std::string::npos;
                if (clean && (text == system || format.find("MMM") != std::string::npos) &&
                    base::TryStrToDate(text, format, back, locale) && back == date)
                    continue;
                ADD_FAILURE() << std::hex << locale << " \"" << format << "\": \"" << text << "\", the system \""
                              << system << '"';
            }
        }
    }
}

TEST(DateUtils, EveryShortDateFormatRoundTripsAndIsWrittenAsTheSystemWritesIt) {
    ListLocales();
    const size_t listed = listedFormats.size();
    ASSERT_GT(listed, 100u);
    std::vector<std::string> formats = listedFormats;
    std::sort(formats.begin(), formats.end());
    formats.erase(std::unique(formats.begin(), formats.end()), formats.end());
    const size_t systemFormats = formats.size();
    // Formats a user may set by hand, with text the system's own lists do not have.
    for (const char* format : {"'Date: 'M/d/yyyy", "ddd M/d/yyyy", "dddd, MMMM d, yyyy", "yyyyMMdd", "ddMMyy",
                               "gg yyyy-MM-dd", "g y/M/d", "d 'de' MMMM 'de' yyyy", "'It''s' d.M.yy", "MMM-dd-yyyy"})
        formats.push_back(format);
    formats.push_back(base::ShortDateFormat());

    std::vector<base::TDate> dates = {base::TDate(), base::TDate::FromYMD(2028, 2, 29),
                                      base::TDate::FromYMD(2099, 12, 31)};
    for (int serial = base::TDate::FromYMD(2026, 1, 1).Serial(); serial <= base::TDate::FromYMD(2027, 12, 31).Serial();
         ++serial)
        dates.push_back(base::TDate::FromSerial(serial));
    const int thisYear = ThisYear();
    // The system's formatter writes no day before 1601; every day within 50 years of this one is read back
    // whatever the format.
    size_t writable = 0, nearby = 0;
    for (const base::TDate date : dates) {
        int year, month, day;
        date.ToYMD(year, month, day);
        writable += year >= 1601 ? 1 : 0;
        nearby += std::abs(year - thisYear) < 50 ? 1 : 0;
    }

    // One report per format that fails, with its first failing day.
    size_t checked = 0, compared = 0;
    int failures = 0;
    std::string notCompared;
    for (size_t index = 0; index < formats.size(); ++index) {
        const std::string& format = formats[index];
        const size_t comparedBefore = compared;
        std::string failure;
        for (const base::TDate date : dates) {
            const std::string text = base::DateToStr(date, format);
            bool accepted = false;
            const std::string expected = SystemDateText(date, format, accepted);
            if (accepted) {
                ++compared;
                if (text != expected && failure.empty())
                    failure = "wrote \"" + text + "\", the system \"" + expected + '"';
            }
            // A year the text does not spell out in full reads back within the window around this year.
            int year, month, day;
            date.ToYMD(year, month, day);
            if (std::abs(year - thisYear) >= 50 && text.find(std::to_string(year)) == std::string::npos) continue;
            ++checked;
            base::TDate back = base::TDate::FromSerial(-1);
            if ((!base::TryStrToDate(text, format, back) || back != date) && failure.empty())
                failure = "\"" + text + "\" read back as day " + std::to_string(back.Serial()) + ", not " +
                          std::to_string(date.Serial());
        }
        if (!failure.empty()) {
            ++failures;
            ADD_FAILURE() << "format \"" << format << "\": " << failure;
        }
        // A format of the system's own lists that its formatter refuses would be compared with nothing.
        if (index < systemFormats && compared - comparedBefore != writable && notCompared.empty()) notCompared = format;
    }
    EXPECT_GT(writable, 0u);
    EXPECT_EQ(notCompared, "") << "every listed format is compared on every day the system writes";
    EXPECT_GE(compared, systemFormats * writable);
    EXPECT_GE(checked, formats.size() * nearby);
    EXPECT_GT(nearby, 0u);
    std::cout << failures << " of " << formats.size() << " formats failed; " << listed << " listed by the system; "
              << checked << " round trips, " << compared << " compared with the system's formatter\n";
}

}  // namespace
