#include "controls/RichMemo.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A shown form with one editor filling a 300 x 200 client area.
class RichMemoTest : public testing::Test {
protected:
    void SetUp() override
    {
        form = Application.CreateForm<TForm>();
        form->SetClientSize(300, 200);
        memo = form->Create<TRichMemo>();
        memo->SetParent(form);
        memo->SetAlign(TAlign::alClient);
        form->Show();
        PumpMessages();
    }
    void TearDown() override { Application.DestroyForm(form); }

    HWND Wnd() const { return memo->Handle(); }
    CHARFORMAT2A CharFormatAt(int start, int end)
    {
        memo->SelectRange(start, end, false);
        CHARFORMAT2A format{};
        format.cbSize = sizeof(format);
        SendMessageA(Wnd(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    std::string SaveRtf()
    {
        TMemoryStream stream;
        memo->Lines().SaveToStream(stream);
        return stream.DataString();
    }
    void LoadBytes(const std::string& bytes)
    {
        TMemoryStream stream;
        stream.Write(bytes.data(), static_cast<long>(bytes.size()));
        stream.SetPosition(0);
        memo->Lines().LoadFromStream(stream);
    }

    TForm* form = nullptr;
    TRichMemo* memo = nullptr;
};

TEST_F(RichMemoTest, CreatesThePlatformRichEditWithItsStylesAndEvents)
{
    EXPECT_EQ(3, EditorVersion());
    char cls[64] = {};
    GetClassNameA(Wnd(), cls, sizeof(cls));
    EXPECT_STREQ("RichEdit20W", cls);
    EXPECT_TRUE(IsWindowUnicode(Wnd())) << "typed letters outside the code page reach it whole";
    const LONG_PTR style = GetWindowLongPtrA(Wnd(), GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & ES_SAVESEL);
    EXPECT_TRUE(style & ES_SELECTIONBAR);
    EXPECT_FALSE(style & ES_AUTOHSCROLL);
    EXPECT_FALSE(style & ES_DISABLENOSCROLL);
    const LRESULT mask = SendMessageA(Wnd(), EM_GETEVENTMASK, 0, 0);
    EXPECT_EQ(ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED | ENM_LINK, mask);
    EXPECT_EQ(0xFFFFFF, SendMessageA(Wnd(), EM_GETLIMITTEXT, 0, 0)) << "MaxLength 0 is the largest";
    EXPECT_TRUE(memo->AutoURLDetect());
    EXPECT_TRUE(memo->WordSelection());
    EXPECT_EQ(100, memo->UndoLimit());
    EXPECT_EQ(TM_RICHTEXT | TM_MULTILEVELUNDO,
              SendMessageA(Wnd(), EM_GETTEXTMODE, 0, 0) & (TM_RICHTEXT | TM_PLAINTEXT | TM_MULTILEVELUNDO));

    memo->SetMaxLength(5);
    memo->Lines().SetText("");
    for (char c : std::string("abcdefgh"))
        SendMessageA(Wnd(), WM_CHAR, static_cast<WPARAM>(c), 0);
    EXPECT_EQ("abcde", memo->Lines().Text());
    memo->SetMaxLength(0);
    EXPECT_EQ(0xFFFFFF, SendMessageA(Wnd(), EM_GETLIMITTEXT, 0, 0));

    // Scroll bars that are never hidden show which ones the control has.
    memo->SetHideScrollBars(false);
    const LONG_PTR wrapped = GetWindowLongPtrA(Wnd(), GWL_STYLE);
    EXPECT_TRUE(wrapped & ES_DISABLENOSCROLL);
    EXPECT_TRUE(wrapped & WS_VSCROLL);
    EXPECT_FALSE(wrapped & WS_HSCROLL) << "no horizontal bar while words wrap";
    memo->SetWordWrap(false);
    const LONG_PTR unwrapped = GetWindowLongPtrA(Wnd(), GWL_STYLE);
    EXPECT_TRUE(unwrapped & WS_HSCROLL);
    EXPECT_TRUE(unwrapped & ES_AUTOHSCROLL);
}

TEST_F(RichMemoTest, LinesCountAddInsertDeleteAndReplace)
{
    TRichEditStrings& lines = memo->Lines();
    EXPECT_EQ(0, lines.Count());
    lines.Add("abc");
    EXPECT_EQ(1, lines.Count());
    EXPECT_EQ("abc", lines[0]);

    // A last line without a break: the next line starts after a new break.
    lines.SetText("first");
    lines.Add("second");
    ASSERT_EQ(2, lines.Count());
    EXPECT_EQ("first", lines[0]);
    EXPECT_EQ("second", lines[1]);

    lines.Insert(5, "nowhere");
    lines.Insert(-1, "nowhere");
    EXPECT_EQ(2, lines.Count());
    lines.Insert(0, "zero");
    lines.Put(1, "one");
    EXPECT_EQ((std::vector<std::string>{"zero", "one", "second"}), lines.ToVector());
    lines.Delete(1);
    lines.Delete(7);
    EXPECT_EQ((std::vector<std::string>{"zero", "second"}), lines.ToVector());
    lines.Delete(1);
    EXPECT_EQ((std::vector<std::string>{"zero"}), lines.ToVector());

    lines.SetText("a\r\n\r\nb");
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), lines.ToVector()) << "an empty line comes back empty";

    lines.Clear();
    EXPECT_EQ(0, lines.Count());
    EXPECT_FALSE(memo->Modified());
}

TEST_F(RichMemoTest, LinesAreDisplayLinesAndLongLinesComeBackCut)
{
    std::string paragraph;
    for (int i = 0; i < 40; ++i)
        paragraph += "word" + std::to_string(i) + " ";
    memo->Lines().SetText(paragraph);
    const int wrapped = memo->Lines().Count();
    EXPECT_GT(wrapped, 3);
    std::string joined;
    for (const std::string& line : memo->Lines().ToVector())
        joined += line;
    EXPECT_EQ(paragraph, joined) << "wrapped lines carry no break characters";

    memo->SetWordWrap(false);
    EXPECT_EQ(1, memo->Lines().Count());
    EXPECT_EQ(paragraph, memo->Lines()[0]);

    const std::string longLine(5000, 'x');
    memo->Lines().SetText(longLine + "\r\nnext");
    EXPECT_EQ(std::string(TRichEditStrings::MaxLineLength, 'x'), memo->Lines()[0]);
    EXPECT_EQ("next", memo->Lines()[1]);
}

TEST_F(RichMemoTest, WholeTextAssignmentIsSilentButTypingIsNot)
{
    int changes = 0, selections = 0;
    memo->OnChange = [&] { changes++; };
    memo->OnSelectionChange = [&] { selections++; };
    memo->Lines().SetText("quiet");
    EXPECT_EQ(0, changes);
    SendMessageA(Wnd(), WM_CHAR, 'x', 0);
    EXPECT_GT(changes, 0);
    selections = 0;
    memo->SelectRange(0, 2, false);
    EXPECT_GT(selections, 0);
    selections = 0;
    memo->Lines().AddStrings({"one", "two"});
    EXPECT_EQ(0, selections);
    EXPECT_EQ("two", memo->Lines()[memo->Lines().Count() - 1]);
}

TEST_F(RichMemoTest, SelectedTextAssignmentIsSelectedAndUndoable)
{
    memo->Lines().SetText("hello world");
    memo->SelectRange(6, 11, false);
    EXPECT_EQ("world", memo->SelText());
    memo->SetSelText("there\rall");
    EXPECT_EQ(6, memo->SelStart());
    EXPECT_EQ(9, memo->SelLength());
    EXPECT_EQ("there\rall", memo->SelText());
    char buffer[4];
    EXPECT_EQ(3, memo->GetSelTextBuf(buffer, sizeof(buffer)));
    EXPECT_STREQ("the", buffer);
    memo->Undo();
    EXPECT_EQ("hello world", memo->Lines().Text());

    memo->SelectRange(3, 3, false);
    const POINT caret = memo->CaretPos();
    EXPECT_EQ(3, caret.x);
    EXPECT_EQ(0, caret.y);
}

TEST_F(RichMemoTest, StyleSizeAndColourOfTheSelection)
{
    memo->Lines().SetText("styled text");
    memo->SelectRange(0, 6, false);
    TRichTextAttributes& sel = memo->SelectionFormat();
    sel.SetStyle(fsBold | fsItalic | fsUnderline | fsStrikeOut);
    EXPECT_EQ(fsBold | fsItalic | fsUnderline | fsStrikeOut, sel.Style());
    sel.SetStyle(fsBold);
    EXPECT_EQ(static_cast<TFontStyles>(fsBold), sel.Style()) << "one style set replaces all four";

    sel.SetSize(11);
    EXPECT_EQ(220, CharFormatAt(0, 6).yHeight);
    memo->SelectRange(0, 6, false);
    EXPECT_EQ(11, sel.Size());

    sel.SetColor(clRed);
    EXPECT_EQ(clRed, sel.Color());
    sel.SetColor(clWindowText);
    EXPECT_TRUE(CharFormatAt(0, 6).dwEffects & CFE_AUTOCOLOR);
    memo->SelectRange(0, 6, false);
    EXPECT_EQ(clWindowText, sel.Color());

    sel.SetName("Courier New");
    EXPECT_EQ("Courier New", sel.Name());
    EXPECT_EQ(0u, CharFormatAt(7, 11).dwEffects & CFE_BOLD) << "outside the selection nothing changed";

    memo->SelectRange(0, 6, false);
    TFont font;
    sel.AssignTo(font);
    EXPECT_EQ("Courier New", font.Name());
    EXPECT_EQ(11, font.Size());
    EXPECT_EQ(static_cast<TFontStyles>(fsBold), font.Style());
}

TEST_F(RichMemoTest, FontAssignedToTheDefaultFormatKeepsStylesAndAutomaticColour)
{
    TFont font;
    font.SetName("Arial");
    font.SetSize(14);
    font.SetStyle(fsBold | fsItalic | fsUnderline | fsStrikeOut);
    font.SetColor(clWindowText);
    memo->DefaultFormat().Assign(font);
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    SendMessageA(Wnd(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(static_cast<DWORD>(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT),
              format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT));
    EXPECT_EQ(280, format.yHeight);
    EXPECT_STREQ("Arial", format.szFaceName);
    EXPECT_EQ(fsBold | fsItalic | fsUnderline | fsStrikeOut, memo->DefaultFormat().Style());

    // The control's own font goes the same way.
    memo->Font().SetName("Courier New");
    memo->Font().SetColor(clBlue);
    EXPECT_EQ("Courier New", memo->DefaultFormat().Name());
    EXPECT_EQ(clBlue, memo->DefaultFormat().Color());
}

TEST_F(RichMemoTest, AlignmentBulletsAndIndents)
{
    memo->Lines().SetText("para");
    TRichParaAttributes& para = memo->ParagraphFormat();
    EXPECT_EQ(TParaAlignment::paLeft, para.ParaAlignment());
    para.SetParaAlignment(TParaAlignment::paCenter);
    EXPECT_EQ(TParaAlignment::paCenter, para.ParaAlignment());
    para.SetParaAlignment(TParaAlignment::paRight);
    EXPECT_EQ(TParaAlignment::paRight, para.ParaAlignment());

    EXPECT_EQ(0, para.IndentOffset());
    para.SetBulletStyle(nsBullet);
    EXPECT_EQ(nsBullet, para.BulletStyle());
    EXPECT_EQ(10, para.IndentOffset());
    para.SetIndentOffset(25);
    para.SetBulletStyle(nsBullet);
    EXPECT_EQ(25, para.IndentOffset()) << "a wider indent stays";
    para.SetBulletStyle(nsNone);
    EXPECT_EQ(nsNone, para.BulletStyle());
    EXPECT_EQ(0, para.IndentOffset());

    para.SetIndentStart(12);
    para.SetIndentRight(7);
    EXPECT_EQ(12, para.IndentStart());
    EXPECT_EQ(7, para.IndentRight());
}

// The notifications as the control sends them to its parent, which hands them back.
TEST_F(RichMemoTest, ProtectAndClipboardNotificationsAnswerThePlatform)
{
    ENPROTECTED protect{};
    protect.nmhdr = {Wnd(), 0, EN_PROTECTED};
    protect.msg = WM_CHAR;
    protect.chrg = {2, 5};
    auto send = [&](auto& notification) {
        return SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notification));
    };
    EXPECT_EQ(1, send(protect)) << "no handler: the change is refused";
    int asked = 0;
    bool allow = true;
    memo->OnProtectChange = [&](TCustomRichMemo&, int start, int end, bool& allowChange) {
        asked++;
        EXPECT_EQ(2, start);
        EXPECT_EQ(5, end);
        EXPECT_FALSE(allowChange);
        allowChange = allow;
    };
    EXPECT_EQ(0, send(protect));
    allow = false;
    EXPECT_EQ(1, send(protect));
    EXPECT_EQ(2, asked);
    UINT seenMessage = 0;
    memo->OnProtectChangeEx = [&](TCustomRichMemo&, UINT message, int, int, bool& allowChange) {
        seenMessage = message;
        allowChange = true;
    };
    EXPECT_EQ(0, send(protect));
    EXPECT_EQ(static_cast<UINT>(WM_CHAR), seenMessage);
    EXPECT_EQ(2, asked) << "the extended handler takes precedence";

