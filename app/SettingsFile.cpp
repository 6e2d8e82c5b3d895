#include "app/SettingsFile.h"

#include "framework/WinApp.h"

#include <cstdio>
#include <string>

SettingsFile::SettingsFile() {
    GetSettingsPath(path);
}

SettingsFile::SettingsFile(const char* filePath) {
    lstrcpynA(path, filePath, PathSize);
}

void SettingsFile::GetSettingsPath(char* buffer) {
    AfxGetModulePathWithExtension(nullptr, ".ini", buffer);
}

bool SettingsFile::ReadBool(const char* section, const char* key, bool defaultValue) const {
    return GetPrivateProfileIntA(section, key, defaultValue ? 1 : 0, path) != 0;
}

int SettingsFile::ReadInt(const char* section, const char* key, int defaultValue) const {
    return static_cast<int>(GetPrivateProfileIntA(section, key, defaultValue, path));
}

void SettingsFile::ReadString(const char* section, const char* key, const char* defaultValue, char* buffer,
                              DWORD size) const {
    if (size == 0) {
        return;
    }
    // The platform fills buffer before it is done with the default: keep a copy.
    const std::string fallback(defaultValue ? defaultValue : "");
    GetPrivateProfileStringA(section, key, fallback.c_str(), buffer, size, path);
    buffer[size - 1] = '\0';
}

void SettingsFile::WriteBool(const char* section, const char* key, bool value) const {
    WriteInt(section, key, static_cast<unsigned char>(value));
}

void SettingsFile::WriteInt(const char* section, const char* key, int value) const {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(section, key, text, path);
}

void SettingsFile::WriteString(const char* section, const char* key, const char* text) const {
    WritePrivateProfileStringA(section, key, text, path);
}
