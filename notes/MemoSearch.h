#pragma once
// Finding text across memos: case is ignored, Korean and accented letters count
// as the letters they are, and each match comes with the words around it.

#include <string>
#include <vector>

struct TMemoText {
    std::string Caption;  // may be empty
    // The memo's plain text as the editor holds it, lines separated by CR LF: wide,
    // so that letters the code page lacks keep their place in the count.
    std::wstring Text;
};

struct TMemoMatch {
    size_t Memo = 0;          // index into the memos searched
    std::string Title;        // the caption, or else the first line that is not blank
    std::string Context;      // the text around the first match, on one line
    // The first match in the editor's character positions: a line break counts
    // as one character, a Korean syllable as one.
    long Start = 0;
    long Length = 0;
};

// Every memo whose text holds the query, in the order given. An empty (or all
// blank) query finds nothing.
std::vector<TMemoMatch> FindInMemos(const std::vector<TMemoText>& memos, const std::string& query);

// The caption, or else the first line of the text that is not blank, trimmed.
std::string MemoTitle(const TMemoText& memo);
