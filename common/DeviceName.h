#pragma once

#include <string>

// Device names in the ANSI code page, kept in fixed 81-byte fields.
namespace DeviceName {

// Copies source into target (size bytes, terminated), cut before the first
// character that would not fit whole, so no double-byte character is split.
// A `doubled` character is written twice and counts twice; '\0' doubles none.
void CopyBounded(char* target, int size, const char* source, char doubled = '\0');

// source as a field of size bytes holds it, cut like CopyBounded.
std::string Fitted(const char* source, int size);

// True when a stored name names the device: equal ignoring case to the
// device's name as a field of storedSize bytes would hold it. A name cut on
// saving still finds its device on the next start.
bool Matches(const char* stored, int storedSize, const char* deviceName);

// UTF-16 to ANSI into target (size bytes), cut like CopyBounded.
void FromWide(char* target, int size, const wchar_t* source);

// ANSI to UTF-16 into target (size characters), always terminated.
void ToWide(wchar_t* target, int size, const char* source);

} // namespace DeviceName