    ENSAVECLIPBOARD clip{};
    clip.nmhdr = {Wnd(), 0, EN_SAVECLIPBOARD};
    clip.cObjectCount = 1;
    clip.cch = 7;
    EXPECT_EQ(0, send(clip)) << "kept by default";
    memo->OnSaveClipboard = [](TCustomRichMemo&, int objects, int chars, bool& keep) {
        EXPECT_EQ(1, objects);
        EXPECT_EQ(7, chars);
        keep = false;
    };
    EXPECT_EQ(1, send(clip));

    REQRESIZE resize{};
    resize.nmhdr = {Wnd(), 0, EN_REQUESTRESIZE};
    resize.rc = {1, 2, 30, 40};
    RECT requested{};
    memo->OnResizeRequest = [&](TCustomRichMemo&, const RECT& r) { requested = r; };
    send(resize);
    EXPECT_EQ(40, requested.bottom);
}

TEST_F(RichMemoTest, PlainTextModeKeepsTheText)
{
    memo->Lines().SetText("one\rtwo");
    memo->SetPlainText(true);
    EXPECT_TRUE(memo->PlainText());
    EXPECT_TRUE(SendMessageA(Wnd(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT);
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), memo->Lines().ToVector());
    EXPECT_EQ(0, SaveRtf().rfind("{\\rtf", 0) == 0 ? 1 : 0) << "a plain editor saves plain text";
    memo->SetPlainText(false);
    EXPECT_TRUE(SendMessageA(Wnd(), EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT);
    EXPECT_EQ((std::vector<std::string>{"one", "two"}), memo->Lines().ToVector());
}

TEST_F(RichMemoTest, UpdateBracketsSwitchDrawingOffAndOn)
{
    memo->Lines().BeginUpdate();
    memo->Lines().BeginUpdate();
    memo->Lines().Add("batch");
    memo->Lines().EndUpdate();
    memo->Lines().EndUpdate();
    EXPECT_TRUE(IsWindowVisible(Wnd())) << "drawing is back on after the outer bracket";
    EXPECT_EQ("batch", memo->Lines()[0]);
}

TEST(RichMemoWithoutWindow, StoresSettingsAndAppliesThemWhenTheWindowIsMade)
{
    TForm* form = Application.CreateForm<TForm>();
    auto* memo = form->Create<TRichMemo>();
    memo->SetUndoLimit(1);
    memo->SetAutoURLDetect(false);
    memo->SetWordSelection(false);
    memo->SetMaxLength(300);
    memo->SetLangOptions(rlAutoKeyboard);
    EXPECT_EQ(static_cast<TRichLangOptions>(rlAutoKeyboard), memo->LangOptions());
    memo->SelectionFormat().SetStyle(fsBold);  // dropped
    EXPECT_EQ(0u, memo->SelectionFormat().Style());
    EXPECT_FALSE(memo->HandleAllocated());
    memo->SetParent(form);
    ASSERT_TRUE(memo->HandleAllocated());
    EXPECT_FALSE(memo->AutoURLDetect());
    EXPECT_FALSE(memo->WordSelection());
    EXPECT_EQ(1, memo->UndoLimit());
    EXPECT_EQ(300, SendMessageA(memo->Handle(), EM_GETLIMITTEXT, 0, 0));
    Application.DestroyForm(form);
}

} // namespace

TEST_F(RichMemoTest, TextOfTwoByteCharactersComesBackWhole)
{
    // The editor counts characters where the code page needs two bytes for one.
    const std::string text = GetACP() == 949 ? WideToAnsi(L"한글 메모\r\n둘째 줄 끝") : WideToAnsi(L"caf\u00e9\r\nna\u00efve");
    memo->SetText(text);
    EXPECT_EQ(text, memo->Text());
    EXPECT_EQ(text, memo->Lines().Text());
}
