// reg_dpi DPI: sets the display DPI of the Wine prefix it runs in, for the
// processes started after it. Wine 8 reads LogPixels from the user's
// "Control Panel\Desktop" key, else from HKEY_CURRENT_CONFIG\Software\Fonts.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
bool setLogPixels(HKEY root, const char* path, DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}
}  // namespace

int main(int argc, char** argv) {
    const int dpi = argc == 2 ? std::atoi(argv[1]) : 0;
    if (dpi < 96 || dpi > 480) {
        std::fprintf(stderr, "usage: reg_dpi DPI (96 to 480)\n");
        return 2;
    }
    if (!setLogPixels(HKEY_CURRENT_USER, "Control Panel\\Desktop", static_cast<DWORD>(dpi)) ||
        !setLogPixels(HKEY_CURRENT_CONFIG, "Software\\Fonts", static_cast<DWORD>(dpi))) {
        std::fprintf(stderr, "reg_dpi: could not write LogPixels\n");
        return 1;
    }
    return 0;
}
