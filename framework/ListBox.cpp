#include "framework/ListBox.h"

TListBox::TListBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, 97);
    SetColor(clWindow);
}

void TListBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "LISTBOX";
    params.Style |= LBS_OWNERDRAWFIXED | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, ItemHeight);
    FillWindow();
}

void TListBox::KeepState()
{
    itemIndex_ = ItemIndex();
    TWinControl::KeepState();
}

void TListBox::FillWindow()
{
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
    // Owner-drawn rows without LBS_HASSTRINGS hold a number each: ours is the row's index.
    for (size_t i = 0; i < items_.size(); ++i)
        SendMessageA(Handle(), LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    SendMessageA(Handle(), LB_SETCURSEL, itemIndex_, 0);
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TListBox::SetItems(std::vector<std::string> items)
{
    items_ = std::move(items);
    itemIndex_ = items_.empty() ? -1 : 0;
    if (HandleAllocated())
        FillWindow();
}

int TListBox::ItemIndex() const
{
    if (!HandleAllocated())
        return itemIndex_;
    return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index)
{
    itemIndex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    if (HandleAllocated())
        SendMessageA(Handle(), LB_SETCURSEL, itemIndex_, 0);
}

bool TListBox::HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == LBN_DBLCLK) {
        if (OnDblClick)
            OnDblClick();
        result = 0;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->itemID == static_cast<UINT>(-1) || item->itemID >= items_.size())
            return false;
        if (OnDrawItem)
            OnDrawItem(item->hDC, static_cast<int>(item->itemID), item->rcItem, (item->itemState & ODS_SELECTED) != 0);
        result = TRUE;
        return true;
    }
    return false;
}
