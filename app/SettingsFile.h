#pragma once

#include <windows.h>

// The settings file beside the executable, in private-profile form, and its
// six typed operations. The object's whole state is the file's path.
class SettingsFile {
public:
    static constexpr DWORD PathSize = MAX_PATH;

    // The running executable's path with its extension replaced by ".ini".
    SettingsFile();
    // A file at an explicit path (tests, tools).
    explicit SettingsFile(const char* filePath);

    // Fills buffer (PathSize bytes) with the executable's path ending in ".ini".
    static void GetSettingsPath(char* buffer);

    const char* Path() const { return path; }

    bool ReadBool(const char* section, const char* key, bool defaultValue) const;
    int ReadInt(const char* section, const char* key, int defaultValue) const;
    // Copies the value (or defaultValue when the key is missing) into buffer,
    // cut to size - 1 characters. defaultValue may be buffer itself.
    void ReadString(const char* section, const char* key, const char* defaultValue, char* buffer,
                    DWORD size) const;

    void WriteBool(const char* section, const char* key, bool value) const;
    void WriteInt(const char* section, const char* key, int value) const;
    void WriteString(const char* section, const char* key, const char* text) const;

private:
    char path[PathSize];
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern SettingsFile settingsFile;
