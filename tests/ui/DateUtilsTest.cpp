#include <gtest/gtest.h>

#include "ui/DateUtils.h"
#include "ui/SysUtils.h"

namespace {

ui::TDate Parsed(const std::string& text, const std::string& format) {
    ui::TDate date = ui::TDate::FromSerial(-1);
    EXPECT_TRUE(ui::TryStrToDate(text, format, date)) << '"' << text << "\" as " << format;
    return date;
}

bool Parses(const std::string& text, const std::string& format) {
    ui::TDate date;
    return ui::TryStrToDate(text, format, date);
}

int ThisYear() {
    int year, month, day;
    ui::Today().ToYMD(year, month, day);
    return year;
}

TEST(DateUtils, SerialDaysCountFromTheZeroDate) {
    EXPECT_EQ(ui::TDate::FromYMD(1899, 12, 30).Serial(), 0);
    EXPECT_TRUE(ui::TDate::FromYMD(1899, 12, 30).IsZero());
    EXPECT_EQ(ui::TDate::FromYMD(1899, 12, 29).Serial(), -1);
    // 1900 is no leap year: 28 February and 1 March are neighbours.
    EXPECT_EQ(ui::TDate::FromYMD(1900, 3, 1).Serial() - ui::TDate::FromYMD(1900, 2, 28).Serial(), 1);
    EXPECT_EQ(ui::TDate::FromYMD(2000, 3, 1).Serial() - ui::TDate::FromYMD(2000, 2, 28).Serial(), 2);
    // 400 Gregorian years are always 146097 days.
    EXPECT_EQ(ui::TDate::FromYMD(2300, 6, 15).Serial() - ui::TDate::FromYMD(1900, 6, 15).Serial(), 146097);
}

TEST(DateUtils, EveryDayRoundTripsThroughYearMonthDay) {
    int previousYear = 0, previousMonth = 0, previousDay = 0;
    const int first = ui::TDate::FromYMD(1, 1, 1).Serial();
    const int last = ui::TDate::FromYMD(9999, 12, 31).Serial();
    for (int serial = first; serial <= last; ++serial) {
        int year, month, day;
        ui::TDate::FromSerial(serial).ToYMD(year, month, day);
        ASSERT_EQ(ui::TDate::FromYMD(year, month, day).Serial(), serial);
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
    EXPECT_THROW(ui::TDate::FromYMD(1900, 2, 29), ui::ERangeError);
    EXPECT_THROW(ui::TDate::FromYMD(2021, 4, 31), ui::ERangeError);
    EXPECT_THROW(ui::TDate::FromYMD(2021, 13, 1), ui::ERangeError);
    EXPECT_THROW(ui::TDate::FromYMD(2021, 1, 0), ui::ERangeError);
    EXPECT_THROW(ui::TDate::FromYMD(0, 1, 1), ui::ERangeError);
    EXPECT_NO_THROW(ui::TDate::FromYMD(2000, 2, 29));
}

TEST(DateUtils, TodayIsTheLocalClocksDate) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    const ui::TDate today = ui::Today();
    GetLocalTime(&after);
    int year, month, day;
    today.ToYMD(year, month, day);
    // Midnight may pass between the calls.
    const bool matchesBefore = year == before.wYear && month == before.wMonth && day == before.wDay;
    const bool matchesAfter = year == after.wYear && month == after.wMonth && day == after.wDay;
    EXPECT_TRUE(matchesBefore || matchesAfter);
}

TEST(DateUtils, WritesTheFieldsTheFormatAsksFor) {
    const ui::TDate march5 = ui::TDate::FromYMD(2021, 3, 5);
    EXPECT_EQ(ui::DateToStr(march5, "M/d/yyyy"), "3/5/2021");
    EXPECT_EQ(ui::DateToStr(march5, "dd.MM.yyyy"), "05.03.2021");
    EXPECT_EQ(ui::DateToStr(march5, "yyyy-MM-dd"), "2021-03-05");
    EXPECT_EQ(ui::DateToStr(march5, "d/M/yy"), "5/3/21");
    EXPECT_EQ(ui::DateToStr(ui::TDate::FromYMD(2005, 11, 25), "y|yy"), "5|05");
    EXPECT_EQ(ui::DateToStr(march5, "'d''M' d"), "d'M 5");
    EXPECT_EQ(ui::DateToStr(ui::TDate(), "M/d/yyyy"), "12/30/1899");
    EXPECT_EQ(ui::DateToStr(ui::TDate::FromYMD(987, 6, 7), "yyyy-MM-dd"), "0987-06-07");
}

TEST(DateUtils, ReadsDayMonthAndYearInTheFormatsOrder) {
    const ui::TDate march5 = ui::TDate::FromYMD(2021, 3, 5);
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
    EXPECT_EQ(Parsed("12/30/1899", "M/d/yyyy"), ui::TDate());
}

TEST(DateUtils, TextThatIsNotADateIsRefused) {
    for (const char* text : {"", "   ", "never", "3/5", "3/5/2021/1", "3-5-2021", "3/5/2021x", "13/5/2021", "2/29/2021",
                             "0/5/2021", "3/0/2021", "3/5/12345", "3//2021", "-3/5/2021"}) {
        EXPECT_FALSE(Parses(text, "M/d/yyyy")) << '"' << text << '"';
    }
    EXPECT_FALSE(Parses("2021/03/05", "yyyy-MM-dd"));
    EXPECT_FALSE(Parses("05.13.2021", "dd.MM.yyyy"));
    EXPECT_TRUE(Parses("2/29/2020", "M/d/yyyy"));
}

TEST(DateUtils, TwoDigitYearsFallWithinFiftyYearsOfThisYear) {
    const int thisYear = ThisYear();
    const int oldest = thisYear - 50;
    const int newest = oldest + 99;
    const auto twoDigits = [](int year) { return ui::Format("%02d", year % 100); };
    EXPECT_EQ(Parsed("1/2/" + twoDigits(oldest), "M/d/yy"), ui::TDate::FromYMD(oldest, 1, 2));
    EXPECT_EQ(Parsed("1/2/" + twoDigits(newest), "M/d/yy"), ui::TDate::FromYMD(newest, 1, 2));
    EXPECT_EQ(Parsed("1/2/" + twoDigits(thisYear), "M/d/yyyy"), ui::TDate::FromYMD(thisYear, 1, 2));
    EXPECT_EQ(Parsed("02.01." + std::to_string((thisYear + 1) % 100), "dd.MM.yyyy"),
              ui::TDate::FromYMD(thisYear + 1, 1, 2));
    // Four digits are taken as written, even far outside the window.
    EXPECT_EQ(Parsed("1/2/1850", "M/d/yy"), ui::TDate::FromYMD(1850, 1, 2));
}

TEST(DateUtils, MonthNamesRoundTripInTheUsersLanguage) {
    for (int month = 1; month <= 12; ++month) {
        const ui::TDate date = ui::TDate::FromYMD(2024, month, 28);
        for (const char* format : {"d-MMM-yyyy", "MMMM d, yyyy"}) {
            const std::string text = ui::DateToStr(date, format);
            EXPECT_EQ(Parsed(text, format), date) << text;
        }
    }
}

TEST(DateUtils, UsersShortDateFormatRoundTripsEveryDay) {
    const std::string format = ui::ShortDateFormat();
    ASSERT_FALSE(format.empty());
    if (format.find("yyy") == std::string::npos) GTEST_SKIP() << "two-digit years cannot round-trip: " << format;
    for (int serial = ui::TDate::FromYMD(1899, 12, 1).Serial(); serial <= ui::TDate::FromYMD(2100, 1, 1).Serial();
         serial += 17) {
        const ui::TDate date = ui::TDate::FromSerial(serial);
        EXPECT_EQ(ui::DateToStr(date), ui::DateToStr(date, format));
        ui::TDate back;
        ASSERT_TRUE(ui::TryStrToDate(ui::DateToStr(date), back)) << ui::DateToStr(date);
        EXPECT_EQ(back, date);
    }
}

}  // namespace
