// Pinova over a folder of memos (999 by default, 2 KB each) while something else
// writes into it, as a sync client does: one memo file replaced from outside (a
// temporary name, then a rename into place), and the time until that memo's
// window shows the new text, median of the runs; then the program's processor
// time over 10 s of idling with the folder watched. The same over a folder of 10
// memos tells whether the program reads only the changed file: if it read every
// memo file, the time would grow with the number of memos.
// Run it through scripts/bench.sh pinova_sync_bench; not a test.
//     pinova_sync_bench.exe [runs] [counts...]      default: 5 runs over 10 and 999
#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/SysUtils.h"
#include "tests/BenchSupport.h"
#include "tests/MemoFolder.h"
#include "tests/ProgramSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kIdleMs = 10'000;

struct Figures {
    double startMs = 0;
    std::vector<double> shownMs;
    double idleLinuxMs = -1, idleWindowsMs = -1;
    bool ok = true;
};

// The note showing memo `number` (its first line is "Memo <number>").
HWND MemoNote(const StandInProgman& desktop, int number)
{
    const std::string first = Format("Memo %d\r", number);
    for (HWND note = GetWindow(desktop.icons, GW_CHILD); note; note = GetWindow(note, GW_HWNDNEXT))
        if (MemoText(note).rfind(first, 0) == 0)
            return note;
    return nullptr;
}

void ReplaceFromOutside(const std::string& folder, int number, const std::string& rtf)
{
    const std::string temporary = folder + Format(".~sync-%03d.txt.partial", number);
    WriteWholeFile(temporary, rtf);
    MoveFileExA(temporary.c_str(), (folder + Format("%03d.txt", number)).c_str(), MOVEFILE_REPLACE_EXISTING);
}

Figures RunOnce(int memos, int runs)
{
    Figures f;
    TempFolder folder;
    const std::string copy = folder.Path() + "pinova.exe";
    CopyFileA(BuiltProgramPath().c_str(), copy.c_str(), FALSE);
    WriteMemoFolder(folder.Path(), memos, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    StandInProgman desktop;

    PROCESS_INFORMATION pi{};
    const auto start = Clock::now();
    if (!StartProgram(copy, folder.Path(), pi)) {
        f.ok = false;
        return f;
    }
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    // A handle of our own, as any other program would open it to look.
    UniqueKernelHandle looking(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pi.dwProcessId));
    LinuxProcessTimes linuxTimes(copy);
    const std::function<double()> linuxMs = [&] { return linuxTimes.CpuMs(); };
    f.startMs = std::chrono::duration<double, std::milli>(
                    WaitUntilQuiet(linuxMs, [&] { return TrayWindow() && ShownNotes(desktop) >= memos; }, 600'000, f.ok) -
                    start)
                    .count();

    for (int run = 0; run < runs && f.ok; ++run) {
        const int number = std::max(1, memos / 2 - run);
        const HWND note = MemoNote(desktop, number);
        const std::string marker = Format("Replaced from outside, round %d", run + 1);
        const auto replaced = Clock::now();
        std::string rtf = SampleMemoRtf(number, false);
        rtf.insert(rtf.rfind('}'), marker + "\\par ");
        ReplaceFromOutside(folder.Path(), number, rtf);
        f.ok = note && WaitFor([&] { return MemoText(note).find(marker) != std::string::npos; }, 30'000);
        f.shownMs.push_back(MsSince(replaced));
        WaitUntilQuiet(linuxMs, [] { return true; }, 60'000, f.ok);
    }

    const double linuxBefore = linuxTimes.CpuMs(), windowsBefore = CpuMs(looking.get());
    PumpMessages(kIdleMs);
    f.idleLinuxMs = linuxTimes.CpuMs() - linuxBefore;
    f.idleWindowsMs = CpuMs(looking.get()) - windowsBefore;

    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 10'000);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    Application.Initialize();
    const auto [runs, counts] = ParseBenchArguments(argc, argv, 5, {10, 999});
    std::printf("| memos | start | replaced file shown, median of %d (min-max) | CPU over %u s idle (Linux) | "
                "CPU over %u s idle (GetProcessTimes) |\n",
                runs, static_cast<unsigned>(kIdleMs / 1000), static_cast<unsigned>(kIdleMs / 1000));
    std::printf("|---:|---:|---:|---:|---:|\n");
    for (int memos : counts) {
        const Figures f = RunOnce(memos, runs);
        const auto [low, high] = std::minmax_element(f.shownMs.begin(), f.shownMs.end());
        std::printf("| %d | %.1f s | %.0f ms (%.0f-%.0f) | %.0f ms | %.0f ms |%s\n", memos, f.startMs / 1000,
                    Median(f.shownMs), f.shownMs.empty() ? 0 : *low, f.shownMs.empty() ? 0 : *high, f.idleLinuxMs,
                    f.idleWindowsMs, f.ok ? "" : " (incomplete)");
        std::fflush(stdout);
    }
    return 0;
}
