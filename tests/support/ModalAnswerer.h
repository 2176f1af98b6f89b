// Answers the modal windows of the current thread from a thread timer; see
// TestSupport.h. Only one answerer may be alive at a time.
#pragma once
#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

class ModalAnswerer {
public:
    using Step = std::function<void(HWND window)>;

    // intervalMs: how often the timer looks for a new window; patienceMs: how
    // long a window may stay unanswered before it is closed by force.
    explicit ModalAnswerer(UINT intervalMs = 20, DWORD patienceMs = 15000);
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // Answers the next new window (of any class) with step.
    ModalAnswerer& then(Step step);
    // Answers the next new window of window class className with step.
    ModalAnswerer& then(const char* className, Step step);

    // Whether an answerer is alive on this thread.
    static bool running();

    int answered() const { return answered_; }
    int pending() const { return static_cast<int>(steps_.size()) - answered_; }
    bool timedOut() const { return timedOut_; }

private:
    struct Entry {
        std::string className;  // empty: any class
        Step step;
    };
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void tick();
    HWND findNewWindow() const;
    void forceClose(HWND window);

    UINT_PTR timer_ = 0;
    DWORD patienceMs_;
    DWORD waitingSince_;
    std::set<HWND> known_;  // windows that existed before or were answered already
    std::vector<Entry> steps_;
    int answered_ = 0;
    bool timedOut_ = false;
    bool inStep_ = false;
    HWND current_ = nullptr;  // the window answered last, while it is up
};
