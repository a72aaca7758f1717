// The colour picker button and its grid as real windows, driven by mouse and key
// messages and checked by what they draw.

#include "controls/ColorPickerButton.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

// A 16 x 16 glyph: a black block on a magenta (see-through) ground.
UniqueBitmap MakeGlyph()
{
    std::vector<COLORREF> px(256, RGB(255, 0, 255));
    for (int y = 2; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            px[static_cast<size_t>(y) * 16 + x] = RGB(0, 0, 0);
    return MakeBitmap(px, 16, 16);
}

// A form holding the memo window's text-colour button.
class PickerTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = Application.CreateForm<TForm>();
        form->SetBorderStyle(TFormBorderStyle::bsNone);
        form->SetBounds(100, 100, 300, 200);
        button = form->Create<TColorPickerButton>();
        button->SetBounds(146, 0, 41, 22);
        button->SetFlat(true);
        button->SetLayout(blGlyphTop);
        button->SetCustomText(L"Custom Text");
        button->SetDefaultText(L"Default Text");
        button->SetPopupSpacing(8);
        button->Hint = L"Text Color";
        glyph = MakeGlyph();
        button->SetGlyph(glyph.get());
        button->SetParent(form);
        form->Show();
        button->OnChange = [this](TColorPickerButton*) { ++changes; };
        button->OnClick = [this](TColorPickerButton*) { ++clicks; };
        button->OnDefaultSelect = [this](TColorPickerButton*) { ++defaults; };
        PumpMessages();
    }
    void TearDown() override
    {
        if (button->DroppedDown())
            button->SetDroppedDown(false);
        Application.DestroyForm(form);
    }

    TColorPopup& popup() { return button->Popup(); }
    void Send(HWND wnd, UINT msg, int x, int y, WPARAM keys = 0)
    {
        SendMessageA(wnd, msg, keys, MAKELPARAM(x, y));
        PumpMessages();
    }
    // Mouse input while the grid is open goes to the capture window, in its coordinates.
    void ToGrid(UINT msg, POINT client, WPARAM keys = 0)
    {
        POINT p = popup().ClientToScreen(client);
        MapWindowPoints(nullptr, button->CaptureWindow(), &p, 1);
        Send(button->CaptureWindow(), msg, p.x, p.y, keys);
    }
    void ClickInGrid(POINT client)
    {
        ToGrid(WM_MOUSEMOVE, client);
        ToGrid(WM_LBUTTONDOWN, client, MK_LBUTTON);
        ToGrid(WM_LBUTTONUP, client);
    }
    static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    void OpenGrid() { Send(button->Handle(), WM_LBUTTONDOWN, 35, 10, MK_LBUTTON); }
    void Key(WORD key, bool alt = false)
    {
        PostMessageA(form->Handle(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? (1 | (1 << 29)) : 1);
        PumpMessages();
    }

    TForm* form = nullptr;
    TColorPickerButton* button = nullptr;
    UniqueBitmap glyph;
    int changes = 0, clicks = 0, defaults = 0;
};

COLORREF Sys(int index) { return GetSysColor(index); }

} // namespace

