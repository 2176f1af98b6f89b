// The file a save writes first and puts in the place of the file it saves
// only once it is complete: a name of its own beside the replaced file,
// made from that file's whole name ("club.tvd.$$$", then "club.tvd.2.$$$"
// and on while those are taken), created new, so that it is never a file
// another program writes, one the user keeps, or a link to one. Whatever
// ends the save short, the temporary file goes.
#pragma once
#include <string>

class SectionFile;

class TemporaryFile {
public:
    static const int kMostNames = 100;   // savers of one file at once each get a name of their own

    TemporaryFile() = default;
    ~TemporaryFile() { discard(); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The temporary name of try attempt (1, 2, ...) for the file target.
    static std::string nameFor(const std::string& target, int attempt);

    // Creates the temporary file for a save to path, open for writing in
    // file; 0 when no name beside it can be created (lastFileError says why).
    int create(const char* path, SectionFile& file);
    // Puts the written and closed file in the place of the saved one; 0 when
    // that fails, and the temporary file is removed.
    int putInPlace();
    // Removes the temporary file unless it took the saved file's place.
    void discard();

    const std::string& path() const { return temp_; }

private:
    std::string target_;   // the file replaced: the path, or the file its link leads to
    std::string temp_;     // "" when none is held
};
