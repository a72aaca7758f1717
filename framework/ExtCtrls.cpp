#include "framework/ExtCtrls.h"

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TPanel";
    params.Style |= WS_CLIPCHILDREN;
}
