#include "notes/FolderWatch.h"

#include "framework/Application.h"
#include "framework/MessageWindow.h"
#include "framework/SysUtils.h"

namespace {

constexpr UINT kChanged = WM_APP + 1;
constexpr UINT_PTR kQuietTimer = 1;
const char kWindowClass[] = "PinovaFolderWatch";
constexpr DWORD kWhatChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                               FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

std::string LowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

TFolderWatch::TFolderWatch(const std::string& folder, const std::string& prefix) : prefix_(LowerAscii(prefix))
{
    window_ = CreateMessageWindow(kWindowClass, WndProc, this);

    HANDLE directory = CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    // Auto-reset: each signal wakes the pool's wait once.
    event_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (directory == INVALID_HANDLE_VALUE || !window_ || !event_)
        return;
    directory_.reset(directory);
    overlapped_.hEvent = event_.get();
    if (!Listen() ||
        !RegisterWaitForSingleObject(&wait_, event_.get(), Signalled, this, INFINITE, WT_EXECUTEDEFAULT)) {
        wait_ = nullptr;
        CancelIoEx(directory_.get(), &overlapped_);
        DWORD ignored = 0;
        GetOverlappedResult(directory_.get(), &overlapped_, &ignored, TRUE);
        directory_.reset();
    }
}

TFolderWatch::~TFolderWatch()
{
    // Waits for a callback under way, so that none posts to a window that is gone.
    if (wait_)
        UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    if (directory_) {
        // The system writes into the buffer until the read has really ended.
        CancelIoEx(directory_.get(), &overlapped_);
        DWORD ignored = 0;
        GetOverlappedResult(directory_.get(), &overlapped_, &ignored, TRUE);
    }
    if (window_)
        DestroyWindow(window_);
}

bool TFolderWatch::Listen()
{
    return ReadDirectoryChangesW(directory_.get(), buffer_, sizeof(buffer_), FALSE, kWhatChanges, nullptr,
                                 &overlapped_, nullptr) != FALSE;
}

void CALLBACK TFolderWatch::Signalled(PVOID context, BOOLEAN) noexcept
{
    // A thread of the pool: only a message crosses to the user-interface thread.
    PostMessageA(static_cast<TFolderWatch*>(context)->window_, kChanged, 0, 0);
}

void TFolderWatch::Collect()
{
    DWORD bytes = 0;
    if (!GetOverlappedResult(directory_.get(), &overlapped_, &bytes, FALSE)) {
        if (GetLastError() == ERROR_IO_INCOMPLETE)
            return;
        // The read failed (the folder went, the buffer could not hold the burst):
        // whatever happened has to be looked at as a whole.
        pending_.Everything = true;
    } else if (bytes == 0) {
        pending_.Everything = true;
    }
    for (size_t offset = 0; bytes > 0 && offset + sizeof(FILE_NOTIFY_INFORMATION) <= bytes;) {
        const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + offset);
        const std::wstring_view name(info->FileName, info->FileNameLength / sizeof(WCHAR));
        pending_.Names.insert(prefix_ + LowerAscii(WideToAnsi(name)));
        if (info->NextEntryOffset == 0)
            break;
        offset += info->NextEntryOffset;
    }
    if (!Listen())
        pending_.Everything = true;
    SetTimer(window_, kQuietTimer, kQuietMs, nullptr);
}

void TFolderWatch::LookAgain(const std::string& name)
{
    pending_.Names.insert(LowerAscii(name));
    SetTimer(window_, kQuietTimer, kQuietMs, nullptr);
}

void TFolderWatch::Settle()
{
    KillTimer(window_, kQuietTimer);
    TFolderChanges changes = std::move(pending_);
    pending_ = {};
    if (OnSettled && (changes.Everything || !changes.Names.empty()))
        OnSettled(changes);
}

LRESULT CALLBACK TFolderWatch::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* watch = reinterpret_cast<TFolderWatch*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!watch || (msg != kChanged && msg != WM_TIMER))
        return DefWindowProcA(wnd, msg, wParam, lParam);
    try {
        if (msg == kChanged)
            watch->Collect();
        else
            watch->Settle();
    } catch (...) {
        Application.HandleCurrentException();
    }
    return 0;
}
