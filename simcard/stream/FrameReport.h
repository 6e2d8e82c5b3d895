#pragma once

#include <dshow.h>

#include <vector>

// What one connected output pin delivered between pause and stop, kept for
// the file named by SIMTV_FRAMES (one line per stop, see README.md). Times
// are the system's wall clock, so a script outside the process can set them
// against its own.
class FrameReport {
public:
    // Unix time in 100 ns units.
    static long long WallClock();
    static bool Enabled();

    void Reset();
    void Restarted(long long at); // Run after stopped or paused
    void Delivered(long long at, bool accepted);
    void Skipped(long long frames) { skipped += frames; }
    size_t Runs() const { return runs.size(); }
    // Appends the line; the caller's thread must be the only one using the report.
    void Write(const wchar_t* pin, const AM_MEDIA_TYPE& type, long long stoppedAt) const;

private:
    struct Run {
        long long at;
        long long firstFrame; // 0 until one arrived
    };
    long long delivered = 0;
    long long accepted = 0;
    long long skipped = 0;
    long long lastAccepted = 0;
    long long longestGap = 0;
    std::vector<Run> runs;
};
