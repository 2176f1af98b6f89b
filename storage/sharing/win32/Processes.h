// This computer, this user and the Tallyvane processes running on it, as the
// presence and recovery files name them.
#pragma once
#include <windows.h>

#include <cstdint>

// Each name in UTF-8 (whatever code page the program runs in), cut at a
// whole character to fit size bytes with its terminating zero.
// The computer's NetBIOS name; "" when it can't be read.
void thisComputerName(char* name, int size);
// The computer's full DNS name ("pc7.club.example"; NetBIOS names are cut to
// 15 characters and two computers can share one), else its NetBIOS name.
void thisHostName(char* name, int size);
// The user's logon name; "" when it can't be read.
void thisUserName(char* name, int size);
// When process pid started (FILETIME ticks) if it runs and is a Tallyvane
// (its program file has the name of this process's own); 0 when it runs
// but can't be asked, so that nobody's open file is taken over; -1 when it
// is no Tallyvane that runs.
int64_t tallyvaneStartTime(uint32_t pid);
// This process's start, as tallyvaneStartTime gives it.
int64_t thisProcessStartTime();
