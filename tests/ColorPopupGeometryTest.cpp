// The colour grid's geometry, comb, matching and key moves, without windows.

#include "controls/ColorPickerButton.h"
#include "controls/ColorPickerGlyph.h"
#include "controls/ColorPopupGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TPopupLayout Plain() { return TPopupLayout(TPopupOptions{}); }

TPopupLayout WithTexts(bool system = false)
{
    TPopupOptions o;
    o.HasDefault = o.HasCustom = true;
    o.ShowSystemColors = system;
    o.TextSize = {70, 13};
    return TPopupLayout(o);
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST(ColorPopupLayout, PlainGridIs164By98WithCellsFromTheEdgePlusSpacing)
{
    const TPopupLayout l = Plain();
    EXPECT_TRUE(SameRect(l.WindowRect, RECT{0, 0, 164, 98}));
    EXPECT_TRUE(SameRect(l.CellRect(0), RECT{10, 4, 28, 22}));
    EXPECT_TRUE(SameRect(l.CellRect(39), RECT{136, 76, 154, 94}));
    EXPECT_EQ(l.CombRadius, 63);
    EXPECT_EQ(l.HexSize, 11);
    // The hit test follows the drawn cells exactly.
    EXPECT_EQ(l.CellAt(10, 4), 0);
    EXPECT_EQ(l.CellAt(27, 21), 0);
    EXPECT_EQ(l.CellAt(28, 4), 1);
    EXPECT_EQ(l.CellAt(9, 4), NoCell);
    EXPECT_EQ(l.CellAt(10, 3), NoCell);
    EXPECT_EQ(l.CellAt(154, 10), NoCell);
    EXPECT_EQ(l.CellAt(136, 93), 39);
    EXPECT_EQ(l.CellAt(136, 94), NoCell);
    EXPECT_EQ(l.CellAt(60, 80), 34);
    // No texts, no special cells.
    EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(l.CellRect(CustomCell))));
    EXPECT_EQ(l.CellIndex(CustomCell, CustomCell), NoCell);
}

TEST(ColorPopupLayout, TextsAddCellsAndTheCombLiesBelow)
{
    const TPopupLayout l = WithTexts();
    const int th = 13 + 8 + 2;
    EXPECT_TRUE(SameRect(l.DefaultCellRect, RECT{10, 4, 154, 4 + th}));
    EXPECT_EQ(l.CellRect(0).top, 4 + th);
    EXPECT_EQ(l.CellAt(12, 6), DefaultCell);
    EXPECT_EQ(l.CellAt(10, 4 + th), 0);
    const int customTop = 98 + th + 4;
    EXPECT_TRUE(SameRect(l.CustomCellRect, RECT{10, customTop, 154, customTop + th}));
    EXPECT_EQ(l.CellAt(150, customTop + 5), CustomCell);
    // The preview square sits at the right of the custom cell, vertically centred.
    EXPECT_EQ(l.PreviewRect.right - l.PreviewRect.left, 12);
    EXPECT_EQ(l.PreviewRect.right, 154 - 18 - 2 + 15);
    EXPECT_EQ(l.WindowRect.bottom, customTop + th + 4);
    EXPECT_TRUE(SameRect(l.CombRect, RECT{10, l.WindowRect.bottom, 136, l.WindowRect.bottom + 126}));
    EXPECT_TRUE(SameRect(l.GreyRect, RECT{10, l.CombRect.bottom - 4, 147, l.CombRect.bottom + 22}));
    EXPECT_TRUE(SameRect(l.IntensityRect, RECT{136, l.CombRect.top + 11, 156, l.CombRect.bottom - 11}));
    EXPECT_EQ(l.CombHeight(), l.GreyRect.bottom + 4);
    // A long text widens the window.
    TPopupOptions wide;
    wide.HasDefault = true;
    wide.TextSize = {300, 13};
    EXPECT_EQ(TPopupLayout(wide).WindowRect.right, 304);
}

