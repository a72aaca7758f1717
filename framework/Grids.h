#pragma once
// A grid of text cells with fixed header rows and columns, a vertical scroll bar
// and a cell editor that sits on the current cell.

#include "framework/StdCtrls.h"

#include <functional>
#include <string>
#include <vector>

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0, goFixedHorzLine = 1u << 1, goVertLine = 1u << 2, goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4, goEditing = 1u << 5, goTabs = 1u << 6, goAlwaysShowEditor = 1u << 7
};
using TGridOptions = unsigned;

struct TGridCoord {
    int X = -1, Y = -1;
};

// Cells from Left, Top to Right, Bottom, both ends included.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TStringGrid;

// The grid's cell editor: a borderless edit box on the current cell. The keys
// that move between cells go to the grid.
class TInplaceEdit : public TEdit {
public:
    TInplaceEdit(TComponent* owner, TStringGrid* grid);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DoKeyDown(WORD& key, TShiftState shift) override;

private:
    TStringGrid* grid_;
};

class TStringGrid : public TCustomControl {
public:
    explicit TStringGrid(TComponent* owner);

    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }

    int DefaultColWidth() const { return defaultColWidth_; }
    // Every column gets this width.
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const { return rowHeight_; }
    void SetDefaultRowHeight(int height);
    int ColWidths(int col) const { return colWidths_[static_cast<size_t>(col)]; }
    void SetColWidths(int col, int width);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    int GridLineWidth() const { return lineWidth_; }
    void SetGridLineWidth(int width);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);

    const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& text);

    // The current cell, where the editor is.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int col) { MoveCurrent(col, row_, false); }
    void SetRow(int row) { MoveCurrent(col_, row, false); }
    TGridRect Selection() const;

    // The first row shown below the fixed rows.
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    // Rows below the fixed ones that fit wholly.
    int VisibleRowCount() const;
    // In client pixels; empty when the cell is out of view.
    RECT CellRect(int col, int row) const;
    // The cell under a client point; -1, -1 outside the cells.
    TGridCoord MouseCoord(int x, int y) const;

    TInplaceEdit* InplaceEditor() const { return editor_; }
    bool EditorShown() const;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Resize() override;
    void DoKeyDown(WORD& key, TShiftState shift) override;

private:
    friend class TInplaceEdit;
    // True when the key moved the current cell (or tried to).
    bool NavigateKey(WORD key, TShiftState shift, bool fromEditor);
    void MoveCurrent(int col, int row, bool extend);
    void ScrollBy(int rows);
    void UpdateScrollBar();
    void UpdateEditor();
    void EditorChanged();
    void Changed();
    int MaxTopRow() const;
    int ColumnLeft(int col) const;
    int FixedHeight() const;
    void DrawCell(HDC dc, int col, int row, const RECT& r);

    int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
    int defaultColWidth_ = 64, rowHeight_ = 24, lineWidth_ = 1;
    std::vector<int> colWidths_;
    std::vector<std::string> cells_;  // row by row
    TColor fixedColor_ = clBtnFace;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    int col_ = 1, row_ = 1, anchorCol_ = 1, anchorRow_ = 1, topRow_ = 1;
    bool updatingEditor_ = false;
    TInplaceEdit* editor_;
};
