#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/Grids.h"
#include "framework/Labels.h"
#include "framework/SysUtils.h"
#include "tests/ConfigTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The address grid's set-up on a plain form: 20 rows of 20 pixels, 5 whole rows in view.
struct GridOnForm {
    TForm* form;
    TStringGrid* grid;
    GridOnForm() : form(Application.CreateForm<TForm>())
    {
        form->SetBounds(100, 100, 320, 240);
        grid = form->Create<TStringGrid>();
        grid->SetBounds(3, 5, 264, 139);
        grid->SetParent(form);
        grid->SetDefaultRowHeight(20);
        grid->SetFixedColor(0xDCE2E7);
        grid->SetGridLineWidth(0);
        grid->SetOptions(goRangeSelect | goEditing | goAlwaysShowEditor);
        grid->SetRowCount(20);
        grid->SetColCount(2);
        grid->SetColWidths(0, 5);
        grid->SetColWidths(1, 234);
        grid->SetCells(1, 0, "Urls");
        form->Show();
        grid->SetFocus();
        PumpMessages();
    }
    ~GridOnForm() { Application.DestroyForm(form); }
    HWND Editor() const { return grid->InplaceEditor()->Handle(); }
    void Type(const std::string& text) const
    {
        for (char c : text)
            SendMessageA(Editor(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
};

struct Key {
    WORD key;
    std::initializer_list<BYTE> held;
};

TEST(Grid, KeysMoveTheEditorAndKeepItsRowInView)
{
    struct Case {
        const char* name;
        std::vector<Key> keys;
        int row, topRow;
        TGridRect selection;
    };
    const Case cases[] = {
        {"up at the top stays", {{VK_UP, {}}}, 1, 1, {1, 1, 1, 1}},
        {"down five times scrolls one", {{VK_DOWN, {}}, {VK_DOWN, {}}, {VK_DOWN, {}}, {VK_DOWN, {}}, {VK_DOWN, {}}}, 6, 2, {1, 6, 1, 6}},
        {"enter goes down", {{VK_RETURN, {}}}, 2, 1, {1, 2, 1, 2}},
        {"page down", {{VK_NEXT, {}}}, 6, 2, {1, 6, 1, 6}},
        {"ctrl+end, then page up", {{VK_END, {VK_CONTROL}}, {VK_PRIOR, {}}}, 14, 14, {1, 14, 1, 14}},
        {"ctrl+end, ctrl+home", {{VK_END, {VK_CONTROL}}, {VK_HOME, {VK_CONTROL}}}, 1, 1, {1, 1, 1, 1}},
        {"home alone stays in the text", {{VK_DOWN, {}}, {VK_HOME, {}}}, 2, 1, {1, 2, 1, 2}},
        {"shift+down selects rows", {{VK_DOWN, {}}, {VK_DOWN, {VK_SHIFT}}, {VK_DOWN, {VK_SHIFT}}}, 4, 1, {1, 2, 1, 4}},
        {"past the last row", {{VK_END, {VK_CONTROL}}, {VK_DOWN, {}}, {VK_NEXT, {}}}, 19, 15, {1, 19, 1, 19}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GridOnForm g;
        for (const Key& k : c.keys)
            PressKeys(GetFocus(), k.held, k.key);
        EXPECT_EQ(g.Editor(), GetFocus());
        EXPECT_EQ(c.row, g.grid->Row());
        EXPECT_EQ(c.topRow, g.grid->TopRow());
        const TGridRect s = g.grid->Selection();
        EXPECT_EQ(c.selection.Top, s.Top);
        EXPECT_EQ(c.selection.Bottom, s.Bottom);
        EXPECT_EQ(1, s.Left);
        EXPECT_EQ(1, s.Right);
        const RECT cell = g.grid->CellRect(1, c.row);
        EXPECT_EQ(cell.top + 2, g.grid->InplaceEditor()->Top()) << "the editor sits on the current cell";
        EXPECT_TRUE(g.grid->EditorShown());
    }
}

TEST(Grid, TheEditorWritesItsCellAndShowsTheCurrentOne)
{
    GridOnForm g;
    g.Type("http://a/");
    EXPECT_EQ("http://a/", g.grid->Cells(1, 1));
    g.grid->SetCells(1, 3, "third");
    PressKey(g.Editor(), VK_DOWN);
    g.Type("b");
    EXPECT_EQ("b", g.grid->Cells(1, 2));
    PressKey(g.Editor(), VK_DOWN);
    EXPECT_EQ("third", g.grid->InplaceEditor()->Text());
    g.Type("X");
    EXPECT_EQ("X", g.grid->Cells(1, 3)) << "moving there selects the text, so typing replaces it";
    g.grid->SetCells(1, 3, "set from outside");
    EXPECT_EQ("set from outside", g.grid->InplaceEditor()->Text());
    EXPECT_EQ("http://a/", g.grid->Cells(1, 1));

    // No longer than the settings file can give back.
    const std::string tooLong(3000, 'x');
    SendMessageA(g.Editor(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(tooLong.c_str()));
    EXPECT_EQ(2047u, g.grid->Cells(1, 3).size());
}

TEST(Grid, RowsGrowAndShrinkKeepingTheirCells)
{
    GridOnForm g;
    g.grid->SetCells(1, 5, "five");
    g.grid->SetCells(1, 19, "nineteen");
    g.grid->SetRowCount(26);
    EXPECT_EQ("five", g.grid->Cells(1, 5));
    EXPECT_EQ("nineteen", g.grid->Cells(1, 19));
    EXPECT_EQ("", g.grid->Cells(1, 25));
    g.grid->SetRow(25);
    EXPECT_EQ(21, g.grid->TopRow());
    g.grid->SetRowCount(10);
    EXPECT_EQ(9, g.grid->Row());
    EXPECT_EQ(5, g.grid->TopRow());
    EXPECT_EQ("five", g.grid->Cells(1, 5));
    EXPECT_EQ("", g.grid->Cells(1, 19)) << "out of the grid";
    g.grid->SetColCount(3);
    EXPECT_EQ("five", g.grid->Cells(1, 5)) << "a new column keeps the rows' cells";
    EXPECT_EQ("Urls", g.grid->Cells(1, 0));
}

TEST(Grid, TheMouseAndTheScrollBarMoveThroughTheRows)
{
    GridOnForm g;
    const RECT third = g.grid->CellRect(1, 3);
    SendMessageA(g.grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(third.left + 20, third.top + 5));
    SendMessageA(g.grid->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(third.left + 20, third.top + 5));
    EXPECT_EQ(3, g.grid->Row());
    EXPECT_EQ(g.Editor(), GetFocus());
    SendMessageA(g.grid->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
    EXPECT_EQ(3, g.grid->Row()) << "the header is not a row to edit";

    SendMessageA(g.grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(2, g.grid->TopRow());
    SendMessageA(g.grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(15, g.grid->TopRow());
    EXPECT_EQ(3, g.grid->Row()) << "scrolling leaves the current row";
    EXPECT_FALSE(g.grid->EditorShown()) << "its row is out of view";
    SCROLLINFO si{sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(g.grid->Handle(), SB_VERT, &si);
    EXPECT_EQ(0, si.nMin);
    EXPECT_EQ(18, si.nMax);
    EXPECT_EQ(5u, si.nPage);
    EXPECT_EQ(14, si.nPos);
    SendMessageA(g.grid->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 2), 0);
    EXPECT_EQ(9, g.grid->TopRow());
    SendMessageA(g.grid->Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_TRUE(g.grid->EditorShown());
    PressKey(GetFocus(), VK_DOWN);
    EXPECT_EQ(4, g.grid->Row());
}

TEST(Grid, PaintsFixedCellsInTheirColourWithoutLinesAndTheSelectionHighlighted)
{
    GridOnForm g;
    g.grid->SetCells(1, 2, "two");
    g.grid->SetCells(1, 3, "three");
    PressKeys(GetFocus(), {VK_SHIFT}, VK_DOWN);
    PressKeys(GetFocus(), {VK_SHIFT}, VK_DOWN);  // rows 1 to 3 selected, 3 current
    const WindowImage image = WindowImage::OnScreen(g.grid->Handle());
    RECT w, c;
    GetWindowRect(g.grid->Handle(), &w);
    POINT origin{0, 0};
    ClientToScreen(g.grid->Handle(), &origin);
    auto at = [&](int x, int y) { return image.Pixel(origin.x - w.left + x, origin.y - w.top + y); };
    GetClientRect(g.grid->Handle(), &c);
    const COLORREF fixed = RGB(231, 226, 220);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(fixed, at(200, 10)) << "header";
    EXPECT_EQ(fixed, at(2, 70)) << "fixed column";
    EXPECT_EQ(fixed, at(5, 19)) << "no line where header and fixed column meet";
    EXPECT_EQ(highlight, at(200, 30)) << "row 1 selected";
    EXPECT_EQ(highlight, at(200, 40)) << "no line between rows 1 and 2";
    EXPECT_EQ(highlight, at(236, 50)) << "row 2 selected to its end";
    EXPECT_EQ(window, at(200, 90)) << "row 4 plain";
    EXPECT_EQ(window, at(c.right - 2, 30)) << "right of the last column";
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 5; x < 40; ++x)
            dark += GetRValue(at(x, y)) < 100;
    EXPECT_GT(dark, 10) << "the header's text";
}

TEST(Labels, AcceleratorsAreTheCharacterAfterASingleAmpersand)
{
    struct Case {
        char key;
        const wchar_t* caption;
        bool accel;
    };
    const Case cases[] = {
        {'m', L"New &Memo", true},  {'M', L"New &Memo", true},   {'n', L"New &Memo", false},
        {'s', L"&Show/Hide All", true}, {'a', L"Fish && Chips", false}, {'c', L"Fish && &Chips", true},
        {'x', L"No accelerator", false}, {'o', L"Ends with &", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.accel, IsAccel(c.key, c.caption)) << WideToAnsi(c.caption) << " " << c.key;
}

TEST(Labels, AClickIsAPressAndAReleaseOnTheLabel)
{
    TForm* form = Application.CreateForm<TForm>();
    auto* label = form->Create<TLabel>();
    label->SetParent(form);
    label->SetCaption(L"Marlo Home");
    int clicks = 0;
    label->OnClick = [&] { ++clicks; };
    form->Show();
    const HWND wnd = label->Handle();
    struct Step {
        UINT msg;
        int x;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int clicks;
    };
    const int outside = label->Width() + 5;
    const Case cases[] = {
        {"press and release", {{WM_LBUTTONDOWN, 2}, {WM_LBUTTONUP, 2}}, 1},
        {"release alone", {{WM_LBUTTONUP, 2}}, 0},
        {"released outside", {{WM_LBUTTONDOWN, 2}, {WM_LBUTTONUP, outside}}, 0},
        {"the mouse left between", {{WM_LBUTTONDOWN, 2}, {WM_MOUSELEAVE, 0}, {WM_LBUTTONUP, 2}}, 0},
        {"right button", {{WM_RBUTTONDOWN, 2}, {WM_RBUTTONUP, 2}}, 0},
    };
    for (const Case& c : cases) {
        clicks = 0;
        for (const Step& step : c.steps)
            SendMessageA(wnd, step.msg, 0, MAKELPARAM(step.x, 2));
        EXPECT_EQ(c.clicks, clicks) << c.name;
    }
    EXPECT_EQ(TextExtent(label->Font(), L"Marlo Home").cx, label->Width()) << "sized to its text";

    // An accelerator goes only to a field that can take the focus.
    auto* field = form->Create<TEdit>();
    field->SetParent(form);
    auto* text = form->Create<TStaticText>();
    text->SetParent(form);
    text->SetCaption(L"&Name");
    text->FocusControl = field;
    field->SetEnabled(false);
    EXPECT_FALSE(form->DialogChar('n'));
    field->SetEnabled(true);
    EXPECT_FALSE(form->DialogChar('x'));
    EXPECT_TRUE(form->DialogChar('n'));
    EXPECT_EQ(field->Handle(), GetFocus());
    Application.DestroyForm(form);
}

} // namespace
