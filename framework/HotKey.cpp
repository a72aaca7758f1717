#include "framework/HotKey.h"

#include <commctrl.h>

THotKey::THotKey(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, 19);
    SetColor(clWindow);
}

void THotKey::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = HOTKEY_CLASSA;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (TabStop)
        params.Style |= WS_TABSTOP;
}

void THotKey::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(Handle(), HKM_SETRULES, InvalidKeys, MAKELPARAM(DefaultModifiers, 0));
    SendMessageA(Handle(), HKM_SETHOTKEY, value_, 0);
}

void THotKey::KeepState()
{
    value_ = Value();
    TWinControl::KeepState();
}

WORD THotKey::Value() const
{
    return HandleAllocated() ? static_cast<WORD>(SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0)) : value_;
}

WORD THotKey::Key() const { return LOBYTE(Value()); }

THKModifiers THotKey::Modifiers() const { return HIBYTE(Value()); }

void THotKey::SetHotKey(int key, THKModifiers modifiers)
{
    value_ = (key < 0 || key > 255) ? 0 : MAKEWORD(key, modifiers & (hkShift | hkCtrl | hkAlt | hkExt));
    if (HandleAllocated())
        SendMessageA(Handle(), HKM_SETHOTKEY, value_, 0);
}

LRESULT THotKey::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Alt with a letter is a combination for this field, never an accelerator of
    // the window: the field has taken the key already.
    if (msg == WM_SYSCHAR)
        return 0;
    // Wine's field moves the thread's caret when it paints, even while another
    // control (an edit box with its caret) has the focus: put the caret back.
    POINT caret{};
    if (msg == WM_PAINT && !Focused() && GetCaretPos(&caret)) {
        const LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
        SetCaretPos(caret.x, caret.y);
        return result;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}
