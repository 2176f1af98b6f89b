#include "FileFaults.h"

FileFaults fileFaults;
