#include "app/SettingsFile.h"

#include <cstdio>
#include <cstring>
#include <string>

SettingsFile::SettingsFile() {
    GetSettingsPath(path);
}

SettingsFile::SettingsFile(const char* filePath) {
    lstrcpynA(path, filePath, PathSize);
}

void SettingsFile::GetSettingsPath(char* buffer) {
    char modulePath[PathSize] = {};
    // A path that fills the buffer may come back unterminated.
    GetModuleFileNameA(nullptr, modulePath, PathSize);
    modulePath[PathSize - 1] = '\0';
    ReplaceExtension(modulePath, ".ini");
    lstrcpynA(buffer, modulePath, PathSize);
}

void SettingsFile::ReplaceExtension(char* target, const char* extension) {
    const size_t extensionLength = strlen(extension);
    size_t length = strnlen(target, PathSize - 1);
    target[length] = '\0';

    // Only a dot in the file name starts an extension, not one in a folder name.
    // Walked by characters: 0x5C is also the second byte of many double-byte ones.
    const char* fileName = target;
    for (const char* p = target; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/') {
            fileName = p + 1;
        }
    }
    const char* dot = strrchr(fileName, '.');
    size_t cut = dot ? static_cast<size_t>(dot - target) : length;
    // Keep the result inside the buffer and still different from the original,
    // cut before the character that would not fit whole.
    const size_t room = PathSize - 1 - extensionLength;
    if (cut > room) {
        const char* p = target;
        while (*p && static_cast<size_t>(CharNextA(p) - target) <= room) {
            p = CharNextA(p);
        }
        cut = static_cast<size_t>(p - target);
    }
    memcpy(target + cut, extension, extensionLength + 1);
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
