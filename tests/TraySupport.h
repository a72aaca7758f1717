#pragma once
// The tray controller of a fresh program folder, and what its tests look at.

#include "framework/Application.h"
#include "framework/Menus.h"
#include "notes/PostIt.h"
#include "shell/main.h"
#include "tests/ProgramSupport.h"

#include <memory>
#include <string>
#include <vector>

struct Tray {
    std::unique_ptr<TestProgram> ownProgram;
    TfrmMain* form = nullptr;

    // The tray controller of a program folder the test has filled already.
    explicit Tray(TestProgram&) { Open(); }

    // The settings and memo records a test starts with are written before the
    // tray controller opens them.
    explicit Tray(const std::string& memoIndex = "", const std::string& settings = "")
        : ownProgram(std::make_unique<TestProgram>())
    {
        if (!memoIndex.empty())
            WriteWholeFile(PrjInfo->PostItIniFileName(), memoIndex);
        if (!settings.empty())
            WriteWholeFile(PrjInfo->IniFileName(), settings);
        Open();
    }
    void Open()
    {
        form = Application.CreateForm<TfrmMain>();
        PumpMessages();
    }
    ~Tray()
    {
        for (TfrmPaper* paper : PaperWindows())
            Application.DestroyForm(paper);
        if (form)
            Application.DestroyForm(form);
    }
    TfrmMain* operator->() const { return form; }
    HWND Handle() const { return form->Handle(); }

    std::vector<TfrmPostIt*> Memos() const
    {
        std::vector<TfrmPostIt*> memos;
        for (TfrmPaper* paper : PaperWindows())
            if (auto* memo = dynamic_cast<TfrmPostIt*>(paper))
                memos.push_back(memo);
        return memos;
    }
    TfrmPostIt* Memo(int number) const
    {
        for (TfrmPostIt* memo : Memos())
            if (memo->MemoNumber() == number)
                return memo;
        return nullptr;
    }
    std::vector<TPaperMode> Modes() const
    {
        std::vector<TPaperMode> modes;
        for (TfrmPaper* paper : PaperWindows())
            modes.push_back(paper->GetPaperMode());
        return modes;
    }
    LRESULT Notify(UINT mouseMessage) const { return SendMessageA(Handle(), WM_TRAYNOTIFY, kTrayIconId, mouseMessage); }
    void HotKey(int id) const
    {
        SendMessageA(Handle(), WM_HOTKEY, id, 0);
        PumpMessages();
    }
};

// True when another window could take the combination now, so nobody holds it.
inline bool HotKeyIsFree(UINT modifiers, UINT key)
{
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const bool free = RegisterHotKey(probe, 77, modifiers, key) != FALSE;
    if (free)
        UnregisterHotKey(probe, 77);
    DestroyWindow(probe);
    return free;
}

inline bool Reachable(const Tray& tray)
{
    return TrayHasIcon(tray.Handle(), kTrayIconId) && !HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'N') &&
           !HotKeyIsFree(MOD_CONTROL | MOD_ALT, 'Z');
}

// What the open tray menu looked like, seen from inside its own loop.
struct SeenMenu {
    bool shown = false;
    RECT rect{};
    HWND foreground = nullptr;
};
inline SeenMenu seenMenu;
inline void CALLBACK LookAtMenuAndClose(HWND, UINT, UINT_PTR id, DWORD) noexcept
{
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu))
        return;
    KillTimer(nullptr, id);
    seenMenu.shown = true;
    GetWindowRect(menu, &seenMenu.rect);
    seenMenu.foreground = GetForegroundWindow();
    EndMenu();
}

