// This computer, this user and the Tallyvane processes running on it, as the
// presence and recovery files name them.
#pragma once
#include <windows.h>

#include <cstdint>

// The computer's NetBIOS name; "" when it can't be read. size characters.
void thisComputerName(char* name, int size);
// The user's logon name; "" when it can't be read.
void thisUserName(char* name, int size);
// 1 when process pid runs and is a Tallyvane: its program file has the
// name of this process's own program file. A process that runs but can't
// be asked counts as one, so that nobody's open file is taken over.
int isTallyvaneRunning(uint32_t pid);
