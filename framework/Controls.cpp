#include "framework/Controls.h"

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/ScopedValue.h"
#include "framework/SysUtils.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <set>
#include <unordered_map>

LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK SysWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

namespace {

// Which object each of our windows belongs to. Asked at every message, so kept
// here: a window property would be a round trip to Wine's server each time.
// Windows are made and handled on the one user-interface thread.
std::unordered_map<HWND, TWinControl*>& BoundWindows()
{
    static std::unordered_map<HWND, TWinControl*> bound;
    return bound;
}

// The procedure each system control had before ours, until its last message. The
// platform's subclassing helpers would look theirs up in a window property, again
// a round trip to the server at every message.
// The control keeps the character set it was made with: a wide control gets the
// messages wide, any other one as the program sends them.
struct OriginalProcedure {
    WNDPROC procedure;
    bool wide;
};

std::unordered_map<HWND, OriginalProcedure>& OriginalProcedures()
{
    static std::unordered_map<HWND, OriginalProcedure> procedures;
    return procedures;
}

LRESULT CallOriginalProcedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const auto& procedures = OriginalProcedures();
    const auto it = procedures.find(wnd);
    if (it == procedures.end())
        return DefWindowProcA(wnd, msg, wParam, lParam);
    const OriginalProcedure& original = it->second;
    return original.wide ? CallWindowProcW(original.procedure, wnd, msg, wParam, lParam)
                         : CallWindowProcA(original.procedure, wnd, msg, wParam, lParam);
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void RegisterWindowClass(const TCreateParams& params)
{
    static std::set<std::string> registered;
    if (registered.count(params.WinClassName))
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = params.ClassStyle;
    wc.lpfnWndProc = StdWndProc;
    wc.hInstance = Instance();
    wc.hCursor = params.Cursor ? params.Cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw EOutOfResources(Format("Cannot register window class %s: %s", params.WinClassName.c_str(),
                                     SysErrorMessage(GetLastError()).c_str()));
    registered.insert(params.WinClassName);
}

// The key of an Alt+key, in the code page the accelerators are written in: a
// wide window (the memo's editor) gets it as a UTF-16 unit.
char SysCharKey(HWND wnd, WPARAM wParam)
{
    if (!IsWindowUnicode(wnd) || wParam < 0x80)
        return static_cast<char>(wParam);
    const std::string key = WideToAnsi(std::wstring(1, static_cast<wchar_t>(wParam)));
    return key.size() == 1 ? key[0] : '\0';
}

HWND ParentOfChild(HWND wnd)
{
    return (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) ? GetParent(wnd) : nullptr;
}

} // namespace

// Our windows and the system controls we subclass end here alike. No exception
// gets past, and a window's last message cuts the object loose.
LRESULT TWinControl::DispatchGuarded(TWinControl* control, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    LRESULT result = 0;
    try {
        result = control->Dispatch(msg, wParam, lParam);
    } catch (...) {
        Application.HandleCurrentException();
    }
    if (msg == WM_NCDESTROY && TWinControl::FromHandle(wnd) == control)
        control->Unbind();
    return result;
}

LRESULT CALLBACK StdWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    TWinControl* control = TWinControl::FromHandle(wnd);
    if (!control && msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        control = static_cast<TWinControl*>(cs->lpCreateParams);
        if (control)
            control->Bind(wnd);
    }
    if (!control)
        return DefWindowProcA(wnd, msg, wParam, lParam);
    return TWinControl::DispatchGuarded(control, wnd, msg, wParam, lParam);
}

// A system control keeps our subclass until its last message, also after its object
// has let it go: whoever subclassed it after us stays in the chain to the end.
LRESULT CALLBACK SysWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    TWinControl* control = TWinControl::FromHandle(wnd);
    const LRESULT result = control ? TWinControl::DispatchGuarded(control, wnd, msg, wParam, lParam)
                                   : CallOriginalProcedure(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        OriginalProcedures().erase(wnd);
    return result;
}

TShiftState KeyDataToShiftState(LPARAM keyData)
{
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (keyData & (static_cast<LPARAM>(KF_ALTDOWN) << 16)) shift |= ssAlt;
    return shift;
}

