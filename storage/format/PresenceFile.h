// The presence file "~$NAME.tvd" that sits beside a data file while a
// Tallyvane has it open for editing: who, where, which process and since
// when, as ANSI "key=value" lines. Sync clients skip names that start with
// "~$", so the file never travels or conflicts.
#pragma once
#include <cstddef>
#include <cstdint>

class PresenceFile {
public:
    static const int kFieldSize = 64;

    // Whose a presence file found beside a data file is, seen from one process.
    enum Owner {
        Mine,    // this process wrote it
        Stale,   // left by a process of this computer that no longer runs, or unreadable
        Other,   // another computer, or a live Tallyvane of this one
    };

    char user[kFieldSize] = {};
    char computer[kFieldSize] = {};
    uint32_t pid = 0;
    char since[kFieldSize] = {};   // local date and time of opening, in the program's date format

    // "~$" in front of the file name of dataPath, in a buffer of size bytes;
    // 0 when dataPath has no file name or the result does not fit.
    static int pathFor(const char* dataPath, char* out, int size);

    // The four lines, each ended by CR LF, with a NUL after them; the length
    // without the NUL, or 0 when they don't fit in size bytes.
    int compose(char* out, int size) const;
    // Reads the lines (CR LF or LF; unknown keys and lines without "=" are
    // passed over; long values are cut). 1 when computer and pid were found.
    int parse(const char* text, size_t length);

    // Whose this file is, for process ownPid on computer ownComputer (names
    // of computers match ignoring ASCII case). liveTallyvane answers whether
    // a process id runs Tallyvane on this computer; it is asked only about
    // another process of the same computer.
    Owner ownerFor(const char* ownComputer, uint32_t ownPid, int (*liveTallyvane)(uint32_t pid)) const;
};
