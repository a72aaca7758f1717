#include "tests/TestSupport.h"

#include "framework/Application.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

namespace {

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((path + "*").c_str(), &data));
    if (find) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = path + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find.get(), &data));
    }
    RemoveDirectoryA(path.c_str());
}

} // namespace

TempFolder::TempFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        path_ = Format("%spinova-test-%lu-%u\\", temp, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

TestProgram::TestProgram()
    : info_(std::make_unique<TzkPrjInfo>(folder_.Path())), previous_(PrjInfo)
{
    PrjInfo = info_.get();
}

TestProgram::~TestProgram() { PrjInfo = previous_; }

CaughtErrors::CaughtErrors()
{
    Application.OnException = [this](const std::exception& e) { messages_.push_back(e.what()); };
}

CaughtErrors::~CaughtErrors()
{
    Application.OnException = [](const std::exception& e) {
        ADD_FAILURE() << "Unexpected error box: " << e.what();
    };
}

StandInProgman::StandInProgman(int width, int height)
    : StandInProgman(ShellLayout::Classic,
                     RECT{0, 0, width ? width : GetSystemMetrics(SM_CXSCREEN),
                          height ? height : GetSystemMetrics(SM_CYSCREEN)})
{
}

StandInProgman::StandInProgman(ShellLayout layout, RECT area)
{
    // Registered once for the whole test program, so the brush lives as long.
    static const HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    static const bool registered = [&] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = instance;
        wc.hbrBackground = teal;
        for (const char* name : {"Progman", "SHELLDLL_DefView", "WorkerW"}) {
            wc.lpszClassName = name;
            RegisterClassExA(&wc);
        }
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
    if (IsRectEmpty(&area))
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int w = area.right - area.left, h = area.bottom - area.top;
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    auto topLevel = [&](const char* className, const char* title) {
        HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, className, title, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                   area.left, area.top, w, h, nullptr, nullptr, instance, nullptr);
        topLevel_.push_back(wnd);
        return wnd;
    };
    auto child = [&](const char* className, HWND parent) {
        return CreateWindowExA(0, className, "", kChild, 0, 0, w, h, parent, nullptr, instance, nullptr);
    };

    progman = topLevel("Progman", "Program Manager");
    HWND viewHost = progman;
    if (layout == ShellLayout::Slideshow) {
        workers.push_back(topLevel("WorkerW", ""));
        workers.push_back(topLevel("WorkerW", ""));
        viewHost = workers.front();
    }
    view = child("SHELLDLL_DefView", viewHost);
    icons = CreateWindowExA(0, WC_LISTVIEWA, "FolderView", kChild | LVS_ICON, 0, 0, w, h, view, nullptr, instance,
                            nullptr);
    ListView_SetBkColor(icons, RGB(0, 128, 128));
    if (layout == ShellLayout::Win11_24H2) {
        workers.push_back(child("WorkerW", progman));
        SetWindowPos(workers.back(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Below every other window: the view's host, then the wallpaper, then "Progman".
    for (HWND wnd : {viewHost, workers.empty() ? nullptr : workers.back(), progman})
        if (wnd && GetAncestor(wnd, GA_PARENT) == GetDesktopWindow())
            SetWindowPos(wnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

StandInProgman::~StandInProgman()
{
    for (auto it = topLevel_.rbegin(); it != topLevel_.rend(); ++it)
        DestroyWindow(*it);
}

std::function<void(bool& canClose)> MainFormCloseQuery;

void PumpMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        Application.ProcessMessages();
        if (milliseconds)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

WindowImage::WindowImage(HWND wnd, bool clientOnly)
{
    RECT r;
    if (clientOnly)
        GetClientRect(wnd, &r);
    else
        GetWindowRect(wnd, &r);
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    WindowDC screen(nullptr);
    BITMAPINFO bmi = TopDownBitmapInfo(width_, height_, 32);
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    {
        SelectGuard select(dc.get(), bitmap.get());
        PrintWindow(wnd, dc.get(), clientOnly ? PW_CLIENTONLY : 0);
        GdiFlush();
    }
    const auto* p = static_cast<const DWORD*>(bits);
    pixels_.assign(p, p + static_cast<size_t>(width_) * height_);
}

WindowImage WindowImage::OnScreen(HWND wnd)
{
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    WindowImage image;
    RECT r;
    GetWindowRect(wnd, &r);
    image.width_ = r.right - r.left;
    image.height_ = r.bottom - r.top;
    WindowDC source(wnd, true);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = image.width_;
    bmi.bmiHeader.biHeight = -image.height_;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(source.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDC dc(CreateCompatibleDC(source.get()));
    {
        SelectGuard select(dc.get(), bitmap.get());
        BitBlt(dc.get(), 0, 0, image.width_, image.height_, source.get(), 0, 0, SRCCOPY);
        GdiFlush();
    }
    const auto* p = static_cast<const DWORD*>(bits);
    image.pixels_.assign(p, p + static_cast<size_t>(image.width_) * image.height_);
    return image;
}

COLORREF WindowImage::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    const DWORD bgra = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

std::wstring Utf8ToWide(std::string_view s)
{
    std::wstring wide(s.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string WideToUtf8(std::wstring_view s)
{
    std::string utf8(s.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), utf8.data(),
                                                        static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, bytes);
    return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string BuiltProgramPath() { return ExtractFilePath(ModuleFileName()) + "..\\app\\pinova.exe"; }

RECT WindowScreenRect(HWND wnd)
{
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

std::string RectText(const RECT& r) { return Format("%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom); }

UniqueKernelHandle RunTestInSecondProcess(const std::string& testName, DWORD* processId)
{
    std::string command = "\"" + ModuleFileName() + "\" --gtest_also_run_disabled_tests --gtest_filter=" + testName;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return UniqueKernelHandle();
    CloseHandle(pi.hThread);
    if (processId)
        *processId = pi.dwProcessId;
    return UniqueKernelHandle(pi.hProcess);
}