TShiftState MouseKeysToShiftState(WPARAM keys)
{
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

TWinControl::TWinControl(TComponent* owner) : TComponent(owner)
{
    font_.OnChange = [this] {
        if (handle_)
            SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
        else if (windowless_)
            Invalidate();
    };
}

TWinControl::~TWinControl()
{
    // Children are freed by their owner, which may come later: cut them loose.
    for (TWinControl* child : controls_)
        child->parent_ = nullptr;
    if (windowless_)
        Invalidate();
    if (parent_) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    if (handle_) {
        HWND wnd = handle_;
        Unbind();
        DestroyWindow(wnd);
    }
}

TWinControl* TWinControl::FromHandle(HWND wnd)
{
    const auto& bound = BoundWindows();
    const auto it = wnd ? bound.find(wnd) : bound.end();
    return it == bound.end() ? nullptr : it->second;
}

void TWinControl::Bind(HWND wnd)
{
    handle_ = wnd;
    BoundWindows()[wnd] = this;
}

void TWinControl::ForgetBinding()
{
    auto& bound = BoundWindows();
    if (const auto it = bound.find(handle_); it != bound.end() && it->second == this)
        bound.erase(it);
}

void TWinControl::Unbind()
{
    if (!handle_)
        return;
    ForgetBinding();
    handle_ = nullptr;
    subclassed_ = false;
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = Text();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible_)
        params.Style |= WS_VISIBLE;
    if (!enabled_)
        params.Style |= WS_DISABLED;
    params.X = bounds_.left;
    params.Y = bounds_.top;
    params.Width = bounds_.right - bounds_.left;
    params.Height = bounds_.bottom - bounds_.top;
    params.WndParent = parent_ ? parent_->handle_ : nullptr;
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    const bool system = !params.SysClassName.empty();
    if (!system)
        RegisterWindowClass(params);
    if (pendingClientWidth_ >= 0) {
        // Made at the size that gives that client area, rather than made and then
        // resized (which moves and resizes every child again).
        RECT r{0, 0, pendingClientWidth_, pendingClientHeight_};
        if (AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle)) {
            params.Width = r.right - r.left;
            params.Height = r.bottom - r.top;
        }
    }
    const std::string& className = system ? params.SysClassName : params.WinClassName;
    const auto menu = reinterpret_cast<HMENU>(params.Id);
    HWND wnd = system && params.Unicode
                   ? CreateWindowExW(params.ExStyle, AnsiToWide(className).c_str(), WideText().c_str(), params.Style,
                                     params.X, params.Y, params.Width, params.Height, params.WndParent, menu,
                                     Instance(), nullptr)
                   : CreateWindowExA(params.ExStyle, className.c_str(), params.Caption.c_str(), params.Style,
                                     params.X, params.Y, params.Width, params.Height, params.WndParent, menu,
                                     Instance(), system ? nullptr : this);
    if (!wnd)
        throw EOutOfResources(Format("Error creating window %s: %s", className.c_str(),
                                     SysErrorMessage(GetLastError()).c_str()));
    if (system) {
        const bool wide = IsWindowUnicode(wnd) != FALSE;
        const auto ours = reinterpret_cast<LONG_PTR>(SysWndProc);
        SetLastError(0);
        const auto original = reinterpret_cast<WNDPROC>(wide ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, ours)
                                                             : SetWindowLongPtrA(wnd, GWLP_WNDPROC, ours));
        if (!original && GetLastError() != 0) {
            DestroyWindow(wnd);
            throw EOutOfResources(Format("Error creating window %s: the control cannot be subclassed",
                                         className.c_str()));
        }
        OriginalProcedures()[wnd] = {original, wide};
        Bind(wnd);
        subclassed_ = true;
    }
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    if (pendingClientWidth_ >= 0) {
        const int w = pendingClientWidth_, h = pendingClientHeight_;
        pendingClientWidth_ = pendingClientHeight_ = -1;
        // Where the window's own handling of its frame differs from the rule.
        if (const RECT client = ClientRect(); client.right != w || client.bottom != h)
            SetClientSize(w, h);
    }
}

void TWinControl::SaveState()
{
    bounds_ = BoundsRect();
    if (std::holds_alternative<std::wstring>(text_))
        text_ = WideText();
    else
        text_ = Text();
    visible_ = Visible();
    enabled_ = Enabled();
}

void TWinControl::KeepState() { SaveState(); }

void TWinControl::WindowLost() { KeepState(); }

void TWinControl::DestroyWnd()
{
    KeepState();
    HWND wnd = handle_;
    Unbind();
    DestroyWindow(wnd);
}

void TWinControl::HandleNeeded()
{
    if (handle_ || windowless_)
        return;
    if (parent_) {
        parent_->HandleNeeded();  // makes this one too, as one of its children
        if (handle_)
            return;
    }
    CreateWnd();
    for (TWinControl* child : controls_)
        if (!child->WaitsToBeShown())
            child->HandleNeeded();
    AlignControls();
    if (OnWindowMade)
        OnWindowMade();
}

