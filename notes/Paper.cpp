#include "notes/Paper.h"

#include "framework/Application.h"
#include "framework/CallbackError.h"
#include "framework/IniFiles.h"
#include "framework/ScopedValue.h"
#include "notes/DesktopIconView.h"
#include "notes/DesktopWatch.h"
#include "notes/NotePlace.h"
#include "notes/SaveProblems.h"
#include "shell/EProjectInc.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

constexpr unsigned kSaveDelayMs = 500;

long long Distance(const RECT& a, const RECT& b)
{
    const long long dx = std::max<long long>({0, b.left - a.right, a.left - b.right});
    const long long dy = std::max<long long>({0, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

struct WorkAreas {
    std::vector<RECT> areas;
    TCallbackError error;
};

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept
{
    auto* state = reinterpret_cast<WorkAreas*>(data);
    return state->error.Run([&] {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoA(monitor, &info))
            state->areas.push_back(info.rcWork);
        return true;
    });
}

} // namespace

RECT BringOntoWorkArea(const RECT& bounds, const std::vector<RECT>& workAreas)
{
    if (workAreas.empty())
        return bounds;
    const RECT* nearest = nullptr;
    long long best = LLONG_MAX;
    for (const RECT& area : workAreas) {
        RECT common;
        if (IntersectRect(&common, &bounds, &area))
            return bounds;
        const long long d = Distance(bounds, area);
        if (d < best) {
            best = d;
            nearest = &area;
        }
    }
    const RECT& a = *nearest;
    const LONG width = std::min(bounds.right - bounds.left, a.right - a.left);
    const LONG height = std::min(bounds.bottom - bounds.top, a.bottom - a.top);
    const LONG left = std::clamp(bounds.left, a.left, a.right - width);
    const LONG top = std::clamp(bounds.top, a.top, a.bottom - height);
    return {left, top, left + width, top + height};
}

std::vector<RECT> MonitorWorkAreas()
{
    WorkAreas state;
    EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&state));
    state.error.Rethrow();
    return std::move(state.areas);
}

TfrmPaper::TfrmPaper(TComponent* owner)
    : TfrmZkGrayDialog(owner), saveRetry_(this, [this] { return SaveSubject(); }, [this] { return SaveAtSaveMoment(); })
{
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
    SetTransparentColor(false);
    SetAlphaBlend(true);
    SetAlphaBlendValue(255);
    tmrSave = Create<TTimer>();
    tmrSave->Name = "tmrSave";
    tmrSave->SetEnabled(false);
    tmrSave->OnTimer = [this] { tmrSaveTimer(); };
}

void TfrmPaper::CreateParams(TCreateParams& params)
{
    TfrmZkGrayDialog::CreateParams(params);
    SetSkinName("BMP_DARK");
}

void TfrmPaper::FormCreate()
{
    TfrmZkGrayDialog::FormCreate();
    SetCaption("");
    ActiveCaptionColor = 0xFFFFFF;
    InactiveCaptionColor = 0xC0C0C0;
    tmrSave->SetInterval(kSaveDelayMs);
}

std::string TfrmPaper::GetSectionName() const { return {}; }
std::string TfrmPaper::PositionIniPath() const { return {}; }

TPaperMode TfrmPaper::GetPaperMode() const
{
    switch (SkinTint()) {
    case kDesktopTint: return pmDesktop;
    case kFloatingTint: return pmFloating;
    default: return pmWorking;
    }
}

void TfrmPaper::SetDesktopAlpha() { SetAlphaBlendValue(static_cast<BYTE>(PrjInfo->AlphaValue & 0xFF)); }

void TfrmPaper::SendToDesktop()
{
    if (SkinTint() == kDesktopTint)
        return;
    SetSkinTint(kDesktopTint);
    InactiveCaptionColor = 0xFFFFFF;
    SetDesktopAlpha();
    const bool shown = Visible();
    const LONG_PTR exStyle = GetWindowLongPtrA(Handle(), GWL_EXSTYLE);
    if (exStyle & WS_EX_APPWINDOW) {
        // The taskbar button goes only with the window: make it again without
        // the bit (our creation parameters never ask for it).
        SetWindowLongPtrA(Handle(), GWL_EXSTYLE, exStyle & ~WS_EX_APPWINDOW);
        RecreateWnd();
    }
    PutOnDesktop(FindDesktopIconView());
    if (shown && !Visible())
        ShowWindow(Handle(), SW_SHOWNA);
}

