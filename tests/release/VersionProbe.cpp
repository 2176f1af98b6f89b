// Prints what Windows reads from an executable's resources, for the
// installer test: the fixed version numbers, the version strings and the
// manifest.
//   version_probe FILE
// Output lines: "Version=a.b.c.d", "Name=value" for each string of the
// 040904B0 table, then "Manifest:" and the manifest's text.
#include <windows.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: version_probe FILE\n");
        return 2;
    }
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(argv[1], &ignored);
    std::vector<char> info(size ? size : 1);
    if (!size || !GetFileVersionInfoA(argv[1], 0, size, info.data())) {
        std::printf("no version information\n");
        return 1;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        std::printf("Version=%lu.%lu.%lu.%lu\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        std::printf("ProductVersionNumbers=%lu.%lu.%lu.%lu\n", HIWORD(fixed->dwProductVersionMS),
                    LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                    LOWORD(fixed->dwProductVersionLS));
    }
    const char* names[] = {"CompanyName",      "FileDescription", "FileVersion", "LegalCopyright",
                           "OriginalFilename", "ProductName",     "ProductVersion"};
    for (const char* name : names) {
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\040904B0\\%s", name);
        char* value = nullptr;
        if (VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &length) && value)
            std::printf("%s=%s\n", name, value);
    }

    // The manifest the loader would use: resource 1 of type RT_MANIFEST.
    HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    if (found) {
        const char* text = static_cast<const char*>(LockResource(LoadResource(module, found)));
        std::printf("Manifest:\n%.*s\n", static_cast<int>(SizeofResource(module, found)), text);
    }
    return 0;
}
