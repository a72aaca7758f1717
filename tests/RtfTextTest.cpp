#include "wastebasket/RtfText.h"

#include "controls/RichMemo.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "tests/EditorMemo.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const char kHeader[] = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                       "{\\f1\\fnil\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}}"
                       "{\\colortbl ;\\red255\\green0\\blue0;}{\\*\\generator Riched20 10.0;}"
                       "\\viewkind4\\uc1\\pard\\f0\\fs17 ";

struct Case {
    const char* name;
    std::string body;  // after kHeader, closed by "}"
    const char* text;  // UTF-8
};

} // namespace

TEST(RtfText, ReadsWhatTheDocumentShows)
{
    const Case cases[] = {
        {"tables and generator are left out", "milk\\par\r\n", "milk\n"},
        {"bytes in the font's code page", "caf\\'e9 \\f1\\'bf\\'ec\\'c0\\'af\\f0  tea", "caf\xC3\xA9 \xEC\x9A\xB0\xEC\x9C\xA0 tea"},
        {"a double-byte character whose trail byte is plain", "\\f1\\'81A\\f0 A", "\xEA\xB0\x82" "A"},
        {"a group gives its font back", "{\\f1\\'bf\\'ec}\\'e9", "\xEC\x9A\xB0\xC3\xA9"},
        {"plain goes back to the default font", "\\f1\\plain\\'e9", "\xC3\xA9"},
        {"unicode with one stand-in", "\\u-14672?\\u-14560?!", "\xEC\x9A\xB0\xEC\x9C\xA0!"},
        {"unicode with two escaped stand-ins", "\\uc2\\u50864\\'bf\\'ecX", "\xEC\x9A\xB0X"},
        {"unicode without stand-ins", "{\\uc0\\u233}e", "\xC3\xA9" "e"},
        {"a stand-in never crosses a group's end", "{\\u233}x", "\xC3\xA9x"},
        {"a word split by formatting", "p\\b ar\\b0  and \\i mi\\i0 lk", "par and milk"},
        {"escaped symbols, tabs and breaks", "a\\\\b\\{c\\}d\\tab e\\~f\\line g\\\r\nh\\-i", "a\\b{c}d\te\xC2\xA0" "f\ng\nhi"},
        {"control words are not text", "\\pard\\sl-240\\slmult1\\lang1042\\fs16 x", "x"},
        {"ignorable and picture groups", "{\\*\\unknown junk}{\\pict\\wmetafile8 0a0b}{\\pntext\\'b7\\tab}y", "y"},
        {"a link shows its result, not its instruction",
         "{\\field{\\*\\fldinst{HYPERLINK \"http://a.b/\"}}{\\fldrslt{\\ul site}}}", "site"},
        {"binary data is skipped whole", "a\\bin3 {}\\b", "ab"},
        {"named punctuation", "\\ldblquote q\\rdblquote \\emdash", "\xE2\x80\x9Cq\xE2\x80\x9D\xE2\x80\x94"},
        {"damage neither stops nor upsets the reader", "}}}x{\\'4", "x4"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(c.text), RtfPlainText(std::string(kHeader) + c.body + "}")) << c.name;
}

TEST(RtfText, DocumentCodePageAndPlainFiles)
{
    EXPECT_EQ(W("\xD0\xB0"), RtfPlainText("{\\rtf1\\ansi\\ansicpg1251 \\'e0}")) << "no font table: \\ansicpg";
    EXPECT_EQ(W("\xC3\xA9"), RtfPlainText("{\\rtf1\\ansi \\'e9}")) << "\\ansi alone is 1252";
    EXPECT_EQ(W("\xD0\xB0"), RtfPlainText("{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg1251 X;}}\\f0\\'e0}")) << "\\cpg";
    // Not rich text: the system code page, as the editor's plain-text fallback reads it.
    const std::string plain = "notes {\\b} par\r\n" + WideToAnsi(W("\xEC\x9A\xB0\xEC\x9C\xA0"));
    EXPECT_EQ(AnsiToWide(plain), MemoFileText(plain));
    EXPECT_EQ(L"", MemoFileText(""));
}

TEST(RtfText, ReaderGivesTheEditorsOwnText)
{
    EditorMemo memo;
    memo.Type(W("\xEC\x9A\xB0\xEC\x9C\xA0 \xEC\x82\xAC\xEA\xB8\xB0\r"))  // 우유 사기
        .Type(W("Caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e\r"))    // Café crème brûlée
        .Type(W("par fonttbl milk\r\xE2\x80\xA2 end"))
        .Font(0, 5, "Gulim", HANGEUL_CHARSET)
        .Font(6, 34, "Arial", ANSI_CHARSET, fsBold)
        .Font(8, 12, "Arial", ANSI_CHARSET, fsItalic);
    memo.Memo().SelectRange(35, 40, false);
    memo.Memo().ParagraphFormat().SetBulletStyle(nsBullet);
    const std::string rtf = memo.Rtf();
    ASSERT_EQ(0u, rtf.rfind("{\\rtf", 0));
    const std::wstring shown = memo.Shown();
    ASSERT_NE(std::wstring::npos, shown.find(W("\xEC\x9A\xB0\xEC\x9C\xA0"))) << "the editor kept the Korean word";
    auto withoutLastBreak = [](std::wstring t) {
        while (!t.empty() && t.back() == L'\n')
            t.pop_back();
        return t;
    };
    EXPECT_EQ(withoutLastBreak(shown), withoutLastBreak(MemoFileText(rtf))) << rtf;
    EXPECT_EQ(std::wstring::npos, MemoFileText(rtf).find(L"Gulim")) << "font names are no text";
}
