#include "app/grid/CompletionDate.h"

#include <cstring>

namespace CompletionDate {

namespace {
LocalTimeReader clock = nullptr;  // null: the system's local time
}

void twoDigits(int number, char* position) {
    number %= 100;
    if (number < 0) number = -number;
    position[0] = static_cast<char>('0' + number / 10);
    position[1] = static_cast<char>('0' + number % 10);
    position[2] = '\0';
}

void formatDate(const SYSTEMTIME& time, char* text) {
    twoDigits(time.wMonth, text);
    text[2] = '/';
    twoDigits(time.wDay, text + 3);
    text[5] = '/';
    twoDigits(time.wYear % 100, text + 6);
}

void formatTime(const SYSTEMTIME& time, char* text) {
    int hour = time.wHour;
    int shown = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
    twoDigits(shown, text);
    text[2] = ':';
    twoDigits(time.wMinute, text + 3);
    std::memcpy(text + 5, hour < 12 ? " AM" : " PM", 4);
}

void formatStamp(const SYSTEMTIME& time, char* text) {
    formatDate(time, text);
    text[8] = ' ';
    formatTime(time, text + 9);
}

void readLocalTime(SYSTEMTIME* time) {
    if (clock) clock(time);
    else GetLocalTime(time);
}

LocalTimeReader setLocalTimeReader(LocalTimeReader reader) {
    LocalTimeReader previous = clock;
    clock = reader;
    return previous;
}

}  // namespace CompletionDate
