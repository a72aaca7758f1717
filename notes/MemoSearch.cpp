#include "notes/MemoSearch.h"

#include "framework/SysUtils.h"

#include <windows.h>

#include <algorithm>

namespace {

// How many characters of context stand on either side of the match.
constexpr size_t kContextBefore = 20;
constexpr size_t kContextAfter = 40;

// The text as the editor counts it: each CR LF (or lone LF) is one CR.
std::wstring EditorText(const std::wstring& wide)
{
    std::wstring out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\n') {
            if (i == 0 || wide[i - 1] != L'\r')
                out += L'\r';
            continue;
        }
        out += wide[i];
    }
    return out;
}

std::wstring Folded(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsBreak(wchar_t c) { return c == L'\r' || c == L'\n' || c == L'\t'; }

std::string ContextAround(const std::wstring& text, size_t start, size_t length)
{
    const size_t from = start > kContextBefore ? start - kContextBefore : 0;
    const size_t to = std::min(text.size(), start + length + kContextAfter);
    std::wstring piece = text.substr(from, to - from);
    std::replace_if(piece.begin(), piece.end(), IsBreak, L' ');
    // One blank for every run of blanks: line breaks leave long gaps otherwise.
    piece.erase(std::unique(piece.begin(), piece.end(), [](wchar_t a, wchar_t b) { return a == L' ' && b == L' '; }),
                piece.end());
    std::string context = WideToAnsi(piece);
    if (from > 0)
        context = "..." + TrimLeft(context);
    if (to < text.size())
        context = TrimRight(context) + "...";
    return Trim(context) == "..." ? std::string() : context;
}

} // namespace

std::string MemoTitle(const TMemoText& memo)
{
    if (!Trim(memo.Caption).empty())
        return Trim(memo.Caption);
    const std::string text = WideToAnsi(memo.Text);
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trim(text.substr(begin, end - begin));
        if (!line.empty())
            return line;
        begin = end + 1;
    }
    return {};
}

std::vector<TMemoMatch> FindInMemos(const std::vector<TMemoText>& memos, const std::string& query)
{
    std::vector<TMemoMatch> matches;
    if (Trim(query).empty())
        return matches;
    const std::wstring needle = Folded(EditorText(AnsiToWide(query)));
    for (size_t i = 0; i < memos.size(); ++i) {
        const std::wstring text = EditorText(memos[i].Text);
        const size_t at = Folded(text).find(needle);
        if (at == std::wstring::npos)
            continue;
        TMemoMatch match;
        match.Memo = i;
        match.Title = MemoTitle(memos[i]);
        match.Context = ContextAround(text, at, needle.size());
        match.Start = static_cast<long>(at);
        match.Length = static_cast<long>(needle.size());
        matches.push_back(std::move(match));
    }
    return matches;
}
