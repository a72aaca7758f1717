#include "framework/SysUtils.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(StrToInt, ReadsDecimalAndHexadecimal)
{
    EXPECT_EQ(42, StrToInt("42"));
    EXPECT_EQ(-7, StrToInt("-7"));
    EXPECT_EQ(255, StrToInt("0xFF"));
    EXPECT_EQ(255, StrToInt("$ff"));
    EXPECT_EQ(26, StrToInt("  26"));
    EXPECT_EQ(2147483647, StrToInt("2147483647"));
    EXPECT_EQ(-2147483647 - 1, StrToInt("-2147483648"));
    EXPECT_EQ(-1, StrToInt("$FFFFFFFF"));
}

TEST(StrToInt, RejectsWhatIsNotANumber)
{
    for (const char* bad : {"", "abc", "12a", "0x", "$", "2147483648", "1 2", "+", "$100000000"}) {
        int value = 99;
        EXPECT_FALSE(TryStrToInt(bad, value)) << bad;
        EXPECT_EQ(99, value) << bad;
        EXPECT_EQ(-5, StrToIntDef(bad, -5)) << bad;
    }
    try {
        StrToInt("12a");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ("'12a' is not a valid integer value", e.what());
    }
}

TEST(Strings, TrimCutsBlanksAndControlCharacters)
{
    EXPECT_EQ("a b", Trim(" \t a b\r\n"));
    EXPECT_EQ("a b\r\n", TrimLeft(" \t a b\r\n"));
    EXPECT_EQ(" \t a b", TrimRight(" \t a b\r\n"));
    EXPECT_EQ("", Trim("  \t"));
    EXPECT_EQ("x %d", Format("x %%d"));
    EXPECT_EQ("Unable to write to C:\\a.ini", Format("Unable to write to %s", "C:\\a.ini"));
}

TEST(Strings, PathsSplitAtBackslashAndColon)
{
    EXPECT_EQ("C:\\Tools\\Notes\\", ExtractFilePath("C:\\Tools\\Notes\\app.exe"));
    EXPECT_EQ("app.exe", ExtractFileName("C:\\Tools\\Notes\\app.exe"));
    EXPECT_EQ("C:", ExtractFilePath("C:x"));
    EXPECT_EQ("", ExtractFilePath("plain"));
    EXPECT_EQ("C:\\a\\", IncludeTrailingBackslash("C:\\a"));
    EXPECT_EQ("C:\\a\\", IncludeTrailingBackslash("C:\\a\\"));
}

TEST(Strings, CodePageConversionsRoundTrip)
{
    const std::wstring korean = L"\uD55C\uAE00 memo";
    if (GetACP() == 949) {
        EXPECT_EQ("\xC7\xD1\xB1\xDB memo", WideToAnsi(korean));
        EXPECT_TRUE(IsLeadByte('\xC7'));
        EXPECT_FALSE(IsLeadByte('\x80'));
    } else {
        EXPECT_EQ(1252u, GetACP());
        EXPECT_EQ(L"caf\u00E9", AnsiToWide("caf\xE9"));
        EXPECT_FALSE(IsLeadByte('\xC7'));
    }
    EXPECT_FALSE(IsLeadByte('a'));
}
