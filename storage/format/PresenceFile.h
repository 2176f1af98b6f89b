// The presence file "~$NAME.tvd" that sits beside a data file while a
// Tallyvane has it open for editing: who, where, which process and since
// when, as ANSI "key=value" lines. Sync clients skip names that start with
// "~$", so the file never travels or conflicts.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class PresenceFile {
public:
    static const int kFieldSize = 256;   // a full DNS name has up to 255 characters

    static const int64_t kFreshTicks = 5 * 10000000LL;   // 5 s: a file this young may still be being written

    // Whose a presence file found beside a data file is, seen from one process.
    enum Owner {
        Mine,      // this process wrote it
        Stale,     // left by a process of this computer that no longer runs, or unreadable and old
        Other,     // another computer, or a live Tallyvane of this one
        Starting,  // empty or unreadable but only seconds old: its writer is writing it; not taken over
    };

    char user[kFieldSize] = {};
    char computer[kFieldSize] = {};   // the full DNS name of the computer
    uint32_t pid = 0;
    int64_t started = 0;              // when that process started (FILETIME ticks); 0 in files of earlier versions
    char since[kFieldSize] = {};      // local date and time of opening, in the program's date format
    int64_t written = 0;              // not in the file: its last write time as read beside it (FILETIME ticks), 0 unknown

    // Puts text in one of the fields above, cut to the field at a whole
    // UTF-8 character when it is longer.
    static void setField(char* field, const std::string& text);

    // "~$" in front of the file name of dataPath; "" when dataPath has no file name.
    static std::string pathFor(const char* dataPath);

    // The lines, each ended by CR LF, with a NUL after them; the length
    // without the NUL, or 0 when they don't fit in size bytes.
    int compose(char* out, int size) const;
    // Reads the lines (CR LF or LF; unknown keys and lines without "=" are
    // passed over; a value longer than its field loses whole characters from
    // its end, the names being UTF-8). 1 when computer and pid were found.
    int parse(const char* text, size_t length);

    // Whose this file is, for process ownPid on computer ownComputer (names
    // of computers match ignoring ASCII case) at time now (FILETIME ticks).
    // tallyvaneStart tells when a process id of this computer that runs
    // Tallyvane started, 0 when it runs but can't be asked, -1 when none
    // runs; it is asked only about another process of the same computer.
    Owner ownerFor(const char* ownComputer, uint32_t ownPid, int64_t now,
                   int64_t (*tallyvaneStart)(uint32_t pid)) const;
    // Whether the process that wrote a file is gone: processStart as
    // tallyvaneStart gives it, recordedStart the start the file names (0
    // none), writtenAt the file's last write (0 unknown). Process ids are
    // used again: a process that started after the file was written, or at
    // another time than the file says, is not its writer.
    static bool writerGone(int64_t processStart, int64_t recordedStart, int64_t writtenAt);
};
