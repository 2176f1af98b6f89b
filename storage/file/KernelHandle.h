// Windows build only: owns one kernel object handle (a file, a file
// mapping, a process) and closes it with CloseHandle when it goes. Both
// null (what OpenProcess and CreateFileMapping give on failure) and
// INVALID_HANDLE_VALUE (what CreateFile gives) count as empty, so the
// result of either call can be taken as it comes.
//
// HANDLE is void*; the header spells it so and leaves windows.h out, since
// the portable FileHandle.h holds one.
#pragma once
#include <cstdint>

class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(void* handle) : handle_(handle) {}
    ~KernelHandle() { close(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    void* get() const { return handle_; }
    operator void*() const { return handle_; }
    bool isOpen() const { return handle_ && handle_ != invalid(); }
    // Open: neither null nor INVALID_HANDLE_VALUE (chosen over the
    // conversion to HANDLE in a test).
    explicit operator bool() const { return isOpen(); }

    // Closes the handle held and becomes empty; 0 when CloseHandle failed
    // (GetLastError says why), 1 when it closed or nothing was held. An
    // empty owner calls nothing, so the last error stays as it was.
    int close();
    // Closes what is held and takes handle.
    void reset(void* handle = nullptr)
    {
        close();
        handle_ = handle;
    }
    // Hands the handle on; the taker closes it.
    void* release()
    {
        void* handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    static void* invalid() { return reinterpret_cast<void*>(intptr_t(-1)); }   // INVALID_HANDLE_VALUE

    void* handle_ = nullptr;
};
