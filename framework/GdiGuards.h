// Small owners for device contexts and GDI objects, so that no paint or
// showing leaks a pen, brush, font or region. None of them can be copied.
//
//   PaintDc paint(hwnd);                       // BeginPaint ... EndPaint
//   DcState saved(paint);                      // SaveDC ... RestoreDC
//   GdiObject<HPEN> pen(CreatePen(...));       // DeleteObject at the end
//   SelectGuard use(paint, pen);               // selects, restores the previous object
#pragma once
#include <windows.h>

// BeginPaint/EndPaint of one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    ~PaintDc() { EndPaint(window_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    operator HDC() const { return dc_; }
    const PAINTSTRUCT& paint() const { return ps_; }

private:
    HWND window_;
    HDC dc_;
    PAINTSTRUCT ps_;
};

// GetDC/ReleaseDC of a window (the screen when window is null).
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { if (dc_) ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A DC made with CreateICA/CreateCompatibleDC, deleted with DeleteDC.
class OwnedDc {
public:
    explicit OwnedDc(HDC dc) : dc_(dc) {}
    ~OwnedDc() { if (dc_) DeleteDC(dc_); }
    OwnedDc(const OwnedDc&) = delete;
    OwnedDc& operator=(const OwnedDc&) = delete;

    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// SaveDC on construction, RestoreDC on destruction: colours, modes and
// selected objects all come back.
class DcState {
public:
    explicit DcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~DcState() { if (saved_) RestoreDC(dc_, saved_); }
    DcState(const DcState&) = delete;
    DcState& operator=(const DcState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Owns one GDI object (pen, brush, font, region, bitmap) and deletes it.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void reset(Handle handle = nullptr)
    {
        if (handle_)
            DeleteObject(handle_);
        handle_ = handle;
    }
    // Gives the handle away (to SetWindowRgn, for instance).
    Handle release()
    {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    Handle get() const { return handle_; }
    operator Handle() const { return handle_; }

private:
    Handle handle_;
};

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using Region = GdiObject<HRGN>;
using Bitmap = GdiObject<HBITMAP>;

// Selects an object into a DC and selects the previous one back at the end,
// so the object can be deleted afterwards.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectGuard() { if (previous_) SelectObject(dc_, previous_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
