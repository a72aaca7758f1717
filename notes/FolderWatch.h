#pragma once
// Watches a folder (not its subfolders) for files that others write. The system
// tells a thread of its pool when something changed; the names cross to the
// user-interface thread as a message, and once the folder has been quiet for a
// moment (sync clients write in bursts) they are handed on together. Nothing runs
// while nothing changes.

#include "framework/Handles.h"

#include <windows.h>

#include <functional>
#include <set>
#include <string>

struct TFolderChanges {
    // Names relative to the folder ("001.txt", "zkBasket\\x.txt"), lower case.
    std::set<std::string> Names;
    // The system lost count (too many at once): anything may have changed.
    bool Everything = false;
};

class TFolderWatch {
public:
    // How long the folder must be quiet before the changes are handed on.
    static constexpr UINT kQuietMs = 300;

    // The names handed on start with `prefix` ("zkbasket\\" for a subfolder).
    explicit TFolderWatch(const std::string& folder, const std::string& prefix = "");
    ~TFolderWatch();
    TFolderWatch(const TFolderWatch&) = delete;
    TFolderWatch& operator=(const TFolderWatch&) = delete;

    // False when the folder cannot be watched (then nothing is ever reported).
    bool Watching() const { return static_cast<bool>(directory_); }
    // Runs on the user-interface thread after a burst of changes.
    std::function<void(const TFolderChanges&)> OnSettled;
    // Hands on these names again after the next quiet moment (a file another
    // program still held).
    void LookAgain(const std::string& name);

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    static void CALLBACK Signalled(PVOID context, BOOLEAN timedOut) noexcept;
    bool Listen();
    void Collect();
    void Settle();

    HWND window_ = nullptr;
    UniqueKernelHandle directory_;
    UniqueKernelHandle event_;
    HANDLE wait_ = nullptr;
    OVERLAPPED overlapped_{};
    // DWORD-aligned, as the system fills it.
    alignas(DWORD) char buffer_[64 * 1024];
    TFolderChanges pending_;
    std::string prefix_;
};
