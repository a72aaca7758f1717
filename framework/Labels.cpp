#include "framework/Labels.h"

#include "framework/SysUtils.h"

namespace {

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

// Labels and bevels stand on their parent's background.
TColor BackgroundOf(TWinControl* control)
{
    return control->Parent() ? control->Parent()->Color() : control->Color();
}

void FillBackground(TWinControl* control, HDC dc)
{
    RECT r = control->ClientRect();
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(BackgroundOf(control))));
    FillRect(dc, &r, brush.get());
}

} // namespace

SIZE TextExtent(const TFont& font, const std::wstring& text)
{
    WindowDC screen(nullptr);
    SelectGuard select(screen.get(), font.Handle());
    RECT r{0, 0, 0, 0};
    DrawTextW(screen.get(), text.empty() ? L" " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return {r.right, r.bottom};
}

bool IsAccel(char key, const std::wstring& caption)
{
    const std::wstring wideKey = AnsiToWide(std::string(1, key));
    if (wideKey.size() != 1)
        return false;
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&')
            continue;
        if (caption[i + 1] == L'&') {  // "&&" is a plain ampersand
            ++i;
            continue;
        }
        return Upper(caption[i + 1]) == Upper(wideKey[0]);
    }
    return false;
}

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 65, 17); }

void TStaticText::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "STATIC";
    params.Unicode = true;
    params.Style |= SS_LEFT | SS_NOTIFY;
}

bool TStaticText::DialogChar(char key)
{
    if (!FocusControl || !IsAccel(key, Caption()) || !Visible() || !FocusControl->Visible() ||
        !FocusControl->Enabled())
        return false;
    FocusControl->SetFocus();
    return true;
}

TLabel::TLabel(TComponent* owner) : TCustomControl(owner)
{
    // The text decides the size, so a new font may change both.
    Font().OnChange = [this] {
        AdjustBounds();
        Invalidate();
    };
}

void TLabel::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TLabel";
}

void TLabel::SetCaption(const std::wstring& caption)
{
    SetWideText(caption);
    AdjustBounds();
    Invalidate();
}

void TLabel::AdjustBounds()
{
    const SIZE size = TextExtent(Font(), Caption());
    const RECT bounds = BoundsRect();
    if (size.cx != bounds.right - bounds.left || size.cy != bounds.bottom - bounds.top)
        SetBounds(bounds.left, bounds.top, size.cx, size.cy);
}

void TLabel::Paint(HDC dc)
{
    FillBackground(this, dc);
    SelectGuard font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    RECT r = ClientRect();
    const std::wstring text = Caption();
    DrawTextW(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void TLabel::MouseDown(TMouseButton button, TShiftState, int, int)
{
    pressed_ = button == TMouseButton::mbLeft;
}

void TLabel::MouseUp(TMouseButton button, TShiftState, int x, int y)
{
    const bool click = pressed_ && button == TMouseButton::mbLeft && x >= 0 && y >= 0 && x < Width() && y < Height();
    pressed_ = false;
    if (click && OnClick)
        OnClick();
}

void TLabel::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter();
}

void TLabel::MouseLeave()
{
    pressed_ = false;
    if (OnMouseLeave)
        OnMouseLeave();
}

LRESULT TLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;  // Paint fills it
    case WM_SETCURSOR:
        if (Cursor && LOWORD(lParam) == HTCLIENT) {
            SetCursor(Cursor);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
}

TBevel::TBevel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 50, 50); }

void TBevel::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TBevel";
}

void TBevel::Paint(HDC dc)
{
    FillBackground(this, dc);
    RECT r = ClientRect();
    const UINT sides = Shape == TBevelShape::bsTopLine      ? BF_TOP
                       : Shape == TBevelShape::bsBottomLine ? BF_BOTTOM
                                                            : BF_RECT;
    DrawEdge(dc, &r, EDGE_ETCHED, sides);
}
