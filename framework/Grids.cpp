#include "framework/Grids.h"

#include "framework/ScopedValue.h"

#include <algorithm>

namespace {
// What the grid's addresses and texts may hold: the settings file reads no more back.
constexpr int kEditorLimit = 2047;
const std::string kNoText;
} // namespace

TInplaceEdit::TInplaceEdit(TComponent* owner, TStringGrid* grid) : TEdit(owner), grid_(grid)
{
    TabStop = false;
    SetVisible(false);
}

void TInplaceEdit::CreateParams(TCreateParams& params)
{
    TEdit::CreateParams(params);
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TInplaceEdit::CreateWnd()
{
    TEdit::CreateWnd();
    SendMessageA(Handle(), EM_SETLIMITTEXT, kEditorLimit, 0);
    SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
}

void TInplaceEdit::DoKeyDown(WORD& key, TShiftState shift)
{
    TEdit::DoKeyDown(key, shift);
    if (key && grid_->NavigateKey(key, shift, true))
        key = 0;
}

TStringGrid::TStringGrid(TComponent* owner) : TCustomControl(owner), colWidths_(5, 64), cells_(25)
{
    SetBounds(0, 0, 320, 120);
    SetColor(clWindow);
    editor_ = Create<TInplaceEdit>(this);
    editor_->SetParent(this);
    editor_->OnChange = [this] { EditorChanged(); };
}

void TStringGrid::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.WinClassName = "TStringGrid";
    params.Style |= WS_VSCROLL | WS_TABSTOP;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TStringGrid::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TStringGrid::SetColCount(int count)
{
    count = std::max(count, fixedCols_ + 1);
    std::vector<std::string> cells(static_cast<size_t>(count) * rowCount_);
    for (int r = 0; r < rowCount_; ++r)
        for (int c = 0; c < std::min(count, colCount_); ++c)
            cells[static_cast<size_t>(r) * count + c] = std::move(cells_[static_cast<size_t>(r) * colCount_ + c]);
    cells_ = std::move(cells);
    colWidths_.resize(static_cast<size_t>(count), defaultColWidth_);
    colCount_ = count;
    col_ = std::min(col_, count - 1);
    anchorCol_ = std::min(anchorCol_, count - 1);
    Changed();
}

void TStringGrid::SetRowCount(int count)
{
    count = std::max(count, fixedRows_ + 1);
    // Rows are stored one after the other, so the kept ones stay where they are.
    cells_.resize(static_cast<size_t>(count) * colCount_);
    rowCount_ = count;
    row_ = std::min(row_, count - 1);
    anchorRow_ = std::min(anchorRow_, count - 1);
    topRow_ = std::min(topRow_, MaxTopRow());
    Changed();
}

void TStringGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = width;
    std::fill(colWidths_.begin(), colWidths_.end(), width);
    Changed();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    rowHeight_ = std::max(1, height);
    topRow_ = std::min(topRow_, MaxTopRow());
    Changed();
}

void TStringGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= colCount_)
        return;
    colWidths_[static_cast<size_t>(col)] = std::max(0, width);
    Changed();
}

void TStringGrid::SetFixedColor(TColor color)
{
    fixedColor_ = color;
    Invalidate();
}

void TStringGrid::SetGridLineWidth(int width)
{
    lineWidth_ = std::max(0, width);
    topRow_ = std::min(topRow_, MaxTopRow());
    Changed();
}

void TStringGrid::SetOptions(TGridOptions options)
{
    options_ = options;
    Changed();
}

const std::string& TStringGrid::Cells(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return kNoText;
    return cells_[static_cast<size_t>(row) * colCount_ + col];
}

void TStringGrid::SetCells(int col, int row, const std::string& text)
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return;
    cells_[static_cast<size_t>(row) * colCount_ + col] = text;
    if (col == col_ && row == row_)
        UpdateEditor();
    Invalidate();
}

