// The recovery file of a document with unsaved changes: which data file it
// belongs to (empty for an untitled document), the process that wrote it,
// when the last change was made, the data file as it was last loaded or
// saved ("base") and the document in memory, written as a data file.
//
// Layout: the header lines "Tallyvane recovery", "path=", "pid=",
// "changed=", "base=<byte count>" and an empty line, each ended by CR LF;
// then the base's bytes; then the document's data-file lines to the end.
#pragma once
#include <string>
#include <vector>
#include <cstddef>
#include <cstdint>

#include "document/HeapBlock.h"

class Document;

class RecoveryFile {
public:
    std::string dataPath;   // "" for an untitled document
    uint32_t pid = 0;
    char changed[32] = {};

    // After read: the base and the document as bytes inside the file's block
    // (owned by this object, valid until it reads again or dies).
    const char* base = nullptr;
    size_t baseSize = 0;
    const char* document = nullptr;
    size_t documentSize = 0;

    RecoveryFile() = default;
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // Writes the header fields, baseData and doc to path through a
    // TemporaryFile beside it and one replace, so a crash while writing leaves the
    // previous recovery file whole. doc.modified is left as it is. 1 when written.
    int write(const char* path, Document& doc, const char* baseData, size_t baseBytes) const;
    // Reads a whole recovery file; 0 when it can't be read or is not one.
    int read(const char* path);

    // How the question about the i-th of several recoveries names its data
    // file (dataPaths[i], "" for an untitled one): by its file name, or by
    // its whole path when another of them has the same file name elsewhere.
    static std::string shownName(const std::vector<std::string>& dataPaths, size_t i);

private:
    HeapBlock block_;   // the file's bytes
};