TEST(ColorPopupLayout, SystemColoursSitBelowAGapThatHitsNothing)
{
    TPopupOptions o;
    o.ShowSystemColors = true;
    const TPopupLayout l(o);
    EXPECT_EQ(l.WindowRect.bottom, 98 + 72 + 4);
    EXPECT_EQ(l.CellRect(40).top, 94 + 6);
    EXPECT_EQ(l.CellAt(10, 96), NoCell);  // the gap
    EXPECT_EQ(l.CellAt(10, 100), 40);
    EXPECT_EQ(l.CellAt(10 + 18, 100 + 3 * 18), NoCell);  // past the last system colour
    EXPECT_EQ(l.CellAt(10, 100 + 3 * 18), 64);
    // The etched line lies inside the gap, not across the last standard row.
    EXPECT_GE(l.SystemSeparatorY(), l.CellRect(39).bottom);
    EXPECT_LE(l.SystemSeparatorY() + 2, l.CellRect(40).top);
    EXPECT_EQ(l.LastCell(), 64);
}

TEST(ColorComb, HasACentreSixRingsAndCornerColours)
{
    const TCombArray white = BuildColourComb(1.0, 63);
    ASSERT_EQ(white.size(), 127u);
    EXPECT_EQ(white[0].Colour, RGB(255, 255, 255));
    EXPECT_EQ(white[0].x, 0);
    EXPECT_EQ(BuildColourComb(0.0, 63)[0].Colour, RGB(0, 0, 0));
    EXPECT_EQ(BuildColourComb(0.5, 63)[0].Colour, RGB(128, 128, 128));
    // Sector 0 starts on the right; its outer corner is pure magenta, sector 1's red.
    const size_t outer = 1 + (1 + 2 + 3 + 4 + 5);  // ring 6, k = 0 of sector 0
    EXPECT_EQ(white[outer].x, 55);
    EXPECT_EQ(white[outer].y, 0);
    EXPECT_EQ(white[outer].Colour, RGB(255, 0, 255));
    EXPECT_EQ(white[outer + 21].Colour, RGB(255, 0, 0));
    EXPECT_GT(white[outer + 21].y, 40);  // lower right, screen y grows downward
    for (const TCombEntry& e : white)
        EXPECT_LE(std::hypot(e.x, e.y), 56.0);
    EXPECT_EQ(BuildColourComb(1.0, 63, 1).size(), 1u);
}

TEST(ColorComb, GreyRowRunsFromWhiteToBlack)
{
    const TCombArray grey = BuildGreyComb(11);
    ASSERT_EQ(grey.size(), 17u);
    EXPECT_EQ(grey[0].Colour, RGB(255, 255, 255));
    EXPECT_EQ(grey[0].x, 11);
    EXPECT_EQ(grey[0].y, 11);
    EXPECT_EQ(grey[1].Colour, RGB(225, 225, 225));
    EXPECT_EQ(grey[1].x, 33);
    EXPECT_EQ(grey[1].y, 6);
    EXPECT_EQ(grey[2].x, 38);
    EXPECT_EQ(grey[2].y, 14);
    EXPECT_EQ(grey[15].Colour, RGB(15, 15, 15));
    EXPECT_EQ(grey[16].Colour, RGB(0, 0, 0));
    EXPECT_EQ(grey[16].x, 124);

    const TPopupLayout l = WithTexts();
    const TCombArray comb = BuildColourComb(1.0, l.CombRadius);
    const POINT centre = l.CombCentre(comb[0]);
    EXPECT_EQ(l.CombEntryAt(comb, centre.x + 5, centre.y), 0);
    EXPECT_EQ(l.CombEntryAt(comb, l.CombRect.left, l.CombRect.top), -1);
    const POINT black = l.GreyCentre(grey[16]);
    EXPECT_EQ(l.GreyEntryAt(grey, black.x + 10, black.y), 16);  // the big ends hit wider
    const POINT g3 = l.GreyCentre(grey[3]);
    EXPECT_EQ(l.GreyEntryAt(grey, g3.x, g3.y), 3);
}

