// Starts pinova.exe over program folders of 0, 100 and 999 memos and measures what
// a user of many notes feels: the start until every memo is shown, the peak
// working set, idle CPU, a new memo by hot key, and "Close" until the process has
// ended. Median of three runs each. Run it through scripts/bench.sh; not a test.
//     pinova_program_bench.exe [runs] [counts...]
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "tests/MemoFolder.h"
#include "tests/TestSupport.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
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

int ShownNotes(DWORD pid, const StandInProgman& desktop)
{
    NoteCount notes{pid};
    EnumWindows(CountNote, reinterpret_cast<LPARAM>(&notes));
    // Notes on the desktop live inside the (stand-in) icon view.
    EnumChildWindows(desktop.icons, CountNote, reinterpret_cast<LPARAM>(&notes));
    return notes.count;
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

double CpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;
}

// Keeps the stand-in desktop answering while we wait: the notes are its children.
// Counting the notes asks the server about every window of the session; done
// every few milliseconds, those questions would slow the program being measured
// more than anything it does itself. So the condition is looked at only every
// 20 ms, and the stand-in desktop answers at once in between.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs)
{
    const auto start = Clock::now();
    while (!done()) {
        if (MsSince(start) > timeoutMs)
            return false;
        const auto slice = Clock::now();
        do {
            Application.ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        } while (MsSince(slice) < 20);
    }
    return true;
}

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
    // Idle first: it is one question, and the program is not idle before its notes are up.
    const bool shown = WaitFor([&] { return WaitForInputIdle(pi.hProcess, 0) == 0 && TrayWindow() &&
                                            ShownNotes(pi.dwProcessId, desktop) >= memos; },
                               120'000);
    f.startMs = MsSince(start);
    f.ok = shown;

    const double cpuBefore = CpuMs(pi.hProcess);
    PumpMessages(10'000);
    f.idleCpuMs = CpuMs(pi.hProcess) - cpuBefore;

    const HWND tray = TrayWindow();
    const auto hotKey = Clock::now();
    PostMessageA(tray, WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'N'));
    f.ok &= WaitFor([&] { return ShownNotes(pi.dwProcessId, desktop) >= memos + 1; }, 30'000);
    f.newMemoMs = MsSince(hotKey);

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
        counts = {0, 100, 999};
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
        std::printf("| %d | %.2f s | %.0f MiB | %.0f ms | %.0f ms | %.2f s |%s\n", memos, Median(start) / 1000,
                    Median(peak), Median(idle), Median(newMemo), Median(close) / 1000, ok ? "" : " (incomplete)");
        std::fflush(stdout);
    }
    return 0;
}
