#include "framework/Application.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

TApplication Application;

namespace {
const char kApplicationClass[] = "TApplication";
bool oleInitialized = false;
} // namespace

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication()
{
    DestroyComponents();
    if (handle_)
        DestroyWindow(handle_);
    if (oleInitialized)
        OleUninitialize();
}

void TApplication::Initialize()
{
    if (handle_)
        return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_HOTKEY_CLASS |
                                              ICC_STANDARD_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    oleInitialized = SUCCEEDED(OleInitialize(nullptr));

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
    wc.lpszClassName = kApplicationClass;
    RegisterClassExA(&wc);
    // The hidden window that owns every form and carries the program's title.
    handle_ = CreateWindowExA(0, kApplicationClass, WideToAnsi(title_).c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                              nullptr, nullptr, wc.hInstance, nullptr);
}

void TApplication::SetTitle(const std::wstring& title)
{
    title_ = title;
    if (handle_)
        SetWindowTextW(handle_, title.c_str());
}

void TApplication::InitializeForm(TForm* form, const std::function<void()>& prepare)
{
    try {
        prepare();
        form->Initialize();
    } catch (...) {
        if (mainForm_ == form)
            mainForm_ = nullptr;
        DestroyComponent(form);
        throw;
    }
}

void TApplication::DestroyForm(TForm* form)
{
    if (mainForm_ == form)
        mainForm_ = nullptr;
    DestroyComponent(form);
}

void TApplication::RegisterForm(TForm* form) { forms_.push_back(form); }

void TApplication::UnregisterForm(TForm* form)
{
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT)
        terminated_ = true;
    else
        DispatchOne(msg);
    return true;
}

bool TApplication::IsKeyMsg(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    HWND capture = GetCapture();
    if (!capture)
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(capture, &process);
    if (process != GetCurrentProcessId())
        return false;
    return SendMessageA(capture, CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

void TApplication::DispatchOne(const MSG& msg)
{
    if (IsKeyMsg(msg))
        return;
    // Wide: a character the code page lacks reaches a wide window (the memo's
    // editor) whole; the platform converts for the windows that are not.
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        terminated_ = true;
        return;
    }
    DispatchOne(msg);
}

void TApplication::Run()
{
    if (ShowMainForm && mainForm_)
        mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException(const std::exception& e)
{
    if (OnException) {
        OnException(e);
        return;
    }
    // Our errors carry data texts (file names, values) in the ANSI code page.
    MessageBoxW(handle_, AnsiToWide(e.what()).c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::HandleCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            HandleException(e);
        } catch (...) {
            HandleException(Exception("Unexpected error"));
        }
    } catch (...) {
        // The report failed as well (no memory, a handler that throws): the program
        // goes on without it rather than ending here.
    }
}

LRESULT CALLBACK TApplication::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        return Application.WindowMessage(wnd, msg, wParam, lParam);
    } catch (...) {
        Application.HandleCurrentException();
        return 0;
    }
}

LRESULT TApplication::WindowMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case CM_RELEASE: {
        auto* form = reinterpret_cast<TForm*>(lParam);
        if (std::find(forms_.begin(), forms_.end(), form) != forms_.end())
            DestroyForm(form);
        return 0;
    }
    case CM_RECREATE: {
        auto* form = reinterpret_cast<TForm*>(lParam);
        if (std::find(forms_.begin(), forms_.end(), form) != forms_.end())
            form->RestoreLostWindow();
        return 0;
    }
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session is over: end at once, without the after-loop work. The main
        // form hears it first, whichever window the platform tells first: what it
        // keeps (windows inside other programs' windows hear nothing) is saved then.
        if (wParam) {
            if (mainForm_ && mainForm_->HandleAllocated())
                SendMessageA(mainForm_->Handle(), WM_ENDSESSION, wParam, lParam);
            ExitProcess(0);
        }
        return 0;
    case WM_CLOSE:
        if (mainForm_)
            mainForm_->Close();
        return 0;
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}