TEST(ColorMatch, FindsNamedColoursThenTheComb)
{
    const TCombArray comb = BuildColourComb(1.0, 63), grey = BuildGreyComb(11);
    EXPECT_EQ(MatchColor(0x0066FF, false, comb, grey).SelectedIndex, 9);
    EXPECT_STREQ(ColorTableEntry(9).Name, L"Orange");
    EXPECT_EQ(MatchColor(clNone, false, comb, grey).SelectedIndex, NoCell);
    EXPECT_EQ(MatchColor(clDefault, false, comb, grey).SelectedIndex, DefaultCell);
    // White is a named colour before it is the comb's centre or the grey row's end.
    EXPECT_EQ(MatchColor(clWhite, false, comb, grey).SelectedIndex, 39);
    const TColorChoice light = MatchColor(static_cast<TColor>(RGB(225, 225, 225)), false, comb, grey);
    EXPECT_EQ(light.SelectedIndex, CustomCell);
    EXPECT_EQ(light.CombSelection, -2);
    const TColorChoice hex = MatchColor(static_cast<TColor>(comb[40].Colour), false, comb, grey);
    EXPECT_EQ(hex.SelectedIndex, CustomCell);
    EXPECT_EQ(comb[static_cast<size_t>(hex.CombSelection - 1)].Colour, comb[40].Colour);
    EXPECT_EQ(MatchColor(0x123456, false, comb, grey).SelectedIndex, NoCell);
    // System colours: by value when shown, by their current colour otherwise.
    EXPECT_EQ(MatchColor(clBtnFace, true, comb, grey).SelectedIndex, 40 + COLOR_BTNFACE);
}

TEST(ColorKeys, ArrowsWrapThroughTheSpecialCells)
{
    const TPopupLayout both = WithTexts(), plain = Plain();
    EXPECT_EQ(MoveCell(7, VK_RIGHT, both), 8);
    EXPECT_EQ(MoveCell(8, VK_LEFT, both), 7);
    EXPECT_EQ(MoveCell(0, VK_LEFT, both), DefaultCell);
    EXPECT_EQ(MoveCell(3, VK_UP, both), DefaultCell);
    EXPECT_EQ(MoveCell(11, VK_UP, both), 3);
    EXPECT_EQ(MoveCell(DefaultCell, VK_LEFT, both), CustomCell);
    EXPECT_EQ(MoveCell(CustomCell, VK_LEFT, both), 39);
    EXPECT_EQ(MoveCell(39, VK_RIGHT, both), CustomCell);
    EXPECT_EQ(MoveCell(35, VK_DOWN, both), CustomCell);
    EXPECT_EQ(MoveCell(CustomCell, VK_RIGHT, both), DefaultCell);
    EXPECT_EQ(MoveCell(CustomCell, VK_DOWN, both), DefaultCell);
    EXPECT_EQ(MoveCell(DefaultCell, VK_DOWN, both), 0);
    EXPECT_EQ(MoveCell(DefaultCell, VK_RIGHT, both), 0);
    // Without special cells the grid wraps onto itself.
    EXPECT_EQ(MoveCell(0, VK_LEFT, plain), 39);
    EXPECT_EQ(MoveCell(39, VK_RIGHT, plain), 0);
    EXPECT_EQ(MoveCell(36, VK_DOWN, plain), 0);
    EXPECT_EQ(MoveCell(NoCell, VK_DOWN, plain), 0);
    // With system colours the rows run on past 39.
    TPopupOptions o;
    o.ShowSystemColors = true;
    const TPopupLayout system(o);
    EXPECT_EQ(MoveCell(35, VK_DOWN, system), 43);
    EXPECT_EQ(MoveCell(57, VK_DOWN, system), 0);
    EXPECT_EQ(MoveCell(0, VK_LEFT, system), 64);
}

TEST(ColorKeys, AcceleratorIsTheLetterAfterTheAmpersand)
{
    EXPECT_EQ(AcceleratorOf(L"&Default Text"), 'D');
    EXPECT_EQ(AcceleratorOf(L"Cu&stom"), 'S');
    EXPECT_EQ(AcceleratorOf(L"Custom Text"), 0);
    EXPECT_EQ(AcceleratorOf(L"Fish && Chips"), 0);
    EXPECT_EQ(AcceleratorOf(L"trailing &"), 0);
}