bool TWinControl::WaitsToBeShown() const { return CreateHandleWhenShown && !handle_ && !visible_; }

void TWinControl::DestroyHandle()
{
    if (!handle_)
        return;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        (*it)->DestroyHandle();
    DestroyWnd();
}

void TWinControl::ForgetLostWindow()
{
    for (TWinControl* child : controls_)
        child->ForgetLostWindow();
    // The handle may come back for a window that is not this one.
    ForgetBinding();
    handle_ = nullptr;
    subclassed_ = false;
}

void TWinControl::RecreateWnd()
{
    if (!handle_)
        return;
    DestroyHandle();
    HandleNeeded();
}

void TWinControl::SetParent(TWinControl* parent)
{
    if (parent == parent_)
        return;
    if (windowless_)
        Invalidate();  // the place it leaves
    if (parent_) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    parent_ = parent;
    if (!parent_) {
        DestroyHandle();
        return;
    }
    parent_->controls_.push_back(this);
    font_ = parent_->font_;
    if (handle_)
        ::SetParent(handle_, parent_->handle_);
    else if (parent_->handle_ && !WaitsToBeShown())
        HandleNeeded();
    parent_->AlignControls();
    if (windowless_)
        Invalidate();
}

TForm* TWinControl::ParentForm()
{
    for (TWinControl* c = this; c; c = c->parent_)
        if (auto* form = dynamic_cast<TForm*>(c))
            return form;
    return nullptr;
}

RECT TWinControl::BoundsRect() const
{
    if (!handle_)
        return bounds_;
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND parent = ParentOfChild(handle_))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int TWinControl::Width() const
{
    const RECT r = BoundsRect();
    return r.right - r.left;
}

int TWinControl::Height() const
{
    const RECT r = BoundsRect();
    return r.bottom - r.top;
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    // A size given before the window is made replaces a client size given before.
    if (!handle_ && (width != bounds_.right - bounds_.left || height != bounds_.bottom - bounds_.top))
        pendingClientWidth_ = pendingClientHeight_ = -1;
    const RECT old = bounds_;
    bounds_ = {left, top, left + width, top + height};
    if (handle_) {
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (windowless_ && !EqualRect(&old, &bounds_) && visible_) {
        InvalidateInParent(old);
        Invalidate();
    }
    if (parent_)
        parent_->AlignControls();
}

RECT TWinControl::ClientRect() const
{
    RECT r{0, 0, 0, 0};
    if (handle_)
        GetClientRect(handle_, &r);
    else if (pendingClientWidth_ >= 0)
        r = {0, 0, pendingClientWidth_, pendingClientHeight_};
    else
        r = {0, 0, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top};
    return r;
}

void TWinControl::SetClientSize(int width, int height)
{
    if (!handle_) {
        pendingClientWidth_ = width;
        pendingClientHeight_ = height;
        return;
    }
    const RECT client = ClientRect();
    const RECT r = BoundsRect();
    SetBounds(r.left, r.top, r.right - r.left - client.right + width,
              r.bottom - r.top - client.bottom + height);
}

POINT TWinControl::ClientToScreen(POINT p) const
{
    if (windowless_)
        return parent_ ? parent_->ClientToScreen({p.x + bounds_.left, p.y + bounds_.top}) : p;
    if (handle_)
        ::ClientToScreen(handle_, &p);
    return p;
}

POINT TWinControl::ScreenToClient(POINT p) const
{
    if (windowless_ && parent_) {
        const POINT q = parent_->ScreenToClient(p);
        return {q.x - bounds_.left, q.y - bounds_.top};
    }
    if (handle_)
        ::ScreenToClient(handle_, &p);
    return p;
}

void TWinControl::SetAlign(TAlign align)
{
    align_ = align;
    if (parent_)
        parent_->AlignControls();
}

void TWinControl::AlignControls()
{
    // A child without a window asks its parent to align again when it is moved,
    // which is what aligning does to it.
    if (!handle_ || aligning_)
        return;
    ScopedValue<bool> aligning(aligning_, true);
    RECT area = ClientRect();
    auto place = [&](TAlign which) {
        for (TWinControl* c : controls_) {
            if (c->align_ != which || !c->Visible())
                continue;
            const int w = c->Width(), h = c->Height();
            switch (which) {
            case TAlign::alTop: c->SetBounds(area.left, area.top, area.right - area.left, h); area.top += h; break;
            case TAlign::alBottom: area.bottom -= h; c->SetBounds(area.left, area.bottom, area.right - area.left, h); break;
            case TAlign::alLeft: c->SetBounds(area.left, area.top, w, area.bottom - area.top); area.left += w; break;
            case TAlign::alRight: area.right -= w; c->SetBounds(area.right, area.top, w, area.bottom - area.top); break;
            case TAlign::alClient:
                c->SetBounds(area.left, area.top, std::max<LONG>(0, area.right - area.left),
                             std::max<LONG>(0, area.bottom - area.top));
                break;
            case TAlign::alNone: break;
            }
        }
    };
    for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
        place(a);
}

std::string TWinControl::Text() const
{
    if (!handle_) {
        const auto* wide = std::get_if<std::wstring>(&text_);
        return wide ? WideToAnsi(*wide) : std::get<std::string>(text_);
    }
    // Some controls (the rich editor) count characters, not bytes, and a character
    // of a two-byte code page takes two: room for that, or the text comes back empty.
    const int length = GetWindowTextLengthA(handle_) * 2;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int n = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(0, n)));
    return text;
}

