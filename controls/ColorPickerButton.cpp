#include "controls/ColorPickerButton.h"

#include "framework/Application.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>

namespace {

int liveButtons = 0;
const char CaptureClassName[] = "TColorPickerCapture";

} // namespace

int ColorPickerButtonCount() { return liveButtons; }

TButtonGeometry CalcButtonLayout(const TButtonLayoutInput& in)
{
    TButtonLayout layout = in.Layout;
    if (in.RightToLeft && (layout == blGlyphLeft || layout == blGlyphRight))
        layout = layout == blGlyphLeft ? blGlyphRight : blGlyphLeft;
    const SIZE w{in.Face.right - in.Face.left - in.DropDownWidth, in.Face.bottom - in.Face.top};
    const SIZE g = in.Glyph, t = in.Text;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;

    POINT glyph{}, text{};
    if (horizontal) {
        glyph.y = (w.cy - g.cy + 1) / 2;
        text.y = (w.cy - t.cy + 1) / 2;
    } else {
        glyph.x = (w.cx - g.cx + 1) / 2;
        text.x = (w.cx - t.cx + 1) / 2;
    }
    int spacing = (t.cx == 0 || g.cx == 0) ? 0 : in.Spacing;
    const int along = horizontal ? w.cx : w.cy;
    const int glyphAlong = horizontal ? g.cx : g.cy, textAlong = horizontal ? t.cx : t.cy;
    int margin = in.Margin;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (along - glyphAlong - textAlong) / 3;
            spacing = margin;
        } else {
            margin = (along - (glyphAlong + spacing + textAlong) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (along - (margin + glyphAlong) - textAlong) / 2;
    }
    switch (layout) {
    case blGlyphLeft: glyph.x = margin; text.x = glyph.x + g.cx + spacing; break;
    case blGlyphRight: glyph.x = w.cx - margin - g.cx; text.x = glyph.x - spacing - t.cx; break;
    case blGlyphTop: glyph.y = margin; text.y = glyph.y + g.cy + spacing; break;
    case blGlyphBottom: glyph.y = w.cy - margin - g.cy; text.y = glyph.y - spacing - t.cy; break;
    }

    TButtonGeometry out;
    out.GlyphPos = {glyph.x + in.Face.left + in.Offset.x, glyph.y + in.Face.top + in.Offset.y};
    out.TextBounds = {text.x, text.y, text.x + t.cx, text.y + t.cy};
    OffsetRect(&out.TextBounds, in.Face.left + in.Offset.x, in.Face.top + in.Offset.x);

    RECT& ind = out.IndicatorRect;
    if (t.cx > 0 || t.cy > 0) {
        ind = {out.TextBounds.left, out.TextBounds.bottom, out.TextBounds.right, out.TextBounds.bottom + 6};
        if (in.Face.bottom < ind.bottom + 2)
            ind.bottom = in.Face.bottom - 2;
    } else {
        ind = {in.Face.left + 2, in.Face.top + 2, in.Face.right - (in.DropDownWidth + 2) - 2, in.Face.bottom - 2};
        if (g.cx > 0 && g.cy > 0) {
            switch (layout) {
            // One image's width: with a strip of several images the bar would
            // otherwise start past the glyph by the width of the others.
            case blGlyphLeft: ind.left = out.GlyphPos.x + g.cx + 4; ind.top = out.GlyphPos.y; ind.bottom = out.GlyphPos.y + g.cy; break;
            case blGlyphRight: ind.right = out.GlyphPos.x - 4; ind.top = out.GlyphPos.y; ind.bottom = out.GlyphPos.y + g.cy; break;
            case blGlyphTop: ind.top = out.GlyphPos.y + g.cy + 4; break;
            case blGlyphBottom: ind.bottom = out.GlyphPos.y - 4; break;
            }
        }
    }
    return out;
}

TColorPickerButton::TColorPickerButton(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 45, 22);
    SetColor(clBtnFace);
    popup_ = Create<TColorPopup>(this);
    glyph_.OnChange = [this] { Invalidate(); };
    ++liveButtons;
}

HWND TColorPickerButton::CaptureWindow()
{
    if (captureWindow_)
        return captureWindow_.get();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = CaptureWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = CaptureClassName;
    RegisterClassExA(&wc);  // fails harmlessly when already registered
    captureWindow_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, CaptureClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, wc.hInstance, nullptr));
    if (captureWindow_)
        SetWindowLongPtrA(captureWindow_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return captureWindow_.get();
}

