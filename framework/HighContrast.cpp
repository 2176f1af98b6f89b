#include "framework/HighContrast.h"

namespace {
int g_forced = -1;
}

bool HighContrast::on()
{
    if (g_forced >= 0)
        return g_forced != 0;
    HIGHCONTRASTA setting = {};
    setting.cbSize = sizeof setting;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON);
}

void HighContrast::force(int state)
{
    g_forced = state;
}

COLORREF HighContrast::pick(COLORREF normal, int systemColour)
{
    return on() ? GetSysColor(systemColour) : normal;
}
