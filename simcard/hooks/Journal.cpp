#include "simcard/hooks/Journal.h"

#include <vfwmsgs.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

SRWLOCK journalLock = SRWLOCK_INIT;

bool PathFrom(const wchar_t* variable, wchar_t* path, DWORD size) {
    DWORD length = GetEnvironmentVariableW(variable, path, size);
    return length > 0 && length < size;
}

bool JournalPath(wchar_t* path, DWORD size) {
    return PathFrom(L"SIMTV_JOURNAL", path, size);
}

} // namespace

namespace Journal {

bool Enabled() {
    wchar_t path[MAX_PATH];
    return JournalPath(path, MAX_PATH);
}

const char* ResultName(HRESULT result, char* buffer, size_t size) {
    switch (result) {
    case S_OK:
        return "S_OK";
    case S_FALSE:
        return "S_FALSE";
    case E_FAIL:
        return "E_FAIL";
    case E_INVALIDARG:
        return "E_INVALIDARG";
    case E_POINTER:
        return "E_POINTER";
    case E_NOTIMPL:
        return "E_NOTIMPL";
    case E_PROP_ID_UNSUPPORTED:
        return "E_PROP_ID_UNSUPPORTED";
    case VFW_E_NOT_STOPPED:
        return "VFW_E_NOT_STOPPED";
    case VFW_E_INVALIDMEDIATYPE:
        return "VFW_E_INVALIDMEDIATYPE";
    case VFW_E_ALREADY_CONNECTED:
        return "VFW_E_ALREADY_CONNECTED";
    case VFW_S_CANT_CUE:
        return "VFW_S_CANT_CUE";
    default:
        std::snprintf(buffer, size, "0x%08lX", static_cast<unsigned long>(result));
        return buffer;
    }
}

void ToUtf8(const wchar_t* text, char* buffer, size_t size) {
    buffer[0] = '\0';
    if (!text || size == 0) {
        return;
    }
    // Cut on a whole character: shorten the source until it fits.
    int length = static_cast<int>(wcslen(text));
    while (length > 0) {
        const int written = WideCharToMultiByte(CP_UTF8, 0, text, length, buffer, static_cast<int>(size) - 1,
                                                nullptr, nullptr);
        if (written > 0) {
            buffer[written] = '\0';
            return;
        }
        --length;
    }
}

namespace {

// Writes the line: the text so far, then the result's name.
void Finish(char* line, size_t size, HRESULT result) {
    const size_t used = std::strlen(line);
    char name[16];
    std::snprintf(line + used, size - used, " -> %s\n", ResultName(result, name, sizeof name));
    Append(L"SIMTV_JOURNAL", line);
}

// Room is kept in a line for the result.
constexpr size_t LineSize = 512;
constexpr size_t ResultRoom = 40;

} // namespace

void Record(HRESULT result, const char* format, ...) {
    if (!Enabled()) {
        return;
    }
    char line[LineSize];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line, sizeof line - ResultRoom, format, args);
    va_end(args);
    if (length >= 0) {
        Finish(line, sizeof line, result);
    }
}

void RecordCall(HRESULT result, const char* method, const char* details, va_list args) {
    if (!Enabled()) {
        return;
    }
    char line[LineSize];
    int length = std::snprintf(line, sizeof line - ResultRoom, "%s%s", method, details[0] ? " " : "");
    if (length < 0 || static_cast<size_t>(length) >= sizeof line - ResultRoom) {
        return;
    }
    if (std::vsnprintf(line + length, sizeof line - ResultRoom - length, details, args) >= 0) {
        Finish(line, sizeof line, result);
    }
}

void Append(const wchar_t* variable, const char* line) {
    wchar_t path[MAX_PATH];
    if (!PathFrom(variable, path, MAX_PATH)) {
        return;
    }
    AcquireSRWLockExclusive(&journalLock);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
        CloseHandle(file);
    }
    ReleaseSRWLockExclusive(&journalLock);
}

} // namespace Journal
