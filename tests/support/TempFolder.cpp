#include "tests/support/TempFolder.h"

#include <windows.h>

#include <fstream>
#include <sstream>

TempFolder::TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static unsigned serial = 0;
    path = std::string(base) + "narvo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++serial);
    CreateDirectoryA(path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((path + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
