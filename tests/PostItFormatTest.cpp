#include "tests/MemoTestSupport.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace {

struct Editing : Memo {
    Editing()
    {
        form->InitNewMemo();
        form->Show();
        form->edtMemo->Lines().SetText("first line\rsecond line");
    }
    void Select(int start, int end) const { form->edtMemo->SelectRange(start, end, false); PumpMessages(); }
    // A key pressed with Ctrl held, through the message loop as the keyboard delivers it.
    void CtrlKey(WORD key) const
    {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        form->edtMemo->SetFocus();
        PostMessageA(form->edtMemo->Handle(), WM_KEYDOWN, key, 1);
        PumpMessages(20);
        state[VK_CONTROL] = 0;
        SetKeyboardState(state);
        PostMessageA(form->edtMemo->Handle(), WM_KEYUP, key, 0xC0000001);
        PumpMessages(20);
    }
    void TypeInto(TComboBox* combo, const std::string& text) const
    {
        form->tbEdit->SetVisible(true);  // where the boxes are
        HWND field = GetWindow(combo->Handle(), GW_CHILD);
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, WM_CHAR, VK_BACK, 1);
        for (char c : text)
            SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    std::string Rtf() const
    {
        TMemoryStream stream;
        form->edtMemo->Lines().SaveToStream(stream);
        return stream.DataString();
    }
};

}  // namespace

TEST(PostItFormat, ABoldCentredSelectionChecksItsActionsAndFillsTheBoxes)
{
    Editing m;
    m.Select(0, 5);
    m->edtMemo->SelectionFormat().SetStyle(fsBold);
    m->edtMemo->SelectionFormat().SetSize(14);
    m->edtMemo->ParagraphFormat().SetParaAlignment(TParaAlignment::paCenter);
    m.Select(11, 12);  // away, then back: the toolbar follows each selection
    EXPECT_FALSE(m->actBold->Checked());
    const std::string before = m.Rtf();
    m.Select(0, 5);
    EXPECT_TRUE(m->actBold->Checked());
    EXPECT_FALSE(m->actItalic->Checked());
    EXPECT_TRUE(m->actAlignCenter->Checked());
    EXPECT_FALSE(m->actAlignLeft->Checked());
    EXPECT_FALSE(m->actAlignRight->Checked());
    EXPECT_EQ(m->edtMemo->SelectionFormat().Name(), m->cmbFontName->Text());
    EXPECT_FALSE(m->cmbFontName->Text().empty());
    EXPECT_EQ("14", m->cmbFontSize->Text());
    EXPECT_EQ(before, m.Rtf()) << "filling the boxes must not apply them back";
    EXPECT_FALSE(m->Updating());
}

TEST(PostItFormat, TheSizeBoxAppliesOnlyPositiveNumbers)
{
    struct Case {
        const char* typed;
        int expected;
    } cases[] = {{"0", 10}, {"-3", 10}, {"abc", 10}, {"11", 11}, {"72", 72}};
    for (const Case& c : cases) {
        Editing m;
        m.Select(0, 5);
        m->edtMemo->SelectionFormat().SetSize(10);
        m.TypeInto(m->cmbFontSize, c.typed);
        EXPECT_EQ(c.typed, m->cmbFontSize->Text());
        EXPECT_EQ(c.expected, m->edtMemo->SelectionFormat().Size()) << c.typed;
    }
}

TEST(PostItFormat, TheFontNameAppliesOnlyAPickedItem)
{
    Editing m;
    const auto& names = m->cmbFontName->Items();
    ASSERT_GT(names.size(), 2u);
    EXPECT_EQ(1, std::count(names.begin(), names.end(), "Default"));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    }));
    m.Select(0, 5);
    const std::string original = m->edtMemo->SelectionFormat().Name();
    const int pick = names[1] == original ? 2 : 1;
    m.TypeInto(m->cmbFontName, names[static_cast<size_t>(pick)].substr(0, 2));
    EXPECT_EQ(original, m->edtMemo->SelectionFormat().Name()) << "typed text applies nothing";
    SendMessageA(m->cmbFontName->Handle(), CB_SETCURSEL, static_cast<WPARAM>(pick), 0);
    SendMessageA(m->pnlFont->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(m->cmbFontName->Handle()));
    EXPECT_EQ(names[static_cast<size_t>(pick)], m->edtMemo->SelectionFormat().Name());
    EXPECT_TRUE(m->edtMemo->Focused());
}

