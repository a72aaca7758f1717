#include "framework/Forms.h"

#include "framework/Application.h"
#include "framework/CallbackError.h"

#include <vector>

TForm::TForm(TComponent* owner) : TWinControl(owner)
{
    visibleByDefault_ = false;
    SetVisible(false);
    SetBounds(100, 100, 400, 300);
    Application.RegisterForm(this);
}

TForm::~TForm() { Application.UnregisterForm(this); }

void TForm::Initialize()
{
    HandleNeeded();
    FormCreate();
}

void TForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.Style &= ~(WS_CHILD | WS_VISIBLE);
    params.WinClassName = "TForm";
    params.WndParent = Application.Handle();
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
        params.Style |= WS_POPUP;
        break;
    case TFormBorderStyle::bsSingle:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case TFormBorderStyle::bsSizeable:
        params.Style |= WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case TFormBorderStyle::bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case TFormBorderStyle::bsToolWindow:
        params.Style |= WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME | WS_SYSMENU;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
}

void TForm::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateLayeredAttributes();
}

void TForm::SetBorderStyle(TFormBorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    RecreateWnd();
}

void TForm::UpdateLayeredAttributes()
{
    HWND wnd = Handle();
    if (!wnd)
        return;
    const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if (!alphaBlend_ && !transparentColor_) {
        if (exStyle & WS_EX_LAYERED) {
            SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
            RedrawWindow(wnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        return;
    }
    if (!(exStyle & WS_EX_LAYERED))
        SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    DWORD flags = 0;
    if (alphaBlend_) flags |= LWA_ALPHA;
    if (transparentColor_) flags |= LWA_COLORKEY;
    SetLayeredWindowAttributes(wnd, ColorToRGB(transparentColorValue_), alphaBlendValue_, flags);
}

void TForm::SetAlphaBlend(bool on) { alphaBlend_ = on; UpdateLayeredAttributes(); }
void TForm::SetAlphaBlendValue(BYTE value) { alphaBlendValue_ = value; UpdateLayeredAttributes(); }
void TForm::SetTransparentColor(bool on) { transparentColor_ = on; UpdateLayeredAttributes(); }
void TForm::SetTransparentColorValue(TColor color) { transparentColorValue_ = color; UpdateLayeredAttributes(); }

void TForm::Show()
{
    HandleNeeded();
    SetVisible(true);
    BringWindowToTop(Handle());
}

void TForm::ShowInactive()
{
    HandleNeeded();
    ShowWindow(Handle(), SW_SHOWNA);
}

namespace {

struct DisabledWindows {
    HWND except;
    std::vector<HWND> windows;
    TCallbackError error;

    void EnableAgain() const
    {
        for (HWND wnd : windows)
            if (IsWindow(wnd))
                EnableWindow(wnd, TRUE);
    }
};

BOOL CALLBACK DisableWindow(HWND wnd, LPARAM data) noexcept
{
    auto* state = reinterpret_cast<DisabledWindows*>(data);
    return state->error.Run([&] {
        // Noted first: a window that cannot be noted is never disabled.
        if (wnd != state->except && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
            state->windows.push_back(wnd);
            EnableWindow(wnd, FALSE);
        }
        return true;
    });
}

} // namespace

int TForm::ShowModal()
{
    HandleNeeded();
    DisabledWindows disabled{Handle(), {}, {}};
    // However the dialog ends, by its result or by an error (of its close query,
    // say), the other windows work again and the dialog goes.
    struct Restore {
        TForm& form;
        const DisabledWindows& disabled;
        ~Restore()
        {
            disabled.EnableAgain();
            form.Hide();
            form.modal_ = false;
        }
    } restore{*this, disabled};
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
    disabled.error.Rethrow();
    modal_ = true;
    ModalResult = mrNone;
    Show();
    SetForegroundWindow(Handle());
    while (!Application.Terminated()) {
        if (ModalResult != mrNone) {
            if (CloseQuery())
                break;
            ModalResult = mrNone;
        }
        Application.HandleMessage();
    }
    return ModalResult;
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose;
}

void TForm::Close()
{
    if (modal_) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = this == Application.MainForm() ? TCloseAction::caFree : TCloseAction::caHide;
    FormClose(action);
    if (action == TCloseAction::caNone)
        return;
    if (this == Application.MainForm()) {
        Hide();
        Application.Terminate();
        return;
    }
    switch (action) {
    case TCloseAction::caHide: Hide(); break;
    case TCloseAction::caMinimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case TCloseAction::caFree: Release(); break;
    case TCloseAction::caNone: break;
    }
}

void TForm::WindowLost()
{
    TWinControl::WindowLost();
    PostMessageA(Application.Handle(), CM_RECREATE, 0, reinterpret_cast<LPARAM>(this));
}

void TForm::RestoreLostWindow()
{
    if (HandleAllocated())
        return;
    const bool shown = Visible();
    HandleNeeded();
    if (shown)
        ShowWindow(Handle(), SW_SHOWNA);
    WindowRestored();
}

void TForm::Release()
{
    PostMessageA(Application.Handle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

namespace {

void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& stops)
{
    for (TWinControl* c : parent->Controls()) {
        if (!c->HandleAllocated() || !IsWindowVisible(c->Handle()) || !IsWindowEnabled(c->Handle()))
            continue;
        if (GetWindowLongPtrA(c->Handle(), GWL_STYLE) & WS_TABSTOP)
            stops.push_back(c);
        else
            CollectTabStops(c, stops);
    }
}

} // namespace

bool TForm::SelectNext(bool forward)
{
    std::vector<TWinControl*> stops;
    CollectTabStops(this, stops);
    if (stops.empty())
        return false;
    HWND focus = GetFocus();
    const auto n = static_cast<int>(stops.size());
    int current = -1;
    for (int i = 0; i < n; ++i)
        if (stops[i]->Handle() == focus || IsChild(stops[i]->Handle(), focus))
            current = i;
    const int next = current < 0 ? (forward ? 0 : n - 1) : (current + (forward ? 1 : n - 1)) % n;
    stops[static_cast<size_t>(next)]->SetFocus();
    return true;
}

void TForm::KeepFocusedControl()
{
    const HWND focus = GetFocus();
    focusedControl_ = focus && IsChild(Handle(), focus) ? focus : nullptr;
}

void TForm::FocusControlOnActivation()
{
    // The platform gives the keyboard to the form's own window; the user expects
    // it where it was when the form was left, or else in the first control that
    // takes it (a new memo is typed into at once).
    if (GetFocus() != Handle())
        return;
    if (focusedControl_ && IsChild(Handle(), focusedControl_) && IsWindowVisible(focusedControl_) &&
        IsWindowEnabled(focusedControl_))
        ::SetFocus(focusedControl_);
    else
        SelectNext(true);
}

void TForm::Resize()
{
    FormResize();
    TWinControl::Resize();
}

void TForm::DoKeyDown(WORD& key, TShiftState shift)
{
    FormKeyDown(key, shift);
    if (key)
        TWinControl::DoKeyDown(key, shift);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_QUERYENDSESSION:
        return CloseQuery() ? TRUE : FALSE;
    case WM_ACTIVATE: {
        if (LOWORD(wParam) == WA_INACTIVE)
            KeepFocusedControl();
        const LRESULT r = TWinControl::WndProc(msg, wParam, lParam);
        if (LOWORD(wParam) == WA_INACTIVE) {
            FormDeactivate();
        } else {
            FocusControlOnActivation();
            FormActivate();
        }
        return r;
    }
    case WM_SHOWWINDOW: {
        const LRESULT r = TWinControl::WndProc(msg, wParam, lParam);
        if (wParam)
            FormShow();
        return r;
    }
    default:
        return TWinControl::WndProc(msg, wParam, lParam);
    }
}
