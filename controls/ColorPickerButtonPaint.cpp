// Painting of the colour picker button, into an off-screen bitmap copied at once.

#include "controls/ColorPickerButton.h"

namespace {

void FillSolid(HDC dc, const RECT& r, COLORREF colour)
{
    UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

void Line(HDC dc, COLORREF colour, int x, int y1, int y2)
{
    UniquePen pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard p(dc, pen.get());
    MoveToEx(dc, x, y1, nullptr);
    LineTo(dc, x, y2);
}

void FillChecker(HDC dc, const RECT& r)
{
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    UniqueBitmap bits(CreateBitmap(8, 8, 1, 1, pattern));
    UniqueBrush brush(CreatePatternBrush(bits.get()));
    const COLORREF oldText = SetTextColor(dc, ColorToRGB(clBtnFace));
    const COLORREF oldBack = SetBkColor(dc, ColorToRGB(clBtnHighlight));
    FillRect(dc, &r, brush.get());
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

RECT Normalized(RECT r)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

} // namespace

void TColorPickerButton::PaintSeparator(HDC dc, bool pressed)
{
    const int x = Width() - dropDownWidth_, h = Height();
    if (pressed) {
        Line(dc, ColorToRGB(clBtnHighlight), x + 1, 2, h - 2);
        Line(dc, ColorToRGB(clBtnShadow), x, 2, h - 2);
    } else {
        Line(dc, ColorToRGB(clBtnHighlight), x, 1, h - 1);
        Line(dc, ColorToRGB(clBtnShadow), x - 1, 1, h - 1);
    }
}

void TColorPickerButton::PaintFrame(HDC dc, RECT& r)
{
    const RECT whole = r;
    RECT arrow{whole.right - dropDownWidth_, 0, whole.right, whole.bottom};
    const bool pressed = state_ == bsDown || state_ == bsExclusive;
    if (flat_) {
        const UINT fill = transparent_ ? 0 : BF_MIDDLE;
        RECT all = whole;
        if (pressed || (mouseInControl_ && state_ != bsDisabled)) {
            if (!arrowPressed_) {
                DrawEdge(dc, &all, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | fill);
                PaintSeparator(dc, pressed);
            } else if (droppedDown_) {
                DrawEdge(dc, &all, BDR_RAISEDINNER, BF_RECT | fill);
                DrawEdge(dc, &arrow, BDR_SUNKENOUTER, BF_RECT | fill);
            } else {
                DrawEdge(dc, &all, BDR_RAISEDINNER, BF_RECT | fill);
                DrawEdge(dc, &arrow, BDR_RAISEDINNER, BF_RECT | fill);
                PaintSeparator(dc, false);
            }
        }
        InflateRect(&r, -1, -1);
        return;
    }
    if (!arrowPressed_) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
        PaintSeparator(dc, pressed);
    } else {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
        DrawFrameControl(dc, &arrow, DFC_BUTTON, DFCS_BUTTONPUSH | (droppedDown_ ? DFCS_PUSHED : 0));
        if (!droppedDown_)
            PaintSeparator(dc, false);
    }
}

void TColorPickerButton::PaintIndicator(HDC dc)
{
    const RECT r = geometry_.IndicatorRect;
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(selectionColor_)));
    switch (indicatorBorder_) {
    case ibNone: {
        const RECT n = Normalized(r);
        FillRect(dc, &n, brush.get());
        break;
    }
    case ibFlat: {
        UniquePen pen(CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow)));
        SelectGuard p(dc, pen.get()), b(dc, brush.get());
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        break;
    }
    case ibSunken:
    case ibRaised: {
        RECT n = Normalized(r);
        DrawEdge(dc, &n, indicatorBorder_ == ibSunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        InflateRect(&n, -1, -1);
        FillRect(dc, &n, brush.get());
        break;
    }
    }
}

void TColorPickerButton::PaintArrow(HDC dc)
{
    const int arrowX = Width() - dropDownWidth_ + (dropDownWidth_ + 5) / 2;
    int x = arrowX - 6, y = Height() / 2;
    if ((arrowPressed_ && droppedDown_) || (state_ == bsDown && !arrowPressed_)) {
        x = arrowX - 5;
        y = Height() / 2 + 1;
    }
    const POINT triangle[3] = {{x, y}, {x + 6, y}, {x + 3, y + 3}};
    const bool disabled = state_ == bsDisabled;
    const COLORREF colour = ColorToRGB(disabled ? clBtnShadow : dropDownArrowColor_);
    UniqueBrush brush(CreateSolidBrush(colour));
    UniquePen pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard p(dc, disabled ? GetStockObject(NULL_PEN) : pen.get()), b(dc, brush.get());
    Polygon(dc, triangle, 3);
}

void TColorPickerButton::Paint(HDC target)
{
    if (!Enabled()) {
        state_ = bsDisabled;
        dragging_ = false;
    } else if (state_ == bsDisabled) {
        state_ = (down_ && groupIndex_ != 0) ? bsExclusive : bsUp;
    }
    const RECT client = ClientRect();
    OffscreenBitmap buffer(target, client.right, client.bottom);
    HDC dc = buffer.dc();
    // A window cannot see through to its parent; "transparent" shows the parent's colour.
    const TColor background = transparent_ && Parent() ? Parent()->Color() : Color();
    FillSolid(dc, client, ColorToRGB(background));

    RECT r = client;
    PaintFrame(dc, r);
    const bool pressed = state_ == bsDown || state_ == bsExclusive;
    const POINT offset = pressed && !arrowPressed_ ? POINT{1, 1} : POINT{0, 0};
    if (state_ == bsExclusive && !(flat_ && mouseInControl_))
        FillChecker(dc, r);

    SelectGuard font(dc, Font().Handle());
    const std::wstring caption = Caption();
    TButtonLayoutInput in;
    in.Face = r;
    in.Offset = offset;
    in.Glyph = glyph_.ImageSize();
    if (!caption.empty()) {
        RECT measure{0, 0, r.right - r.left, 0};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
        in.Text = {std::min(measure.right - measure.left, r.right - r.left), measure.bottom - measure.top};
    }
    in.Layout = layout_;
    in.Margin = margin_;
    in.Spacing = spacing_;
    in.DropDownWidth = dropDownWidth_;
    geometry_ = CalcButtonLayout(in);

    if (!glyph_.Empty())
        glyph_.Draw(dc, geometry_.GlyphPos, state_, transparent_ || state_ == bsExclusive);
    if (!caption.empty()) {
        SetBkMode(dc, TRANSPARENT);
        RECT text = geometry_.TextBounds;
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (state_ == bsDisabled) {
            OffsetRect(&text, 1, 1);
            SetTextColor(dc, ColorToRGB(clBtnHighlight));
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
            OffsetRect(&text, -1, -1);
            SetTextColor(dc, ColorToRGB(clBtnShadow));
        } else {
            SetTextColor(dc, ColorToRGB(Font().Color()));
        }
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    }
    PaintIndicator(dc);
    PaintArrow(dc);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}
