#include "storage/file/TemporaryFile.h"

#include "storage/file/FileHandle.h"
#include "storage/format/SectionFile.h"

#include <cstring>

namespace {

// How both file layers word a name that is taken.
const char kTaken[] = "the file already exists";

}  // namespace

std::string TemporaryFile::nameFor(const std::string& target, int attempt)
{
    return target + (attempt <= 1 ? "" : "." + std::to_string(attempt)) + ".$$$";
}

int TemporaryFile::create(const char* path, SectionFile& file)
{
    discard();
    target_ = saveTarget(path);
    for (int attempt = 1; attempt <= kMostNames; ++attempt) {
        std::string name = nameFor(target_, attempt);
        if (file.openWriteNew(name.c_str())) {
            temp_ = name;
            return 1;
        }
        // Taken (a saver of the same file, a left-over, a file or link of
        // someone's): the next name. Any other refusal (a read-only
        // folder, a full disk) would refuse every name.
        if (strcmp(lastFileError(), kTaken) != 0)
            return 0;
    }
    return 0;
}

int TemporaryFile::putInPlace()
{
    if (temp_.empty())
        return 0;
    if (!replaceFile(temp_.c_str(), target_.c_str())) {
        discard();
        return 0;
    }
    temp_.clear();
    return 1;
}

void TemporaryFile::discard()
{
    if (temp_.empty())
        return;
    deleteFile(temp_.c_str());
    temp_.clear();
}
