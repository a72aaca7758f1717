#include "wastebasket/RtfText.h"

#include "framework/SysUtils.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_map>
#include <vector>

namespace {

enum class Destination { Text, FontTable, Skipped };

// What a group inherits from the one around it and gets back at its end.
struct GroupState {
    Destination destination = Destination::Text;
    int font = -1;
    int fallbackLength = 1;  // \ucN: stand-in characters after every \uN
};

// Groups whose content is never shown. Groups marked with \* are skipped as well.
constexpr std::array<std::string_view, 30> kSkippedDestinations = {
    "colortbl", "stylesheet", "info", "pict", "object", "pntext", "pntxta", "pntxtb", "header",
    "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "listtable",
    "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl", "fldinst", "datafield", "themedata",
    "colorschememapping", "latentstyles", "listtext", "bkmkstart", "bkmkend"};

bool IsSkippedDestination(std::string_view word)
{
    return std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) != kSkippedDestinations.end();
}

UINT CodePageOfCharset(int charset, UINT documentCodePage)
{
    if (charset == DEFAULT_CHARSET)
        return documentCodePage;
    static std::unordered_map<int, UINT> known;
    if (auto it = known.find(charset); it != known.end())
        return it->second;
    CHARSETINFO info{};
    UINT codePage = documentCodePage;
    if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(charset)), &info, TCI_SRCCHARSET))
        codePage = info.ciACP;
    known.emplace(charset, codePage);
    return codePage;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class RtfReader {
public:
    explicit RtfReader(std::string_view source) : s_(source) {}

    std::wstring Read()
    {
        while (i_ < s_.size()) {
            const char c = s_[i_++];
            switch (c) {
            case '{': OpenGroup(); break;
            case '}': CloseGroup(); break;
            case '\\': ControlWord(); break;
            case '\r':
            case '\n': break;
            default: Byte(c); break;
            }
        }
        Flush();
        return std::move(text_);
    }

private:
    void OpenGroup()
    {
        Flush();
        fallbackLeft_ = 0;
        groups_.push_back(state_);
    }

    void CloseGroup()
    {
        Flush();
        fallbackLeft_ = 0;
        if (groups_.empty())
            return;
        state_ = groups_.back();
        groups_.pop_back();
    }

    // A byte of text in the font's code page; several make one character in a
    // double-byte code page, so they wait until something else comes.
    void Byte(char c)
    {
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        if (state_.destination != Destination::Text)
            return;
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return;
        const UINT codePage = CurrentCodePage();
        if (!pending_.empty() && codePage != pendingCodePage_)
            Flush();
        pendingCodePage_ = codePage;
        pending_ += c;
    }

    void Character(wchar_t c)
    {
        if (state_.destination != Destination::Text)
            return;
        Flush();
        text_ += c;
    }

    void Flush()
    {
        if (pending_.empty())
            return;
        const int size = static_cast<int>(pending_.size());
        const size_t at = text_.size();
        text_.resize(at + pending_.size());
        int n = MultiByteToWideChar(pendingCodePage_, 0, pending_.data(), size, text_.data() + at, size);
        if (n <= 0) {
            // A code page the system lacks: keep what is ASCII rather than nothing.
            n = 0;
            for (char b : pending_)
                text_[at + n++] = static_cast<unsigned char>(b) < 0x80 ? static_cast<wchar_t>(b) : L'?';
        }
        text_.resize(at + static_cast<size_t>(n));
        pending_.clear();
    }

    // Asked for every byte of text, so the answer is kept until the font or the
    // font table changes.
    UINT CurrentCodePage()
    {
        if (state_.font != cachedFont_ || fontTableVersion_ != cachedVersion_) {
            cachedFont_ = state_.font;
            cachedVersion_ = fontTableVersion_;
            const auto it = fontCodePages_.find(state_.font);
            cachedCodePage_ = it != fontCodePages_.end() ? it->second : documentCodePage_;
        }
        return cachedCodePage_;
    }

    void ControlWord()
    {
        if (i_ >= s_.size())
            return;
        const char c = s_[i_];
        if (!IsLetter(c)) {
            ++i_;
            ControlSymbol(c);
            return;
        }
        const size_t start = i_;
        while (i_ < s_.size() && IsLetter(s_[i_]))
            ++i_;
        const std::string_view word = s_.substr(start, i_ - start);
        bool hasParameter = false;
        long long parameter = 0;
        bool negative = false;
        if (i_ < s_.size() && s_[i_] == '-' && i_ + 1 < s_.size() && IsDigit(s_[i_ + 1])) {
            negative = true;
            ++i_;
        }
        while (i_ < s_.size() && IsDigit(s_[i_])) {
            hasParameter = true;
            parameter = std::min<long long>(parameter * 10 + (s_[i_] - '0'), 1LL << 40);
            ++i_;
        }
        if (negative)
            parameter = -parameter;
        if (i_ < s_.size() && s_[i_] == ' ')
            ++i_;
        Word(word, hasParameter, static_cast<int>(std::clamp<long long>(parameter, INT_MIN, INT_MAX)));
    }

    void ControlSymbol(char c)
    {
        switch (c) {
        case '\'': {
            const int high = i_ < s_.size() ? HexDigit(s_[i_]) : -1;
            const int low = i_ + 1 < s_.size() ? HexDigit(s_[i_ + 1]) : -1;
            if (high < 0 || low < 0)
                return;
            i_ += 2;
            Byte(static_cast<char>(high * 16 + low));
            return;
        }
        case '*':
            state_.destination = Destination::Skipped;
            return;
        case '\\':
        case '{':
        case '}':
            Byte(c);
            return;
        case '~': Character(0x00A0); return;
        case '_': Character(0x2011); return;
        case '\r':
        case '\n': Character(L'\n'); return;
        default: return;  // \- (optional hyphen), \| and the like show nothing
        }
    }

    void Word(std::string_view word, bool hasParameter, int parameter)
    {
        if (word == "bin") {
            Flush();
            i_ += static_cast<size_t>(std::clamp<long long>(parameter, 0, static_cast<long long>(s_.size() - i_)));
            return;
        }
        if (state_.destination == Destination::Skipped)
            return;
        if (state_.destination == Destination::FontTable) {
            FontTableWord(word, parameter);
            return;
        }
        if (word == "fonttbl") {
            state_.destination = Destination::FontTable;
        } else if (IsSkippedDestination(word)) {
            state_.destination = Destination::Skipped;
        } else if (word == "u" && hasParameter) {
            Unicode(parameter);
        } else if (word == "uc" && hasParameter) {
            state_.fallbackLength = std::max(0, parameter);
        } else if (word == "f" && hasParameter) {
            Flush();
            state_.font = parameter;
        } else if (word == "plain") {
            Flush();
            state_.font = defaultFont_;
        } else if (word == "deff" && hasParameter) {
            defaultFont_ = parameter;
            state_.font = parameter;
        } else if (word == "ansicpg" && hasParameter && parameter > 0) {
            SetDocumentCodePage(static_cast<UINT>(parameter));
        } else if (word == "mac") {
            SetDocumentCodePage(10000);
        } else if (word == "pc") {
            SetDocumentCodePage(437);
        } else if (word == "pca") {
            SetDocumentCodePage(850);
        } else {
            TextWord(word);
        }
    }

    void FontTableWord(std::string_view word, int parameter)
    {
        ++fontTableVersion_;
        if (word == "f") {
            definedFont_ = parameter;
            fontCodePages_[definedFont_] = documentCodePage_;
        } else if (word == "fcharset") {
            fontCodePages_[definedFont_] = CodePageOfCharset(parameter, documentCodePage_);
        } else if (word == "cpg" && parameter > 0) {
            fontCodePages_[definedFont_] = static_cast<UINT>(parameter);
        }
    }

    void SetDocumentCodePage(UINT codePage)
    {
        documentCodePage_ = codePage;
        ++fontTableVersion_;
    }

    void Unicode(int code)
    {
        if (code < 0)
            code += 65536;
        Character(static_cast<wchar_t>(code));
        fallbackLeft_ = state_.fallbackLength;
    }

    void TextWord(std::string_view word)
    {
        struct Named {
            std::string_view word;
            wchar_t character;
        };
        static constexpr Named kCharacters[] = {
            {"par", L'\n'}, {"line", L'\n'}, {"sect", L'\n'}, {"page", L'\n'}, {"row", L'\n'},
            {"tab", L'\t'}, {"cell", L'\t'}, {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022},
            {"lquote", 0x2018}, {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
            {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005}};
        for (const Named& n : kCharacters)
            if (n.word == word) {
                Character(n.character);
                return;
            }
    }

    std::string_view s_;
    size_t i_ = 0;
    GroupState state_;
    std::vector<GroupState> groups_;
    std::unordered_map<int, UINT> fontCodePages_;
    UINT documentCodePage_ = 1252;
    int defaultFont_ = -1;
    int definedFont_ = -1;
    int fallbackLeft_ = 0;
    int fontTableVersion_ = 0, cachedVersion_ = -1, cachedFont_ = -1;
    UINT cachedCodePage_ = 1252;
    std::string pending_;
    UINT pendingCodePage_ = 1252;
    std::wstring text_;
};

} // namespace

std::wstring RtfPlainText(std::string_view document) { return RtfReader(document).Read(); }

std::wstring MemoFileText(std::string_view bytes)
{
    if (bytes.substr(0, 5) == "{\\rtf")
        return RtfPlainText(bytes);
    return AnsiToWide(bytes);
}
