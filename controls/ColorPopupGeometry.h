#pragma once
// The colour grid without its window: the colour table, the layout of cells, comb,
// grey row and intensity bar, the honeycomb itself, hit tests, colour matching and
// the arrow-key moves. The window (TColorPopup) only paints and routes input.

#include "framework/Graphics.h"

#include <windows.h>

#include <string>
#include <vector>

// Cell indexes: 0-39 standard colours, 40-64 system colours, and these.
constexpr int NoCell = -1;
constexpr int CustomCell = -2;
constexpr int DefaultCell = -3;

constexpr int StandardColorCount = 40;
constexpr int SystemColorCount = 25;
constexpr int CellSize = 18;
constexpr int ColumnCount = 8;
constexpr int RowCount = StandardColorCount / ColumnCount + (StandardColorCount % ColumnCount ? 1 : 0);
constexpr int SystemRowCount = SystemColorCount / ColumnCount + (SystemColorCount % ColumnCount ? 1 : 0);
constexpr int CombLevels = 7;

struct TColorEntry {
    const wchar_t* Name;
    TColor Color;
};

// The 40 named colours followed by the 25 system colours.
const TColorEntry& ColorTableEntry(int index);

// v rounded to the nearest integer, halves to even.
int Nearest(double v);

// One hexagon of the comb or the grey row: centre relative to its area, and colour.
struct TCombEntry {
    int x = 0, y = 0;
    COLORREF Colour = 0;
};
using TCombArray = std::vector<TCombEntry>;

// The comb around a centre colour (fractions of white, 0-1); 1 + 3L(L-1) entries.
TCombArray BuildColourComb(double centre, int combRadius, int levels = CombLevels);
// The 17 greys from white to black under the comb.
TCombArray BuildGreyComb(int hexSize);
// The six corners of a hexagon of the given size around (x, y).
void HexagonCorners(int x, int y, int size, POINT corners[6]);

// What the grid shows; a cell exists only when its text is not empty.
struct TPopupOptions {
    int EdgeWidth = 2;
    int Spacing = 8;
    bool HasDefault = false;
    bool HasCustom = false;
    bool ShowSystemColors = false;
    // The larger of the two texts, as measured in the grid's font (0 without texts).
    SIZE TextSize{0, 0};
};

class TPopupLayout {
public:
    TPopupLayout() = default;
    explicit TPopupLayout(const TPopupOptions& options);

    const TPopupOptions& Options() const { return options_; }
    RECT WindowRect{}, DefaultCellRect{}, CustomCellRect{}, PreviewRect{}, CombRect{}, GreyRect{},
        IntensityRect{};
    int CombRadius = 0;
    int HexSize = 0;

    // The window's height with the comb showing.
    int CombHeight() const { return GreyRect.bottom + 2 * options_.EdgeWidth; }
    // Empty for "no cell".
    RECT CellRect(int index) const;
    int CellIndex(int row, int column) const;
    // The cell whose rectangle holds the point.
    int CellAt(int x, int y) const;
    // Where the etched line between the standard and the system colours runs.
    int SystemSeparatorY() const;
    // The comb entry (ColourComb) or grey entry (GreyComb) under a point in window
    // coordinates, or -1.
    int CombEntryAt(const TCombArray& comb, int x, int y) const;
    int GreyEntryAt(const TCombArray& grey, int x, int y) const;
    POINT CombCentre(const TCombEntry& e) const;
    POINT GreyCentre(const TCombEntry& e) const;
    int LastCell() const { return options_.ShowSystemColors ? StandardColorCount + SystemColorCount - 1 : StandardColorCount - 1; }

private:
    TPopupOptions options_;
};

// The cell and hexagon chosen for a colour.
struct TColorChoice {
    int SelectedIndex = NoCell;
    int CombSelection = 0;  // k > 0: colour comb entry k-1; k < 0: grey entry -k-1
};
TColorChoice MatchColor(TColor color, bool showSystemColors, const TCombArray& colourComb,
                        const TCombArray& greyComb);

// Where an arrow key moves from the current cell (NoCell: nothing yet). The key
// is VK_LEFT, VK_UP, VK_RIGHT or VK_DOWN.
int MoveCell(int current, WORD key, const TPopupLayout& layout);

// The accelerator letter of a text ("&Default" -> 'D'), upper case, or 0.
char AcceleratorOf(const std::wstring& text);

// Where the grid opens for a button with these screen bounds: under the button,
// one pixel to its left, kept on the work area of the button's monitor. Past the
// bottom it moves up, and opens above the button when it would cover it; past the
// right edge it moves left; it never starts left of or above the area.
POINT PopupPosition(const RECT& button, SIZE size, const RECT& workArea);
