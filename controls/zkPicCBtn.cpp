#include "controls/zkPicCBtn.h"

#include <windowsx.h>

TzkPictureCButton::TzkPictureCButton(TComponent* owner) : TButton(owner) {}

void TzkPictureCButton::CreateParams(TCreateParams& params)
{
    TButton::CreateParams(params);
    params.Style |= BS_OWNERDRAW;
}

bool TzkPictureCButton::HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_DRAWITEM) {
        DrawFace(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return TButton::HandleReflected(msg, wParam, lParam, result);
}

LRESULT TzkPictureCButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (!AcceptsPress(static_cast<short>(GET_X_LPARAM(lParam)), static_cast<short>(GET_Y_LPARAM(lParam))))
            return 0;
        break;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button would report a double click instead of a second
        // press, and a quick second click would be lost.
        if (OnDblClick) {
            OnDblClick();
            return 0;
        }
        return WndProc(WM_LBUTTONDOWN, wParam, lParam);
    case WM_MOUSEMOVE:
        if (!mouseInside_) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&tme);
            mouseInside_ = true;
            Invalidate();
        }
        break;
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        Invalidate();
        break;
    case BM_SETSTYLE: {
        // The platform would make the button a plain push button again; only
        // the wish is kept, and the face redrawn.
        const bool wanted = (wParam & BS_DEFPUSHBUTTON) != 0;
        if (wanted != defaultLook_) {
            defaultLook_ = wanted;
            Invalidate();
        }
        return 0;
    }
    case WM_ENABLE:
    case WM_SETFONT: {
        const LRESULT r = TButton::WndProc(msg, wParam, lParam);
        Invalidate();
        return r;
    }
    default:
        break;
    }
    return TButton::WndProc(msg, wParam, lParam);
}
