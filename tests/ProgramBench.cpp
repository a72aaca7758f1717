// Starts pinova.exe and the floor (pinova_floor.exe: what any note program must do
// to show the memos) over the same folders of memos, one after the other in each
// round, and compares the start until every memo is shown and the program has gone
// quiet, and the peak working set. Pinova also makes a memo by hot key (with 999
// memos there is no free number left) and is closed from its tray menu, with no
// pinned page and, over the first count of memos, with three. Median of the runs.
// Run it through scripts/bench.sh; not a test.
//     pinova_program_bench.exe [runs] [counts...]      default: 3 runs of 100 and 999
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "shell/main.h"
#include "tests/BenchSupport.h"
#include "tests/MemoFolder.h"
#include "tests/ProgramSupport.h"
#include "tests/TestSupport.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct TopLevelSearch {
    DWORD pid;
    const char* className;
    HWND found = nullptr;
};

BOOL CALLBACK FindShownTopLevel(HWND wnd, LPARAM data)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char name[32] = {};
    GetClassNameA(wnd, name, sizeof(name));
    if (pid == search->pid && IsWindowVisible(wnd) && std::strcmp(name, search->className) == 0) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// A shown top-level window of the process and class (the few outside the icon view).
HWND ShownTopLevel(DWORD pid, const char* className)
{
    TopLevelSearch search{pid, className};
    EnumWindows(FindShownTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Memo numbers run from 001 to 999.
constexpr int kMostMemos = 999;

struct Figures {
    double startMs = 0, peakMiB = 0, newMemoMs = -1, closeMs = -1;
    bool ok = true;
};

void WritePinnedPages(const std::string& folder, int pages, const SilentServer& server)
{
    std::string settings = "[url]\r\n";
    for (int n = 1; n <= pages; ++n)
        settings += Format("%d=%s\r\n", n, server.Address(Format("page%d", n)).c_str());
    WriteWholeFile(folder + "Pinova.ini", settings);
}

// "Close" from the tray menu, as a user chooses it with the keyboard; the time
// from the choice until the process has ended.
double CloseFromTrayMenu(HANDLE process, DWORD pid, bool& ok)
{
    const HWND tray = TrayWindow();
    // The icon speaks the fourth manner: the event below, the icon above it.
    PostMessageA(tray, WM_TRAYNOTIFY, 0, MAKELPARAM(WM_CONTEXTMENU, kTrayIconId));
    HWND menu = nullptr;
    ok &= WaitFor([&] { return (menu = ShownTopLevel(pid, "#32768")) != nullptr; }, 10'000);
    PumpMessages(200);
    const auto close = Clock::now();
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ok &= WaitFor([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 60'000);
    return MsSince(close);
}

// Starts the program (pinova.exe or the floor) in a fresh folder of memos on a
// fresh stand-in desktop and measures it; Pinova also makes a memo by hot key
// and is closed from its tray menu, the floor is ended.
Figures RunOnce(const std::string& exe, bool pinova, int memos, int pages)
{
    Figures f;
    TempFolder folder;
    const std::string copy = folder.Path() + ExtractFileName(exe);
    CopyFileA(exe.c_str(), copy.c_str(), FALSE);
    WriteMemoFolder(folder.Path(), memos, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const SilentServer server;
    WritePinnedPages(folder.Path(), pages, server);
    StandInProgman desktop;

    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!StartProgram(copy, folder.Path(), pi)) {
        std::printf("cannot start %s\n", exe.c_str());
        f.ok = false;
        return f;
    }
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    // Start-up ends at the last tick of processor time the program used before a
    // whole second without any, once every note is shown (notes paint after they
    // are shown). The notes are counted only in such a quiet second.
    LinuxProcessTimes linuxTimes(copy);
    const std::function<double()> cpuMs = [&] {
        const double linuxMs = linuxTimes.CpuMs();
        return linuxMs >= 0 ? linuxMs : CpuMs(pi.hProcess);
    };
    const auto lastBusy = WaitUntilQuiet(
        cpuMs, [&] { return (!pinova || TrayWindow()) && ShownNotes(desktop) >= memos + pages; }, 300'000, f.ok);
    f.startMs = std::chrono::duration<double, std::milli>(lastBusy - start).count();

    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof(pmc)))
        f.peakMiB = static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);

    if (pinova && memos < kMostMemos && pages == 0) {
        const auto hotKey = Clock::now();
        PostMessageA(TrayWindow(), WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'N'));
        // The new memo comes up at work, a top-level window: the notes on the desktop need no counting.
        f.ok &= WaitFor([&] { return ShownTopLevel(pi.dwProcessId, "TForm") != nullptr; }, 30'000);
        f.newMemoMs = MsSince(hotKey);
    }
    if (pinova)
        f.closeMs = CloseFromTrayMenu(pi.hProcess, pi.dwProcessId, f.ok);
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10'000);
    }
    return f;
}

struct Series {
    std::vector<double> start, peak, newMemo, close;
    bool ok = true;

    void Add(const Figures& f)
    {
        ok &= f.ok;
        start.push_back(f.startMs);
        peak.push_back(f.peakMiB);
        newMemo.push_back(f.newMemoMs);
        close.push_back(f.closeMs);
    }
};

std::string Seconds(double ms) { return ms < 0 ? "-" : Format("%.2f s", ms / 1000); }

} // namespace

int main(int argc, char** argv)
{
    Application.Initialize();
    const auto [runs, counts] = ParseBenchArguments(argc, argv, 3, {100, 999});
    const std::string pinovaExe = BuiltProgramPath();
    const std::string floorExe = ExtractFilePath(ModuleFileName()) + "pinova_floor.exe";
    // Close with pinned pages is measured over the first count of memos only.
    constexpr int kPages = 3;

    std::printf("| memos | floor | Pinova | ratio | floor peak | Pinova peak | ratio | new memo by hot key | Close | "
                "Close, %d pages |\n",
                kPages);
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (size_t row = 0; row < counts.size(); ++row) {
        const int memos = counts[row];
        Series floor, pinova, withPages;
        // Alternating, so that what else the machine does falls on both alike.
        for (int run = 0; run < runs; ++run) {
            floor.Add(RunOnce(floorExe, false, memos, 0));
            pinova.Add(RunOnce(pinovaExe, true, memos, 0));
            if (row == 0)
                withPages.Add(RunOnce(pinovaExe, true, memos, kPages));
        }
        const double floorMs = Median(floor.start), pinovaMs = Median(pinova.start);
        const double floorMiB = Median(floor.peak), pinovaMiB = Median(pinova.peak);
        const double newMemoMs = Median(pinova.newMemo);
        const std::string newMemoText = memos >= kMostMemos ? "none (no free number)" : Format("%.0f ms", newMemoMs);
        std::printf("| %d | %.2f s | %.2f s | %.2f | %.0f MiB | %.0f MiB | %.2f | %s | %s | %s |%s\n", memos,
                    floorMs / 1000, pinovaMs / 1000, pinovaMs / floorMs, floorMiB, pinovaMiB, pinovaMiB / floorMiB,
                    newMemoText.c_str(), Seconds(Median(pinova.close)).c_str(),
                    Seconds(row == 0 ? Median(withPages.close) : -1).c_str(),
                    floor.ok && pinova.ok && withPages.ok ? "" : " (incomplete)");
        std::fflush(stdout);
    }
    return 0;
}
