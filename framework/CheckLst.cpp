#include "framework/CheckLst.h"

#include "framework/Handles.h"

#include <windowsx.h>

namespace {
constexpr int kCheckMargin = 2;
} // namespace

TCheckListBox::TCheckListBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, 97);
    SetColor(clWindow);
}

void TCheckListBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "LISTBOX";
    params.Style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (TabStop)
        params.Style |= WS_TABSTOP;
}

void TCheckListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, ItemHeight);
    FillWindow();
    SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(savedIndex_), 0);
}

void TCheckListBox::DestroyWnd()
{
    savedIndex_ = ItemIndex();
    TWinControl::DestroyWnd();
}

void TCheckListBox::FillWindow()
{
    HWND wnd = Handle();
    SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    SendMessageA(wnd, LB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const std::string& text : items_)
        bytes += text.size() + 1;
    SendMessageA(wnd, LB_INITSTORAGE, items_.size(), static_cast<LPARAM>(bytes));
    for (const std::string& text : items_)
        SendMessageA(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    Invalidate();
}

int TCheckListBox::CheckColumnWidth() { return GetSystemMetrics(SM_CXMENUCHECK) + 2 * kCheckMargin; }

void TCheckListBox::Add(const std::string& text)
{
    items_.push_back(text);
    checked_.push_back(false);
    if (HandleAllocated())
        SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCheckListBox::AddItems(const std::vector<std::string>& texts)
{
    items_.insert(items_.end(), texts.begin(), texts.end());
    checked_.resize(items_.size(), false);
    if (HandleAllocated())
        FillWindow();
}

void TCheckListBox::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    items_.erase(items_.begin() + index);
    checked_.erase(checked_.begin() + index);
    if (HandleAllocated())
        SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TCheckListBox::Clear()
{
    items_.clear();
    checked_.clear();
    savedIndex_ = -1;
    if (HandleAllocated())
        SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

void TCheckListBox::SetChecked(int index, bool checked)
{
    if (Checked(index) == checked)
        return;
    checked_[static_cast<size_t>(index)] = checked;
    InvalidateItem(index);
}

void TCheckListBox::Toggle(int index)
{
    SetChecked(index, !Checked(index));
    if (OnClickCheck)
        OnClickCheck(index);
}

int TCheckListBox::ItemIndex() const
{
    if (!HandleAllocated())
        return savedIndex_;
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TCheckListBox::SetItemIndex(int index)
{
    savedIndex_ = index;
    if (HandleAllocated())
        SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

RECT TCheckListBox::ItemRect(int index) const
{
    RECT r{0, 0, 0, 0};
    if (HandleAllocated())
        SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCheckListBox::InvalidateItem(int index)
{
    if (!HandleAllocated())
        return;
    const RECT r = ItemRect(index);
    InvalidateRect(Handle(), &r, FALSE);
}

int TCheckListBox::CheckBoxAt(int x, int y) const
{
    if (x < 0 || x >= CheckColumnWidth())
        return -1;
    const LRESULT hit = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    if (HIWORD(hit) != 0)
        return -1;
    const int index = LOWORD(hit);
    return index < Count() ? index : -1;
}

void TCheckListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1) || static_cast<int>(item.itemID) >= Count())
        return;
    const int index = static_cast<int>(item.itemID);
    HDC dc = item.hDC;
    const RECT row = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;

    RECT box = row;
    box.right = row.left + CheckColumnWidth();
    UniqueBrush window(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc, &box, window.get());
    const int size = GetSystemMetrics(SM_CXMENUCHECK);
    RECT check{box.left + kCheckMargin, row.top + (row.bottom - row.top - size) / 2, 0, 0};
    check.right = check.left + size;
    check.bottom = check.top + size;
    DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | (Checked(index) ? DFCS_CHECKED : 0));

    RECT text = row;
    text.left = box.right;
    UniqueBrush back(CreateSolidBrush(ColorToRGB(selected ? clHighlight : Color())));
    FillRect(dc, &text, back.get());
    SelectGuard font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(selected ? clHighlightText : clWindowText));
    RECT inner = text;
    inner.left += 2;
    const std::string& s = items_[static_cast<size_t>(index)];
    DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &inner,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &text);
}

bool TCheckListBox::HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    if (msg != WM_COMMAND)
        return false;
    switch (HIWORD(wParam)) {
    case LBN_SELCHANGE: if (OnClick) OnClick(); break;
    case LBN_DBLCLK: if (OnDblClick) OnDblClick(); break;
    default: return false;
    }
    result = 0;
    return true;
}

LRESULT TCheckListBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        const LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
        const int row = CheckBoxAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (row >= 0)
            Toggle(row);
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        // On a check box the second click of a double click is one more toggle.
        const int row = CheckBoxAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (row < 0)
            break;
        Toggle(row);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            if (const int row = ItemIndex(); row >= 0)
                Toggle(row);
            return 0;
        }
        break;
    case WM_CHAR:
        // The space toggles; it must not also pick the next row starting with a blank.
        if (wParam == ' ')
            return 0;
        break;
    default:
        break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}
