#pragma once
#include <cstdint>

#include "document/Entry.h"

// One slot of the name table.
struct NameRecord {
    char* name;              // owned text (length + 2 bytes): a heap block of its own or, when
                             // read from a file, in the document's read blocks; empty (first
                             // byte 0) marks a deleted name. At most kTextSize - 1 bytes: 126
                             // characters of UTF-8 take up to 504
    int32_t entryCount;      // entry slots in use, deleted entries included
    int32_t liveEntries;     // entries whose kind is not EntryDeleted
    int32_t entryCapacity;   // Entry elements the block holds
    Entry* entries;          // owned (a heap block, or in the document's read blocks when read from a
                             // file), zero-filled beyond entryCount; null once the name is deleted
};

static_assert(sizeof(void*) != 4 || sizeof(NameRecord) == 20, "name slots are 20 bytes in the 32-bit program");