TEST(ColorPopupPlace, OpensBelowTheButtonAndStaysOnTheWorkAreaOfItsMonitor)
{
    // A primary monitor with a taskbar at the bottom, one to its left and one above
    // it: the two others lie at negative coordinates.
    const RECT primary{0, 0, 1280, 984}, left{-1920, -120, 0, 960}, above{0, -1080, 1920, 0};
    const SIZE grid{164, 98};
    struct Case {
        const char* what;
        RECT button;
        SIZE size;
        RECT area;
        POINT expected;
    };
    const Case cases[] = {
        {"below the button, one pixel left of it", {100, 100, 141, 122}, grid, primary, {99, 122}},
        {"past the bottom, still below the button's top: moved up", {100, 880, 141, 900}, grid, primary, {99, 886}},
        {"past the bottom, over the button: above it", {100, 950, 141, 972}, grid, primary, {99, 852}},
        {"past the right edge: moved left", {1200, 100, 1241, 122}, grid, primary, {1116, 122}},
        {"left monitor, at its left edge", {-1920, 200, -1879, 222}, grid, left, {-1920, 222}},
        {"left monitor, at its right edge", {-60, 200, -19, 222}, grid, left, {-164, 222}},
        {"left monitor, at its bottom", {-1000, 930, -959, 952}, grid, left, {-1001, 832}},
        {"monitor above, at its bottom", {500, -30, 541, -8}, grid, above, {499, -128}},
        {"too tall for either side: its top stays on the area", {100, 500, 141, 522}, {164, 600}, primary, {99, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const POINT p = PopupPosition(c.button, c.size, c.area);
        EXPECT_EQ(c.expected.x, p.x);
        EXPECT_EQ(c.expected.y, p.y);
    }
}

TEST(ButtonLayout, MemoButtonPutsTheGlyphOnTopAndTheBarBelow)
{
    TButtonLayoutInput in;
    in.Face = {1, 1, 40, 21};
    in.Glyph = {16, 16};
    in.Layout = blGlyphTop;
    const TButtonGeometry g = CalcButtonLayout(in);
    EXPECT_EQ(g.GlyphPos.x, 5);
    EXPECT_EQ(g.GlyphPos.y, 3);
    EXPECT_TRUE(SameRect(g.IndicatorRect, RECT{3, 23, 21, 19}));
}

TEST(ButtonLayout, CaptionBesideTheGlyphWithMarginsAndSpacing)
{
    TButtonLayoutInput in;
    in.Face = {1, 1, 99, 23};
    in.Glyph = {16, 16};
    in.Text = {30, 13};
    in.Offset = {1, 1};
    const TButtonGeometry centred = CalcButtonLayout(in);
    // Width 98 - 15 = 83; glyph + 4 + text = 50; margin (83 - 50 + 1) / 2 = 17.
    EXPECT_EQ(centred.GlyphPos.x, 1 + 17 + 1);
    EXPECT_EQ(centred.GlyphPos.y, 1 + 3 + 1);
    EXPECT_EQ(centred.TextBounds.left, 1 + 17 + 16 + 4 + 1);
    EXPECT_TRUE(SameRect(centred.IndicatorRect, RECT{centred.TextBounds.left, centred.TextBounds.bottom,
                                                    centred.TextBounds.right, 21}));
    in.Margin = 2;
    in.Spacing = -1;
    const TButtonGeometry spread = CalcButtonLayout(in);
    EXPECT_EQ(spread.GlyphPos.x, 1 + 2 + 1);
    EXPECT_EQ(spread.TextBounds.left, 1 + 2 + 16 + (83 - 18 - 30) / 2 + 1);
    in.Layout = blGlyphRight;
    in.RightToLeft = true;  // swaps back to the left
    EXPECT_EQ(CalcButtonLayout(in).GlyphPos.x, spread.GlyphPos.x);
    // No caption and a glyph on the left: the bar fills the space right of it.
    TButtonLayoutInput bare;
    bare.Face = {1, 1, 60, 21};
    bare.Glyph = {16, 16};
    const TButtonGeometry b = CalcButtonLayout(bare);
    EXPECT_EQ(b.IndicatorRect.left, b.GlyphPos.x + 16 + 4);
    EXPECT_EQ(b.IndicatorRect.right, 60 - 17 - 2);
}

TEST(ButtonGlyph, EmbossShowsDarkPixelsTwiceAndDropsTheRest)
{
    const COLORREF key = RGB(255, 0, 255), face = 1, hi = 2, sh = 3;
    const std::vector<COLORREF> in = {RGB(0, 0, 0), key, RGB(255, 255, 255),
                                      key, key, key,
                                      key, key, RGB(200, 0, 0)};
    const std::vector<COLORREF> out = EmbossPixels(in, 3, 3, key, face, hi, sh);
    EXPECT_EQ(out[0], sh);
    EXPECT_EQ(out[4], hi);    // the highlight one pixel right and down
    EXPECT_EQ(out[2], face);  // white stays face
    EXPECT_EQ(out[1], face);
    EXPECT_EQ(out[8], sh);    // at the corner the highlight falls off the image
}

TEST(ButtonGlyph, ListReusesFreedSlotsAndTheCacheDropsUnusedLists)
{
    TGlyphList list(4, 4);
    UniqueBitmap bmp = MakeBitmap(std::vector<COLORREF>(16, RGB(1, 2, 3)), 4, 4);
    EXPECT_EQ(list.AddMasked(bmp.get(), 0), 0);
    EXPECT_EQ(list.AddMasked(bmp.get(), 0), 1);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.AddMasked(bmp.get(), 0), 0);
    EXPECT_EQ(ImageList_GetImageCount(list.Handle()), 2);

    TGlyphCache cache;
    TGlyphList* a = cache.GetList(16, 16);
    EXPECT_EQ(cache.GetList(16, 16), a);
    EXPECT_NE(cache.GetList(8, 8), a);
    a->AddMasked(MakeBitmap(std::vector<COLORREF>(256, 0), 16, 16).get(), 0);
    cache.ReturnList(a);  // still used
    EXPECT_EQ(cache.GetList(16, 16), a);
    a->Delete(0);
    cache.ReturnList(a);
    cache.ReturnList(cache.GetList(8, 8));
    EXPECT_TRUE(cache.Empty());
}

TEST(ButtonGlyph, StripSetsImageCountAndStateImagesShareOneList)
{
    std::vector<COLORREF> strip(32 * 16, RGB(0, 128, 128));
    for (int y = 4; y < 8; ++y)
        for (int x = 4; x < 8; ++x) {
            strip[static_cast<size_t>(y) * 32 + x] = RGB(0, 0, 0);
            strip[static_cast<size_t>(y) * 32 + 16 + x] = RGB(128, 128, 128);
        }
    UniqueBitmap bmp = MakeBitmap(strip, 32, 16);
    TButtonGlyph glyph;
    glyph.SetGlyph(bmp.get());
    EXPECT_EQ(glyph.NumGlyphs(), 2);
    EXPECT_EQ(glyph.ImageSize().cx, 16);
    EXPECT_EQ(glyph.TransparentColor(), RGB(0, 128, 128));
    const int up = glyph.CreateButtonGlyph(bsUp);
    EXPECT_EQ(glyph.CreateButtonGlyph(bsDown), up);  // fewer than three images
    EXPECT_NE(glyph.CreateButtonGlyph(bsDisabled), up);
    ASSERT_NE(glyph.List(), nullptr);
    EXPECT_EQ(glyph.List()->Count(), 2);
    glyph.SetNumGlyphs(9);
    EXPECT_EQ(glyph.NumGlyphs(), 4);
    EXPECT_EQ(glyph.List(), nullptr);  // images discarded
}
