#include "framework/StdCtrls.h"

#include "framework/Forms.h"

TButton::TButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = "BUTTON";
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
