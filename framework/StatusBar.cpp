#include "framework/StatusBar.h"

#include <commctrl.h>

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SysClassName = STATUSCLASSNAMEA;
    // Our aligning places it; left to itself it would take the parent's bottom
    // edge at its own height on every size change.
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (SizeGrip)
        params.Style |= SBARS_SIZEGRIP;
}
