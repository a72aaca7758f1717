#include "config/AutoStart.h"
#include "config/Configure.h"
#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/ConfigTestSupport.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

class ConfigureTest : public testing::Test {
protected:
    ~ConfigureTest() override { Close(); }

    std::string Ini() { return program.Info().IniFileName(); }
    void WriteIni(const std::string& content) { WriteWholeFile(Ini(), content); }

    TfrmConfigure* Open()
    {
        Close();
        form = Application.CreateForm<TfrmConfigure>();
        form->Show();
        PumpMessages();
        return form;
    }
    void Close()
    {
        if (form)
            Application.DestroyForm(form);
        form = nullptr;
    }
    void PressOK()
    {
        form->btnOK->Click();
        PumpMessages();
    }
    // The addresses the grid shows, by row, up to the last filled one.
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int r = 1; r < form->grdUrls->RowCount(); ++r)
            rows.push_back(form->grdUrls->Cells(1, r));
        while (!rows.empty() && rows.back().empty())
            rows.pop_back();
        return rows;
    }

    RunValuesGuard runValues;
    TestProgram program;
    TfrmConfigure* form = nullptr;
};

using Strings = std::vector<std::string>;

TEST_F(ConfigureTest, OpensWithTheDefaultsWhenThereIsNoSettingsFile)
{
    Open();
    EXPECT_EQ(78, form->hkNewMemo->Key());
    EXPECT_EQ(hkCtrl | hkAlt, form->hkNewMemo->Modifiers());
    EXPECT_EQ(90, form->hkShowHide->Key());
    EXPECT_EQ(hkCtrl | hkAlt, form->hkShowHide->Modifiers());
    EXPECT_FALSE(form->chkAutoStart->Checked());
    ASSERT_EQ(20, form->grdUrls->RowCount());
    EXPECT_EQ("Urls", form->grdUrls->Cells(1, 0));
    EXPECT_TRUE(Rows().empty()) << "19 empty rows under the header";
    EXPECT_FALSE(FileExists(Ini())) << "opening writes nothing";
}

