#include "framework/Splitter.h"

#include <algorithm>

TSplitter::TSplitter(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 3, 100);
    SetAlign(TAlign::alLeft);
}

void TSplitter::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = Vertical() ? "TSplitterWE" : "TSplitterNS";
    params.Cursor = LoadCursor(nullptr, Vertical() ? IDC_SIZEWE : IDC_SIZENS);
}

void TSplitter::Paint(HDC dc)
{
    RECT r = ClientRect();
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc, &r, brush.get());
}

TWinControl* TSplitter::ResizedControl() const
{
    if (!Parent())
        return nullptr;
    const RECT me = BoundsRect();
    for (TWinControl* c : Parent()->Controls()) {
        if (c == this || c->Align() != Align() || !c->Visible())
            continue;
        const RECT r = c->BoundsRect();
        const bool touches = (Align() == TAlign::alTop && r.bottom == me.top) ||
                             (Align() == TAlign::alBottom && r.top == me.bottom) ||
                             (Align() == TAlign::alLeft && r.right == me.left) ||
                             (Align() == TAlign::alRight && r.left == me.right);
        if (touches)
            return c;
    }
    return nullptr;
}

TWinControl* TSplitter::FillingControl() const
{
    for (TWinControl* c : Parent()->Controls())
        if (c->Align() == TAlign::alClient && c->Visible())
            return c;
    return nullptr;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState, int x, int y)
{
    if (button != TMouseButton::mbLeft || !(target_ = ResizedControl()))
        return;
    SetCapture(Handle());
    startPos_ = Along(ClientToScreen({x, y}));
    startSize_ = SizeOf(target_);
    // The filling control gives up space down to its own minimum, nothing else does.
    const TWinControl* filling = FillingControl();
    maxSize_ = std::max(MinSize, startSize_ + (filling ? SizeOf(filling) - MinSize : 0));
}

void TSplitter::MouseMove(TShiftState, int x, int y)
{
    if (!target_ || GetCapture() != Handle())
        return;
    int delta = Along(ClientToScreen({x, y})) - startPos_;
    if (Align() == TAlign::alBottom || Align() == TAlign::alRight)
        delta = -delta;
    const int size = std::clamp(startSize_ + delta, std::min(MinSize, startSize_), maxSize_);
    if (size == SizeOf(target_))
        return;
    if (Vertical())
        target_->SetWidth(size);
    else
        target_->SetHeight(size);
    Parent()->Realign();
}

void TSplitter::MouseUp(TMouseButton, TShiftState, int, int)
{
    if (!target_)
        return;
    target_ = nullptr;
    ReleaseCapture();
    if (OnMoved)
        OnMoved();
}
