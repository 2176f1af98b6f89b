# 64-bit Windows build of the same sources (x86_64-w64-mingw32, posix thread
# model). It exists so the Windows tests can run under 64-bit Wine on hosts
# whose kernel cannot execute 32-bit Linux programs (no IA32 emulation), which
# 32-bit Wine needs. The shipped program is the 32-bit build.
set(TV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
