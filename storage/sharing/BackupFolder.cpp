#include "storage/sharing/BackupFolder.h"

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "storage/format/BackupName.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"
#include "storage/format/SectionFile.h"
#include "document/HeapBlock.h"

namespace {

BackupName::Time utcNow()
{
    using namespace std::chrono;
    system_clock::time_point now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    int millisecond = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm utc = {};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, millisecond};
}

const int kNameTries = 20;   // two savers of one file may take the same number at once

} // namespace

int BackupFolder::keep(const char* dataPath, const char* data, size_t size)
{
    made_.clear();
    problem_.clear();
    if (folder_.empty()) {
        problem_ = "there is no backups folder";
        return 0;
    }
    if (!createFolders(folder_.c_str())) {
        problem_ = lastFileError();
        return 0;
    }
    const std::string prefix = BackupName::prefixFor(dataPath);
    std::vector<std::string> names = filesIn(folder_.c_str(), prefix);
    uint32_t sequence = BackupName::nextSequence(names, prefix);
    BackupName::Time now = utcNow();
    std::string path;
    for (int attempt = 0;; ++attempt, ++sequence) {
        path = folder_ + BackupName::compose(dataPath, now, sequence);
        if (writeNewFile(path.c_str(), data, size))
            break;
        // Taken (two savers of one file at once): the next number.
        if (attempt == kNameTries || fileExists(path.c_str()) == 0) {
            problem_ = lastFileError();
            return 0;
        }
    }
    made_ = path.substr(folder_.size());
    names.push_back(made_);
    for (const std::string& old : BackupName::surplus(names, prefix, BackupName::kKept, made_))
        deleteFile((folder_ + old).c_str());
    return 1;
}

int BackupFolder::keepFile(const char* dataPath)
{
    if (!fileExists(dataPath))
        return 1;
    HeapBlock read;
    *read.receive() = SectionFile::readWhole(dataPath, read.length());
    if (!read) {
        problem_ = lastFileError();
        return 0;
    }
    return keep(dataPath, read.data(), size_t(read.size()));
}

int BackupFolder::moveIn(const char* path)
{
    problem_.clear();
    if (folder_.empty() || !createFolders(folder_.c_str())) {
        problem_ = folder_.empty() ? "there is no backups folder" : lastFileError();
        return 0;
    }
    std::string name = fileNamePart(path);
    const char* dot = findExtension(name.c_str());
    size_t stem = dot ? size_t(dot - name.c_str()) : name.size();
    for (int attempt = 1; attempt <= kNameTries; ++attempt) {
        std::string target = folder_ + (attempt == 1 ? name
                                                     : name.substr(0, stem) + " " + std::to_string(attempt) +
                                                           name.substr(stem));
        if (moveFile(path, target.c_str()))
            return 1;
        if (!fileExists(target.c_str()))
            break;
    }
    problem_ = lastFileError();
    return 0;
}
