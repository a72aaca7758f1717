#pragma once
// The tray controller of a fresh program folder, and what its tests look at.

#include "framework/Application.h"
#include "framework/Menus.h"
#include "notes/PostIt.h"
#include "shell/main.h"
#include "tests/ProgramSupport.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

struct Tray {
    std::unique_ptr<TestProgram> ownProgram;
    TfrmMain* form = nullptr;

    // The tray controller of a program folder the test has filled already.
    explicit Tray(TestProgram&) { Open(); }

    // The settings and memo records a test starts with are written before the
    // tray controller opens them. The memo index is always there, if empty: a
    // folder without it and without settings is the very first start, which
    // opens a memo of its own.
    explicit Tray(const std::string& memoIndex = "", const std::string& settings = "")
        : ownProgram(std::make_unique<TestProgram>())
    {
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
    // What the shell sends about the icon in its fourth manner: the point it is
    // about, and the event with the icon's number.
    LRESULT Notify(UINT event, POINT at = {}) const
    {
        return SendMessageA(Handle(), WM_TRAYNOTIFY, MAKEWPARAM(at.x, at.y), MAKELPARAM(event, kTrayIconId));
    }
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

// Windows' Polish (programmer's) layout, which Wine lacks: AltGr, that is Ctrl+Alt,
// with a, c, e, l, n, o, s, x or z types the Polish letter (with Shift its capital);
// every other combination types what the layout underneath types. While it
// lives, the layouts given (all of them when none is) are Polish.
class StandInPolishLayout {
public:
    explicit StandInPolishLayout(std::vector<HKL> polish = {}) : previous_(LayoutTypedText)
    {
        polish_ = std::move(polish);
        LayoutTypedText = Typed;
    }
    ~StandInPolishLayout() { LayoutTypedText = previous_; }
    StandInPolishLayout(const StandInPolishLayout&) = delete;
    StandInPolishLayout& operator=(const StandInPolishLayout&) = delete;

private:
    static std::wstring Typed(HKL layout, UINT key, UINT modifiers)
    {
        static const std::wstring keys = L"ACELNOSXZ", small = L"\u0105\u0107\u0119\u0142\u0144\u00F3\u015B\u017A\u017C",
                                  capital = L"\u0104\u0106\u0118\u0141\u0143\u00D3\u015A\u0179\u017B";
        const bool polish = polish_.empty() || std::find(polish_.begin(), polish_.end(), layout) != polish_.end();
        const size_t at = keys.find(static_cast<wchar_t>(key));
        if (polish && at != std::wstring::npos && (modifiers & (MOD_CONTROL | MOD_ALT)) == (MOD_CONTROL | MOD_ALT))
            return std::wstring(1, (modifiers & MOD_SHIFT) ? capital[at] : small[at]);
        return TypedText(layout, key, modifiers);
    }
    static inline std::vector<HKL> polish_;
    std::wstring (*previous_)(HKL, UINT, UINT);
};

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