TEST_F(PickerTest, PlainGridOpensBelowTheButtonAt164By98)
{
    ASSERT_EQ(popup().EdgeWidth(), 2);
    button->SetCustomText(L"");
    button->SetDefaultText(L"");
    OpenGrid();
    ASSERT_TRUE(button->DroppedDown());
    ASSERT_TRUE(IsWindowVisible(popup().Handle()));
    RECT r;
    GetWindowRect(popup().Handle(), &r);
    EXPECT_EQ(r.right - r.left, 164);
    EXPECT_EQ(r.bottom - r.top, 98);
    const POINT below = button->ClientToScreen({-1, 22});
    EXPECT_EQ(r.left, below.x);
    EXPECT_EQ(r.top, below.y);
    EXPECT_EQ(GetCapture(), button->CaptureWindow());

    const WindowImage image(popup().Handle(), true);
    // Cell 0 spans 10-27 x 4-21: a grey-outlined black swatch inside it.
    EXPECT_EQ(image.Pixel(13, 7), RGB(128, 128, 128));
    EXPECT_EQ(image.Pixel(18, 12), RGB(0, 0, 0));
    EXPECT_EQ(image.Pixel(9, 12), Sys(COLOR_BTNFACE));
    // Black is chosen (the button starts black): its cell is highlighted and sunken.
    EXPECT_EQ(image.Pixel(11, 12), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(image.Pixel(10, 12), Sys(COLOR_BTNSHADOW));
    // Orange, cell 9: row 1, column 1.
    EXPECT_EQ(image.Pixel(28 + 9, 22 + 9), RGB(255, 102, 0));
}

TEST_F(PickerTest, OpeningChoosesTheCellOfTheColour)
{
    button->SetSelectionColor(0x0066FF);
    OpenGrid();
    EXPECT_EQ(popup().SelectedIndex(), 9);
    button->SetDroppedDown(false);
    button->SetSelectionColor(clNone);
    OpenGrid();
    EXPECT_EQ(popup().SelectedIndex(), NoCell);
    button->SetDroppedDown(false);
    button->SetSelectionColor(clDefault);
    OpenGrid();
    EXPECT_EQ(popup().SelectedIndex(), DefaultCell);
    const WindowImage image(popup().Handle(), true);
    const RECT d = popup().Layout().DefaultCellRect;
    EXPECT_EQ(image.Pixel(d.left + 3, d.top + 3), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(PickerTest, CombColourShowsTheCombAtOnceAndTheIntensityBarDarkensIt)
{
    const TCombArray comb = BuildColourComb(1.0, 63);
    button->SetSelectionColor(static_cast<TColor>(comb[30].Colour));
    OpenGrid();
    EXPECT_EQ(popup().SelectedIndex(), CustomCell);
    EXPECT_EQ(popup().CombSelection(), 31);
    const TPopupLayout& l = popup().Layout();
    RECT r;
    GetClientRect(popup().Handle(), &r);
    EXPECT_EQ(r.bottom, l.GreyRect.bottom + 4);

    const POINT centre{l.CombRect.left + l.CombRadius, l.CombRect.top + l.CombRadius};
    EXPECT_EQ(WindowImage(popup().Handle(), true).Pixel(centre.x, centre.y), RGB(255, 255, 255));
    const WindowImage before(popup().Handle(), true);
    EXPECT_EQ(before.Pixel(Centre(l.PreviewRect).x, Centre(l.PreviewRect).y), comb[30].Colour);

    // Drag the intensity bar to its middle.
    const RECT& bar = l.IntensityRect;
    const POINT mid{bar.left + 5, bar.top + (bar.bottom - bar.top) / 2};
    ToGrid(WM_LBUTTONDOWN, {bar.left + 5, bar.top}, MK_LBUTTON);
    EXPECT_EQ(popup().DragMode(), 3);
    ToGrid(WM_MOUSEMOVE, mid, MK_LBUTTON);
    EXPECT_DOUBLE_EQ(popup().Intensity(), 0.5);
    TPopupHint hint;
    ASSERT_FALSE(popup().HintAt(mid.x, mid.y, false, hint));  // hints are off
    button->ShowHint = true;
    ASSERT_TRUE(popup().HintAt(mid.x, mid.y, false, hint));
    EXPECT_EQ(hint.Text, L"Intensity: 50%");
    EXPECT_EQ(hint.HideAfterMs, 5000u);
    ToGrid(WM_LBUTTONUP, mid);
    EXPECT_TRUE(button->DroppedDown());  // the grid stays open after the bar
    EXPECT_EQ(popup().DragMode(), 0);
    const WindowImage after(popup().Handle(), true);
    EXPECT_EQ(after.Pixel(centre.x, centre.y), RGB(128, 128, 128));
    // The black triangle points at the middle of the bar.
    EXPECT_EQ(after.Pixel(bar.left + 14, mid.y), RGB(0, 0, 0));

    // A hexagon under the mouse tells its colour.
    ASSERT_TRUE(popup().HintAt(centre.x, centre.y, false, hint));
    EXPECT_EQ(hint.Text, L"red: 128, green: 128, blue: 128");
    ASSERT_TRUE(popup().HintAt(l.CellRect(9).left + 3, l.CellRect(9).top + 3, false, hint));
    EXPECT_EQ(hint.Text, L"Orange");
    ASSERT_TRUE(popup().HintAt(Centre(l.DefaultCellRect).x, Centre(l.DefaultCellRect).y, false, hint));
    EXPECT_EQ(hint.Text, L"Text Color");
    // The hint event speaks first for the default cell; an empty answer leaves the button's Hint.
    int askedFor = 0;
    button->OnHint = [&](TColorPickerButton*, int cell, std::wstring& text) {
        askedFor = cell;
        if (cell == -3)
            text = L"Automatic";
    };
    ASSERT_TRUE(popup().HintAt(Centre(l.DefaultCellRect).x, Centre(l.DefaultCellRect).y, false, hint));
    EXPECT_EQ(hint.Text, L"Automatic");
    EXPECT_EQ(askedFor, -3);
    ASSERT_TRUE(popup().HintAt(Centre(l.CustomCellRect).x, Centre(l.CustomCellRect).y, false, hint));
    EXPECT_EQ(hint.Text, L"Text Color");
    EXPECT_EQ(askedFor, -2);
    button->OnHint = nullptr;

    // Picking the comb's centre now takes grey 128 and closes.
    changes = 0;
    ClickInGrid(centre);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(button->SelectionColor(), static_cast<TColor>(RGB(128, 128, 128)));
    EXPECT_EQ(changes, 1);
}

TEST_F(PickerTest, CustomCellGrowsTheGridToShowTheComb)
{
    OpenGrid();
    const TPopupLayout& l = popup().Layout();
    ClickInGrid(Centre(l.CustomCellRect));
    EXPECT_TRUE(button->DroppedDown());
    EXPECT_EQ(popup().SelectedIndex(), CustomCell);
    RECT r;
    GetClientRect(popup().Handle(), &r);
    EXPECT_EQ(r.bottom, l.GreyRect.bottom + 4);
    EXPECT_EQ(changes, 0);
    // The white end of the grey row.
    const TCombArray grey = BuildGreyComb(l.HexSize);
    const POINT black = l.GreyCentre(grey[16]);
    const WindowImage image(popup().Handle(), true);
    EXPECT_EQ(image.Pixel(black.x, black.y), RGB(0, 0, 0));
    ClickInGrid(black);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(button->SelectionColor(), 0);
    EXPECT_EQ(changes, 0);  // black was already the colour
}

TEST_F(PickerTest, ArrowKeysMoveTheHoverAndEnterTakesIt)
{
    OpenGrid();
    popup().SetHover(7);
    Key(VK_RIGHT);
    EXPECT_EQ(popup().HoverIndex(), 8);
    popup().SetHover(0);
    Key(VK_LEFT);
    EXPECT_EQ(popup().HoverIndex(), DefaultCell);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(popup().HoverIndex(), 8);
    // The hovered cell is drawn raised.
    const RECT c = popup().Layout().CellRect(8);
    EXPECT_EQ(WindowImage(popup().Handle(), true).Pixel(c.left, c.top + 5), Sys(COLOR_BTNHIGHLIGHT));
    Key(VK_RETURN);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(button->SelectionColor(), 0x000080);
    EXPECT_EQ(changes, 1);
}

TEST_F(PickerTest, EnterWithNothingHoveredKeepsTheChosenColour)
{
    button->SetSelectionColor(0x0066FF);
    changes = 0;
    OpenGrid();
    popup().SetHover(NoCell);
    Key(VK_RETURN);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(button->SelectionColor(), 0x0066FF);
    EXPECT_EQ(defaults, 0);
    EXPECT_EQ(changes, 0);
}

TEST_F(PickerTest, EscapeAndAPressOutsideCloseWithoutAChoice)
{
    button->SetSelectionColor(0x0066FF);
    changes = 0;
    OpenGrid();
    popup().SetHover(3);
    Key(VK_ESCAPE);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(popup().Handle()));
    EXPECT_NE(GetCapture(), button->CaptureWindow());

    OpenGrid();
    ToGrid(WM_LBUTTONDOWN, {-50, 300}, MK_LBUTTON);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(button->SelectionColor(), 0x0066FF);
    EXPECT_EQ(changes, 0);

    // A press on the arrow while open lands outside the grid and only closes it.
    OpenGrid();
    POINT arrow = button->ClientToScreen({35, 10});
    MapWindowPoints(nullptr, button->CaptureWindow(), &arrow, 1);
    Send(button->CaptureWindow(), WM_LBUTTONDOWN, arrow.x, arrow.y, MK_LBUTTON);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(popup().Handle()));

    // Losing the application closes it too.
    OpenGrid();
    SendMessageA(popup().Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(button->DroppedDown());
}

TEST_F(PickerTest, AtTheCornerOfTheWorkAreaTheGridOpensAboveAndStaysOnIt)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& area = monitor.rcWork;
    // The button's right end 10 pixels and its bottom 8 pixels inside the corner.
    form->SetBounds(area.right - 10 - 187, area.bottom - 30, 300, 200);
    OpenGrid();
    ASSERT_TRUE(button->DroppedDown());
    RECT grid, face;
    GetWindowRect(popup().Handle(), &grid);
    GetWindowRect(button->Handle(), &face);
    EXPECT_EQ(area.right, grid.right);
    EXPECT_EQ(face.top, grid.bottom) << "above the button";
    RECT common;
    IntersectRect(&common, &grid, &area);
    EXPECT_TRUE(EqualRect(&common, &grid)) << "wholly on the work area";
}

TEST_F(PickerTest, ChoosingFiresChangeOnceAndTheSameColourNothing)
{
    OpenGrid();
    ClickInGrid(Centre(popup().Layout().CellRect(9)));
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(button->SelectionColor(), 0x0066FF);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 0);
    OpenGrid();
    ClickInGrid(Centre(popup().Layout().CellRect(9)));
    EXPECT_EQ(changes, 1);
    // The bar under the glyph shows the colour.
    const WindowImage image(button->Handle(), true);
    EXPECT_EQ(image.Pixel(10, 20), RGB(255, 102, 0));
    EXPECT_EQ(image.Pixel(10, 19), Sys(COLOR_BTNSHADOW));
}

