#include "framework/Grids.h"

namespace {

void Fill(HDC dc, const RECT& r, TColor color)
{
    UniqueBrush brush(CreateSolidBrush(ColorToRGB(color)));
    FillRect(dc, &r, brush.get());
}

} // namespace

void TStringGrid::DrawCell(HDC dc, int col, int row, const RECT& r)
{
    const bool fixed = col < fixedCols_ || row < fixedRows_;
    const TGridRect sel = Selection();
    const bool current = col == col_ && row == row_;
    const bool selected = !fixed && col >= sel.Left && col <= sel.Right && row >= sel.Top && row <= sel.Bottom;
    // The editor lies over the current cell; around it the cell has the editor's colour.
    const bool underEditor = current && EditorShown();
    const bool highlighted = selected && !underEditor && (!current || Focused() || sel.Top != sel.Bottom);
    Fill(dc, r, fixed ? fixedColor_ : highlighted ? clHighlight : Color());
    if (underEditor)
        return;
    const std::string& text = Cells(col, row);
    SetTextColor(dc, ColorToRGB(highlighted ? clHighlightText : Font().Color()));
    ExtTextOutA(dc, r.left + 2, r.top + 2, ETO_CLIPPED, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if (current && Focused())
        DrawFocusRect(dc, &r);
}

void TStringGrid::Paint(HDC dc)
{
    const RECT client = ClientRect();
    OffscreenBitmap buffer(dc, client.right, client.bottom);
    const HDC b = buffer.dc();
    Fill(b, client, Color());
    SelectGuard font(b, Font().Handle());
    SetBkMode(b, TRANSPARENT);

    auto drawRow = [&](int row) {
        for (int col = 0; col < colCount_; ++col) {
            const RECT r = CellRect(col, row);
            if (r.left >= client.right)
                break;
            DrawCell(b, col, row, r);
            if (lineWidth_ <= 0)
                continue;
            // Lines go right of and below every cell, in the gap the cells leave.
            const bool fixed = col < fixedCols_ || row < fixedRows_;
            const bool vert = options_ & (fixed ? goFixedVertLine : goVertLine);
            const bool horz = options_ & (fixed ? goFixedHorzLine : goHorzLine);
            const TColor line = fixed ? clBtnShadow : clSilver;
            if (vert)
                Fill(b, {r.right, r.top, r.right + lineWidth_, r.bottom + lineWidth_}, line);
            if (horz)
                Fill(b, {r.left, r.bottom, r.right + lineWidth_, r.bottom + lineWidth_}, line);
        }
    };
    for (int row = 0; row < fixedRows_; ++row)
        drawRow(row);
    const int visible = VisibleRowCount();
    // One more row than fits wholly: its top part shows below the last whole one.
    for (int row = topRow_; row < rowCount_ && row <= topRow_ + visible; ++row) {
        if (row == topRow_ + visible) {
            const int top = FixedHeight() + visible * (rowHeight_ + lineWidth_);
            if (top >= client.bottom)
                break;
            for (int col = 0; col < colCount_; ++col) {
                const int left = ColumnLeft(col);
                DrawCell(b, col, row, {left, top, left + colWidths_[static_cast<size_t>(col)], top + rowHeight_});
            }
            break;
        }
        drawRow(row);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, b, 0, 0, SRCCOPY);
}
