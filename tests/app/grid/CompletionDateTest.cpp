#include "app/grid/CompletionDate.h"

#include <gtest/gtest.h>
#include <string>

namespace {

SYSTEMTIME at(int year, int month, int day, int hour, int minute) {
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    return t;
}

std::string stamp(const SYSTEMTIME& t) {
    char text[32];
    CompletionDate::formatStamp(t, text);
    return text;
}

}  // namespace

TEST(CompletionDate, TwoDigitsPadsBelowTen) {
    char text[3];
    CompletionDate::twoDigits(0, text);
    EXPECT_STREQ("00", text);
    CompletionDate::twoDigits(7, text);
    EXPECT_STREQ("07", text);
    CompletionDate::twoDigits(42, text);
    EXPECT_STREQ("42", text);
}

TEST(CompletionDate, TwelveHourClock) {
    EXPECT_EQ("03/07/26 09:05 PM", stamp(at(2026, 3, 7, 21, 5)));
    EXPECT_EQ("03/07/26 12:30 AM", stamp(at(2026, 3, 7, 0, 30)));
    EXPECT_EQ("03/07/26 12:00 PM", stamp(at(2026, 3, 7, 12, 0)));
    EXPECT_EQ("03/07/26 12:59 PM", stamp(at(2026, 3, 7, 12, 59)));
    EXPECT_EQ("03/07/26 01:00 PM", stamp(at(2026, 3, 7, 13, 0)));
    EXPECT_EQ("03/07/26 11:59 AM", stamp(at(2026, 3, 7, 11, 59)));
    EXPECT_EQ(17u, stamp(at(2026, 12, 31, 23, 59)).size());
}

TEST(CompletionDate, YearsEndingInZeroToNine) {
    for (int y = 0; y <= 9; ++y) {
        char text[16];
        CompletionDate::formatDate(at(2000 + y, 1, 2, 0, 0), text);
        EXPECT_EQ("01/02/0" + std::to_string(y), std::string(text));
    }
    char text[16];
    CompletionDate::formatDate(at(1999, 11, 30, 0, 0), text);
    EXPECT_STREQ("11/30/99", text);
}

TEST(CompletionDate, ClockCanBeReplaced) {
    auto fixed = [](SYSTEMTIME* t) { *t = at(2031, 5, 6, 7, 8); };
    auto previous = CompletionDate::setLocalTimeReader(fixed);
    SYSTEMTIME t;
    CompletionDate::readLocalTime(&t);
    EXPECT_EQ(2031, t.wYear);
    CompletionDate::setLocalTimeReader(previous);
    CompletionDate::readLocalTime(&t);
    EXPECT_GT(t.wYear, 2000);
}
