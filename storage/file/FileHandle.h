#pragma once
#include <cstdint>
#include <string>

// The one place where the Windows and the native builds differ: a file
// opened for reading or for writing. On Windows files are opened without
// sharing, so a data file held by another program can't be opened or replaced.
class FileHandle {
public:
    // How other programs may use a file while it is open for reading.
    enum Sharing {
        Exclusive,        // nobody else (a data file)
        ShareReadWrite,   // anyone (a roster a spreadsheet keeps open)
    };

    FileHandle() = default;
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing file (not a folder; in the native build not a pipe
    // or device either) for reading; 0 when it can't be opened.
    int openRead(const char* path, Sharing sharing = Exclusive);
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

// Why the last file call of this thread that failed did fail, as the user is
// told it ("the file does not exist", "the disk is full"); the system's own
// text where there is no wording of ours. "" before any failure.
const char* lastFileError();
// Sets the reason lastFileError gives; for callers that refuse a file themselves.
void setFileError(const char* reason);