TColorPickerButton::~TColorPickerButton()
{
    if (captureWindow_)
        SetWindowLongPtrA(captureWindow_.get(), GWLP_USERDATA, 0);
    // The grid talks to the button: let it go while the button is still whole.
    DestroyComponents();
    --liveButtons;
}

void TColorPickerButton::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TColorPickerButton";
    params.ClassStyle = CS_DBLCLKS;
}

LRESULT CALLBACK TColorPickerButton::CaptureWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* button = reinterpret_cast<TColorPickerButton*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (button) {
        try {
            return button->RouteToPopup(msg, wParam, lParam);
        } catch (...) {
            Application.HandleCurrentException();
            return 0;
        }
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

LRESULT TColorPickerButton::RouteToPopup(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND wnd = CaptureWindow();
    // The wheel carries screen coordinates and means nothing to the grid.
    if (msg >= WM_MOUSEFIRST && msg < WM_MOUSEWHEEL) {
        popup_->HandleNeeded();
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        MapWindowPoints(wnd, popup_->Handle(), &p, 1);
        return popup_->Perform(msg, wParam, MAKELPARAM(p.x, p.y));
    }
    if (msg == CN_KEYDOWN || msg == CN_SYSKEYDOWN)
        return droppedDown_ ? popup_->Perform(msg, wParam, lParam) : 0;
    // Someone else took the mouse (a message box, another program): the grid
    // would be left open without input, so it closes.
    if (msg == WM_CAPTURECHANGED && droppedDown_ && reinterpret_cast<HWND>(lParam) != wnd &&
        reinterpret_cast<HWND>(lParam) != popup_->Handle()) {
        popup_->CloseUp(true);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void TColorPickerButton::SetSelectionColor(TColor color)
{
    if (color == selectionColor_)
        return;
    selectionColor_ = color;
    Invalidate();
    if (droppedDown_)
        popup_->SelectColor(color);
    if (OnChange)
        OnChange(this);
}

void TColorPickerButton::PopupTextsChanged()
{
    if (droppedDown_) {
        popup_->Invalidate();
        popup_->ShowPopup();
    }
}

void TColorPickerButton::SetCustomText(const std::wstring& text)
{
    popup_->SetCustomText(text);
    PopupTextsChanged();
}

void TColorPickerButton::SetDefaultText(const std::wstring& text)
{
    popup_->SetDefaultText(text);
    PopupTextsChanged();
}

void TColorPickerButton::SetShowSystemColors(bool show)
{
    popup_->SetShowSystemColors(show);
    PopupTextsChanged();
}

void TColorPickerButton::SetCaption(const std::wstring& caption)
{
    SetWideText(caption);
    Invalidate();
}

void TColorPickerButton::SetState(TButtonState state)
{
    if (state == state_)
        return;
    state_ = state;
    Invalidate();
}

void TColorPickerButton::SetDown(bool down)
{
    if (groupIndex_ == 0)
        down = false;
    if (down == down_ || (down_ && !allowAllUp_))
        return;
    down_ = down;
    if (down) {
        state_ = bsExclusive;
        Invalidate();
        UpdateExclusive();
    } else {
        state_ = bsUp;
        Repaint();
    }
}

void TColorPickerButton::SetGroupIndex(int index)
{
    groupIndex_ = index;
    UpdateExclusive();
}

void TColorPickerButton::SetAllowAllUp(bool allow)
{
    allowAllUp_ = allow;
    UpdateExclusive();
}

void TColorPickerButton::UpdateExclusive()
{
    if (groupIndex_ == 0 || !Parent())
        return;
    for (TWinControl* sibling : Parent()->Controls())
        if (auto* other = dynamic_cast<TColorPickerButton*>(sibling); other && other != this)
            other->GroupButtonPressed(this);
}

void TColorPickerButton::GroupButtonPressed(TColorPickerButton* pressed)
{
    if (pressed->groupIndex_ != groupIndex_)
        return;
    if (pressed->down_ && down_) {
        down_ = false;
        state_ = bsUp;
        Invalidate();
    }
    allowAllUp_ = pressed->allowAllUp_;
}

void TColorPickerButton::SetFlat(bool flat) { flat_ = flat; Invalidate(); }
void TColorPickerButton::SetTransparent(bool transparent) { transparent_ = transparent; Invalidate(); }
void TColorPickerButton::SetLayout(TButtonLayout layout) { layout_ = layout; Invalidate(); }
void TColorPickerButton::SetSpacing(int spacing) { spacing_ = spacing; Invalidate(); }
void TColorPickerButton::SetDropDownWidth(int width) { dropDownWidth_ = width; Invalidate(); }
void TColorPickerButton::SetDropDownArrowColor(TColor color) { dropDownArrowColor_ = color; Invalidate(); }
void TColorPickerButton::SetIndicatorBorder(TIndicatorBorder border) { indicatorBorder_ = border; Invalidate(); }

void TColorPickerButton::SetMargin(int margin)
{
    if (margin < -1 || margin == margin_)
        return;
    margin_ = margin;
    Invalidate();
}

void TColorPickerButton::SetDroppedDown(bool value)
{
    if (droppedDown_ == value)
        return;
    bool allowed = true;
    if (OnDropChanging)
        OnDropChanging(this, allowed);
    if (!allowed)
        return;
    droppedDown_ = value;
    if (value) {
        state_ = bsDown;
        popup_->SelectColor(selectionColor_);
        popup_->ShowPopup();
        SetCapture(CaptureWindow());
    } else {
        state_ = bsUp;
        if (captureWindow_ && GetCapture() == captureWindow_.get())
            ReleaseCapture();
        popup_->SetVisible(false);
        UpdateMouseInControl();
    }
    if (OnDropChanged)
        OnDropChanged(this);
    Repaint();
}

void TColorPickerButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TColorPickerButton::DefaultSelect()
{
    if (OnDefaultSelect)
        OnDefaultSelect(this);
}

bool TColorPickerButton::DialogChar(char key)
{
    const char accelerator = AcceleratorOf(Caption());
    if (!accelerator || static_cast<char>(std::toupper(static_cast<unsigned char>(key))) != accelerator)
        return false;
    if (!Enabled() || !Visible() || !Parent() || !Parent()->HandleAllocated() || !IsWindowVisible(Parent()->Handle()))
        return false;
    Click();
    return true;
}

void TColorPickerButton::MouseDown(TMouseButton button, TShiftState shift, int x, int)
{
    if (button != TMouseButton::mbLeft || !Enabled())
        return;
    arrowPressed_ = x > Width() - dropDownWidth_;
    if (arrowPressed_) {
        if (!droppedDown_) {
            Repaint();
            SetDroppedDown(true);
        }
        dragging_ = false;
    } else {
        if (!down_)
            SetState(bsDown);
        Update();
        dragging_ = true;
        SetCapture(Handle());
    }
    if ((shift & ssDouble) && down_ && OnDblClick)
        OnDblClick(this);
}

void TColorPickerButton::MouseMove(TShiftState, int x, int y)
{
    if (!dragging_)
        return;
    const RECT client = ClientRect();
    const bool inside = PtInRect(&client, POINT{x, y}) != FALSE;
    SetState(down_ ? bsExclusive : inside ? bsDown : bsUp);
    Update();
}

void TColorPickerButton::MouseUp(TMouseButton button, TShiftState, int x, int y)
{
    if (button != TMouseButton::mbLeft || !dragging_)
        return;
    dragging_ = false;
    if (GetCapture() == Handle())
        ReleaseCapture();
    const RECT client = ClientRect();
    const bool inside = PtInRect(&client, POINT{x, y}) != FALSE;
    if (groupIndex_ == 0) {
        state_ = bsUp;
        mouseInControl_ = false;
        if (inside)
            Invalidate();
    } else if (inside) {
        SetDown(!down_);
        if (down_)
            Invalidate();
    } else {
        if (down_)
            state_ = bsExclusive;
        Invalidate();
    }
    if (inside)
        Click();
    UpdateMouseInControl();
}

void TColorPickerButton::UpdateMouseInControl()
{
    if (!flat_ || !Enabled() || !HandleAllocated())
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const bool inside = WindowFromPoint(cursor) == Handle();
    if (inside != mouseInControl_) {
        mouseInControl_ = inside;
        Invalidate();
    }
}

void TColorPickerButton::MouseEnter()
{
    if (flat_ && Enabled() && !mouseInControl_) {
        mouseInControl_ = true;
        Invalidate();
    }
}

void TColorPickerButton::MouseLeave()
{
    if (flat_ && Enabled() && mouseInControl_ && !dragging_) {
        mouseInControl_ = false;
        Invalidate();
    }
}

LRESULT TColorPickerButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
    case WM_SYSCOLORCHANGE:
        glyph_.Invalidate();
        Invalidate();
        break;
    case WM_SETTEXT:
    case WM_SETFONT: {
        const LRESULT result = TCustomControl::WndProc(msg, wParam, lParam);
        Invalidate();
        return result;
    }
    default:
        break;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
}
