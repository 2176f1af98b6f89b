#include "export/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const size_t kChunk = 1 << 16;
// Exports of the same file at once each get a name of their own.
const int kMostTemporaryNames = 100;

} // namespace

OutputFile::~OutputFile()
{
    // An export that did not finish leaves no file behind.
    if (open_ && !toStdout_) {
        file_.close();
        deleteFile(temp_.c_str());
    }
}

int OutputFile::open(const char* path)
{
    pending_.clear();
    error_.clear();
    failed_ = false;
    if (strcmp(path, "-") == 0) {
#ifdef _WIN32
        // CR LF line ends are written as they are: no text-mode translation.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        toStdout_ = open_ = true;
        return 1;
    }
    toStdout_ = false;
    target_ = saveTarget(path);
    if (isReadOnlyFile(target_.c_str())) {
        error_ = "the file is read-only";
        return 0;
    }
    // The temporary file sits beside the file it replaces, so that it can
    // take its place in one step; only a name that nobody uses is taken.
    for (int attempt = 1; attempt <= kMostTemporaryNames; ++attempt) {
        temp_ = target_ + (attempt == 1 ? "" : "." + std::to_string(attempt)) + ".tmp";
        if (file_.createNew(temp_.c_str())) {
            open_ = true;
            return 1;
        }
        // A name that was taken a moment ago may be free again (another
        // export just finished): the next name is tried either way, and a
        // folder that refuses every one tells why with the last refusal.
    }
    error_ = lastFileError();
    temp_.clear();
    return 0;
}

void OutputFile::put(const char* text, size_t length)
{
    pending_.append(text, length);
    if (pending_.size() >= kChunk)
        drain();
}

void OutputFile::put(const char* text)
{
    put(text, strlen(text));
}

void OutputFile::fail()
{
    if (!failed_)
        error_ = toStdout_ ? strerror(errno) : lastFileError();
    failed_ = true;
}

void OutputFile::drain()
{
    if (pending_.empty() || failed_)
        return;
    if (toStdout_ ? fwrite(pending_.data(), 1, pending_.size(), stdout) != pending_.size()
                  : !file_.write(pending_.data(), int32_t(pending_.size())))
        fail();
    pending_.clear();
}

int OutputFile::finish()
{
    if (!open_)
        return 0;
    drain();
    open_ = false;
    if (toStdout_) {
        if (fflush(stdout) != 0)
            fail();
        return !failed_;
    }
    if (!failed_ && !file_.flush())
        fail();
    if (!file_.close())
        fail();
    if (!failed_ && !replaceFile(temp_.c_str(), target_.c_str()))
        fail();
    if (failed_) {
        deleteFile(temp_.c_str());
        return 0;
    }
    return 1;
}
