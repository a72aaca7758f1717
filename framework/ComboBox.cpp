#include "framework/ComboBox.h"

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 145, 21);
    SetColor(clWindow);
}

void TComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "COMBOBOX";
    params.Style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
    if (TabStop)
        params.Style |= WS_TABSTOP;
    // A drop-down combo's window height is the height of its open list.
    params.Height += DropDownCount * ItemHeight + 2;
}

void TComboBox::CreateWnd()
{
    // The text it was given while it had no window; the new field starts empty.
    const std::string text = TWinControl::Text();
    TWinControl::CreateWnd();
    SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, ItemHeight);
    SendMessageA(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(DropDownCount), 0);
    FillList();
    if (itemIndex_ >= 0)
        SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    else
        SetWindowTextA(Handle(), text.c_str());
}

void TComboBox::KeepState()
{
    itemIndex_ = ItemIndex();
    TWinControl::KeepState();
}

void TComboBox::FillList()
{
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : *items_)
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void TComboBox::SetItems(std::vector<std::string> items)
{
    SetItems(std::make_shared<const std::vector<std::string>>(std::move(items)));
}

void TComboBox::SetItems(std::shared_ptr<const std::vector<std::string>> items)
{
    items_ = items ? std::move(items) : std::make_shared<const std::vector<std::string>>();
    itemIndex_ = -1;
    if (!HandleAllocated())
        return;
    const std::string text = Text();
    FillList();
    SetWindowTextA(Handle(), text.c_str());
}

int TComboBox::ItemIndex() const
{
    if (!HandleAllocated())
        return itemIndex_;
    // Typing selects the first item the text begins with; that is no choice yet.
    const int index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
    if (index < 0 || index >= static_cast<int>(items_->size()) || (*items_)[static_cast<size_t>(index)] != Text())
        return -1;
    return index;
}

void TComboBox::SetItemIndex(int index)
{
    itemIndex_ = index;
    if (HandleAllocated())
        SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TComboBox::DroppedDown() const
{
    return HandleAllocated() && SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TComboBox::SetDroppedDown(bool dropped)
{
    HandleNeeded();
    SendMessageA(Handle(), CB_SHOWDROPDOWN, dropped ? TRUE : FALSE, 0);
}

bool TComboBox::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND)
        return false;
    switch (HIWORD(wParam)) {
    case CBN_SELCHANGE: {
        // The platform updates the field only after this notification: do it now,
        // so that the handler reads the picked item.
        const int index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
        if (index >= 0 && index < static_cast<int>(items_->size()))
            SetWindowTextA(Handle(), (*items_)[static_cast<size_t>(index)].c_str());
        SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        break;
    }
    case CBN_EDITCHANGE:
        break;
    default:
        return false;
    }
    if (OnChange)
        OnChange();
    result = 0;
    return true;
}