TEST_F(ConfigureTest, HasItsSizeCaptionAndEveryControlInPlace)
{
    Open();
    EXPECT_EQ(273, form->ClientWidth());
    EXPECT_EQ(263, form->ClientHeight());
    EXPECT_EQ(program.Info().Title(), form->WideText());
    // Centred on the work area (the test display has one monitor), not under a taskbar.
    const RECT r = form->BoundsRect();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((work.left + work.right) / 2, (r.left + r.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (r.top + r.bottom) / 2, 1);
    EXPECT_EQ(18, form->pnlBody->Top()) << "below the caption strip";
    EXPECT_EQ(273, form->pnlBody->Width());

    // Texts keep their places where they fit; where the font draws them wider, the
    // captions and the check box grow leftwards and the labels move right.
    struct Expected {
        TWinControl* control;
        int left, top, width, height;  // width 0: sized by its text
        std::string text;
        int textRoom;  // what the text needs beside it (the check box), -1: no text
    };
    const int box = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    const Expected table[] = {
        {form->StaticText1, 40, 6, 64, 17, "New &Memo", 0},
        {form->hkNewMemo, 98, 3, 121, 19, "", -1},
        {form->StaticText3, 26, 26, 78, 17, "&Show/Hide All", 0},
        {form->hkShowHide, 98, 23, 121, 19, "", -1},
        {form->chkAutoStart, 133, 45, 134, 17, "Run program at startup", box},
        {form->grdUrls, 3, 65, 264, 139, "", -1},
        {form->Bevel1, 1, 208, 266, 4, "", -1},
        {form->Label8, 11, 220, 0, 0, "KORVO", 0},
        {form->Label9, 50, 220, 0, 0, "-", 0},
        {form->labHomeUrl, 61, 220, 0, 0, "Marlo Home", 0},
        {form->btnOK, 192, 215, 75, 25, "OK", -1},
    };
    for (const Expected& e : table) {
        SCOPED_TRACE(e.control->Name);
        EXPECT_EQ(form->pnlBody, e.control->Parent());
        EXPECT_EQ(e.top, e.control->Top());
        if (!e.text.empty()) {
            EXPECT_EQ(e.text, e.control->Text());
        }
        if (e.textRoom < 0) {
            EXPECT_EQ(e.left, e.control->Left());
            EXPECT_EQ(e.width, e.control->Width());
            EXPECT_EQ(e.height, e.control->Height());
            continue;
        }
        const int need = TextExtent(e.control->Font(), AnsiToWide(e.text)).cx + e.textRoom;
        EXPECT_GE(e.control->Width(), need) << "the text is not cut";
        if (e.width) {
            const int right = e.textRoom ? e.left + e.width : form->hkNewMemo->Left();
            EXPECT_EQ(e.height, e.control->Height());
            if (e.left + need <= right) {
                EXPECT_EQ(e.left, e.control->Left()) << "in its place when the text fits";
            }
            EXPECT_LE(e.control->Left() + std::min(e.control->Width(), need), right);
        } else {
            EXPECT_GE(e.control->Left(), e.left);
            EXPECT_LE(e.control->Left() + e.control->Width(), form->btnOK->Left()) << "clear of OK";
        }
    }
    EXPECT_LT(form->Label8->Left() + form->Label8->Width(), form->Label9->Left());
    EXPECT_LT(form->Label9->Left() + form->Label9->Width(), form->labHomeUrl->Left());

    TStringGrid* grid = form->grdUrls;
    EXPECT_EQ(2, grid->ColCount());
    EXPECT_EQ(5, grid->ColWidths(0));
    EXPECT_EQ(234, grid->ColWidths(1));
    EXPECT_EQ(20, grid->DefaultRowHeight());
    EXPECT_EQ(0, grid->GridLineWidth());
    EXPECT_EQ(0xDCE2E7, grid->FixedColor());
    EXPECT_TRUE(grid->EditorShown()) << "the editor is always there";
    for (TLabel* link : {form->Label8, form->labHomeUrl}) {
        EXPECT_EQ(clGray, link->Font().Color());
        EXPECT_EQ("MS Sans Serif", link->Font().Name());
        EXPECT_EQ(8, link->Font().Size());
    }
}

TEST_F(ConfigureTest, TabGoesThroughTheFieldsInOrderAndAcceleratorsFocusTheHotKeys)
{
    Open();
    EXPECT_EQ(form->btnOK->Handle(), GetFocus()) << "OK has the focus first";
    TWinControl* order[] = {form->chkAutoStart, form->hkNewMemo, form->hkShowHide, form->grdUrls, form->btnOK};
    for (TWinControl* next : order) {
        PressKey(GetFocus(), VK_TAB);
        const HWND focus = GetFocus();
        EXPECT_TRUE(focus == next->Handle() || IsChild(next->Handle(), focus)) << next->Name;
    }
    {
        HeldKeys shift({VK_SHIFT});
        PressKey(GetFocus(), VK_TAB);
    }
    EXPECT_EQ(form->grdUrls->InplaceEditor()->Handle(), GetFocus()) << "Shift+Tab goes back into the grid";
    PressKey(GetFocus(), VK_TAB);
    EXPECT_EQ(form->btnOK->Handle(), GetFocus()) << "Tab leaves the grid";

    SendMessageA(GetFocus(), WM_SYSCHAR, 's', 1 << 29);
    EXPECT_EQ(form->hkShowHide->Handle(), GetFocus());
    form->btnOK->SetFocus();
    SendMessageA(GetFocus(), WM_SYSCHAR, 'M', 1 << 29);
    EXPECT_EQ(form->hkNewMemo->Handle(), GetFocus());
    // In a hot key field Alt+S is a combination to take, not a way out.
    SendMessageA(GetFocus(), WM_SYSCHAR, 's', 1 << 29);
    EXPECT_EQ(form->hkNewMemo->Handle(), GetFocus());
}

TEST_F(ConfigureTest, PlacesStoredAddressesByFileOrderAndGrowsForLongLists)
{
    struct Case {
        const char* name;
        std::string section;
        int rows;
        Strings expected;
    };
    std::string many;
    Strings manyRows;
    for (int i = 0; i < 25; ++i) {
        many += Format("%d=http://site%d.example/\r\n", 100 - i, i);
        manyRows.push_back(Format("http://site%d.example/", i));
    }
    const Case cases[] = {
        {"keys out of order", "5=http://e/\r\n1=http://a/\r\n3=http://c/\r\n", 20, {"http://e/", "http://a/", "http://c/"}},
        {"an empty value keeps its row", "1=http://a/\r\n2=\r\n9=http://i/\r\n", 20, {"http://a/", "", "http://i/"}},
        {"19 entries fit", "", 20, {}},
        {"25 entries", many, 26, manyRows},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string section = c.section;
        Strings expected = c.expected;
        if (std::string(c.name) == "19 entries fit")
            for (int i = 1; i <= 19; ++i) {
                section += Format("k%d=u%d\r\n", i, i);
                expected.push_back(Format("u%d", i));
            }
        WriteIni("[hkNewMemo]\r\nhotKey=65\r\n[url]\r\n" + section + "[other]\r\nx=1\r\n");
        Open();
        EXPECT_EQ(c.rows, form->grdUrls->RowCount());
        EXPECT_EQ(expected, Rows());
    }
}

TEST_F(ConfigureTest, SavesTrimmedAddressesUnderTheirRowNumbers)
{
    WriteIni("[url]\r\n1=http://old/\r\n7=http://gone/\r\n[PROGRAM]\r\nAlphaBlend Value=200\r\n");
    Open();
    TStringGrid* grid = form->grdUrls;
    grid->SetCells(1, 1, "  http://first.example/ \t");
    grid->SetCells(1, 2, "   ");
    grid->SetCells(1, 3, "http://third.example/");
    grid->SetCells(1, 19, "\thttp://last.example/");
    PressOK();
    EXPECT_EQ(mrOk, form->ModalResult);

    const TIniFile ini(Ini());
    EXPECT_EQ((Strings{"1", "3", "19"}), ini.ReadSection("url"));
    EXPECT_EQ("http://first.example/", ini.ReadString("url", "1", ""));
    EXPECT_EQ("http://third.example/", ini.ReadString("url", "3", ""));
    EXPECT_EQ("http://last.example/", ini.ReadString("url", "19", ""));
    EXPECT_EQ(200, ini.ReadInteger("PROGRAM", "AlphaBlend Value", 0)) << "other sections stay";

    Open();
    EXPECT_EQ((Strings{"http://first.example/", "http://third.example/", "http://last.example/"}), Rows());
}

TEST_F(ConfigureTest, TheFieldTurnsKeysWithoutModifierOrWithShiftAloneIntoAlt)
{
    struct Case {
        const char* name;
        std::initializer_list<BYTE> held;
        THKModifiers modifiers;
        int hotMod;
    };
    const Case cases[] = {
        {"N", {}, hkAlt, 1},
        {"Shift+N", {VK_SHIFT}, hkAlt, 1},
        {"Ctrl+Shift+N", {VK_CONTROL, VK_SHIFT}, hkCtrl | hkShift, 6},
        {"Ctrl+N", {VK_CONTROL}, hkCtrl, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        form->hkShowHide->SetFocus();
        PressKeys(form->hkShowHide->Handle(), c.held, 'N');
        EXPECT_EQ('N', form->hkShowHide->Key());
        EXPECT_EQ(c.modifiers, form->hkShowHide->Modifiers());
        PressOK();
        const TIniFile ini(Ini());
        EXPECT_EQ(78, ini.ReadInteger("hkShowAll", "hotKey", -1));
        EXPECT_EQ(c.hotMod, ini.ReadInteger("hkShowAll", "hotMod", -1));
        EXPECT_EQ(78, ini.ReadInteger("hkNewMemo", "hotKey", -1)) << "the other field as it was";
        EXPECT_EQ(3, ini.ReadInteger("hkNewMemo", "hotMod", -1));
    }
}

TEST_F(ConfigureTest, StoredHotKeysComeBackAsTheyWereAndOneAbove255IsEmpty)
{
    struct Case {
        int key, mod;
        WORD shownKey;
        THKModifiers shownModifiers;
        int savedKey, savedMod;
    };
    const Case cases[] = {
        {78, 6, 78, hkCtrl | hkShift, 78, 6},
        {112, 7, 112, hkCtrl | hkAlt | hkShift, 112, 7},
        {75, 11, 75, hkCtrl | hkAlt, 75, 3},  // bit 8 is no modifier
        {300, 3, 0, 0, 0, 0},
        {-1, 3, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        WriteIni(Format("[hkNewMemo]\r\nhotKey=%d\r\nhotMod=%d\r\n", c.key, c.mod));
        Open();
        EXPECT_EQ(c.shownKey, form->hkNewMemo->Key());
        EXPECT_EQ(c.shownModifiers, form->hkNewMemo->Modifiers());
        PressOK();
        const TIniFile ini(Ini());
        EXPECT_EQ(c.savedKey, ini.ReadInteger("hkNewMemo", "hotKey", -2));
        EXPECT_EQ(c.savedMod, ini.ReadInteger("hkNewMemo", "hotMod", -2));
    }
}

TEST_F(ConfigureTest, ShownModallyItAnswersOkAfterWritingAndCancelFromTheCloseButton)
{
    const std::string original = "[hkNewMemo]\r\nhotKey=65\r\nhotMod=2\r\n[url]\r\n4=http://kept/\r\n";
    WriteIni(original);
    WriteRunValue(HKEY_CURRENT_USER, std::string("C:\\Elsewhere\\pinova.exe"));

    // Created without owner window, shown modally, freed afterwards: as the tray does it.
    form = Application.CreateForm<TfrmConfigure>();
    form->chkAutoStart->SetChecked(false);
    form->grdUrls->SetCells(1, 1, "http://changed/");
    PostMessageA(form->btnClose->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(mrCancel, form->ShowModal());
    EXPECT_EQ(original, ReadWholeFile(Ini())) << "the close button writes nothing";
    EXPECT_EQ(std::optional<std::string>("C:\\Elsewhere\\pinova.exe"), ReadRunValue(HKEY_CURRENT_USER));
    Close();

    form = Application.CreateForm<TfrmConfigure>();
    form->grdUrls->SetCells(1, 2, "http://new/");
    PostMessageA(form->btnOK->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, form->ShowModal());
    Close();
    const TIniFile ini(Ini());
    EXPECT_EQ("http://new/", ini.ReadString("url", "2", ""));
    EXPECT_EQ("http://kept/", ini.ReadString("url", "1", "")) << "the stored entry came first";
    EXPECT_EQ(2, ini.ReadInteger("hkNewMemo", "hotMod", 0));
}

TEST_F(ConfigureTest, AnUnwritableSettingsFileIsReportedAndTheWindowStaysOpen)
{
    // A folder in the settings file's place: no rights play a part, so this holds
    // for every user, the administrator included.
    ASSERT_TRUE(CreateDirectoryA(Ini().c_str(), nullptr));
    Open();
    form->chkAutoStart->SetChecked(true);
    CaughtErrors errors;
    PostMessageA(form->btnOK->Handle(), BM_CLICK, 0, 0);
    PumpMessages(50);
    ASSERT_EQ(1u, errors.Messages().size());
    EXPECT_EQ("Unable to write to " + Ini(), errors.Messages()[0]);
    EXPECT_EQ(mrNone, form->ModalResult);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(DirectoryExists(Ini()));
    EXPECT_TRUE(ReadRunValue(HKEY_CURRENT_USER).has_value()) << "the start with Windows was saved before";
}

TEST_F(ConfigureTest, StartWithWindowsIsTheUsersQuotedValue)
{
    const std::string self = ModuleFileName();
    const std::string upper = [&] {
        std::string s = self;
        CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
        return s;
    }();
    using Value = std::optional<std::string>;
    struct Case {
        const char* name;
        Value user, machine;
        bool shown;  // checked when the window opens
        bool check;  // what the user leaves it at
        Value userAfter, machineAfter;
    };
    const Case cases[] = {
        {"nothing stored, checked", {}, {}, false, true, AutoStartCommand(self), {}},
        {"nothing stored, left unchecked", {}, {}, false, false, {}, {}},
        {"the same program unquoted", self, {}, true, true, self, {}},
        {"the same program in other case", "\"" + upper + "\"", {}, true, true, "\"" + upper + "\"", {}},
        {"the program was moved", "\"C:\\Old Place\\pinova.exe\"", {}, true, true, AutoStartCommand(self), {}},
        {"an older installation's value", {}, self, true, true, {}, self},
        {"unchecked removes both", AutoStartCommand(self), "C:\\x.exe", true, false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteRunValue(HKEY_CURRENT_USER, c.user);
        WriteRunValue(HKEY_LOCAL_MACHINE, c.machine);
        Open();
        EXPECT_EQ(c.shown, form->chkAutoStart->Checked());
        form->chkAutoStart->SetChecked(c.check);
        PressOK();
        EXPECT_EQ(c.userAfter, ReadRunValue(HKEY_CURRENT_USER));
        EXPECT_EQ(c.machineAfter, ReadRunValue(HKEY_LOCAL_MACHINE));
    }
}

TEST_F(ConfigureTest, TheHotKeyFieldsLeaveTheCellEditorsCaretWhereItIs)
{
    Open();
    TStringGrid* grid = form->grdUrls;
    grid->SetFocus();
    for (char c : std::string("http://x/"))
        SendMessageA(grid->InplaceEditor()->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    POINT before{}, after{};
    ASSERT_TRUE(GetCaretPos(&before));
    EXPECT_GT(before.x, 10);
    for (THotKey* field : {form->hkNewMemo, form->hkShowHide}) {
        InvalidateRect(field->Handle(), nullptr, TRUE);
        UpdateWindow(field->Handle());
    }
    ASSERT_TRUE(GetCaretPos(&after));
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.y, after.y);
}

TEST_F(ConfigureTest, LinkLabelsTurnBlueUnderTheMouse)
{
    Open();
    for (TLabel* link : {form->Label8, form->labHomeUrl}) {
        SCOPED_TRACE(link->Name);
        SendMessageA(link->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(clBlue, link->Font().Color());
        const WindowImage blue = WindowImage::OnScreen(link->Handle());
        SendMessageA(link->Handle(), WM_MOUSELEAVE, 0, 0);
        EXPECT_EQ(clGray, link->Font().Color());
        const WindowImage grey = WindowImage::OnScreen(link->Handle());
        int bluePixels = 0, greyPixels = 0;
        for (int y = 0; y < blue.Height(); ++y)
            for (int x = 0; x < blue.Width(); ++x) {
                bluePixels += blue.Pixel(x, y) == RGB(0, 0, 255);
                greyPixels += grey.Pixel(x, y) == RGB(128, 128, 128);
            }
        EXPECT_GT(bluePixels, 5) << "the text is drawn in blue";
        EXPECT_GT(greyPixels, 5) << "and in grey again";
    }
    EXPECT_EQ(clWindowText, form->Label9->Font().Color()) << "the dash is no link";
}

} // namespace
