#include "OutputFile.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "storage/DocumentFile.h"

namespace {

const size_t kChunk = 1 << 16;

} // namespace

OutputFile::~OutputFile()
{
    // An export that did not finish leaves no file behind.
    if (open_ && !toStdout_) {
        file_.close();
        deleteFile(temp_);
    }
}

int OutputFile::open(const char* path)
{
    pending_.clear();
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
    path_ = path;
    if (!temporaryPathFor(path, temp_, sizeof temp_) || !file_.create(temp_))
        return 0;
    open_ = true;
    return 1;
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

void OutputFile::drain()
{
    if (pending_.empty() || failed_)
        return;
    if (toStdout_)
        failed_ = fwrite(pending_.data(), 1, pending_.size(), stdout) != pending_.size();
    else
        failed_ = !file_.write(pending_.data(), int32_t(pending_.size()));
    pending_.clear();
}

int OutputFile::finish()
{
    if (!open_)
        return 0;
    drain();
    open_ = false;
    if (toStdout_)
        return fflush(stdout) == 0 && !failed_;
    bool ok = !failed_ && file_.flush();
    ok = file_.close() && ok;
    if (!ok || !replaceFile(temp_, path_.c_str())) {
        deleteFile(temp_);
        return 0;
    }
    return 1;
}
