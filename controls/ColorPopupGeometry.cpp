#include "controls/ColorPopupGeometry.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
const double Cos30 = std::cos(Pi / 6);
const double Sin30 = 0.5;

constexpr TColorEntry ColorTable[StandardColorCount + SystemColorCount] = {
    {L"Black", 0x000000}, {L"Brown", 0x003399}, {L"Olive Green", 0x003333}, {L"Dark Green", 0x003300},
    {L"Dark Teal", 0x663300}, {L"Dark blue", 0x800000}, {L"Indigo", 0x993333}, {L"Gray-80%", 0x333333},
    {L"Dark Red", 0x000080}, {L"Orange", 0x0066FF}, {L"Dark Yellow", 0x008080}, {L"Green", 0x008000},
    {L"Teal", 0x808000}, {L"Blue", 0xFF0000}, {L"Blue-Gray", 0x996666}, {L"Gray-50%", 0x808080},
    {L"Red", 0x0000FF}, {L"Light Orange", 0x0099FF}, {L"Lime", 0x00CC99}, {L"Sea Green", 0x669933},
    {L"Aqua", 0xCCCC33}, {L"Light Blue", 0xFF6633}, {L"Violet", 0x800080}, {L"Grey-40%", 0x969696},
    {L"Pink", 0xFF00FF}, {L"Gold", 0x00CCFF}, {L"Yellow", 0x00FFFF}, {L"Bright Green", 0x00FF00},
    {L"Turquoise", 0xFFFF00}, {L"Sky Blue", 0xFFCC00}, {L"Plum", 0x663399}, {L"Gray-25%", 0xC0C0C0},
    {L"Rose", 0xCC99FF}, {L"Tan", 0x99CCFF}, {L"Light Yellow", 0x99FFFF}, {L"Light Green", 0xCCFFCC},
    {L"Light Turquoise", 0xFFFFCC}, {L"Pale Blue", 0xFFCC99}, {L"Lavender", 0xFF99CC}, {L"White", 0xFFFFFF},
    {L"system color: scroll bar", clSystemColor | 0}, {L"system color: background", clSystemColor | 1},
    {L"system color: active caption", clSystemColor | 2}, {L"system color: inactive caption", clSystemColor | 3},
    {L"system color: menu", clSystemColor | 4}, {L"system color: window", clSystemColor | 5},
    {L"system color: window frame", clSystemColor | 6}, {L"system color: menu text", clSystemColor | 7},
    {L"system color: window text", clSystemColor | 8}, {L"system color: caption text", clSystemColor | 9},
    {L"system color: active border", clSystemColor | 10}, {L"system color: inactive border", clSystemColor | 11},
    {L"system color: application workspace", clSystemColor | 12}, {L"system color: highlight", clSystemColor | 13},
    {L"system color: highlight text", clSystemColor | 14}, {L"system color: button face", clSystemColor | 15},
    {L"system color: button shadow", clSystemColor | 16}, {L"system color: gray text", clSystemColor | 17},
    {L"system color: button text", clSystemColor | 18}, {L"system color: inactive caption text", clSystemColor | 19},
    {L"system color: button highlight", clSystemColor | 20}, {L"system color: 3D dark shadow", clSystemColor | 21},
    {L"system color: 3D light", clSystemColor | 22}, {L"system color: info text", clSystemColor | 23},
    {L"system color: info background", clSystemColor | 24},
};

struct Fractions {
    double r, g, b;
};

// Magenta, red, yellow, green, cyan, blue: the corners of sectors 0 to 5.
constexpr Fractions CornerColours[6] = {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}};

