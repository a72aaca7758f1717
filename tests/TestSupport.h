#pragma once
// Helpers shared by the test programs.

#include "framework/Handles.h"
#include "shell/EProjectInc.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A fresh, empty folder in the temp folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // With its trailing backslash.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Program information for a program living in a fresh temp folder; PrjInfo points
// at it while it lives.
class TestProgram {
public:
    TestProgram();
    ~TestProgram();
    TestProgram(const TestProgram&) = delete;
    TestProgram& operator=(const TestProgram&) = delete;
    const std::string& Folder() const { return folder_.Path(); }
    TzkPrjInfo& Info() { return *info_; }

private:
    TempFolder folder_;
    std::unique_ptr<TzkPrjInfo> info_;
    TzkPrjInfo* previous_;
};

// Collects the errors the application would have shown in a message box.
class CaughtErrors {
public:
    CaughtErrors();
    ~CaughtErrors();
    CaughtErrors(const CaughtErrors&) = delete;
    CaughtErrors& operator=(const CaughtErrors&) = delete;
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::vector<std::string> messages_;
};

// The window trees in which Windows keeps the desktop's icon view, a list view
// inside "SHELLDLL_DefView":
enum class ShellLayout {
    // "Progman" > "SHELLDLL_DefView" > "SysListView32".
    Classic,
    // After a wallpaper slideshow starts: an empty "Progman", the view in a top-level
    // "WorkerW", and a second, empty "WorkerW" that draws the wallpaper.
    Slideshow,
    // Windows 11 24H2: "Progman" holds the wallpaper's "WorkerW" as its first child,
    // above the view.
    Win11_24H2,
};

// Wine has no desktop shell: the shell's windows as Explorer makes them stand in for
// it (teal, at the bottom of the z-order), with a real list view as the icon view.
// They cover the given screen area, the whole screen when none is given; a virtual
// screen that starts left of the primary monitor starts at a negative x.
class StandInProgman {
public:
    explicit StandInProgman(int width = 0, int height = 0);
    explicit StandInProgman(ShellLayout layout, RECT area = {});
    ~StandInProgman();
    StandInProgman(const StandInProgman&) = delete;
    StandInProgman& operator=(const StandInProgman&) = delete;

    HWND progman = nullptr, view = nullptr, icons = nullptr;
    // The "WorkerW" windows of the layout, the one holding the view first.
    std::vector<HWND> workers;

private:
    std::vector<HWND> topLevel_;
};

// A virtual screen with a monitor left of the primary one: it starts at x = -1280.
constexpr RECT kLeftMonitorToo{-1280, 0, 1280, 800};

// A window's place on the screen.
RECT WindowScreenRect(HWND wnd);

// The test programs' hidden main form runs this in its close query (when set), so
// that a test can make closing the program fail.
extern std::function<void(bool& canClose)> MainFormCloseQuery;

// Handles window messages for about the given time.
void PumpMessages(DWORD milliseconds = 0);
// Handles messages until the condition holds or the time is up; the condition's last value.
template <typename Condition>
bool PumpUntil(Condition condition, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpMessages(10);
    }
    return true;
}

// What a window draws, captured with PrintWindow into a 32-bit top-down bitmap.
class WindowImage {
public:
    explicit WindowImage(HWND wnd, bool clientOnly = false);
    // A shown window as it is on the screen, child windows included (Wine's
    // PrintWindow leaves them out): repainted, then read back from its surface.
    static WindowImage OnScreen(HWND wnd);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF Pixel(int x, int y) const;

private:
    WindowImage() = default;
    int width_ = 0, height_ = 0;
    std::vector<DWORD> pixels_;
};

// UTF-8, for texts in test sources and in failure messages.
std::wstring Utf8ToWide(std::string_view s);
std::string WideToUtf8(std::wstring_view s);
inline std::wstring W(const char* utf8) { return Utf8ToWide(utf8); }

// The clipboard format registered under the name.
inline CLIPFORMAT ClipboardFormat(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);

// Runs one test of this test program (a disabled one, the helper of a test) as a
// second process; its process handle and, when asked, its id. Null when it cannot start.
UniqueKernelHandle RunTestInSecondProcess(const std::string& testName, DWORD* processId = nullptr);

// Where the test programs find the built pinova.exe.
std::string BuiltProgramPath();

// "left,top,right,bottom", for comparing rectangles with readable failures.
std::string RectText(const RECT& r);
