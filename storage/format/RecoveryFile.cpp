#include "storage/format/RecoveryFile.h"

#include <cstdio>
#include <cstring>

#include "storage/format/DataFile.h"
#include "storage/sharing/DocumentFile.h"
#include "storage/file/FileHandle.h"
#include "storage/file/FileName.h"
#include "storage/format/SectionFile.h"
#include "storage/file/TemporaryFile.h"

namespace {

const char kMagic[] = "Tallyvane recovery";

// The value of the header line "key=..." at *cursor (the line is consumed),
// or null when the line is something else.
const char* takeValue(const char** cursor, const char* end, const char* key, size_t* length)
{
    const char* line = *cursor;
    const char* stop = line;
    while (stop < end && *stop != '\r' && *stop != '\n')
        ++stop;
    size_t keyLength = strlen(key);
    if (size_t(stop - line) <= keyLength || memcmp(line, key, keyLength) != 0 || line[keyLength] != '=')
        return nullptr;
    *length = size_t(stop - line) - keyLength - 1;
    if (stop < end && *stop == '\r')
        ++stop;
    if (stop < end && *stop == '\n')
        ++stop;
    *cursor = stop;
    return line + keyLength + 1;
}

bool takeLine(const char** cursor, const char* end, const char* text)
{
    size_t length = strlen(text);
    if (size_t(end - *cursor) < length + 2 || memcmp(*cursor, text, length) != 0 ||
        memcmp(*cursor + length, "\r\n", 2) != 0)
        return false;
    *cursor += length + 2;
    return true;
}

bool readNumber(const char* text, size_t length, uint64_t limit, uint64_t* number)
{
    if (!length || length > 19)
        return false;
    uint64_t value = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + uint64_t(text[i] - '0');
    }
    if (value > limit)
        return false;
    *number = value;
    return true;
}

} // namespace

int RecoveryFile::write(const char* path, Document& doc, const char* baseData, size_t baseBytes) const
{
    TemporaryFile temp;
    SectionFile file;
    if (!temp.create(path, file))
        return 0;
    file.writeLine(kMagic);
    file.writeLine(("path=" + dataPath).c_str());
    char line[48];
    snprintf(line, sizeof line, "pid=%lu", static_cast<unsigned long>(pid));
    file.writeLine(line);
    snprintf(line, sizeof line, "changed=%s", changed);
    file.writeLine(line);
    snprintf(line, sizeof line, "base=%lu", static_cast<unsigned long>(baseData ? baseBytes : 0));
    file.writeLine(line);
    file.writeLine("");
    if (baseData)
        file.writeBytes(baseData, baseBytes);
    bool consistent = writeDataLines(doc, file);
    bool written = file.close() != 0;
    return consistent && written && temp.putInPlace();
}

int RecoveryFile::read(const char* path)
{
    base = document = nullptr;
    baseSize = documentSize = 0;

    *block_.receive() = SectionFile::readWhole(path, block_.length());
    if (!block_)
        return 0;
    const char* cursor = block_.data();
    const char* end = block_.data() + block_.size();
    size_t valueLength = 0;
    const char* value;
    uint64_t number = 0;
    if (!takeLine(&cursor, end, kMagic))
        return 0;
    if (!(value = takeValue(&cursor, end, "path", &valueLength)) && !takeLine(&cursor, end, "path="))
        return 0;
    dataPath.assign(value ? value : "", value ? valueLength : 0);
    if (!(value = takeValue(&cursor, end, "pid", &valueLength)) || !readNumber(value, valueLength, 0xFFFFFFFFu, &number))
        return 0;
    pid = uint32_t(number);
    changed[0] = '\0';
    if ((value = takeValue(&cursor, end, "changed", &valueLength))) {
        if (valueLength >= sizeof changed)
            valueLength = sizeof changed - 1;
        memcpy(changed, value, valueLength);
        changed[valueLength] = '\0';
    } else if (!takeLine(&cursor, end, "changed=")) {
        return 0;
    }
    if (!(value = takeValue(&cursor, end, "base", &valueLength)) ||
        !readNumber(value, valueLength, uint64_t(end - cursor), &number) || !takeLine(&cursor, end, ""))
        return 0;
    if (uint64_t(end - cursor) < number)
        return 0;
    base = cursor;
    baseSize = size_t(number);
    document = cursor + baseSize;
    documentSize = size_t(end - document);
    return 1;
}

std::string RecoveryFile::shownName(const std::vector<std::string>& dataPaths, size_t i)
{
    const std::string& path = dataPaths[i];
    if (path.empty())
        return "Untitled";
    std::string name = fileNamePart(path.c_str());
    auto upper = [](std::string text) {
        for (char& c : text)
            c = c >= 'a' && c <= 'z' ? char(c - 32) : c;
        return text;
    };
    for (size_t j = 0; j < dataPaths.size(); ++j)
        if (j != i && !dataPaths[j].empty() && upper(fileNamePart(dataPaths[j].c_str())) == upper(name) &&
            upper(dataPaths[j]) != upper(path))
            return path;
    return name;
}
