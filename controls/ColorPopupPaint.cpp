// Painting of the colour grid. Everything is drawn into one off-screen bitmap and
// copied at once, so hovering and dragging over the comb never flicker.

#include "controls/ColorPopup.h"

namespace {

HFONT GuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void FillSolid(HDC dc, const RECT& r, COLORREF colour)
{
    UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.get());
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour)
{
    UniqueBrush brush(CreateSolidBrush(colour));
    FrameRect(dc, &r, brush.get());
}

void Swatch(HDC dc, const RECT& r, COLORREF colour)
{
    UniquePen pen(CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
    UniqueBrush brush(CreateSolidBrush(colour));
    SelectGuard p(dc, pen.get()), b(dc, brush.get());
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void EtchedLine(HDC dc, int left, int right, int y)
{
    RECT r{left, y, right, y + 2};
    DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
}

void Hexagon(HDC dc, POINT centre, int size, COLORREF colour)
{
    POINT corners[6];
    HexagonCorners(centre.x, centre.y, size, corners);
    UniqueBrush brush(CreateSolidBrush(colour));
    SelectGuard p(dc, GetStockObject(NULL_PEN)), b(dc, brush.get());
    Polygon(dc, corners, 6);
}

void CentredText(HDC dc, const std::wstring& text, RECT r)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(clBtnText));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

} // namespace

void TColorPopup::Paint(HDC target)
{
    const RECT client = ClientRect();
    OffscreenBitmap buffer(target, client.right, client.bottom);
    HDC dc = buffer.dc();
    FillSolid(dc, client, ColorToRGB(clBtnFace));
    SelectGuard font(dc, GuiFont());

    if (!defaultText_.empty())
        PaintCell(dc, DefaultCell);
    for (int i = 0; i < StandardColorCount; ++i)
        PaintCell(dc, i);
    if (showSystemColors_) {
        const int e = edgeWidth_;
        EtchedLine(dc, e + spacing_, client.right - e - spacing_, layout_.SystemSeparatorY());
        for (int i = StandardColorCount; i < StandardColorCount + SystemColorCount; ++i)
            PaintCell(dc, i);
    }
    if (!customText_.empty())
        PaintCell(dc, CustomCell);
    if (selectedIndex_ == CustomCell)
        PaintComb(dc);

    RECT edge = client;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

void TColorPopup::PaintCellFrame(HDC dc, int index, RECT r)
{
    const bool chosen = index == selectedIndex_, hovered = index == hoverIndex_;
    FillSolid(dc, r, ColorToRGB(chosen && !hovered ? clBtnHighlight : clBtnFace));
    if (chosen || (hovered && leftDown_))
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    else if (hovered)
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
}

void TColorPopup::PaintCell(HDC dc, int index)
{
    RECT r = layout_.CellRect(index);
    const int e = edgeWidth_;
    if (index >= 0) {
        PaintCellFrame(dc, index, r);
        InflateRect(&r, -(e + 1), -(e + 1));
        Swatch(dc, r, ColorToRGB(ColorTableEntry(index).Color));
        return;
    }
    FillSolid(dc, r, ColorToRGB(clBtnFace));
    if (index == DefaultCell) {
        InflateRect(&r, -1, -1);
        PaintCellFrame(dc, index, r);
        RECT inner = r;
        InflateRect(&inner, -(e + 1), -(e + 1));
        FrameSolid(dc, inner, ColorToRGB(clBtnShadow));
        CentredText(dc, defaultText_, r);
        return;
    }
    EtchedLine(dc, r.left, r.right, r.top - 2 * e);
    InflateRect(&r, -1, 0);
    PaintCellFrame(dc, index, r);
    CentredText(dc, customText_, r);
    if (combSelection_ != 0)
        Swatch(dc, layout_.PreviewRect, CombSelectionColour());
    else
        FrameSolid(dc, layout_.PreviewRect, ColorToRGB(clBtnShadow));
}

POINT TColorPopup::HexCentre(int selection) const
{
    if (selection > 0)
        return layout_.CombCentre(colourComb_[static_cast<size_t>(selection - 1)]);
    return layout_.GreyCentre(greyComb_[static_cast<size_t>(-selection - 1)]);
}

int TColorPopup::HexSizeOf(int selection) const
{
    const int h = layout_.HexSize;
    if (selection > 0)
        return h;
    const int entry = -selection - 1;
    return (entry == 0 || entry == static_cast<int>(greyComb_.size()) - 1) ? 2 * h : h;
}

void TColorPopup::PaintComb(HDC dc)
{
    ColourComb();
    GreyComb();
    for (const TCombEntry& entry : colourComb_)
        Hexagon(dc, layout_.CombCentre(entry), layout_.HexSize, entry.Colour);
    for (size_t i = 0; i < greyComb_.size(); ++i)
        Hexagon(dc, layout_.GreyCentre(greyComb_[i]), HexSizeOf(-static_cast<int>(i + 1)), greyComb_[i].Colour);

    if (combSelection_ != 0) {
        POINT corners[6];
        const POINT c = HexCentre(combSelection_);
        HexagonCorners(c.x, c.y, HexSizeOf(combSelection_), corners);
        UniquePen pen(CreatePen(PS_SOLID, 2, RGB(255, 255, 255)));
        SelectGuard p(dc, pen.get()), b(dc, GetStockObject(NULL_BRUSH));
        const int oldRop = SetROP2(dc, R2_XORPEN);
        Polygon(dc, corners, 6);
        SetROP2(dc, oldRop);
    }
    PaintIntensityBar(dc);
}

void TColorPopup::PaintIntensityBar(HDC dc)
{
    const RECT& bar = layout_.IntensityRect;
    const int n = bar.bottom - bar.top - 1;
    for (int i = 0; i <= n; ++i) {
        const int level = Nearest(static_cast<double>(n - i) * 255 / n);
        UniquePen pen(CreatePen(PS_SOLID, 1, RGB(level, level, level)));
        SelectGuard p(dc, pen.get());
        MoveToEx(dc, bar.left, bar.top + i, nullptr);
        LineTo(dc, bar.left + 10, bar.top + i);
    }
    const int x = bar.left + 11, y = bar.top + Nearest((1 - intensity_) * n);
    const POINT triangle[3] = {{x, y}, {x + 5, y - 3}, {x + 5, y + 3}};
    SelectGuard p(dc, GetStockObject(NULL_PEN)), b(dc, GetStockObject(BLACK_BRUSH));
    Polygon(dc, triangle, 3);
}
