#pragma once
#include <cstdint>

#include "document/EntryKind.h"

// One item of a name's entry list.
struct Entry {
    int32_t kind;         // an EntryKind (or a bad kind kept from a damaged file)
    int32_t actionIndex;  // action kinds: slot of the action item; 0 otherwise
    char* text;           // memo and checkbox kinds: owned copy (length + 2 bytes), a heap block of its own
                          // or, when read from a file, in the document's read blocks; else null
    char date[20];        // completion date, empty when there is none
};

static_assert(sizeof(void*) != 4 || sizeof(Entry) == 32, "entries are 32 bytes in the 32-bit program");
