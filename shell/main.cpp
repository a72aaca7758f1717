#include "shell/main.h"

TfrmMain::TfrmMain(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetBounds(0, 0, 0, 0);
}

void TfrmMain::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    params.WinClassName = "TfrmMain";
}
