#pragma once
#include <cstdint>

#include "document/Entry.h"

// One slot of the name table.
struct NameRecord {
    char name[128];          // empty (first byte 0) marks a deleted name
    int32_t entryCount;      // entry slots in use, deleted entries included
    int32_t liveEntries;     // entries whose kind is not EntryDeleted
    int32_t entryCapacity;   // Entry elements the block holds
    Entry* entries;          // owned (a heap block, or in the document's read blocks when read from a
                             // file), zero-filled beyond entryCount; null once the name is deleted
};

static_assert(sizeof(void*) != 4 || sizeof(NameRecord) == 144, "name slots are 144 bytes in the 32-bit program");
