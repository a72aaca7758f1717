// Starts pinova.exe over program folders of 0, 100, 998 and 999 memos and measures
// what a user of many notes feels: the start until every memo is shown and the
// program has gone quiet, the peak working set, idle CPU, a new memo by hot key
// (with 999 memos there is no free number left: 998 shows the last one made), and
// "Close" until the process has ended. Median of three runs each. Run it through
// scripts/bench.sh; not a test.
//     pinova_program_bench.exe [runs] [counts...]
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "tests/MemoFolder.h"
#include "tests/TestSupport.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Our windows are all of the form class; the shown ones of the process are the notes.
struct NoteCount {
    DWORD pid;
    int count = 0;
};

BOOL CALLBACK CountNote(HWND wnd, LPARAM data)
{
    auto* notes = reinterpret_cast<NoteCount*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char name[32] = {};
    GetClassNameA(wnd, name, sizeof(name));
    if (pid == notes->pid && IsWindowVisible(wnd) && std::string(name) == "TForm")
        ++notes->count;
    return TRUE;
}

// Notes at work or floating: top-level windows.
int ShownTopLevelNotes(DWORD pid)
{
    NoteCount notes{pid};
    EnumWindows(CountNote, reinterpret_cast<LPARAM>(&notes));
    return notes.count;
}

// Every question about another process's window goes to Wine's server, so only
// the icon view's own children are looked at, not the notes' controls.
int ShownNotes(DWORD pid, const StandInProgman& desktop)
{
    NoteCount notes{pid};
    for (HWND child = GetWindow(desktop.icons, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        CountNote(child, reinterpret_cast<LPARAM>(&notes));
    return ShownTopLevelNotes(pid) + notes.count;
}

// The running instance leaves its tray window in the shared block.
HWND TrayWindow()
{
    HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, "PinovaMap");
    if (!map)
        return nullptr;
    HWND tray = nullptr;
    if (const void* view = MapViewOfFile(map, FILE_MAP_READ, 0, 0, 4)) {
        tray = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(*static_cast<const DWORD*>(view)));
        UnmapViewOfFile(view);
    }
    CloseHandle(map);
    return tray;
}

// Wine's process times of another process were seen to grow while Linux counted
// no tick for it, so the processor time is read where Linux keeps it: the stat
// file of the Wine process whose command line is the program's path, under Z:\proc.
class LinuxProcessTimes {
public:
    explicit LinuxProcessTimes(std::string programPath) : programPath_(std::move(programPath)) {}

    // User and system time in milliseconds (ticks of 10 ms), or -1 while not found.
    double CpuMs()
    {
        if (statPath_.empty())
            statPath_ = FindStat();
        if (statPath_.empty())
            return -1;
        const std::string stat = ReadWholeFile(statPath_);
        // pid (name) state ... utime stime: the 14th and 15th fields.
        unsigned long long user = 0, system = 0;
        const size_t name = stat.rfind(')');
        if (name == std::string::npos ||
            std::sscanf(stat.c_str() + name + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user,
                        &system) != 2)
            return -1;
        return static_cast<double>(user + system) * 10.0;
    }

private:
    std::string FindStat() const
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
        if (search == INVALID_HANDLE_VALUE)
            return {};
        std::string stat;
        do {
            if (!std::isdigit(static_cast<unsigned char>(found.cFileName[0])))
                continue;
            const std::string dir = std::string("Z:\\proc\\") + found.cFileName;
            const std::string commandLine = ReadWholeFile(dir + "\\cmdline");
            if (commandLine.compare(0, programPath_.size() + 1, programPath_.c_str(), programPath_.size() + 1) == 0)
                stat = dir + "\\stat";
        } while (stat.empty() && FindNextFileA(search, &found));
        FindClose(search);
        return stat;
    }

    std::string programPath_, statPath_;
};

double CpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;
}

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

// Memo numbers run from 001 to 999.
constexpr int kMostMemos = 999;

