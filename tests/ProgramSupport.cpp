// Sockets before anything brings in the older window headers.
#include <winsock2.h>

#include "tests/ProgramSupport.h"

#include "framework/SysUtils.h"
#include "shell/EProjectInc.h"
#include "shell/main.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

const char kShellDesktop[] = "shell";

namespace {

HDESK ShellDesktopHandle()
{
    // Kept for the life of the test program: the desktop lives while it is open.
    static HDESK desktop = [] {
        HDESK d = OpenDesktopA(kShellDesktop, 0, FALSE, GENERIC_ALL);
        return d ? d : CreateDesktopA(kShellDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    }();
    return desktop;
}

BOOL CALLBACK AddWindow(HWND wnd, LPARAM data)
{
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(wnd);
    return TRUE;
}

} // namespace

bool JoinShellDesktop()
{
    HDESK desktop = ShellDesktopHandle();
    return desktop && SetThreadDesktop(desktop);
}

bool WaitForTaskbar(DWORD timeoutMs)
{
    // The first window on the desktop makes Wine start its shell there.
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const bool found = PumpUntil([] { return FindWindowA("Shell_TrayWnd", nullptr) != nullptr; }, timeoutMs);
    DestroyWindow(probe);
    return found;
}

bool TrayHasIcon(HWND wnd, UINT id)
{
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = wnd;
    data.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

std::vector<HWND> WindowsBelow(HWND parent)
{
    std::vector<HWND> top;
    if (parent)
        EnumChildWindows(parent, AddWindow, reinterpret_cast<LPARAM>(&top));
    else
        EnumDesktopWindows(ShellDesktopHandle(), AddWindow, reinterpret_cast<LPARAM>(&top));
    return top;
}

std::string ClassOf(HWND wnd)
{
    char name[256] = {};
    GetClassNameA(wnd, name, sizeof(name));
    return name;
}

ShellThread::ShellThread() : ready_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    thread_.reset(CreateThread(nullptr, 0, Main, this, 0, &threadId_));
    WaitForSingleObject(ready_.get(), 10000);
}

ShellThread::~ShellThread()
{
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_.get(), 10000);
}

DWORD WINAPI ShellThread::Main(void* self)
{
    auto* me = static_cast<ShellThread*>(self);
    JoinShellDesktop();
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts
    SetEvent(me->ready_.get());
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!msg.hwnd && msg.message == WM_APP) {
            (*reinterpret_cast<std::function<void()>*>(msg.lParam))();
            SetEvent(me->ready_.get());
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void ShellThread::Run(std::function<void()> work)
{
    PostThreadMessageA(threadId_, WM_APP, 0, reinterpret_cast<LPARAM>(&work));
    WaitForSingleObject(ready_.get(), 20000);
}

ShellThread& Shell()
{
    static ShellThread* shell = [] {
        auto* thread = new ShellThread;  // never freed: it lives as long as the process
        thread->Run([] {
            CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
            WaitForTaskbar();
        });
        return thread;
    }();
    return *shell;
}

RunningPinova::RunningPinova() : ownFolder_(std::make_unique<TempFolder>()), folder_(ownFolder_->Path())
{
    CopyFileA(BuiltProgramPath().c_str(), File("pinova.exe").c_str(), FALSE);
    // An empty memo index: the folder has been used before. Without it (and without
    // settings) the start is the very first one, which opens a memo of its own.
    WriteWholeFile(File("zkPostIt.ini"), "");
}

RunningPinova::RunningPinova(const RunningPinova& sameFolder, int) : folder_(sameFolder.folder_) {}

RunningPinova::RunningPinova(std::string folder) : folder_(std::move(folder)) {}

RunningPinova::~RunningPinova()
{
    if (Running())
        TerminateProcess(process_.get(), 1);
    if (process_)
        WaitForSingleObject(process_.get(), 5000);
}

void RunningPinova::SetEnvironment(const std::string& name, const std::string& value)
{
    environment_.emplace_back(name, value);
}

namespace {

// The test's environment with the given variables in place of its own ones.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& changed)
{
    std::string block;
    char* own = GetEnvironmentStringsA();
    for (const char* entry = own; *entry; entry += strlen(entry) + 1) {
        const std::string text = entry;
        bool replaced = false;
        for (const auto& change : changed)
            replaced = replaced || lstrcmpiA(text.substr(0, text.find('=')).c_str(), change.first.c_str()) == 0;
        if (!replaced)
            block += text + '\0';
    }
    FreeEnvironmentStringsA(own);
    for (const auto& [name, value] : changed)
        block += name + "=" + value + '\0';
    return block + '\0';
}

} // namespace

bool RunningPinova::Start()
{
    const std::string exe = File("pinova.exe");
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.lpDesktop = const_cast<char*>(kShellDesktop);
    std::string environment = EnvironmentBlock(environment_);
    // A start that fails before any of the program's code runs (the copy, or making
    // the process) is tried once more and reported: what is tested is the program.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        if (ownFolder_ && !FileExists(exe)) {
            const bool copied = CopyFileA(BuiltProgramPath().c_str(), exe.c_str(), FALSE) != FALSE;
            const DWORD error = copied ? ERROR_SUCCESS : GetLastError();
            startProblem_ += Format("%spinova.exe missing, %s (error %lu)", startProblem_.empty() ? "" : ", ",
                                    copied ? "copied now" : "not copied", error);
        }
        if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                           environment_.empty() ? nullptr : environment.data(), folder_.c_str(), &si, &pi_)) {
            process_.reset(pi_.hProcess);
            CloseHandle(pi_.hThread);
            if (!startProblem_.empty())
                std::printf("Pinova started after: %s\n", startProblem_.c_str());
            return true;
        }
        startProblem_ += Format("%snot started (error %lu)", startProblem_.empty() ? "" : ", ", GetLastError());
        Sleep(500);
    }
    return false;
}

