// libFuzzer target for the data-file reader. Each input is written to a
// scratch folder of its own under /dev/shm or /tmp and loaded; a document that loads and
// saves is loaded and saved again, and the second file must equal the first.
// Loaded from memory it must save the same, and so must its merge with
// itself (nothing changed) and with an empty base (everything added on both sides).
// The scratch folder lives in /dev/shm where there is one, so that the
// flush of every save costs nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "document/Document.h"
#include "storage/format/DataFile.h"
#include "document/Merge.h"
#include "storage/format/SectionFile.h"

namespace {

std::string scratch(const char* name)
{
    static std::string folder;
    if (folder.empty()) {
        char shm[] = "/dev/shm/tallyvane-fuzz-XXXXXX";
        char tmp[] = "/tmp/tallyvane-fuzz-XXXXXX";
        char* pattern = mkdtemp(shm);
        if (!pattern)
            pattern = mkdtemp(tmp);
        if (!pattern)
            abort();
        folder = pattern;
        // Only the folder itself is left behind when the run ends.
        atexit([] {
            for (const char* file : {"/in.tvd", "/first.tvd", "/second.tvd", "/third.tvd"})
                unlink((folder + file).c_str());
            rmdir(folder.c_str());
        });
    }
    return folder + name;
}

std::string readAll(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        abort();
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

void writeAll(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file || fwrite(data, 1, size, file) != size)
        abort();
    fclose(file);
}

// The header index must agree with the plain search of the file.
void checkSectionSearch(const std::string& path)
{
    static const char* names[] = {"Program", "Names", "Action Items", "0", "1", "", "a"};
    SectionFile indexed, scanned;
    if (!indexed.openRead(path.c_str()) || !scanned.openRead(path.c_str()))
        abort();
    for (const char* name : names) {
        if (indexed.findSection(name) != scanned.findSectionByScan(name))
            abort();
        if (indexed.position() != scanned.position())
            abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string in = scratch("/in.tvd");
    writeAll(in, data, size);
    checkSectionSearch(in);

    Document doc;
    if (loadDataFile(doc, in.c_str()).failed())
        return 0;
    std::string first = scratch("/first.tvd");
    if (writeDataFile(doc, first.c_str()) != SaveResult::Saved)
        return 0;

    Document again;
    LoadReport againReport = loadDataFile(again, first.c_str());
    if (againReport.failed())
        abort();
    std::string second = scratch("/second.tvd");
    if (writeDataFile(again, second.c_str()) != SaveResult::Saved)
        abort();
    if (readAll(first) != readAll(second))
        abort();

    std::string third = scratch("/third.tvd");
    Document fromMemory;
    if (loadDataBytes(fromMemory, reinterpret_cast<const char*>(data), size).failed() ||
        writeDataFile(fromMemory, third.c_str()) != SaveResult::Saved || readAll(third) != readAll(first))
        abort();
    // Entries of unknown kinds that a damaged file keeps are no part of a
    // merge: a damaged file is never merged.
    if (againReport.damaged())
        return 0;
    Document empty;
    if (!empty.resetDocument(0, 0))
        abort();
    for (const Document* base : {static_cast<const Document*>(&again), static_cast<const Document*>(&empty)}) {
        Document merged;
        MergeReport report;
        if (!mergeDocuments(*base, again, again, merged, report) ||
            writeDataFile(merged, third.c_str()) != SaveResult::Saved || readAll(third) != readAll(first))
            abort();
    }
    return 0;
}
