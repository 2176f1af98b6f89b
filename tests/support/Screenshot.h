// Pixels of windows as the display shows them, and PNG files of them for a
// person to look at.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tvtest {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    // Colour at (x, y) as 0x00BBGGRR (like GetPixel); CLR_INVALID outside.
    COLORREF pixel(int x, int y) const;
};

// Repaints window with its children and copies its window rectangle from the
// display.
Image captureWindow(HWND window);
// The same for the client area alone (no title bar, menu bar or border, which
// the window manager and the active state change).
Image captureClient(HWND window);
// Writes image as an RGB PNG file. Returns false when the file can't be written.
bool savePng(const Image& image, const std::string& path);
// The folder for screenshots: <build tree>/screenshots, made when missing.
std::string screenshotFolder();
// Captures window and saves it as <screenshotFolder>/<name>.png; returns the
// path, or an empty string on failure.
std::string saveWindowPng(HWND window, const char* name);

} // namespace tvtest