bool RunningPinova::Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::string RunningPinova::State() const
{
    if (!process_)
        return startProblem_.empty() ? "not started" : startProblem_;
    if (Running())
        return "running";
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(process_.get(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const UniqueKernelHandle other(OpenMutexA(SYNCHRONIZE, FALSE, "Pinova"));
    return Format("ended with exit code %lu after %llu ms%s", code, (ticks(exited) - ticks(created)) / 10000,
                  other ? ", and another Pinova is running" : "");
}

DWORD RunningPinova::WaitForExit(DWORD timeoutMs) const
{
    PumpUntil([this] { return !Running(); }, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

HWND RunningPinova::WaitForTrayWindow(DWORD timeoutMs) const
{
    HWND tray = nullptr;
    PumpUntil(
        [&] {
            const std::vector<HWND> found = Windows("TfrmMain");
            tray = found.empty() ? nullptr : found.front();
            return tray || !Running();
        },
        timeoutMs);
    return tray;
}

std::vector<HWND> RunningPinova::Windows(const std::string& className) const
{
    std::vector<HWND> all = WindowsBelow(nullptr);
    // Notes resting on the desktop are children of the desktop's icon view, which
    // the shell keeps in "Progman" or in a top-level "WorkerW".
    const std::vector<HWND> top = all;
    for (HWND wnd : top)
        if (ClassOf(wnd) == "Progman" || ClassOf(wnd) == "WorkerW")
            for (HWND below : WindowsBelow(wnd))
                all.push_back(below);
    std::vector<HWND> found;
    for (HWND wnd : all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(wnd, &owner);
        if (owner == pi_.dwProcessId && ClassOf(wnd) == className)
            found.push_back(wnd);
    }
    // A note that moves into the icon view meanwhile is met both above and below.
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::vector<HWND> RunningPinova::WaitForWindows(const std::string& className, size_t count, DWORD timeoutMs) const
{
    std::vector<HWND> found;
    PumpUntil([&] { return (found = Windows(className)).size() >= count; }, timeoutMs);
    return found;
}

bool ChooseCloseFromTrayMenu(const RunningPinova& pinova, HWND tray)
{
    // The icon speaks the fourth manner: the event below, the icon above it.
    PostMessageA(tray, WM_TRAYNOTIFY, 0, MAKELPARAM(WM_CONTEXTMENU, kTrayIconId));
    const std::vector<HWND> menu = pinova.WaitForWindows("#32768", 1);
    if (menu.empty())
        return false;
    PumpMessages(200);
    PostMessageA(menu[0], WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu[0], WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

SilentServer::SilentServer() : socket_(INVALID_SOCKET)
{
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    // Port 0: the system picks a free one. Connections wait in the backlog unanswered.
    if (socket_ != INVALID_SOCKET && bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        listen(socket_, SOMAXCONN) == 0 && getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port_ = ntohs(address.sin_port);
}

SilentServer::~SilentServer()
{
    if (socket_ != INVALID_SOCKET)
        closesocket(socket_);
    if (started_)
        WSACleanup();
}

std::string SilentServer::Address(const std::string& path) const
{
    return Format("http://127.0.0.1:%d/%s", port_ ? port_ : 9, path.c_str());
}

HWND WaitForChild(HWND parent, const std::string& className)
{
    HWND found = nullptr;
    PumpUntil([&] {
        for (HWND wnd : WindowsBelow(parent))
            if (ClassOf(wnd) == className)
                found = wnd;
        return found != nullptr;
    });
    return found;
}

HWND MemoEditor(HWND memo)
{
    for (HWND wnd : WindowsBelow(memo))
        if (ClassOf(wnd) == "RichEdit20W")
            return wnd;
    return nullptr;
}

std::string MemoText(HWND memo)
{
    char text[4096] = {};
    SendMessageA(MemoEditor(memo), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

void TypeInto(HWND memo, const std::string& text)
{
    for (char c : text)
        SendMessageA(MemoEditor(memo), WM_CHAR, static_cast<unsigned char>(c), 1);
}

std::vector<std::string> ShownMemoTexts(const RunningPinova& pinova)
{
    std::vector<std::string> texts;
    for (HWND memo : pinova.Windows("TForm")) {
        std::string text = MemoText(memo);
        std::replace(text.begin(), text.end(), '\r', ' ');
        std::replace(text.begin(), text.end(), '\n', ' ');
        texts.push_back(text);
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}