TEST(PostItFormat, ShortcutsRunTheirActionsWithoutTypingTheirCharacter)
{
    struct Case {
        WORD key;
        std::function<bool(TfrmPostIt&)> applied;
    } cases[] = {
        {'B', [](TfrmPostIt& f) { return (f.edtMemo->SelectionFormat().Style() & fsBold) != 0; }},
        {'I', [](TfrmPostIt& f) { return (f.edtMemo->SelectionFormat().Style() & fsItalic) != 0; }},
        {'U', [](TfrmPostIt& f) { return (f.edtMemo->SelectionFormat().Style() & fsUnderline) != 0; }},
        {'S', [](TfrmPostIt& f) { return (f.edtMemo->SelectionFormat().Style() & fsStrikeOut) != 0; }},
        {'M', [](TfrmPostIt& f) { return f.edtMemo->ParagraphFormat().ParaAlignment() == TParaAlignment::paCenter; }},
        {'R', [](TfrmPostIt& f) { return f.edtMemo->ParagraphFormat().ParaAlignment() == TParaAlignment::paRight; }},
        {'T', [](TfrmPostIt& f) { return f.edtMemo->ParagraphFormat().BulletStyle() == nsBullet; }},
    };
    for (const Case& c : cases) {
        Editing m;
        m.Select(0, 5);
        const std::string text = m->edtMemo->Lines().Text();
        m.CtrlKey(c.key);
        EXPECT_TRUE(c.applied(*m.form)) << static_cast<char>(c.key);
        EXPECT_EQ(text, m->edtMemo->Lines().Text()) << static_cast<char>(c.key);
        EXPECT_FALSE(FileExists(MemoFilePath(1))) << "Ctrl+" << static_cast<char>(c.key) << " saves nothing";
    }
}

TEST(PostItFormat, CtrlBTwiceLeavesTheBoldnessAsItWas)
{
    for (bool bold : {false, true}) {
        Editing m;
        m.Select(0, 10);
        m->edtMemo->SelectionFormat().SetStyle(bold ? TFontStyles{fsBold} : TFontStyles{0});
        m.CtrlKey('B');
        EXPECT_EQ(!bold, (m->edtMemo->SelectionFormat().Style() & fsBold) != 0);
        EXPECT_EQ(!bold, m->actBold->Checked());
        m.CtrlKey('B');
        EXPECT_EQ(bold, (m->edtMemo->SelectionFormat().Style() & fsBold) != 0);
        EXPECT_EQ("first line", m->edtMemo->Lines()[0]);
    }
}

TEST(PostItFormat, BulletsRemoveNumberingAndAddBulletsToPlainParagraphs)
{
    struct Case {
        int before, after;
    } cases[] = {{nsNone, nsBullet}, {nsBullet, nsNone}, {PFN_ARABIC, nsNone}, {PFN_UCLETTER, nsNone}};
    for (const Case& c : cases) {
        Editing m;
        m.Select(0, 3);
        m->edtMemo->ParagraphFormat().SetBulletStyle(c.before);
        ASSERT_EQ(c.before, m->edtMemo->ParagraphFormat().BulletStyle());
        m->actBullets->Execute();
        EXPECT_EQ(c.after, m->edtMemo->ParagraphFormat().BulletStyle()) << c.before;
        EXPECT_EQ(c.after == nsBullet, m->actBullets->Checked());
    }
}

TEST(PostItFormat, FormattingDoesNothingWhileTheToolbarIsBeingSynchronised)
{
    Editing m;
    m.Select(0, 5);
    // A button that ran its action again when its checked state is set would undo
    // every selection's boldness: during synchronisation that must do nothing.
    m->actBold->AddClient(&m, [&] { m->actBold->Execute(); });
    m->edtMemo->SelectionFormat().SetStyle(fsBold);
    m.Select(0, 4);
    EXPECT_TRUE(m->actBold->Checked());
    m->actBold->RemoveClient(&m);
    m.Select(0, 3);
    EXPECT_EQ(TFontStyles{fsBold}, m->edtMemo->SelectionFormat().Style());
}

TEST(PostItFormat, TheColourButtonColoursTheSelection)
{
    Editing m;
    m.Select(0, 5);
    m->clrFont->SetSelectionColor(clRed);
    EXPECT_EQ(clRed, m->edtMemo->SelectionFormat().Color());
    m->clrFont->DefaultSelect();
    EXPECT_EQ(clWindowText, m->edtMemo->SelectionFormat().Color());
}
