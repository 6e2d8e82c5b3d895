#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const char* name) const { return path + "\\" + name; }

private:
    std::string path;
};

// The whole text of a file, or "" when it does not exist.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& text);
