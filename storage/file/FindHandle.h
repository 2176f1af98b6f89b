// Windows build only: owns the search handle of FindFirstFile and ends the
// search with FindClose when it goes. INVALID_HANDLE_VALUE (no match, no
// folder) is empty.
//
//   WIN32_FIND_DATAA found;
//   FindHandle search(FindFirstFileA(pattern, &found));
//   if (search) do { ... } while (FindNextFileA(search, &found));
#pragma once
#include <windows.h>

class FindHandle {
public:
    explicit FindHandle(HANDLE search) : search_(search) {}
    ~FindHandle()
    {
        if (search_ != INVALID_HANDLE_VALUE)
            FindClose(search_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    // A search is running (chosen over the conversion to HANDLE in a test).
    explicit operator bool() const { return search_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return search_; }
    operator HANDLE() const { return search_; }

private:
    HANDLE search_;
};
