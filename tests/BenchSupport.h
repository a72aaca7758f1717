#pragma once
// What the whole-program benchmarks share: the stand-in desktop's notes, the
// running instance's tray window, another process's processor time, waiting
// while the stand-in desktop keeps answering, and medians.

#include "tests/TestSupport.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start);
double Median(std::vector<double> values);

// The notes are the icon view's own children: counting them asks the server
// about each once, and nothing about the windows inside them; no note is sent a
// message, so the count costs the program measured nothing of its own time.
int ShownNotes(const StandInProgman& desktop);

// The running instance leaves its tray window in the shared block.
HWND TrayWindow();

// Wine's process times of another process were seen to grow while Linux counted
// no tick for it, so the processor time is read where Linux keeps it: the stat
// file of the Wine process whose command line is the program's path, under Z:\proc.
class LinuxProcessTimes {
public:
    explicit LinuxProcessTimes(std::string programPath) : programPath_(std::move(programPath)) {}

    // User and system time in milliseconds (ticks of 10 ms), or -1 while not found.
    double CpuMs();

private:
    std::string FindStat() const;

    std::string programPath_, statPath_;
};

// User and system time as Windows reports it for a process handle.
double CpuMs(HANDLE process);

// Keeps the stand-in desktop answering while we wait: the notes are its children.
// The condition is looked at every 20 ms; the desktop answers at once in between.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs)
{
    const auto start = Clock::now();
    while (!done()) {
        if (MsSince(start) > timeoutMs)
            return false;
        PumpMessages(20);
    }
    return true;
}

// Waits for a whole second without processor time once `ready` holds; the time of
// the last tick before it. `ok` turns false after the time-out.
Clock::time_point WaitUntilQuiet(const std::function<double()>& cpuMs, const std::function<bool()>& ready,
                                 DWORD timeoutMs, bool& ok);

// "[runs] [counts...]" from the command line, with the defaults for what is missing.
struct BenchArguments {
    int runs;
    std::vector<int> counts;
};
BenchArguments ParseBenchArguments(int argc, char** argv, int runs, std::vector<int> counts);

// Starts the program with its folder as the working folder; false when it cannot.
bool StartProgram(const std::string& exe, const std::string& folder, PROCESS_INFORMATION& started);