TGridRect TStringGrid::Selection() const
{
    return {std::min(col_, anchorCol_), std::min(row_, anchorRow_), std::max(col_, anchorCol_),
            std::max(row_, anchorRow_)};
}

int TStringGrid::FixedHeight() const { return fixedRows_ * (rowHeight_ + lineWidth_); }

int TStringGrid::VisibleRowCount() const
{
    const int rows = (ClientHeight() - FixedHeight()) / (rowHeight_ + lineWidth_);
    return std::clamp(rows, 0, rowCount_ - fixedRows_);
}

int TStringGrid::MaxTopRow() const
{
    return std::max(fixedRows_, rowCount_ - std::max(1, VisibleRowCount()));
}

void TStringGrid::SetTopRow(int row)
{
    row = std::clamp(row, fixedRows_, MaxTopRow());
    if (row == topRow_)
        return;
    topRow_ = row;
    UpdateScrollBar();
    UpdateEditor();
    Invalidate();
}

void TStringGrid::ScrollBy(int rows) { SetTopRow(topRow_ + rows); }

int TStringGrid::ColumnLeft(int col) const
{
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += colWidths_[static_cast<size_t>(c)] + lineWidth_;
    return x;
}

RECT TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
        return {0, 0, 0, 0};
    int top;
    if (row < fixedRows_)
        top = row * (rowHeight_ + lineWidth_);
    else if (row >= topRow_ && row < topRow_ + VisibleRowCount())
        top = FixedHeight() + (row - topRow_) * (rowHeight_ + lineWidth_);
    else
        return {0, 0, 0, 0};
    const int left = ColumnLeft(col);
    return {left, top, left + colWidths_[static_cast<size_t>(col)], top + rowHeight_};
}

TGridCoord TStringGrid::MouseCoord(int x, int y) const
{
    if (x < 0 || y < 0)
        return {};
    TGridCoord coord;
    for (int c = 0, left = 0; c < colCount_; ++c) {
        left += colWidths_[static_cast<size_t>(c)] + lineWidth_;
        if (x < left) {
            coord.X = c;
            break;
        }
    }
    const int step = rowHeight_ + lineWidth_;
    if (y < FixedHeight())
        coord.Y = y / step;
    else if (const int row = topRow_ + (y - FixedHeight()) / step; row < rowCount_)
        coord.Y = row;
    if (coord.X < 0 || coord.Y < 0)
        return {};
    return coord;
}

void TStringGrid::MoveCurrent(int col, int row, bool extend)
{
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    col_ = col;
    row_ = row;
    if (!extend || !(options_ & goRangeSelect)) {
        anchorCol_ = col;
        anchorRow_ = row;
    }
    // Bring the row wholly into view.
    if (row_ < topRow_)
        topRow_ = row_;
    else if (const int visible = std::max(1, VisibleRowCount()); row_ >= topRow_ + visible)
        topRow_ = row_ - visible + 1;
    topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
    UpdateScrollBar();
    UpdateEditor();
    Invalidate();
}

bool TStringGrid::NavigateKey(WORD key, TShiftState shift, bool fromEditor)
{
    const bool extend = (shift & ssShift) != 0;
    const int page = std::max(1, VisibleRowCount());
    switch (key) {
    case VK_UP: MoveCurrent(col_, row_ - 1, extend); return true;
    case VK_DOWN: MoveCurrent(col_, row_ + 1, extend); return true;
    case VK_RETURN: MoveCurrent(col_, row_ + 1, false); return true;
    case VK_PRIOR: MoveCurrent(col_, row_ - page, extend); return true;
    case VK_NEXT: MoveCurrent(col_, row_ + page, extend); return true;
    case VK_HOME:
    case VK_END:
        // In the editor Home and End move the caret; with Ctrl they go to the ends.
        if (fromEditor && !(shift & ssCtrl))
            return false;
        MoveCurrent(col_, key == VK_HOME ? fixedRows_ : rowCount_ - 1, extend);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
        if (fromEditor)
            return false;
        MoveCurrent(col_ + (key == VK_LEFT ? -1 : 1), row_, extend);
        return true;
    default:
        return false;
    }
}

