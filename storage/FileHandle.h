#pragma once
#include <cstdint>

// The one place where the Windows and the native builds differ: a file
// opened for reading or for writing. On Windows files are opened without
// sharing, so a data file held by another program can't be opened or replaced.
class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing file for reading; 0 when it can't be opened.
    int openRead(const char* path);
    // Creates path for writing, emptying an existing file; 0 on failure.
    int create(const char* path);
    // Size of the open file in bytes, or -1 (also for 2 GB and more).
    int32_t size();
    // Reads up to count bytes; the number read, or -1 on error.
    int32_t read(void* buffer, int32_t count);
    // Maps the first size bytes of a file opened for reading into memory,
    // read-only; null when the system refuses (an empty file can't be
    // mapped). The view is released with unmapView; it stays valid after
    // close, but only an open handle keeps other programs from changing the
    // file under it.
    const char* mapView(int32_t size);
    static void unmapView(const char* view, int32_t size);
    // Writes all count bytes; 0 on failure (disk full, I/O error).
    int write(const void* data, int32_t count);
    // Pushes the written data to the disk (FlushFileBuffers / fsync).
    int flush();
    // Closes the file; 0 when the system reports a failure. Closing a closed handle returns 1.
    int close();
    bool isOpen() const { return handle_ != -1; }

private:
    intptr_t handle_ = -1;   // HANDLE or file descriptor; -1 when closed
    int writing_ = 0;
};

int deleteFile(const char* path);
int fileExists(const char* path);
// Puts tempPath in the place of targetPath in one step, replacing it when it
// exists, and makes the change durable. 0 on failure; both files stay as they were.
int replaceFile(const char* tempPath, const char* targetPath);
