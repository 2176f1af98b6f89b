#include "storage/file/FileFaults.h"

FileFaults fileFaults;
