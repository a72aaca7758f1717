// The program started as a separate process, as a user starts it.

#include "shell/EProjectInc.h"

#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A started pinova.exe; ended by force if a test leaves it running.
class Started {
public:
    explicit Started(const std::string& exe)
    {
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        std::string commandLine = "\"" + exe + "\"";
        if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           ExtractFilePath(exe).c_str(), &si, &pi_)) {
            process_.reset(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    ~Started()
    {
        if (Running())
            TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
    bool Valid() const { return static_cast<bool>(process_); }
    bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Handle() const { return process_.get(); }
    // Waits, handling this thread's messages, until the process ends; its exit code.
    DWORD WaitForExit(DWORD timeoutMs = 15000) const
    {
        PumpUntil([this] { return !Running(); }, timeoutMs);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }

private:
    PROCESS_INFORMATION pi_{};
    UniqueKernelHandle process_;
};

// A copy of the program in a folder of its own.
class ProgramCopy {
public:
    ProgramCopy() { CopyFileA(BuiltProgramPath().c_str(), Exe().c_str(), FALSE); }
    std::string Exe() const { return folder_.Path() + "pinova.exe"; }

private:
    TempFolder folder_;
};

// The tray window the running instance left in the shared block, when it is that process's.
HWND TrayWindowOf(const Started& process)
{
    TMappedHwnd block;
    HWND wnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(block.Read()));
    DWORD owner = 0;
    if (wnd && IsWindow(wnd))
        GetWindowThreadProcessId(wnd, &owner);
    return owner == process.Id() ? wnd : nullptr;
}

HWND WaitForTrayWindow(const Started& process)
{
    HWND wnd = nullptr;
    PumpUntil([&] { return (wnd = TrayWindowOf(process)) != nullptr || !process.Running(); }, 20000);
    return wnd;
}

void CloseRunning(const Started& process)
{
    HWND wnd = TrayWindowOf(process);
    ASSERT_NE(nullptr, wnd);
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, process.WaitForExit());
}

// Stands in for a running instance: holds the mutex and gets the notices.
class FakeRunningInstance {
public:
    FakeRunningInstance()
    {
        mutex_.reset(CreateMutexA(nullptr, TRUE, "Pinova"));
        WNDCLASSA wc{};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FakePinovaTray";
        RegisterClassA(&wc);
        wnd_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        block_.Write(static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(wnd_)));
        notices().clear();
    }
    ~FakeRunningInstance()
    {
        block_.Write(0);
        DestroyWindow(wnd_);
    }
    static std::vector<std::string>& notices()
    {
        static std::vector<std::string> list;
        return list;
    }

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            notices().push_back(std::string(static_cast<const char*>(data->lpData), data->cbData));
            return 0;
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }

    UniqueKernelHandle mutex_;
    TMappedHwnd block_;
    HWND wnd_ = nullptr;
};

} // namespace

TEST(SingleInstance, SecondStartNotifiesTheRunningInstanceOnceAndEnds)
{
    FakeRunningInstance running;
    ProgramCopy copy;
    Started second(copy.Exe());
    ASSERT_TRUE(second.Valid());
    EXPECT_EQ(0u, second.WaitForExit());
    ASSERT_EQ(1u, FakeRunningInstance::notices().size());
    EXPECT_EQ(std::string(1, '\0'), FakeRunningInstance::notices()[0]);
}

TEST(SingleInstance, SecondStartEndsAtOnceWhileTheFirstRuns)
{
    ProgramCopy copyA, copyB;
    Started first(copyA.Exe());
    ASSERT_NE(nullptr, WaitForTrayWindow(first));

    Started second(copyB.Exe());
    EXPECT_EQ(0u, second.WaitForExit());
    EXPECT_TRUE(first.Running());
    EXPECT_FALSE(FileExists(ExtractFilePath(copyB.Exe()) + "zkPostIt.ini"));

    CloseRunning(first);

    // With the first one gone, a new start runs.
    Started third(copyA.Exe());
    ASSERT_NE(nullptr, WaitForTrayWindow(third));
    PumpMessages(500);
    EXPECT_TRUE(third.Running());
    CloseRunning(third);
}

TEST(SingleInstance, TwoStartsAtTheSameMomentLeaveOne)
{
    ProgramCopy copyA, copyB;
    Started a(copyA.Exe());
    Started b(copyB.Exe());
    PumpUntil([&] { return !a.Running() || !b.Running(); }, 20000);
    PumpMessages(1000);
    EXPECT_EQ(1, int(a.Running()) + int(b.Running()));
    const Started& survivor = a.Running() ? a : b;
    ASSERT_NE(nullptr, WaitForTrayWindow(survivor));
    CloseRunning(survivor);
}

TEST(SingleInstance, AHungRunningInstanceDoesNotHangTheSecondStart)
{
    FakeRunningInstance hung;
    ProgramCopy copy;
    Started second(copy.Exe());
    // This thread takes no messages now, so the notice is never handled.
    const DWORD start = GetTickCount();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.Handle(), 30000));
    EXPECT_LT(GetTickCount() - start, kNotifyTimeoutMs + 5000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(second.Handle(), &code);
    EXPECT_EQ(0u, code);
}
