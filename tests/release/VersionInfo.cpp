// Prints a Windows file's version resource the way the file's properties show it to a player:
// the fixed version numbers, then each string value, one "name=value" a line. Run under Wine by the
// release check.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tollmere_version_info FILE\n");
        return 2;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(argv[1], &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(argv[1], 0, size, block.data())) {
        std::fprintf(stderr, "%s has no version resource (error %lu)\n", argv[1], GetLastError());
        return 1;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
        std::fprintf(stderr, "%s has no fixed version information\n", argv[1]);
        return 1;
    }
    std::printf("FixedFileVersion=%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                LOWORD(fixed->dwFileVersionLS));
    std::printf("FixedProductVersion=%u.%u.%u.%u\n", HIWORD(fixed->dwProductVersionMS),
                LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
                LOWORD(fixed->dwProductVersionLS));

    for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName",
                             "OriginalFilename", "ProductName", "ProductVersion"}) {
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        char* value = nullptr;
        if (VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) &&
            value != nullptr) {
            std::printf("%s=%s\n", name, value);
        }
    }
    return 0;
}
