// Reading back the stamp of a ticked entry, "MM/DD/YY hh:mm AM", to put two
// of them in order. Portable: the merge compares dates with it.
#pragma once
#include <cstdint>

namespace CompletionStamp {

// Minutes since 01/01/2000 00:00 of a stamp in the program's own format
// (years 00-99 read as 2000-2099), or -1 for any other text.
int64_t minutesOf(const char* stamp);

}  // namespace CompletionStamp
