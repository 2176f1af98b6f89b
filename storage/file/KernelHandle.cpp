#include "storage/file/KernelHandle.h"

#include <windows.h>

int KernelHandle::close()
{
    if (!isOpen()) {
        handle_ = nullptr;
        return 1;
    }
    int ok = CloseHandle(handle_) != 0;
    handle_ = nullptr;
    return ok;
}
