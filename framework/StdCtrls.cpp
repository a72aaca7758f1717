#include "framework/StdCtrls.h"

#include "framework/Forms.h"

TButton::TButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "BUTTON";
    params.Unicode = true;
    params.Style |= BS_PUSHBUTTON;
    if (TabStop)
        params.Style |= WS_TABSTOP;
}

void TButton::Click()
{
    if (ModalResult != 0)
        if (TForm* form = ParentForm())
            form->ModalResult = ModalResult;
    if (OnClick)
        OnClick();
}

bool TButton::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND)
        return false;
    switch (HIWORD(wParam)) {
    case BN_CLICKED: Click(); break;
    case BN_DOUBLECLICKED: if (OnDblClick) OnDblClick(); break;
    default: return false;
    }
    result = 0;
    return true;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, 21);
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "EDIT";
    params.Style |= ES_AUTOHSCROLL | ES_LEFT;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (ReadOnly)
        params.Style |= ES_READONLY;
    if (TabStop)
        params.Style |= WS_TABSTOP;
}

void TEdit::SelectAll()
{
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

bool TEdit::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND || HIWORD(wParam) != EN_CHANGE)
        return false;
    if (OnChange)
        OnChange();
    result = 0;
    return true;
}

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "BUTTON";
    params.Unicode = true;
    params.Style |= BS_AUTOCHECKBOX;
    if (TabStop)
        params.Style |= WS_TABSTOP;
}

void TCheckBox::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::KeepState()
{
    checked_ = Checked();
    TWinControl::KeepState();
}

bool TCheckBox::Checked() const
{
    if (!HandleAllocated())
        return checked_;
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked)
{
    if (checked == Checked())
        return;
    checked_ = checked;
    if (HandleAllocated())
        SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick)
        OnClick();
}

bool TCheckBox::HandleReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result)
{
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return false;
    checked_ = Checked();
    if (OnClick)
        OnClick();
    result = 0;
    return true;
}
