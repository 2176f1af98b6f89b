// The date and time stamp of a ticked entry: "MM/DD/YY hh:mm AM".
#pragma once
#include <windows.h>

namespace CompletionDate {

// Length of a full stamp, without the terminating NUL.
const int StampLength = 17;

// Writes number (0-99) as two digits at position, with a leading "0" below
// 10, and ends the text there.
void twoDigits(int number, char* position);
// Writes "MM/DD/YY" into text (at least 9 bytes).
void formatDate(const SYSTEMTIME& time, char* text);
// Writes "hh:mm AM" or "hh:mm PM" on a 12-hour clock into text (9 bytes).
void formatTime(const SYSTEMTIME& time, char* text);
// Writes the full stamp of time into text (at least 18 bytes).
void formatStamp(const SYSTEMTIME& time, char* text);

// Reads the local time; GetLocalTime unless a test has put its own clock in.
void readLocalTime(SYSTEMTIME* time);
using LocalTimeReader = void (*)(SYSTEMTIME*);
// Replaces the clock (null restores GetLocalTime); returns the previous one.
LocalTimeReader setLocalTimeReader(LocalTimeReader reader);

}  // namespace CompletionDate
