#include "tests/support/ModalAnswerer.h"

namespace {
ModalAnswerer* g_current = nullptr;

BOOL CALLBACK collect(HWND window, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

std::vector<HWND> threadWindows()
{
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}
} // namespace

ModalAnswerer::ModalAnswerer(UINT intervalMs, DWORD patienceMs)
    : patienceMs_(patienceMs), waitingSince_(GetTickCount())
{
    for (HWND window : threadWindows())
        known_.insert(window);
    g_current = this;
    // A thread timer: any message loop of the thread (DialogBoxParamA's too)
    // dispatches its WM_TIMER to onTimer.
    timer_ = SetTimer(nullptr, 0, intervalMs, onTimer);
}

ModalAnswerer::~ModalAnswerer()
{
    KillTimer(nullptr, timer_);
    if (g_current == this)
        g_current = nullptr;
}

bool ModalAnswerer::running()
{
    return g_current != nullptr;
}

ModalAnswerer& ModalAnswerer::then(Step step)
{
    steps_.push_back({std::string(), std::move(step)});
    return *this;
}

ModalAnswerer& ModalAnswerer::then(const char* className, Step step)
{
    steps_.push_back({className, std::move(step)});
    return *this;
}

void CALLBACK ModalAnswerer::onTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_current)
        g_current->tick();
}

HWND ModalAnswerer::findNewWindow() const
{
    for (HWND window : threadWindows()) {
        if (known_.count(window) || !IsWindowVisible(window) || !IsWindowEnabled(window))
            continue;
        return window;
    }
    return nullptr;
}

void ModalAnswerer::tick()
{
    if (inStep_)
        return;
    // A window that its step did not take down in time is closed by force.
    if (current_ && IsWindow(current_) && IsWindowVisible(current_) && IsWindowEnabled(current_)) {
        if (GetTickCount() - waitingSince_ > patienceMs_) {
            timedOut_ = true;
            forceClose(current_);
            current_ = nullptr;
        }
        return;
    }
    current_ = nullptr;
    HWND window = findNewWindow();
    if (!window) {
        waitingSince_ = GetTickCount();
        return;
    }
    if (answered_ < static_cast<int>(steps_.size())) {
        const Entry& entry = steps_[answered_];
        char className[128] = "";
        GetClassNameA(window, className, sizeof className);
        if (entry.className.empty() || entry.className == className) {
            known_.insert(window);
            current_ = window;
            ++answered_;
            waitingSince_ = GetTickCount();
            inStep_ = true;
            entry.step(window);
            inStep_ = false;
            return;
        }
    }
    if (GetTickCount() - waitingSince_ > patienceMs_) {
        timedOut_ = true;
        known_.insert(window);
        forceClose(window);
    }
}

void ModalAnswerer::forceClose(HWND window)
{
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
}
