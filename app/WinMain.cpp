// Entry function of Tallyvane.exe.
#include <windows.h>

#include "app/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (!program::start(instance, showCommand, GetCommandLineA())) return 0;
    program::mainWindow.offerRecovery();
    return program::mainWindow.runMessageLoop();
}