TEST_F(PickerTest, DefaultCellFiresDefaultSelectAndKeepsTheColour)
{
    button->SetSelectionColor(0x0066FF);
    changes = 0;
    OpenGrid();
    ClickInGrid(Centre(popup().Layout().DefaultCellRect));
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(button->SelectionColor(), 0x0066FF);
    EXPECT_EQ(changes, 0);
    // Alt with the accelerator of "&Default Text" does the same from the keyboard.
    button->SetDefaultText(L"&Default Text");
    OpenGrid();
    Key('D', true);
    EXPECT_EQ(defaults, 2);
    EXPECT_FALSE(button->DroppedDown());
}

TEST_F(PickerTest, MainPartClicksAndRefusedDropOpensNothing)
{
    Send(button->Handle(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(button->ButtonState(), bsDown);
    EXPECT_FALSE(button->DroppedDown());
    Send(button->Handle(), WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(button->ButtonState(), bsUp);
    // Released outside: no click.
    Send(button->Handle(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    Send(button->Handle(), WM_LBUTTONUP, 100, 10);
    EXPECT_EQ(clicks, 1);

    int asked = 0, changed = 0;
    button->OnDropChanging = [&](TColorPickerButton*, bool& allowed) { ++asked; allowed = false; };
    button->OnDropChanged = [&](TColorPickerButton*) { ++changed; };
    OpenGrid();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(changed, 0);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_FALSE(IsWindowVisible(popup().Handle()));
    button->OnDropChanging = nullptr;
    OpenGrid();
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(button->ButtonState(), bsDown);
}

TEST_F(PickerTest, MemoButtonDrawsGlyphBarAndArrow)
{
    button->SetSelectionColor(0x0000FF);
    button->Repaint();
    const WindowImage image(button->Handle(), true);
    EXPECT_EQ(button->GlyphPos().x, 5);
    EXPECT_EQ(button->GlyphPos().y, 3);
    const RECT ind = button->IndicatorRect();
    EXPECT_EQ(ind.left, 3);
    EXPECT_EQ(ind.top, 23);
    EXPECT_EQ(ind.right, 21);
    EXPECT_EQ(ind.bottom, 19);
    EXPECT_EQ(image.Pixel(5 + 6, 3 + 5), RGB(0, 0, 0));          // the glyph's block
    EXPECT_EQ(image.Pixel(5 + 1, 3 + 1), Sys(COLOR_BTNFACE));    // its magenta is see-through
    EXPECT_EQ(image.Pixel(12, 20), RGB(255, 0, 0));              // the colour bar
    EXPECT_EQ(image.Pixel(2, 20), Sys(COLOR_BTNFACE));
    EXPECT_EQ(image.Pixel(33, 12), RGB(0, 0, 0));                // the arrow
}

TEST_F(PickerTest, DisabledButtonEmbossesTheGlyphAndGreysTheArrow)
{
    button->SetEnabled(false);
    PumpMessages();
    button->Repaint();
    const WindowImage image(button->Handle(), true);
    EXPECT_EQ(button->ButtonState(), bsDisabled);
    EXPECT_EQ(image.Pixel(33, 12), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(image.Pixel(5 + 6, 3 + 5), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(image.Pixel(5 + 12, 3 + 12), Sys(COLOR_BTNHIGHLIGHT));  // the raised lower-right edge
    Send(button->Handle(), WM_LBUTTONDOWN, 35, 10, MK_LBUTTON);
    EXPECT_FALSE(button->DroppedDown());
    button->SetEnabled(true);
    button->Repaint();
    EXPECT_EQ(button->ButtonState(), bsUp);
    EXPECT_EQ(WindowImage(button->Handle(), true).Pixel(5 + 6, 3 + 5), RGB(0, 0, 0));
}

TEST_F(PickerTest, GroupedButtonsStayDownOneAtATime)
{
    auto* other = form->Create<TColorPickerButton>();
    other->SetBounds(0, 0, 41, 22);
    other->SetParent(form);
    button->SetDown(true);
    EXPECT_FALSE(button->Down());  // no group
    button->SetGroupIndex(1);
    other->SetGroupIndex(1);
    button->SetDown(true);
    EXPECT_EQ(button->ButtonState(), bsExclusive);
    other->SetDown(true);
    EXPECT_TRUE(other->Down());
    EXPECT_FALSE(button->Down());
    other->SetDown(false);
    EXPECT_TRUE(other->Down());  // all up is not allowed
    // A click on a grouped button puts it down.
    Send(button->Handle(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    Send(button->Handle(), WM_LBUTTONUP, 10, 10);
    EXPECT_TRUE(button->Down());
    EXPECT_FALSE(other->Down());
    // The caption's accelerator clicks.
    button->SetCaption(L"&Font");
    EXPECT_FALSE(button->DialogChar('x'));
    EXPECT_TRUE(button->DialogChar('f'));
    EXPECT_EQ(clicks, 2);
}

namespace {

void SaveScreenBmp(const std::string& path, const RECT& r)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    WindowDC screen(nullptr);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    {
        SelectGuard select(dc.get(), bitmap.get());
        BitBlt(dc.get(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
        GdiFlush();
    }
    BITMAPFILEHEADER file{};
    const DWORD size = static_cast<DWORD>(w) * h * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(bmi.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&bmi.bmiHeader), sizeof(bmi.bmiHeader));
    out.write(static_cast<const char*>(bits), size);
}

} // namespace

// Writes pictures of the open grid for the documentation when PINOVA_SHOTS names a folder.
TEST_F(PickerTest, Screenshots)
{
    const char* folder = std::getenv("PINOVA_SHOTS");
    if (!folder)
        GTEST_SKIP() << "PINOVA_SHOTS not set";
    form->SetBounds(100, 100, 420, 420);
    // A letter glyph, as the memo's toolbar has.
    UniqueBitmap letter = MakeBitmap(std::vector<COLORREF>(256, RGB(255, 0, 255)), 16, 16);
    {
        UniqueDC dc(CreateCompatibleDC(nullptr));
        SelectGuard b(dc.get(), letter.get());
        UniqueFont font(CreateFontA(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial"));
        SelectGuard f(dc.get(), font.get());
        SetBkMode(dc.get(), TRANSPARENT);
        RECT r{0, 0, 16, 16};
        DrawTextA(dc.get(), "A", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    button->SetGlyph(letter.get());
    button->SetSelectionColor(0x0066FF);
    OpenGrid();
    ToGrid(WM_MOUSEMOVE, Centre(popup().Layout().CellRect(21)));
    PumpMessages(200);
    RECT grid, btn;
    GetWindowRect(popup().Handle(), &grid);
    GetWindowRect(button->Handle(), &btn);
    RECT shot{btn.left - 16, btn.top, grid.right + 16, grid.bottom + 16};
    SaveScreenBmp(std::string(folder) + "\\colour-grid.bmp", shot);

    const TCombArray comb = BuildColourComb(1.0, 63);
    ClickInGrid(Centre(popup().Layout().CustomCellRect));
    const TPopupLayout& l = popup().Layout();
    ToGrid(WM_LBUTTONDOWN, l.CombCentre(comb[14]), MK_LBUTTON);
    ToGrid(WM_MOUSEMOVE, l.CombCentre(comb[14]), MK_LBUTTON);
    PumpMessages(200);
    GetWindowRect(popup().Handle(), &grid);
    shot = {btn.left - 16, btn.top, grid.right + 16, grid.bottom + 16};
    SaveScreenBmp(std::string(folder) + "\\colour-comb.bmp", shot);
    ToGrid(WM_LBUTTONUP, l.CombCentre(comb[14]));
}
