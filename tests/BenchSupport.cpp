#include "tests/BenchSupport.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int ShownNotes(const StandInProgman& desktop)
{
    int shown = 0;
    for (HWND child = GetWindow(desktop.icons, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        shown += IsWindowVisible(child) ? 1 : 0;
    return shown;
}

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

double LinuxProcessTimes::CpuMs()
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

std::string LinuxProcessTimes::FindStat() const
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

double CpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10'000.0;
}

Clock::time_point WaitUntilQuiet(const std::function<double()>& cpuMs, const std::function<bool()>& ready,
                                 DWORD timeoutMs, bool& ok)
{
    auto lastBusy = Clock::now();
    double cpu = cpuMs();
    ok = WaitFor(
             [&] {
                 if (const double now = cpuMs(); now != cpu) {
                     cpu = now;
                     lastBusy = Clock::now();
                     return false;
                 }
                 return MsSince(lastBusy) >= 1000 && ready();
             },
             timeoutMs) &&
         ok;
    return lastBusy;
}

BenchArguments ParseBenchArguments(int argc, char** argv, int runs, std::vector<int> counts)
{
    BenchArguments arguments{argc > 1 ? std::max(1, std::atoi(argv[1])) : runs, {}};
    for (int i = 2; i < argc; ++i)
        arguments.counts.push_back(std::atoi(argv[i]));
    if (arguments.counts.empty())
        arguments.counts = std::move(counts);
    return arguments;
}

bool StartProgram(const std::string& exe, const std::string& folder, PROCESS_INFORMATION& started)
{
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string commandLine = "\"" + exe + "\"";
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                          &started) != FALSE;
}
