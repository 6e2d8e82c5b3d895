#include "simcard/stream/FrameReport.h"

#include "simcard/hooks/Journal.h"
#include "simcard/base/MediaTypes.h"

#include <cstdio>
#include <string>

namespace {

constexpr long long UnixEpochIn100ns = 116444736000000000LL; // 1601-01-01 to 1970-01-01

using PreciseTime = void(WINAPI*)(FILETIME*);

PreciseTime PreciseClock() {
    static PreciseTime precise = reinterpret_cast<PreciseTime>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    return precise;
}

void AppendSeconds(std::string& line, long long unixTime) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%06lld", unixTime / 10000000, unixTime % 10000000 / 10);
    line += text;
}

} // namespace

long long FrameReport::WallClock() {
    FILETIME now = {};
    if (PreciseTime precise = PreciseClock()) {
        precise(&now);
    } else {
        GetSystemTimeAsFileTime(&now);
    }
    ULARGE_INTEGER value;
    value.LowPart = now.dwLowDateTime;
    value.HighPart = now.dwHighDateTime;
    return static_cast<long long>(value.QuadPart) - UnixEpochIn100ns;
}

bool FrameReport::Enabled() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"SIMTV_FRAMES", path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

void FrameReport::Reset() {
    *this = FrameReport();
}

void FrameReport::Restarted(long long at) {
    runs.push_back(Run{at, 0});
    // A pause is not a gap between frames.
    lastAccepted = 0;
}

void FrameReport::Delivered(long long at, bool wasAccepted) {
    ++delivered;
    if (!runs.empty() && runs.back().firstFrame == 0) {
        runs.back().firstFrame = at;
    }
    if (!wasAccepted) {
        return;
    }
    ++accepted;
    if (lastAccepted != 0 && at - lastAccepted > longestGap) {
        longestGap = at - lastAccepted;
    }
    lastAccepted = at;
}

void FrameReport::Write(const wchar_t* pin, const AM_MEDIA_TYPE& type, long long stoppedAt) const {
    char name[64];
    Journal::ToUtf8(pin, name, sizeof name);
    const BITMAPINFOHEADER* bitmap = MediaTypes::Bitmap(type);
    const REFERENCE_TIME* duration = MediaTypes::FrameDuration(type);
    char head[320];
    std::snprintf(
        head, sizeof head,
        "Frames pin=\"%s\" subtype=%s width=%ld height=%ld avgTimePerFrame=%lld delivered=%lld "
        "accepted=%lld skipped=%lld longestGapMs=%.1f runs=",
        name, MediaTypes::SubtypeName(type.subtype), bitmap ? static_cast<long>(bitmap->biWidth) : 0L,
        bitmap ? static_cast<long>(bitmap->biHeight) : 0L, duration ? static_cast<long long>(*duration) : 0LL,
        delivered, accepted, skipped, static_cast<double>(longestGap) / 10000.0);
    std::string line = head;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        AppendSeconds(line, runs[i].at);
        line += '/';
        if (runs[i].firstFrame != 0) {
            AppendSeconds(line, runs[i].firstFrame);
        } else {
            line += '-';
        }
    }
    if (runs.empty()) {
        line += '-';
    }
    line += " stopped=";
    AppendSeconds(line, stoppedAt);
    line += '\n';
    Journal::Append(L"SIMTV_FRAMES", line.c_str());
}
