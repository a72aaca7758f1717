#include "controls/ColorPopup.h"

#include "controls/ColorPickerButton.h"
#include "framework/Application.h"
#include "framework/SysUtils.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr UINT_PTR HintTimer = 1;

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

SIZE MeasureText(HDC dc, const std::wstring& text)
{
    if (text.empty())
        return {0, 0};
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace

TColorPopup::TColorPopup(TComponent* owner, TColorPickerButton* button)
    : TCustomControl(owner), button_(button), edgeWidth_(GetSystemMetrics(SM_CXEDGE))
{
    SetVisible(false);
    SetBounds(-1000, 0, 0, 0);
    LayoutPopup();
}

TColorPopup::~TColorPopup() = default;

void TColorPopup::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    // A pop-up rather than a child of the desktop: it gets the application's
    // activation messages and never takes the activation from the note.
    params.Style = WS_POPUP | WS_CLIPSIBLINGS;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    params.WndParent = nullptr;
    params.WinClassName = "TColorPopup";
    params.ClassStyle = CS_SAVEBITS | CS_DBLCLKS | CS_DROPSHADOW;
}

void TColorPopup::CreateWnd()
{
    TCustomControl::CreateWnd();
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               0, 0, 0, 0, Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (tooltip_) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        ti.hwnd = Handle();
        ti.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TColorPopup::SetDefaultText(const std::wstring& text)
{
    defaultText_ = text;
    LayoutPopup();
}

void TColorPopup::SetCustomText(const std::wstring& text)
{
    customText_ = text;
    if (text.empty() && selectedIndex_ == CustomCell) {
        selectedIndex_ = NoCell;
        combSelection_ = 0;
    }
    LayoutPopup();
}

void TColorPopup::SetShowSystemColors(bool show)
{
    showSystemColors_ = show;
    LayoutPopup();
}

void TColorPopup::SetSpacing(int spacing)
{
    spacing = std::max(0, spacing);
    if (spacing == spacing_)
        return;
    spacing_ = spacing;
    Invalidate();
}

void TColorPopup::LayoutPopup()
{
    TPopupOptions options;
    options.EdgeWidth = edgeWidth_;
    options.Spacing = spacing_;
    options.HasDefault = !defaultText_.empty();
    options.HasCustom = !customText_.empty();
    options.ShowSystemColors = showSystemColors_;
    if (options.HasDefault || options.HasCustom) {
        WindowDC screen(nullptr);
        SelectGuard font(screen.get(), GuiFont());
        const SIZE a = MeasureText(screen.get(), defaultText_), b = MeasureText(screen.get(), customText_);
        options.TextSize = {std::max(a.cx, b.cx), std::max(a.cy, b.cy)};
    }
    layout_ = TPopupLayout(options);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, layout_.WindowRect.right, layout_.WindowRect.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetBounds(Left(), Top(), layout_.WindowRect.right, layout_.WindowRect.bottom);
}

void TColorPopup::ShowPopup()
{
    HandleNeeded();
    const int width = layout_.WindowRect.right;
    const int height = selectedIndex_ == CustomCell ? layout_.CombHeight() : layout_.WindowRect.bottom;
    // The bottom edge moves when the comb comes or goes: paint it all again.
    Invalidate();

    // The work area of the monitor that holds the button, which may lie left of or
    // above the primary one, at negative coordinates.
    const POINT topLeft = button_->ClientToScreen({0, 0});
    const RECT buttonRect{topLeft.x, topLeft.y, topLeft.x + button_->Width(), topLeft.y + button_->Height()};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT workArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoA(MonitorFromRect(&buttonRect, MONITOR_DEFAULTTONEAREST), &monitor))
        workArea = monitor.rcWork;
    const POINT p = PopupPosition(buttonRect, {width, height}, workArea);
    SetWindowPos(Handle(), HWND_TOPMOST, p.x, p.y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TColorPopup::BuildComb()
{
    colourComb_ = BuildColourComb(intensity_, layout_.CombRadius);
    greyComb_ = BuildGreyComb(layout_.HexSize);
}

const TCombArray& TColorPopup::ColourComb()
{
    if (colourComb_.empty())
        BuildComb();
    return colourComb_;
}

const TCombArray& TColorPopup::GreyComb()
{
    if (greyComb_.empty())
        BuildComb();
    return greyComb_;
}

COLORREF TColorPopup::CombSelectionColour()
{
    if (combSelection_ > 0)
        return ColourComb()[static_cast<size_t>(combSelection_ - 1)].Colour;
    if (combSelection_ < 0)
        return GreyComb()[static_cast<size_t>(-combSelection_ - 1)].Colour;
    return 0;
}

void TColorPopup::SelectColor(TColor color)
{
    selectedColor_ = color;
    const TColorChoice choice = MatchColor(color, showSystemColors_, ColourComb(), GreyComb());
    const bool combShown = selectedIndex_ == CustomCell;
    // A colour of the comb only counts when there is a custom cell to show it in.
    if (choice.SelectedIndex == CustomCell && customText_.empty()) {
        selectedIndex_ = NoCell;
        combSelection_ = 0;
    } else if (choice.SelectedIndex == DefaultCell && defaultText_.empty()) {
        selectedIndex_ = NoCell;
        combSelection_ = 0;
    } else {
        selectedIndex_ = choice.SelectedIndex;
        combSelection_ = choice.CombSelection;
    }
    Invalidate();
    if (Visible() && combShown != (selectedIndex_ == CustomCell))
        ShowPopup();
}

void TColorPopup::InvalidateCell(int index)
{
    if (!HandleAllocated())
        return;
    RECT r = layout_.CellRect(index);
    if (IsRectEmpty(&r))
        return;
    InvalidateRect(Handle(), &r, FALSE);
}

void TColorPopup::InvalidateCombArea()
{
    if (!HandleAllocated())
        return;
    RECT r{0, layout_.CombRect.top, layout_.WindowRect.right, layout_.CombHeight()};
    InvalidateRect(Handle(), &r, FALSE);
    InvalidateRect(Handle(), &layout_.PreviewRect, FALSE);
}

void TColorPopup::SetHover(int index)
{
    if ((!showSystemColors_ && index >= StandardColorCount) || index > StandardColorCount + SystemColorCount - 1)
        index = NoCell;
    InvalidateCell(hoverIndex_);
    hoverIndex_ = index;
    InvalidateCell(hoverIndex_);
    Update();
}

void TColorPopup::SelectCell(int index)
{
    if (index == NoCell)
        return;
    InvalidateCell(selectedIndex_);
    selectedIndex_ = index;
    InvalidateCell(selectedIndex_);
    if (index == CustomCell)
        ShowPopup();
    Update();
}

void TColorPopup::CloseUp(bool cancel)
{
    HideHint();
    if (!cancel) {
        if (selectedIndex_ >= 0)
            button_->SetSelectionColor(ColorTableEntry(selectedIndex_).Color);
        else if (selectedIndex_ == CustomCell) {
            if (combSelection_ != 0)
                button_->SetSelectionColor(static_cast<TColor>(CombSelectionColour()));
        } else
            button_->DefaultSelect();
    }
    button_->SetDroppedDown(false);
}

void TColorPopup::SetCombSelection(int selection)
{
    if (selection == combSelection_)
        return;
    combSelection_ = selection;
    InvalidateCombArea();
    Update();
}

bool TColorPopup::HandleComb(int x, int y, bool leftHeld)
{
    const POINT p{x, y};
    const RECT& bar = layout_.IntensityRect;
    if ((PtInRect(&bar, p) && dragMode_ == 0) || (dragMode_ == 3 && x >= bar.left && x < bar.right)) {
        if (leftHeld) {
            dragMode_ = 3;
            intensity_ = std::clamp(1.0 - static_cast<double>(y - bar.top) / (bar.bottom - bar.top), 0.0, 1.0);
            colourComb_.clear();
            InvalidateCombArea();
            Update();
        }
        return true;
    }
    if (PtInRect(&layout_.GreyRect, p) && (dragMode_ == 0 || dragMode_ == 2)) {
        const int entry = layout_.GreyEntryAt(GreyComb(), x, y);
        if (leftHeld && entry >= 0) {
            dragMode_ = 2;
            SetCombSelection(-(entry + 1));
            return true;
        }
    }
    if (PtInRect(&layout_.CombRect, p) && (dragMode_ == 0 || dragMode_ == 1)) {
        if (!leftHeld)
            return true;
        const int entry = layout_.CombEntryAt(ColourComb(), x, y);
        if (entry >= 0) {
            dragMode_ = 1;
            SetCombSelection(entry + 1);
        }
        // Between two hexagons the last choice stays, so a drag does not flicker.
        return true;
    }
    if (PtInRect(&layout_.GreyRect, p))
        return true;
    SetCombSelection(0);
    return false;
}

void TColorPopup::MouseMove(TShiftState shift, int x, int y)
{
    leftDown_ = (shift & ssLeft) != 0;
    const int h = layout_.CellAt(x, y);
    const RECT client = ClientRect();
    const bool inside = PtInRect(&client, POINT{x, y}) != FALSE;
    if (h != hoverIndex_)
        SetHover(inside ? h : NoCell);
    if (h == NoCell && inside && leftDown_ && selectedIndex_ == CustomCell)
        HandleComb(x, y, true);
    UpdateHint(x, y, leftDown_);
}

void TColorPopup::MouseDown(TMouseButton button, TShiftState, int x, int y)
{
    if (button != TMouseButton::mbLeft)
        return;
    const RECT client = ClientRect();
    if (!PtInRect(&client, POINT{x, y})) {
        CloseUp(true);
        return;
    }
    leftDown_ = true;
    if (hoverIndex_ != NoCell) {
        InvalidateCell(hoverIndex_);
        Update();
    } else if (selectedIndex_ == CustomCell) {
        HandleComb(x, y, true);
    }
}

void TColorPopup::MouseUp(TMouseButton button, TShiftState, int x, int y)
{
    if (button != TMouseButton::mbLeft)
        return;
    leftDown_ = false;
    const RECT client = ClientRect();
    const int h = PtInRect(&client, POINT{x, y}) ? layout_.CellAt(x, y) : NoCell;
    const int m = dragMode_;
    dragMode_ = 0;
    InvalidateCell(hoverIndex_);
    if (h != NoCell || (selectedIndex_ == CustomCell && combSelection_ != 0)) {
        SelectCell(h);
        if ((selectedIndex_ == CustomCell && (m == 1 || m == 2)) || selectedIndex_ >= 0 ||
            selectedIndex_ == DefaultCell) {
            CloseUp(false);
            return;
        }
    }
    Update();
    if (button_->DroppedDown() && GetCapture() != button_->CaptureWindow())
        SetCapture(button_->CaptureWindow());
}

bool TColorPopup::HandleKey(WORD key, TShiftState shift)
{
    if (shift & ssAlt) {
        const char letter = static_cast<char>(std::toupper(key));
        if (!defaultText_.empty() && letter == AcceleratorOf(defaultText_)) {
            SelectCell(DefaultCell);
            CloseUp(false);
            return true;
        }
        if (!customText_.empty() && letter == AcceleratorOf(customText_)) {
            if (selectedIndex_ != CustomCell)
                SelectCell(CustomCell);
            return true;
        }
        return false;
    }
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        // With nothing under the keyboard the chosen cell stays chosen; Enter then
        // confirms what the grid shows instead of falling back to the default.
        if (hoverIndex_ != NoCell)
            selectedIndex_ = hoverIndex_;
        CloseUp(false);
        return true;
    case VK_ESCAPE:
        CloseUp(true);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        SetHover(MoveCell(hoverIndex_ != NoCell ? hoverIndex_ : selectedIndex_, key, layout_));
        return true;
    default:
        return false;
    }
}

bool TColorPopup::HintAt(int x, int y, bool leftHeld, TPopupHint& hint)
{
    if (!button_->ShowHint)
        return false;
    const POINT p{x, y};
    hint = TPopupHint{};
    const POINT screen = ClientToScreen(POINT{x, y});
    const int cell = layout_.CellAt(x, y);
    if (cell >= 0) {
        hint.Text = ColorTableEntry(cell).Name;
        hint.Area = layout_.CellRect(cell);
        hint.ScreenPos = ClientToScreen(POINT{hint.Area.left, hint.Area.bottom + 2});
        return true;
    }
    auto fromButton = [&](int which) {
        std::wstring text;
        if (button_->OnHint)
            button_->OnHint(button_, which, text);
        return text;
    };
    if (cell == DefaultCell || cell == CustomCell) {
        hint.Text = fromButton(cell);
        if (hint.Text.empty())
            hint.Text = button_->Hint;
        hint.Area = layout_.CellRect(cell);
        hint.ScreenPos = ClientToScreen(POINT{hint.Area.left, hint.Area.bottom + 2});
        return !hint.Text.empty();
    }
    if (selectedIndex_ != CustomCell)
        return false;
    if (PtInRect(&layout_.IntensityRect, p)) {
        hint.Text = L"Intensity: " + std::to_wstring(Nearest(intensity_ * 100)) + L"%";
        hint.ScreenPos = ClientToScreen(POINT{layout_.IntensityRect.right, y - 8});
        hint.Area = {x, y, x + 1, y};
        hint.HideAfterMs = 5000;
        return true;
    }
    if (PtInRect(&layout_.GreyRect, p) || PtInRect(&layout_.CombRect, p)) {
        COLORREF colour = 0;
        bool found = false;
        if (leftHeld && combSelection_ != 0) {
            colour = CombSelectionColour();
            found = true;
        } else if (const int g = layout_.GreyEntryAt(GreyComb(), x, y); g >= 0 && PtInRect(&layout_.GreyRect, p)) {
            colour = GreyComb()[static_cast<size_t>(g)].Colour;
            found = true;
        } else if (const int c = layout_.CombEntryAt(ColourComb(), x, y); c >= 0) {
            colour = ColourComb()[static_cast<size_t>(c)].Colour;
            found = true;
        }
        hint.Text = found ? L"red: " + std::to_wstring(GetRValue(colour)) + L", green: " +
                                std::to_wstring(GetGValue(colour)) + L", blue: " + std::to_wstring(GetBValue(colour))
                          : fromButton(NoCell);
        hint.ScreenPos = {screen.x + 12, screen.y + 16};
        hint.Area = {x, y, x + 1, y + 1};
        hint.HideAfterMs = 5000;
        return !hint.Text.empty();
    }
    return false;
}

void TColorPopup::UpdateHint(int x, int y, bool leftHeld)
{
    if (!tooltip_)
        return;
    const POINT p{x, y};
    if (!hintText_.empty() && PtInRect(&hintArea_, p))
        return;
    TPopupHint hint;
    if (!HintAt(x, y, leftHeld, hint)) {
        HideHint();
        return;
    }
    hintText_ = hint.Text;
    hintArea_ = hint.Area;
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = Handle();
    ti.lpszText = hintText_.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(hint.ScreenPos.x, hint.ScreenPos.y));
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    if (hint.HideAfterMs)
        SetTimer(Handle(), HintTimer, hint.HideAfterMs, nullptr);
    else
        KillTimer(Handle(), HintTimer);
}

void TColorPopup::HideHint()
{
    if (!tooltip_ || hintText_.empty())
        return;
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = Handle();
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    KillTimer(Handle(), HintTimer);
    hintText_.clear();
    hintArea_ = {};
}

LRESULT TColorPopup::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        return HandleKey(static_cast<WORD>(wParam), KeyDataToShiftState(lParam)) ? 1 : 0;
    case WM_ERASEBKGND:
        return 1;  // Paint covers everything
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_KILLFOCUS:
        if (button_->DroppedDown())
            button_->SetDroppedDown(false);
        break;
    case WM_ACTIVATEAPP:
        if (!wParam && button_->DroppedDown())
            CloseUp(true);
        return 0;
    case WM_TIMER:
        if (wParam == HintTimer) {
            HideHint();
            return 0;
        }
        break;
    case WM_NCDESTROY:
        tooltip_ = nullptr;
        hintText_.clear();
        colourComb_.clear();
        greyComb_.clear();
        break;
    default:
        break;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
}
