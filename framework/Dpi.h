// The dots per inch a window is shown at, and the layout's sizes for it.
// Every fixed size of the program is written for 96 DPI; dpi(size) gives it
// for this DPI, so at 96 DPI every size stays exactly what it was.
//
//   const Dpi dpi = Dpi::of(hwnd);
//   button.create(hwnd, 0, "&Ok", x, y, dpi(60), dpi(30));
#pragma once
#include <windows.h>

class Dpi {
public:
    static constexpr int standard = 96;
    // WM_DPICHANGED (Windows 8.1 and later); the headers hide it at the
    // Windows version the program is built for.
    static constexpr UINT changedMessage = 0x02E0;

    constexpr Dpi() = default;
    explicit constexpr Dpi(int value) : value_(value > 0 ? value : standard) {}

    // The DPI of window's monitor as the system scales it for this
    // per-monitor aware process: GetDpiForWindow (Windows 10 1607 and later,
    // looked up at run time); where user32 lacks it, the system DPI.
    static Dpi of(HWND window);
    // The system DPI: the screen's LOGPIXELSY, which the stock fonts follow.
    static Dpi ofSystem();

    // size, given for 96 DPI, at this DPI (rounded; negative sizes too).
    int operator()(int size) const { return MulDiv(size, value_, standard); }
    int value() const { return value_; }
    bool operator==(const Dpi& other) const { return value_ == other.value_; }
    bool operator!=(const Dpi& other) const { return value_ != other.value_; }

private:
    int value_ = standard;
};
