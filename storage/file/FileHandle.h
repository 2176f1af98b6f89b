#pragma once
#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include "storage/file/KernelHandle.h"
#endif

// The one place where the Windows and the native builds differ: a file
// opened for reading or for writing. On Windows a data file is read with
// FILE_SHARE_READ: readers never block each other, while nobody can write,
// replace or delete it under a reader (the save lock and the one-step
// replacement keep writers apart).
class FileHandle {
public:
    // How other programs may use a file while it is open for reading.
    enum Sharing {
        ShareRead,        // other readers only (a data file)
        ShareReadWrite,   // anyone (a roster a spreadsheet keeps open)
    };

    FileHandle() = default;
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing file (not a folder; in the native build not a pipe
    // or device either) for reading; 0 when it can't be opened.
    int openRead(const char* path, Sharing sharing = ShareRead);
    // Creates path for writing, emptying an existing file; 0 on failure.
    int create(const char* path);
    // Creates path for writing only when no file of that name exists yet
    // (CREATE_NEW, O_EXCL); 0 when one does or on failure.
    int createNew(const char* path);
    // Size of the open file in bytes, or -1 (also for 2 GB and more).
    int32_t size();
    // Reads up to count bytes; the number read, or -1 on error.
    int32_t read(void* buffer, int32_t count);
    // Maps the first size bytes of a file opened for reading into memory,
    // read-only; null when the system refuses (an empty file can't be
    // mapped). A MappedView takes the view and unmaps it; it stays valid
    // after close, but only an open handle keeps other programs from
    // changing the file under it.
    const char* mapView(int32_t size);
    static void unmapView(const char* view, int32_t size);
    // Writes all count bytes; 0 on failure (disk full, I/O error).
    int write(const void* data, int32_t count);
    // Pushes the written data to the disk (FlushFileBuffers / fsync).
    int flush();
    // Closes the file; 0 when the system reports a failure. Closing a closed handle returns 1.
    int close();
#ifdef _WIN32
    bool isOpen() const { return handle_.isOpen(); }
#else
    bool isOpen() const { return handle_ != -1; }
#endif

private:
#ifdef _WIN32
    KernelHandle handle_;   // the open file
#else
    intptr_t handle_ = -1;  // the open file's descriptor; -1 when closed
#endif
    int writing_ = 0;
};

int deleteFile(const char* path);
// Creates the folder path (ending in a separator or not) and the folders
// above it that are missing; 1 when it exists afterwards.
int createFolders(const char* path);
// The names of the files (not folders) in folder (ending in a separator)
// that start with prefix, a-z matching A-Z.
std::vector<std::string> filesIn(const char* folder, const std::string& prefix);
int fileExists(const char* path);
// An existing file that is marked read-only (the attribute, or no write
// permission for anybody in the native build), as the user means it.
int isReadOnlyFile(const char* path);
// Whether both paths exist and name the same file, however spelled (links,
// "club.tvd." on Windows).
int isSameFile(const char* a, const char* b);
// The file a save to path really replaces: path itself, or in the native
// build the file that a symbolic link at path leads to.
std::string saveTarget(const char* path);
// Puts tempPath in the place of targetPath in one step, replacing it when it
// exists, and makes the change durable. The native build gives tempPath the
// replaced file's permissions and replaces a symbolic link's target, not
// the link. 0 on failure; both files stay as they were.
int replaceFile(const char* tempPath, const char* targetPath);

// This computer's name as sync clients put it in the names of their copies
// (the NetBIOS name; natively the host name up to its first dot); "" when unknown.
std::string computerName();

// Creates path, only when nothing of that name is there, holding size bytes
// of data, flushed to the disk; 0 on failure (then nothing is left). A copy
// kept beside a save (a backup): the test faults of FileFaults, meant for
// the save itself, don't reach it.
int writeNewFile(const char* path, const char* data, size_t size);

// Moves the file at from to to, which must not exist yet (on Windows also
// across drives); 0 on failure, and from stays.
int moveFile(const char* from, const char* to);

// Why the last file call of this thread that failed did fail, as the user is
// told it ("the file does not exist", "the disk is full"); the system's own
// text where there is no wording of ours. "" before any failure.
const char* lastFileError();
// Sets the reason lastFileError gives; for callers that refuse a file themselves.
void setFileError(const char* reason);
// Sets it from a system error code (GetLastError, errno) of a call made elsewhere.
void setFileErrorFrom(long code);