void TWinControl::SetText(const std::string& text)
{
    text_ = text;
    if (handle_)
        SetWindowTextA(handle_, text.c_str());
}

std::wstring TWinControl::WideText() const
{
    if (!handle_) {
        const auto* ansi = std::get_if<std::string>(&text_);
        return ansi ? AnsiToWide(*ansi) : std::get<std::wstring>(text_);
    }
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle_)) + 1, L'\0');
    const int n = GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(0, n)));
    return text;
}

void TWinControl::SetWideText(const std::wstring& text)
{
    text_ = text;
    if (handle_)
        SetWindowTextW(handle_, text.c_str());
}

bool TWinControl::Visible() const
{
    return handle_ ? (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_VISIBLE) != 0 : visible_;
}

void TWinControl::SetVisible(bool visible)
{
    if (windowless_ && visible != visible_)
        InvalidateInParent(bounds_);
    visible_ = visible;
    if (handle_)
        ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
    else if (visible && CreateHandleWhenShown && parent_ && parent_->handle_)
        HandleNeeded();  // made shown
    if (parent_)
        parent_->AlignControls();
}

bool TWinControl::Enabled() const
{
    return handle_ ? IsWindowEnabled(handle_) != FALSE : enabled_;
}

void TWinControl::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (handle_)
        EnableWindow(handle_, enabled);
}

void TWinControl::SetColor(TColor color)
{
    color_ = color;
    Invalidate();
}

void TWinControl::Invalidate()
{
    if (handle_)
        InvalidateRect(handle_, nullptr, TRUE);
    else if (windowless_ && visible_)
        InvalidateInParent(bounds_);
}

void TWinControl::InvalidateInParent(const RECT& r)
{
    if (parent_ && parent_->handle_)
        InvalidateRect(parent_->handle_, &r, TRUE);
}

void TWinControl::Update()
{
    if (handle_)
        UpdateWindow(handle_);
    else if (windowless_ && parent_)
        parent_->Update();
}

