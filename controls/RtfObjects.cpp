#include "controls/RtfObjects.h"

#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// Groups nested deeper than this are left out: the editor's reader leaves out far
// shallower ones, and a hostile document must not make the filter's stack huge.
constexpr size_t kMaxDepth = 4096;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsRichText(std::string_view document) { return document.substr(0, 5) == "{\\rtf"; }

struct Token {
    enum Kind { Open, Close, Word, Symbol, Text } kind;
    // The token's bytes as they stand, with a control word's delimiting blank and
    // the raw bytes that \binN announces.
    std::string_view bytes;
    // The control word's letters.
    std::string_view word;
};

class Scanner {
public:
    explicit Scanner(std::string_view document) : rest_(document) {}

    bool Next(Token& token)
    {
        if (rest_.empty())
            return false;
        const char c = rest_[0];
        if (c == '{' || c == '}') {
            token = {c == '{' ? Token::Open : Token::Close, Take(1), {}};
        } else if (c != '\\') {
            size_t n = rest_.find_first_of("{}\\");
            token = {Token::Text, Take(n == std::string_view::npos ? rest_.size() : n), {}};
        } else if (rest_.size() > 1 && IsLetter(rest_[1])) {
            token = ControlWord();
        } else {
            const size_t n = rest_.size() < 2 ? 1 : rest_[1] == '\'' ? 4 : 2;
            token = {Token::Symbol, Take(n), {}};
        }
        return true;
    }

private:
    std::string_view Take(size_t n)
    {
        n = std::min(n, rest_.size());
        std::string_view taken = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return taken;
    }

    Token ControlWord()
    {
        size_t n = 1;
        while (n < rest_.size() && IsLetter(rest_[n]))
            ++n;
        const std::string_view word = rest_.substr(1, n - 1);
        const size_t digits = n + (n < rest_.size() && rest_[n] == '-' ? 1 : 0);
        size_t end = digits;
        while (end < rest_.size() && IsDigit(rest_[end]) && end - digits < 10)
            ++end;
        const long parameter = end > digits ? std::strtol(std::string(rest_.substr(n, end - n)).c_str(), nullptr, 10) : 0;
        if (end < rest_.size() && rest_[end] == ' ')
            ++end;
        // \binN: the next N bytes are data, braces and backslashes included.
        if (word == "bin" && parameter > 0)
            end += static_cast<size_t>(parameter);
        return {Token::Word, Take(end), word};
    }

    std::string_view rest_;
};

struct Group {
    explicit Group(size_t at) : start(at) {}
    size_t start;
    // Until the first text or inner group: where a group says what it is.
    bool leading = true;
    bool object = false;
    bool objectData = false;
    bool result = false;
    // Where a "\*" in the leading words was written.
    std::optional<size_t> star;
    // The filtered text of an object's first result group: start and length.
    std::optional<std::pair<size_t, size_t>> resultText;
};

bool OnlyLineBreaks(std::string_view text) { return text.find_first_not_of("\r\n") == std::string_view::npos; }

// What stays of a group that ends: an object leaves its result, object data nothing.
void Finish(std::string& out, Group& group, Group* parent)
{
    if (group.objectData) {
        out.resize(group.start);
    } else if (group.object) {
        const std::string kept = group.resultText ? out.substr(group.resultText->first, group.resultText->second) : "";
        out.resize(group.start);
        out += kept;
    } else if (group.result && parent && parent->object && !parent->resultText) {
        parent->resultText = std::make_pair(group.start, out.size() - group.start);
    }
}

} // namespace

std::string StripRtfObjects(std::string_view document)
{
    if (!IsRichText(document))
        return std::string(document);
    std::string out;
    out.reserve(document.size());
    std::vector<Group> groups;
    size_t skipped = 0;  // levels deeper than kMaxDepth
    Scanner scanner(document);
    Token token;
    while (scanner.Next(token)) {
        if (skipped > 0) {
            if (token.kind == Token::Open)
                ++skipped;
            else if (token.kind == Token::Close)
                --skipped;
            continue;
        }
        Group* group = groups.empty() ? nullptr : &groups.back();
        switch (token.kind) {
        case Token::Open:
            if (group)
                group->leading = false;
            if (groups.size() >= kMaxDepth) {
                skipped = 1;
                continue;
            }
            groups.emplace_back(out.size());
            out += '{';
            continue;
        case Token::Close:
            out += '}';
            if (group) {
                Group ended = *group;
                groups.pop_back();
                Finish(out, ended, groups.empty() ? nullptr : &groups.back());
            }
            continue;
        case Token::Symbol:
            // "\*" marks what follows as skippable; every other symbol is text.
            if (group && group->leading && token.bytes == "\\*")
                group->star = out.size();
            else if (group)
                group->leading = false;
            break;
        case Token::Text:
            if (group && !OnlyLineBreaks(token.bytes))
                group->leading = false;
            break;
        case Token::Word: {
            const bool objectWord = token.word == "object" || token.word == "objdata";
            if (!group || !group->leading) {
                // Out of place, these words make no object; they go all the same.
                if (objectWord)
                    continue;
                break;
            }
            group->object |= token.word == "object";
            group->objectData |= token.word == "objdata";
            const bool inObject = groups.size() > 1 && groups[groups.size() - 2].object;
            if (token.word == "result" && inObject) {
                // The result becomes a plain group: "\*" would make a reader skip it.
                group->result = true;
                if (group->star)
                    out.resize(*group->star);
                continue;
            }
            break;
        }
        }
        out += token.bytes;
    }
    // A document cut short: its open groups end here.
    while (!groups.empty()) {
        Group ended = groups.back();
        groups.pop_back();
        Finish(out, ended, groups.empty() ? nullptr : &groups.back());
    }
    return out;
}

bool RtfHoldsPicture(std::string_view document)
{
    if (!IsRichText(document))
        return false;
    Scanner scanner(document);
    Token token;
    while (scanner.Next(token))
        if (token.kind == Token::Word && token.word == "pict")
            return true;
    return false;
}