void TfrmPaper::PutOnDesktop(HWND iconView)
{
    DesktopWatch().Watch(iconView);
    MoveInto(iconView);
    if (!iconView)
        SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TfrmPaper::MoveInto(HWND parent)
{
    // The platform keeps the window's place in its parent's coordinates, so a new
    // parent that starts elsewhere on the screen would move it.
    const RECT screen = ScreenBounds();
    {
        // A new parent puts the window on top of its siblings, and a window that is
        // not a child is activated on the way: a note going onto the desktop, or a
        // thousand of them at start-up, would each take the activation from the one
        // before (and start its save), which nobody asked for.
        ScopedValue<bool> keepActivation(changingParent_, true);
        ::SetParent(Handle(), parent ? parent : GetDesktopWindow());
    }
    // Moved back only where the new parent starts elsewhere on the screen.
    if (const RECT now = ScreenBounds(); !EqualRect(&now, &screen))
        SetScreenBounds(screen);
}

void TfrmPaper::BringFloating()
{
    if (SkinTint() != 0) {
        SetSkinTint(kFloatingTint);
        InactiveCaptionColor = 0x000000;
        SetOpaque();
        MoveInto(nullptr);
    }
    SetForegroundWindow(Handle());
}

void TfrmPaper::BringToWork()
{
    if (SkinTint() != 0) {
        SetSkinTint(0);
        InactiveCaptionColor = 0x000000;
        SetOpaque();
        SetWindowLongPtrA(Handle(), GWL_EXSTYLE, GetWindowLongPtrA(Handle(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
        MoveInto(nullptr);
    }
    SetForegroundWindow(Handle());
}

void TfrmPaper::ActiveChanged(bool active)
{
    TfrmZkGrayDialog::ActiveChanged(active);
    if (active) {
        SetOpaque();
        return;
    }
    tmrSave->SetEnabled(true);
    if (GetPaperMode() == pmDesktop)
        SetDesktopAlpha();
}

void TfrmPaper::LoadPosition()
{
    const std::string path = PositionIniPath(), section = GetSectionName();
    if (path.empty() || section.empty())
        return;
    const TIniFile ini(path);
    const TIniValues record = ini.ReadSectionValues(section);
    if (record.Empty() && !ini.SectionExists(section))
        return;
    // One move (each one re-arranges the note's controls), a second only for a
    // record from a monitor that is gone (or edited by hand), which would put the
    // note where nobody can reach it. The record itself is left as it is.
    SetScreenBounds(ReadNotePlace(record));
    KeepOnWorkArea(MonitorWorkAreas());
}

RECT TfrmPaper::ScreenBounds() const { return HandleAllocated() ? ScreenRectOf(Handle()) : BoundsRect(); }

void TfrmPaper::SetScreenBounds(const RECT& screen)
{
    const RECT r = HandleAllocated() ? ScreenToParentRect(Handle(), screen) : screen;
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool TfrmPaper::KeepOnWorkArea(const std::vector<RECT>& workAreas)
{
    const RECT now = ScreenBounds();
    const RECT placed = BringOntoWorkArea(now, workAreas);
    if (EqualRect(&now, &placed))
        return false;
    SetScreenBounds(placed);
    return true;
}

int KeepNotesOnWorkAreas(const std::vector<RECT>& workAreas)
{
    int moved = 0;
    for (TForm* form : Application.Forms())
        if (auto* paper = dynamic_cast<TfrmPaper*>(form))
            moved += paper->KeepOnWorkArea(workAreas) ? 1 : 0;
    return moved;
}

bool TfrmPaper::SavePosition()
{
    const std::string path = PositionIniPath(), section = GetSectionName();
    if (path.empty() || section.empty())
        return false;
    TIniFile ini(path);
    return SaveNotePlace(ini, section, ScreenBounds());
}

void TfrmPaper::tmrSaveTimer()
{
    tmrSave->SetEnabled(false);
    SaveWithRetry();
}

bool TfrmPaper::SaveAtSaveMoment() { return SavePosition(); }

std::string TfrmPaper::SaveSubject() const
{
    return GetSectionName().empty() ? std::string("a note") : "note " + GetSectionName();
}

bool TfrmPaper::QueryEndSession()
{
    SavePosition();
    return true;
}

void TfrmPaper::EndSession(bool ending)
{
    if (ending)
        SavePosition();
}

void TfrmPaper::FormCloseQuery(bool&) { SavePosition(); }

void TfrmPaper::SaveBeforeWindowLoss() { SavePosition(); }

void TfrmPaper::WindowLost()
{
    // Whatever the save meets, the note must come back: its failure is told, not raised.
    SaveReporter().Run(SaveSubject(), [this] {
        SaveBeforeWindowLoss();
        return true;
    });
    TfrmZkGrayDialog::WindowLost();
}

void TfrmPaper::WindowRestored()
{
    if (GetPaperMode() != pmDesktop)
        return;
    // Inactive now, whatever it was when its desktop went.
    SetDesktopAlpha();
    // The shell may keep its icon view elsewhere already (a slideshow moved it).
    RejoinDesktop();
}

bool TfrmPaper::WindowVanished() const { return !HandleAllocated() || !IsWindow(Handle()); }

void TfrmPaper::RecoverVanishedWindow()
{
    if (!WindowVanished())
        return;
    ForgetLostWindow();
    HandleNeeded();
    ReloadAfterVanish();
    ShowWindow(Handle(), SW_SHOWNA);
    WindowRestored();
}

void TfrmPaper::ReloadAfterVanish() { LoadPosition(); }

TDesktopWatch& DesktopWatch()
{
    static TDesktopWatch watch;
    if (!watch.OnGone)
        watch.OnGone = [] {
            for (TForm* form : std::vector<TForm*>(Application.Forms()))
                if (auto* paper = dynamic_cast<TfrmPaper*>(form))
                    paper->RecoverVanishedWindow();
        };
    return watch;
}

void TfrmPaper::RejoinDesktop() { RejoinDesktop(FindDesktopIconView()); }

void TfrmPaper::RejoinDesktop(HWND iconView)
{
    if (GetPaperMode() != pmDesktop || !HandleAllocated() || !iconView ||
        GetAncestor(Handle(), GA_PARENT) == iconView)
        return;
    PutOnDesktop(iconView);
    ShowWindow(Handle(), Visible() ? SW_SHOWNA : SW_HIDE);
}

void TfrmPaper::FormKeyDown(WORD& key, TShiftState shift)
{
    TfrmZkGrayDialog::FormKeyDown(key, shift);
    if (key == VK_ESCAPE)
        SendToDesktop();
}

LRESULT TfrmPaper::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_WINDOWPOSCHANGING && changingParent_)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags |= SWP_NOACTIVATE;
    if (msg == WM_QUERYENDSESSION)
        return QueryEndSession() ? TRUE : FALSE;
    if (msg == WM_ENDSESSION) {
        EndSession(wParam != FALSE);
        return 0;
    }
    return TfrmZkGrayDialog::WndProc(msg, wParam, lParam);
}
