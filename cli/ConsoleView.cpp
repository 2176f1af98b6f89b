#include "ConsoleView.h"

void ConsoleView::reportError(const char* caption, const char* text)
{
    fprintf(out_, "%s: %s\n", caption, text);
    fflush(out_);
}
