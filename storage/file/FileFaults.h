#pragma once

// Test hook of the file layer: makes one step of it fail on purpose, as a
// full disk, an I/O error or a locked file would. All zero in the program.
struct FileFaults {
    int failOpenRead = 0;   // the next failOpenRead FileHandle::openRead calls fail
    int failCreate = 0;     // the next FileHandle::create fails
    int failWriteAt = 0;    // the failWriteAt-th write from now fails (1 = the next)
    int failFlush = 0;      // the next flush fails
    int failClose = 0;      // the next close of a file opened for writing fails
    int failReplace = 0;    // the next replaceFile fails and leaves both files alone
    // Runs once right after the next replaceFile that succeeded, with its
    // target: someone else (a sync client) writing the file that moment.
    void (*afterReplace)(const char* target) = nullptr;

    void reset() { *this = FileFaults(); }
    // Each returns true once when its fault is armed, and disarms it (openRead: counts down).
    bool hitOpenRead() { return failOpenRead > 0 && failOpenRead-- > 0; }
    bool hitCreate() { return take(failCreate); }
    bool hitFlush() { return take(failFlush); }
    bool hitClose() { return take(failClose); }
    bool hitReplace() { return take(failReplace); }
    bool hitWrite() { return failWriteAt > 0 && --failWriteAt == 0; }
    void replaced(const char* target)
    {
        if (auto hook = afterReplace) {
            afterReplace = nullptr;
            hook(target);
        }
    }

private:
    static bool take(int& flag)
    {
        if (!flag)
            return false;
        flag = 0;
        return true;
    }
};

extern FileFaults fileFaults;