struct Figures {
    double startMs = 0, peakMiB = 0, idleCpuMs = 0, newMemoMs = 0, closeMs = 0;
    bool ok = true;
};

Figures RunOnce(const std::string& exe, int memos)
{
    Figures f;
    TempFolder folder;
    CopyFileA(exe.c_str(), (folder.Path() + "pinova.exe").c_str(), FALSE);
    WriteMemoFolder(folder.Path(), memos, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    StandInProgman desktop;

    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::string commandLine = "\"" + folder.Path() + "pinova.exe\"";
    const auto start = Clock::now();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(), &si,
                        &pi)) {
        std::printf("cannot start %s\n", exe.c_str());
        f.ok = false;
        return f;
    }
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    // Start-up ends at the last tick of processor time the program used before a
    // whole second without any, once every note is shown (notes paint after they
    // are shown). The notes are counted only in such a quiet second: counting asks
    // the server about a thousand windows, which would slow the program measured.
    LinuxProcessTimes linuxTimes(folder.Path() + "pinova.exe");
    const auto cpuMs = [&] {
        const double linuxMs = linuxTimes.CpuMs();
        return linuxMs >= 0 ? linuxMs : CpuMs(pi.hProcess);
    };
    auto lastBusy = Clock::now();
    double cpu = cpuMs();
    f.ok = WaitFor(
        [&] {
            if (const double now = cpuMs(); now != cpu) {
                cpu = now;
                lastBusy = Clock::now();
                return false;
            }
            return MsSince(lastBusy) >= 1000 && TrayWindow() && ShownNotes(pi.dwProcessId, desktop) >= memos;
        },
        180'000);
    f.startMs = std::chrono::duration<double, std::milli>(lastBusy - start).count();

    const double cpuBefore = cpuMs();
    PumpMessages(10'000);
    f.idleCpuMs = cpuMs() - cpuBefore;

    const HWND tray = TrayWindow();
    if (memos < kMostMemos) {
        const auto hotKey = Clock::now();
        PostMessageA(tray, WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'N'));
        // The new memo comes up at work, a top-level window: the notes on the desktop need no counting.
        f.ok &= WaitFor([&] { return ShownTopLevelNotes(pi.dwProcessId) >= 1; }, 30'000);
        f.newMemoMs = MsSince(hotKey);
    } else {
        f.newMemoMs = -1;  // every number is taken: the hot key makes nothing
    }

    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc)))
        f.peakMiB = static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);

    const auto close = Clock::now();
    PostMessageA(tray, WM_CLOSE, 0, 0);
    f.ok &= WaitFor([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, 60'000);
    f.closeMs = MsSince(close);
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    return f;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    Application.Initialize();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {0, 100, 998, 999};
    const std::string exe = BuiltProgramPath();

    std::printf("| memos | start-up | peak working set | idle CPU over 10 s | new memo by hot key | Close |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|\n");
    for (int memos : counts) {
        std::vector<double> start, peak, idle, newMemo, close;
        bool ok = true;
        for (int run = 0; run < runs; ++run) {
            const Figures f = RunOnce(exe, memos);
            ok &= f.ok;
            start.push_back(f.startMs);
            peak.push_back(f.peakMiB);
            idle.push_back(f.idleCpuMs);
            newMemo.push_back(f.newMemoMs);
            close.push_back(f.closeMs);
        }
        const double newMemoMs = Median(newMemo);
        const std::string newMemoText = newMemoMs < 0 ? "none (no free number)" : Format("%.0f ms", newMemoMs);
        std::printf("| %d | %.2f s | %.0f MiB | %.0f ms | %s | %.2f s |%s\n", memos, Median(start) / 1000,
                    Median(peak), Median(idle), newMemoText.c_str(), Median(close) / 1000,
                    ok ? "" : " (incomplete)");
        std::fflush(stdout);
    }
    return 0;
}