void TStringGrid::DoKeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::DoKeyDown(key, shift);
    if (key && NavigateKey(key, shift, false))
        key = 0;
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != TMouseButton::mbLeft)
        return;
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.X >= fixedCols_ && cell.Y >= fixedRows_)
        MoveCurrent(cell.X, cell.Y, (shift & ssShift) != 0);
    SetFocus();
}

void TStringGrid::MouseMove(TShiftState shift, int x, int y)
{
    // Dragging over the cells stretches the selection.
    if (!(shift & ssLeft) || !(options_ & goRangeSelect))
        return;
    const TGridCoord cell = MouseCoord(x, y);
    if (cell.X >= fixedCols_ && cell.Y >= fixedRows_ && (cell.X != col_ || cell.Y != row_))
        MoveCurrent(cell.X, cell.Y, true);
}

void TStringGrid::Resize()
{
    topRow_ = std::clamp(topRow_, fixedRows_, MaxTopRow());
    UpdateScrollBar();
    UpdateEditor();
    TCustomControl::Resize();
}

void TStringGrid::Changed()
{
    UpdateScrollBar();
    UpdateEditor();
    Invalidate();
}

void TStringGrid::UpdateScrollBar()
{
    if (!HandleAllocated())
        return;
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, rowCount_ - fixedRows_ - 1,
                  static_cast<UINT>(std::max(1, VisibleRowCount())), topRow_ - fixedRows_, 0};
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

bool TStringGrid::EditorShown() const
{
    return editor_->HandleAllocated() && IsWindowVisible(editor_->Handle());
}

void TStringGrid::UpdateEditor()
{
    if (!HandleAllocated())
        return;
    const bool wanted = (options_ & goEditing) && (options_ & goAlwaysShowEditor);
    const RECT r = CellRect(col_, row_);
    if (!wanted || r.right <= r.left) {
        const bool hadFocus = editor_->Focused();
        editor_->SetVisible(false);
        if (hadFocus)
            ::SetFocus(Handle());
        return;
    }
    // Text starts where the cells draw theirs.
    editor_->SetBounds(r.left + 1, r.top + 2, r.right - r.left - 1, r.bottom - r.top - 2);
    const std::string& text = Cells(col_, row_);
    if (editor_->Text() != text) {
        ScopedValue<bool> updating(updatingEditor_, true);
        editor_->SetText(text);
        editor_->SelectAll();
    }
    const bool hadFocus = Focused();
    editor_->SetVisible(true);
    if (hadFocus)
        editor_->SetFocus();
}

void TStringGrid::EditorChanged()
{
    if (updatingEditor_)
        return;
    cells_[static_cast<size_t>(row_) * colCount_ + col_] = editor_->Text();
}

LRESULT TStringGrid::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;  // Paint covers everything
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | ((options_ & goTabs) ? DLGC_WANTTAB : 0);
    case WM_SETFOCUS:
        if (EditorShown()) {
            editor_->SetFocus();
            return 0;
        }
        Invalidate();
        break;
    case WM_KILLFOCUS:
        Invalidate();
        break;
    case WM_VSCROLL: {
        const int page = std::max(1, VisibleRowCount());
        switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollBy(-1); break;
        case SB_LINEDOWN: ScrollBy(1); break;
        case SB_PAGEUP: ScrollBy(-page); break;
        case SB_PAGEDOWN: ScrollBy(page); break;
        case SB_TOP: SetTopRow(fixedRows_); break;
        case SB_BOTTOM: SetTopRow(MaxTopRow()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(Handle(), SB_VERT, &si);
            SetTopRow(fixedRows_ + si.nTrackPos);
            break;
        }
        default: break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        ScrollBy(-GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
        return 0;
    default:
        break;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
}
