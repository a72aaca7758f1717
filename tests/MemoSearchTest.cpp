#include "notes/MemoSearch.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace {

std::string Ansi(const wchar_t* text) { return WideToAnsi(text); }

struct Expected {
    size_t memo;
    long start;
    std::string title;
};

void ExpectMatches(const std::vector<TMemoText>& memos, const std::string& query, const std::vector<Expected>& expected)
{
    const std::vector<TMemoMatch> found = FindInMemos(memos, query);
    ASSERT_EQ(expected.size(), found.size()) << query;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].memo, found[i].Memo) << query;
        EXPECT_EQ(expected[i].start, found[i].Start) << query;
        EXPECT_EQ(expected[i].title, found[i].Title) << query;
        const std::wstring wide = AnsiToWide(query);
        const long breaks = static_cast<long>(std::count(wide.begin(), wide.end(), L'\n'));
        EXPECT_EQ(static_cast<long>(wide.size()) - breaks, found[i].Length) << query;
    }
}

} // namespace

TEST(MemoSearch, FindsIgnoringCaseAndCountsPositionsAsTheEditorDoes)
{
    const std::vector<TMemoText> memos = {
        {"", L"Buy milk\r\nand bread"},
        {"Shopping", L"MILK first"},
        {"", L"\r\n  \r\n  nothing here\r\n"},
        {"", L"one\r\ntwo\nthree"},
        // The editor counts UTF-16 units: an emoji is two, a letter the code page
        // lacks is one, whatever the code page makes of them.
        {"", L"\U0001F600 \u017c\u00f3\u0142w tea"},
    };
    ExpectMatches(memos, "milk", {{0, 4, "Buy milk"}, {1, 0, "Shopping"}});
    ExpectMatches(memos, "Milk First", {{1, 0, "Shopping"}});
    ExpectMatches(memos, "bread", {{0, 13, "Buy milk"}});
    ExpectMatches(memos, "three", {{3, 8, "one"}});
    ExpectMatches(memos, "here", {{2, 14, "nothing here"}});
    ExpectMatches(memos, "k\r\na", {{0, 7, "Buy milk"}});
    ExpectMatches(memos, "tea", {{4, 8, Ansi(L"\U0001F600 \u017c\u00f3\u0142w tea")}});
    ExpectMatches(memos, "cheese", {});
    ExpectMatches(memos, "", {});
    ExpectMatches(memos, "   ", {});
}

TEST(MemoSearch, LettersBeyondAsciiAreFoundUnderTheirCodePage)
{
    if (GetACP() == 949) {
        const std::vector<TMemoText> memos = {
            {"", L"회의 메모\r\n내일 회의"},
            {Ansi(L"장보기"), L"우유와 빵"},
        };
        ExpectMatches(memos, Ansi(L"회의"), {{0, 0, Ansi(L"회의 메모")}});
        ExpectMatches(memos, Ansi(L"내일"), {{0, 6, Ansi(L"회의 메모")}});
        ExpectMatches(memos, Ansi(L"빵"), {{1, 4, Ansi(L"장보기")}});
        ExpectMatches(memos, Ansi(L"회"), {{0, 0, Ansi(L"회의 메모")}});
    } else {
        const std::vector<TMemoText> memos = {{"", L"Caf\u00e9 CR\u00c8ME br\u00fbl\u00e9e"}};
        ExpectMatches(memos, Ansi(L"caf\u00c9"), {{0, 0, Ansi(memos[0].Text.c_str())}});
        ExpectMatches(memos, Ansi(L"cr\u00e8me"), {{0, 5, Ansi(memos[0].Text.c_str())}});
        ExpectMatches(memos, "creme", {});
    }
}

TEST(MemoSearch, ContextIsOneLineAroundTheMatch)
{
    const std::string longText = std::string(60, 'a') + "\r\n\r\n  needle\tin the hay" + std::string(80, 'b');
    const std::vector<TMemoMatch> found = FindInMemos({{"", AnsiToWide(longText)}, {"", L"short needle"}}, "NEEDLE");
    ASSERT_EQ(2u, found.size());
    const std::string& context = found[0].Context;
    EXPECT_EQ(0u, context.find("...")) << context;
    EXPECT_EQ(context.size() - 3, context.rfind("...")) << context;
    EXPECT_NE(std::string::npos, context.find("aaa needle in the hay")) << context;
    EXPECT_EQ(std::string::npos, context.find_first_of("\r\n\t")) << context;
    EXPECT_EQ("short needle", found[1].Context);
}
