#pragma once

#include <windows.h>

#include <cstdarg>

// Appends one line per state-changing call to the file named by SIMTV_JOURNAL:
//   <Part>.<Method>[ <name>=<value>]... -> <result>
// Each line is written and the file closed at once, so a reader in another
// process sees it as soon as the call has returned.
namespace Journal {

bool Enabled();

// printf-style arguments, then the result as its name (S_OK, E_FAIL, ...).
void Record(HRESULT result, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

// The method's name, a space and the details (none when empty), then the result.
void RecordCall(HRESULT result, const char* method, const char* details, va_list args);

// The name Record writes for a result: a known code's name, else 0x%08X.
const char* ResultName(HRESULT result, char* buffer, size_t size);

// Text for a journal line: UTF-8, cut to the buffer.
void ToUtf8(const wchar_t* text, char* buffer, size_t size);

// Appends the line to the file the environment variable names, if it names one.
void Append(const wchar_t* variable, const char* line);

} // namespace Journal