Fractions Mix(const Fractions& a, const Fractions& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

COLORREF ToRGB(const Fractions& f)
{
    auto byte = [](double v) { return static_cast<BYTE>(std::clamp(Nearest(v * 255), 0, 255)); };
    return RGB(byte(f.r), byte(f.g), byte(f.b));
}

bool IsSystemColor(TColor color) { return (static_cast<std::uint32_t>(color) & 0xFF000000u) == 0xFF000000u; }

int FirstWithin(const TCombArray& entries, int x, int y, auto radiusOf, auto centreOf)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        const POINT c = centreOf(entries[i]);
        const int r = radiusOf(i);
        const long long dx = x - c.x, dy = y - c.y;
        if (dx * dx + dy * dy <= static_cast<long long>(r) * r)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

const TColorEntry& ColorTableEntry(int index) { return ColorTable[index]; }

int Nearest(double v) { return static_cast<int>(std::nearbyint(v)); }

TCombArray BuildColourComb(double centre, int combRadius, int levels)
{
    const int L = std::max(1, levels);
    const Fractions centreColour{centre, centre, centre};
    TCombArray comb;
    comb.reserve(static_cast<size_t>(1 + 3 * L * (L - 1)));
    comb.push_back({0, 0, ToRGB(centreColour)});
    if (L == 1)
        return comb;

    const double q = combRadius * Cos30;
    double vx[7], vy[7];
    for (int j = 0; j < 6; ++j) {
        const double theta = (90.0 - 60.0 * j) * Pi / 180.0;
        vx[j] = q * std::sin(theta);
        vy[j] = q * std::cos(theta);
    }
    vx[6] = vx[0];
    vy[6] = vy[0];

    for (int j = 0; j < 6; ++j) {
        for (int n = 1; n < L; ++n) {
            const double ring = static_cast<double>(n) / (L - 1);
            const Fractions from = Mix(centreColour, CornerColours[j], ring);
            const Fractions to = Mix(centreColour, CornerColours[(j + 1) % 6], ring);
            for (int k = 0; k < n; ++k) {
                const double t = static_cast<double>(k) / n;
                const double x = ring * (vx[j] + (vx[j + 1] - vx[j]) * t);
                const double y = ring * (vy[j] + (vy[j + 1] - vy[j]) * t);
                comb.push_back({Nearest(x), Nearest(y), ToRGB(Mix(from, to, t))});
            }
        }
    }
    return comb;
}

TCombArray BuildGreyComb(int hexSize)
{
    const int h = hexSize;
    const int a = Nearest(Cos30 * h / 2);
    const int r = 3 * (h / 4);
    TCombArray grey;
    grey.push_back({h, h, RGB(255, 255, 255)});
    for (int b = 1; b <= 15; ++b) {
        const BYTE level = static_cast<BYTE>(15 * (16 - b));
        const int y = (b % 2) ? r : r + Nearest((Sin30 + 1) * h / 2);
        grey.push_back({3 * h + (b - 1) * a, y, RGB(level, level, level)});
    }
    grey.push_back({Nearest(16.0 * a + 3 * h + h), h, RGB(0, 0, 0)});
    return grey;
}

void HexagonCorners(int x, int y, int size, POINT corners[6])
{
    for (int i = 0; i < 6; ++i) {
        const double theta = (90.0 - 60.0 * i) * Pi / 180.0;
        corners[i] = {Nearest(x + size / 2.0 * std::cos(theta)), Nearest(y + size / 2.0 * std::sin(theta))};
    }
}

TPopupLayout::TPopupLayout(const TPopupOptions& options) : options_(options)
{
    const int e = options.EdgeWidth, s = options.Spacing;
    const bool anyText = options.HasDefault || options.HasCustom;
    const int tw = anyText ? options.TextSize.cx + 2 * e : 0;
    const int th = anyText ? options.TextSize.cy + 4 * e + 2 : 0;

    WindowRect = {0, 0, CellSize * ColumnCount + 2 * e + 2 * s, RowCount * CellSize + 4 * e};
    CombRadius = static_cast<int>(ColumnCount * CellSize * 7 / 16.0);
    HexSize = Nearest(static_cast<double>(CombRadius) / std::max(1, CombLevels - 1) + 0.5);

    if (options.HasDefault) {
        WindowRect.right = std::max<LONG>(WindowRect.right, tw);
        const int w = WindowRect.right - 2 * e;
        DefaultCellRect = {e + s, 2 * e, e + w - s, 2 * e + th};
        WindowRect.bottom += th + 2 * e;
    }
    if (options.ShowSystemColors)
        WindowRect.bottom += SystemRowCount * CellSize + 2 * e;
    if (options.HasCustom) {
        WindowRect.right = std::max<LONG>(WindowRect.right, tw);
        const int w = WindowRect.right - 2 * e;
        const int b = WindowRect.bottom;
        CustomCellRect = {e + s, b, e + w - s, b + th};
        PreviewRect = {e + 1, e + 1, CellSize - e - 1, CellSize - e - 1};
        OffsetRect(&PreviewRect, CustomCellRect.right - CellSize - e,
                   CustomCellRect.top + (th - PreviewRect.bottom - e - 1) / 2);
        WindowRect.bottom += th + 2 * e;
    }
    const int b = WindowRect.bottom;
    CombRect = {e + s, b, e + s + 2 * CombRadius, b + 2 * CombRadius};
    GreyRect = {CombRect.left, CombRect.bottom - 4, Nearest(Cos30 * 17 * HexSize / 2) + 6 * HexSize,
                CombRect.bottom + 2 * HexSize};
    IntensityRect = {CombRect.right, CombRect.top + HexSize, CombRect.right + 20, CombRect.bottom - HexSize};
}

RECT TPopupLayout::CellRect(int index) const
{
    if (index == CustomCell)
        return options_.HasCustom ? CustomCellRect : RECT{};
    if (index == DefaultCell)
        return options_.HasDefault ? DefaultCellRect : RECT{};
    if (index < 0 || index > LastCell())
        return {};
    const int e = options_.EdgeWidth;
    const int row = index / ColumnCount, column = index % ColumnCount;
    const int left = column * CellSize + e + options_.Spacing;
    int top = row * CellSize + 2 * e;
    if (options_.HasDefault)
        top += DefaultCellRect.bottom - 2 * e;
    if (index >= StandardColorCount)
        top += 3 * e;
    return {left, top, left + CellSize, top + CellSize};
}

int TPopupLayout::CellIndex(int row, int column) const
{
    if (row == CustomCell || column == CustomCell)
        return options_.HasCustom ? CustomCell : NoCell;
    if (row == DefaultCell || column == DefaultCell)
        return options_.HasDefault ? DefaultCell : NoCell;
    if (column < 0 || column >= ColumnCount || row < 0)
        return NoCell;
    if (row < RowCount) {
        const int i = row * ColumnCount + column;
        return i < StandardColorCount ? i : NoCell;
    }
    if (options_.ShowSystemColors && row < RowCount + SystemRowCount) {
        const int offset = (row - RowCount) * ColumnCount + column;
        if (offset < SystemColorCount)
            return StandardColorCount + offset;
    }
    return NoCell;
}

// The hit test follows CellRect exactly, so the frame that lights up is always the
// one under the pointer, even on the two-pixel borders between cells.
int TPopupLayout::CellAt(int x, int y) const
{
    const POINT p{x, y};
    if (options_.HasCustom && PtInRect(&CustomCellRect, p))
        return CustomCell;
    if (options_.HasDefault && PtInRect(&DefaultCellRect, p))
        return DefaultCell;
    const RECT first = CellRect(0);
    int dx = x - first.left, dy = y - first.top;
    if (dx < 0 || dy < 0)
        return NoCell;
    if (options_.ShowSystemColors && dy / CellSize >= RowCount) {
        dy -= 3 * options_.EdgeWidth;
        if (dy / CellSize < RowCount)
            return NoCell;  // the gap above the system colours
    }
    return CellIndex(dy / CellSize, dx / CellSize);
}

int TPopupLayout::SystemSeparatorY() const
{
    // Centred in the gap between the last standard row and the first system row.
    const int lastStandardBottom = CellRect(StandardColorCount - 1).bottom;
    return lastStandardBottom + (3 * options_.EdgeWidth - 2) / 2;
}

POINT TPopupLayout::CombCentre(const TCombEntry& e) const
{
    return {CombRect.left + CombRadius + e.x, CombRect.top + CombRadius + e.y};
}

POINT TPopupLayout::GreyCentre(const TCombEntry& e) const { return {GreyRect.left + e.x, GreyRect.top + e.y}; }

int TPopupLayout::CombEntryAt(const TCombArray& comb, int x, int y) const
{
    return FirstWithin(comb, x, y, [this](size_t) { return HexSize / 2; },
                       [this](const TCombEntry& e) { return CombCentre(e); });
}

int TPopupLayout::GreyEntryAt(const TCombArray& grey, int x, int y) const
{
    const size_t last = grey.empty() ? 0 : grey.size() - 1;
    return FirstWithin(grey, x, y, [this, last](size_t i) { return (i == 0 || i == last) ? HexSize : HexSize / 2; },
                       [this](const TCombEntry& e) { return GreyCentre(e); });
}

TColorChoice MatchColor(TColor color, bool showSystemColors, const TCombArray& colourComb, const TCombArray& greyComb)
{
    if (color == clNone)
        return {NoCell, 0};
    if (color == clDefault)
        return {DefaultCell, 0};
    if (showSystemColors && IsSystemColor(color)) {
        for (int i = 0; i < SystemColorCount; ++i)
            if (ColorTable[StandardColorCount + i].Color == color)
                return {StandardColorCount + i, 0};
    }
    const COLORREF rgb = ColorToRGB(color);
    for (int i = 0; i < StandardColorCount; ++i)
        if (ColorToRGB(ColorTable[i].Color) == rgb)
            return {i, 0};
    if (showSystemColors && !IsSystemColor(color)) {
        for (int i = 0; i < SystemColorCount; ++i)
            if (ColorToRGB(ColorTable[StandardColorCount + i].Color) == rgb)
                return {StandardColorCount + i, 0};
    }
    for (size_t i = 0; i < greyComb.size(); ++i)
        if (greyComb[i].Colour == rgb)
            return {CustomCell, -static_cast<int>(i + 1)};
    for (size_t i = 0; i < colourComb.size(); ++i)
        if (colourComb[i].Colour == rgb)
            return {CustomCell, static_cast<int>(i + 1)};
    return {NoCell, 0};
}

int MoveCell(int current, WORD key, const TPopupLayout& layout)
{
    const bool hasDefault = layout.Options().HasDefault, hasCustom = layout.Options().HasCustom;
    const int last = layout.LastCell();
    // Before the first cell: the default cell, else the custom cell, else the last one.
    const int beforeFirst = hasDefault ? DefaultCell : hasCustom ? CustomCell : last;
    const int afterLast = hasCustom ? CustomCell : hasDefault ? DefaultCell : 0;
    if (current == NoCell)
        return hasDefault ? DefaultCell : 0;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        if (current == DefaultCell)
            return hasCustom ? CustomCell : last;
        if (current == CustomCell)
            return last;
        if (key == VK_UP)
            return current >= ColumnCount ? current - ColumnCount : beforeFirst;
        return current > 0 ? current - 1 : beforeFirst;
    case VK_RIGHT:
        if (current == DefaultCell)
            return 0;
        if (current == CustomCell)
            return hasDefault ? DefaultCell : 0;
        return current + 1 <= last ? current + 1 : afterLast;
    case VK_DOWN:
        if (current == DefaultCell)
            return 0;
        if (current == CustomCell)
            return hasDefault ? DefaultCell : 0;
        return current + ColumnCount <= last ? current + ColumnCount : afterLast;
    default:
        return current;
    }
}

char AcceleratorOf(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return text[i + 1] < 0x80 ? static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1]))) : 0;
        ++i;  // "&&" is a plain ampersand
    }
    return 0;
}

POINT PopupPosition(const RECT& button, SIZE size, const RECT& workArea)
{
    POINT p{button.left - 1, button.bottom};
    if (p.y + size.cy > workArea.bottom) {
        p.y = workArea.bottom - size.cy;
        if (p.y < button.top)
            p.y = button.top - size.cy;
    }
    if (p.x + size.cx > workArea.right)
        p.x = workArea.right - size.cx;
    p.x = std::max(workArea.left, p.x);
    // Too tall for the room on either side: its top, where the cells start, stays in sight.
    p.y = std::max(workArea.top, p.y);
    return p;
}