void TWinControl::SetFocus()
{
    if (windowless_)
        return;  // nothing to type into
    HandleNeeded();
    ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

LRESULT TWinControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (windowless_)
        return WndProc(msg, wParam, lParam);
    HandleNeeded();
    return SendMessageA(handle_, msg, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (subclassed_)
        return CallOriginalProcedure(handle_, msg, wParam, lParam);
    return DefWindowProcA(handle_, msg, wParam, lParam);
}

bool TWinControl::HandleReflected(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void TWinControl::Resize()
{
    if (OnResize)
        OnResize();
}

void TWinControl::DoKeyDown(WORD& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(key, shift);
}

bool TWinControl::PreviewKey(UINT msg, WPARAM& wParam, LPARAM lParam)
{
    if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN)
        return false;
    WORD key = static_cast<WORD>(wParam);
    const TShiftState shift = KeyDataToShiftState(lParam);
    TForm* form = ParentForm();
    if (form && form != this && form->KeyPreview) {
        form->DoKeyDown(key, shift);
        if (key == 0)
            return true;
    }
    DoKeyDown(key, shift);
    wParam = key;
    if (key == 0)
        return true;
    // Tab moves through the form unless the control keeps it for itself.
    if (msg == WM_KEYDOWN && key == VK_TAB && !(shift & (ssCtrl | ssAlt)) && form &&
        !(SendMessageA(handle_, WM_GETDLGCODE, VK_TAB, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
        return form->SelectNext(!(shift & ssShift));
    return false;
}

bool TWinControl::DialogChar(char key)
{
    for (TWinControl* child : controls_)
        if (child->DialogChar(key))
            return true;
    return false;
}

bool TWinControl::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(lParam); break;
    case WM_NOTIFY: child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom; break;
    case WM_DRAWITEM: child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem; break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: child = reinterpret_cast<HWND>(lParam); break;
    default: return false;
    }
    TWinControl* control = FromHandle(child);
    return control && control != this && control->HandleReflected(msg, wParam, lParam, result);
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Our own destruction cuts the object loose first, so a bound window that is
    // being destroyed is being destroyed by someone else.
    if (msg == WM_DESTROY)
        WindowLost();
    if (PreviewKey(msg, wParam, lParam))
        return 0;
    if (MouseToGraphicControl(msg, wParam, lParam))
        return 0;
    return WndProc(msg, wParam, lParam);
}

bool TWinControl::MouseToGraphicControl(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The client-area mouse messages; the wheel's come in screen coordinates.
    if (msg < WM_MOUSEMOVE || msg > WM_MBUTTONDBLCLK)
        return false;
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // The last one placed lies on top.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TWinControl* c = *it;
        if (c->windowless_ && c->visible_ && c->enabled_ && PtInRect(&c->bounds_, p)) {
            c->WndProc(msg, wParam, MAKELPARAM(p.x - c->bounds_.left, p.y - c->bounds_.top));
            return true;
        }
    }
    return false;
}

void TWinControl::PaintGraphicControls(HDC dc)
{
    for (TWinControl* c : controls_) {
        const RECT& r = c->bounds_;
        if (!c->windowless_ || !c->visible_ || !RectVisible(dc, &r))
            continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        c->WndProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        RestoreDC(dc, saved);
    }
}

void TWinControl::EraseBackground(HDC dc)
{
    RECT r;
    GetClientRect(handle_, &r);
    const int saved = SaveDC(dc);
    for (TWinControl* c : controls_)
        if (c->windowless_ && c->visible_ && static_cast<TGraphicControl*>(c)->Opaque)
            ExcludeClipRect(dc, c->bounds_.left, c->bounds_.top, c->bounds_.right, c->bounds_.bottom);
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(color_)));
    FillRect(dc, &r, brush.get());
    RestoreDC(dc, saved);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ReflectToChild(msg, wParam, lParam, result))
        return result;
    switch (msg) {
    case WM_SIZE: {
        const LRESULT r = DefaultHandler(msg, wParam, lParam);
        AlignControls();
        Resize();
        return r;
    }
    case WM_ERASEBKGND:
        if (!subclassed_) {
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        }
        break;
    case WM_PAINT:
        if (!subclassed_) {
            PaintDC dc(handle_);
            PaintGraphicControls(dc.get());
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (!subclassed_) {
            PaintGraphicControls(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        break;
    case WM_SYSCHAR:
        if (TForm* form = ParentForm(); form && form->DialogChar(SysCharKey(handle_, wParam)))
            return 0;
        break;
    default:
        break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::Paint(HDC) {}
void TCustomControl::MouseDown(TMouseButton, TShiftState, int, int) {}
void TCustomControl::MouseMove(TShiftState, int, int) {}
void TCustomControl::MouseUp(TMouseButton, TShiftState, int, int) {}
void TCustomControl::MouseEnter() {}
void TCustomControl::MouseLeave() {}

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const TShiftState shift = MouseKeysToShiftState(wParam);
    switch (msg) {
    case WM_PAINT: {
        PaintDC dc(Handle());
        Paint(dc.get());
        PaintGraphicControls(dc.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        PaintGraphicControls(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_LBUTTONDOWN: MouseDown(TMouseButton::mbLeft, shift, x, y); return 0;
    case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, shift, x, y); return 0;
    case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift, x, y); return 0;
    case WM_LBUTTONDBLCLK: MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y); return 0;
    case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift | ssDouble, x, y); return 0;
    case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift | ssDouble, x, y); return 0;
    case WM_LBUTTONUP: MouseUp(TMouseButton::mbLeft, shift, x, y); return 0;
    case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, x, y); return 0;
    case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, x, y); return 0;
    case WM_MOUSEMOVE:
        if (!mouseInside_ && HandleAllocated()) {
            mouseInside_ = true;
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&tme);
            MouseEnter();
        }
        MouseMove(shift, x, y);
        return 0;
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        MouseLeave();
        return 0;
    default:
        return TWinControl::WndProc(msg, wParam, lParam);
    }
}

TGraphicControl::TGraphicControl(TComponent* owner) : TCustomControl(owner) { windowless_ = true; }

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {}

void TPaintBox::Paint(HDC dc)
{
    if (OnPaint)
        OnPaint(dc);
}

void TPaintBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(button, shift, x, y);
}
