// The line list of the rich text editor, and its stream and file transfers.

#include "controls/RichMemo.h"

#include "controls/RtfObjects.h"

#include "framework/SysUtils.h"
#include "framework/ScopedValue.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Deeper groups than this are left out of a rich text document: the platform's
// reader has a small fixed stack of groups, and a damaged or hostile file nesting
// past it can bring the reader (and the program) down.
constexpr int MaxGroupDepth = 30;

// What the platform's stream callbacks get as their cookie.
struct StreamCookie {
    StreamCookie(TConversion& c, TStream& s, bool rtf) : converter(c), stream(s), rtf(rtf) {}
    TConversion& converter;
    TStream& stream;
    const bool rtf;
    // A CR that ended the last chunk: whether it starts a CR LF pair shows only
    // with the next byte.
    bool pendingCR = false;
    // The converter raised an error.
    bool failed = false;
    // The first bytes handed over, to tell a rich text document from other files.
    std::string head;
    int depth = 0;
    bool escaped = false;
    bool ended = false;
    std::string work;
    // Converted bytes not yet handed over.
    std::string ready;

    // Group nesting of rich text; a byte inside a too deep group is dropped.
    bool Keep(char ch)
    {
        if (!rtf)
            return true;
        if (escaped) {
            escaped = false;
            return depth <= MaxGroupDepth;
        }
        if (ch == '\\')
            escaped = true;
        else if (ch == '{')
            return ++depth <= MaxGroupDepth;
        else if (ch == '}')
            return depth-- <= MaxGroupDepth;
        return depth <= MaxGroupDepth;
    }
    void Put(char ch)
    {
        if (!Keep(ch))
            return;
        if (head.size() < 5)
            head += ch;
        ready += ch;
    }
};

// Hands the platform the next chunk with every line break as CR LF (CR LF, lone CR
// and lone LF alike) and without zero bytes, which no text holds and which would
// otherwise cut the load short. Chunks are filled to the size asked for: the
// platform recognises rich text by its first chunk, takes an empty one for the end,
// and spends time per chunk.
DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* count) noexcept
{
    *count = 0;
    auto& c = *reinterpret_cast<StreamCookie*>(cookie);
    try {
        const size_t wanted = static_cast<size_t>(std::max<LONG>(0, size));
        while (c.ready.size() < wanted && !c.ended) {
            c.work.resize(std::max<size_t>(wanted, 1));
            const int n = c.converter.ConvertReadStream(c.stream, c.work.data(), static_cast<int>(c.work.size()));
            if (n <= 0) {
                if (c.pendingCR) {
                    c.Put('\r');
                    c.Put('\n');
                }
                c.pendingCR = false;
                c.ended = true;
                break;
            }
            for (int i = 0; i < n; ++i) {
                const char ch = c.work[static_cast<size_t>(i)];
                if (c.pendingCR) {
                    c.pendingCR = false;
                    c.Put('\r');
                    c.Put('\n');
                    if (ch == '\n')
                        continue;
                }
                if (ch == '\r') {
                    c.pendingCR = true;
                } else if (ch == '\n') {
                    c.Put('\r');
                    c.Put('\n');
                } else if (ch != '\0') {
                    c.Put(ch);
                }
            }
        }
        const size_t n = std::min(wanted, c.ready.size());
        std::memcpy(buffer, c.ready.data(), n);
        c.ready.erase(0, n);
        *count = static_cast<LONG>(n);
        return 0;
    } catch (...) {
        c.failed = true;
        return 1;
    }
}

DWORD CALLBACK WriteChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* count) noexcept
{
    *count = 0;
    auto& c = *reinterpret_cast<StreamCookie*>(cookie);
    try {
        *count = c.converter.ConvertWriteStream(c.stream, reinterpret_cast<const char*>(buffer), size);
        return 0;
    } catch (...) {
        return 2;
    }
}

// Reads the whole document through another converter, then hands it out without
// its embedded objects: the platform would make every object a document holds.
class ObjectFreeConversion : public TConversion {
public:
    explicit ObjectFreeConversion(TConversion& source) : source_(source) {}
    int ConvertReadStream(TStream& stream, char* buffer, int size) override
    {
        if (!read_) {
            read_ = true;
            std::string document, chunk(1 << 16, '\0');
            for (int n; (n = source_.ConvertReadStream(stream, chunk.data(), static_cast<int>(chunk.size()))) > 0;)
                document.append(chunk, 0, static_cast<size_t>(n));
            document_ = StripRtfObjects(document);
        }
        const size_t n = std::min(document_.size() - at_, static_cast<size_t>(std::max(size, 0)));
        std::memcpy(buffer, document_.data() + at_, n);
        at_ += n;
        return static_cast<int>(n);
    }

private:
    TConversion& source_;
    bool read_ = false;
    std::string document_;
    size_t at_ = 0;
};

bool HoldsExactly(UINT codePage, wchar_t letter)
{
    char bytes[4];
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, &letter, 1, bytes, sizeof(bytes), nullptr,
                                      &lossy);
    return n > 0 && !lossy;
}

// The character set of the first Windows code page that holds the letter exactly,
// or DEFAULT_CHARSET when none does (the writer then gives it as a Unicode escape).
BYTE CharsetHolding(wchar_t letter)
{
    static const std::pair<BYTE, UINT> charsets[] = {
        {EASTEUROPE_CHARSET, 1250}, {RUSSIAN_CHARSET, 1251}, {ANSI_CHARSET, 1252},   {GREEK_CHARSET, 1253},
        {TURKISH_CHARSET, 1254},    {HEBREW_CHARSET, 1255},  {ARABIC_CHARSET, 1256}, {BALTIC_CHARSET, 1257},
        {VIETNAMESE_CHARSET, 1258},
    };
    for (const auto& [charset, codePage] : charsets)
        if (HoldsExactly(codePage, letter))
            return charset;
    return DEFAULT_CHARSET;
}

} // namespace

int TConversion::ConvertReadStream(TStream& stream, char* buffer, int size)
{
    return static_cast<int>(stream.Read(buffer, size));
}

int TConversion::ConvertWriteStream(TStream& stream, const char* buffer, int size)
{
    if (stream.Write(buffer, size) != size)
        throw EStreamError("Stream write error");
    return size;
}

int TRichEditStrings::FormatFlags() const
{
    switch (StreamFormat) {
    case TStreamFormat::sfRichText: return SF_RTF;
    case TStreamFormat::sfPlainText: return SF_TEXT;
    case TStreamFormat::sfDefault: break;
    }
    return editor_.PlainText() ? SF_TEXT : SF_RTF;
}

void TRichEditStrings::LoadFromStream(TStream& stream)
{
    editor_.HandleNeeded();
    int flags = FormatFlags();
    if ((flags & SF_RTF) && (StreamMode & smPlainRtf))
        flags |= SFF_PLAINRTF;
    if ((flags & SF_TEXT) && (StreamMode & smUnicode))
        flags |= SF_UNICODE;
    if (StreamMode & smSelection)
        flags |= SFF_SELECTION;

    TConversion fallback;
    TConversion& converter = Converter ? *Converter : fallback;
    auto streamIn = [&](int how, StreamCookie& cookie) {
        EDITSTREAM record{reinterpret_cast<DWORD_PTR>(&cookie), 0, ReadChunk};
        editor_.Send(EM_STREAMIN, static_cast<WPARAM>(how), reinterpret_cast<LPARAM>(&record));
        return record.dwError;
    };
    const long long start = stream.Position();
    ObjectFreeConversion objectFree(converter);
    StreamCookie first((flags & SF_RTF) ? objectFree : converter, stream, (flags & SF_RTF) != 0);
    // A rich text document that the platform's reader gave up on part way (cut
    // short, damaged) keeps what could be read, rather than showing its source.
    if (streamIn(flags, first) != 0 && (first.failed || !first.rtf || first.head != "{\\rtf")) {
        // Not what it claimed to be: once more from the start in the other form.
        stream.SetPosition(start);
        const int other = (flags & SF_RTF) ? SF_TEXT : SF_RTF;
        ObjectFreeConversion objectFreeAgain(converter);
        StreamCookie second(other == SF_RTF ? objectFreeAgain : converter, stream, other == SF_RTF);
        if (streamIn(other, second) != 0)
            throw EStreamError("Failed to Load Stream");
    }
    editor_.SelectRange(0, 0, true);
}

void TRichEditStrings::KeepForeignLetters()
{
    GETTEXTLENGTHEX lengthHow{GTL_DEFAULT | GTL_NUMCHARS, 1200};
    const auto length = editor_.Send(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthHow));
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    GETTEXTEX how{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    text.resize(static_cast<size_t>(std::max<LRESULT>(
        0, SendMessageW(editor_.Handle(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                        reinterpret_cast<LPARAM>(text.data())))));
    // Runs of letters that want the same character set, as (start, end, charset).
    std::vector<std::tuple<int, int, BYTE>> runs;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t letter = text[i];
        if (letter < 0x80 || IS_HIGH_SURROGATE(letter) || IS_LOW_SURROGATE(letter) ||
            HoldsExactly(CP_ACP, letter))
            continue;
        const BYTE charset = CharsetHolding(letter);
        if (charset == DEFAULT_CHARSET)
            continue;
        const int at = static_cast<int>(i);
        if (!runs.empty() && std::get<1>(runs.back()) == at && std::get<2>(runs.back()) == charset)
            std::get<1>(runs.back()) = at + 1;
        else
            runs.emplace_back(at, at + 1, charset);
    }
    if (runs.empty())
        return;
    // Quietly: neither the selection, the modified flag nor the change events move.
    CHARRANGE selection{0, 0};
    editor_.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const bool modified = editor_.Modified();
    const LRESULT mask = editor_.Send(EM_GETEVENTMASK);
    editor_.Send(EM_SETEVENTMASK, 0, 0);
    for (const auto& [start, end, charset] : runs) {
        CHARRANGE range{start, end};
        editor_.Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2A format{};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_CHARSET;
        format.bCharSet = charset;
        editor_.Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    editor_.Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    editor_.Send(EM_SETEVENTMASK, 0, mask);
    editor_.SetModified(modified);
}

void TRichEditStrings::SaveToStream(TStream& stream)
{
    editor_.HandleNeeded();
    int flags = FormatFlags();
    if (flags & SF_RTF)
        KeepForeignLetters();
    if (flags == SF_RTF && (StreamMode & smNoObjects))
        flags = SF_RTFNOOBJS;
    if ((flags & SF_RTF) && (StreamMode & smPlainRtf))
        flags |= SFF_PLAINRTF;
    if (flags == SF_TEXT && (StreamMode & smUnicode))
        flags |= SF_UNICODE;
    if (StreamMode & smSelection)
        flags |= SFF_SELECTION;

    TConversion fallback;
    StreamCookie cookie(Converter ? *Converter : fallback, stream, false);
    EDITSTREAM record{reinterpret_cast<DWORD_PTR>(&cookie), 0, WriteChunk};
    editor_.Send(EM_STREAMOUT, static_cast<WPARAM>(flags), reinterpret_cast<LPARAM>(&record));
    if (record.dwError != 0)
        throw EStreamError("Failed to Save Stream");
}

void TRichEditStrings::LoadFromFile(const std::string& fileName)
{
    StreamFormat = TStreamFormat::sfRichText;
    // Read whole and with full sharing: a sync client or a virus scanner that has
    // the file open does not keep it out.
    TMemoryStream content(ReadFileBytes(fileName));
    LoadFromStream(content);
}

void TRichEditStrings::SaveToFile(const std::string& fileName)
{
    StreamFormat = TStreamFormat::sfRichText;
    // The whole content first: a save that fails must not leave the file emptied.
    TMemoryStream content;
    SaveToStream(content);
    TFileStream file(fileName, fmCreate);
    const std::string& bytes = content.DataString();
    if (file.Write(bytes.data(), static_cast<long>(bytes.size())) != static_cast<long>(bytes.size()))
        throw EStreamError("Failed to Save Stream");
}

int TRichEditStrings::Count() const
{
    editor_.HandleNeeded();
    int count = static_cast<int>(editor_.Send(EM_GETLINECOUNT));
    // The empty line after a final line break is no line of the list.
    if (count > 0 && LineLengthAt(LineStart(count - 1)) == 0)
        --count;
    return count;
}

std::string TRichEditStrings::Get(int index) const
{
    editor_.HandleNeeded();
    std::wstring wide(MaxLineLength, L'\0');
    wide[0] = static_cast<wchar_t>(MaxLineLength);
    const LRESULT n = SendMessageW(editor_.Handle(), EM_GETLINE, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, MaxLineLength)));
    std::string line = WideToAnsi(wide);
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
        line.resize(line.size() - 2);
    else if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

LRESULT TRichEditStrings::LineStart(int index) const
{
    return index < 0 ? -1 : editor_.Send(EM_LINEINDEX, static_cast<WPARAM>(index));
}

LRESULT TRichEditStrings::LineLengthAt(LRESULT start) const
{
    return editor_.Send(EM_LINELENGTH, static_cast<WPARAM>(start));
}

void TRichEditStrings::Put(int index, const std::string& text)
{
    editor_.HandleNeeded();
    const LRESULT start = LineStart(index);
    if (start == -1)
        return;
    const LRESULT length = LineLengthAt(start);
    editor_.SelectRange(static_cast<int>(start), static_cast<int>(start + length), false);
    ScopedValue<bool> internal(editor_.internalReplace_, true);
    editor_.SendReplaceSel(text, false);
}

void TRichEditStrings::Insert(int index, const std::string& text)
{
    editor_.HandleNeeded();
    if (index < 0)
        return;
    const char* lineBreak = "\r";
    std::string inserted;
    LRESULT start = LineStart(index);
    if (start >= 0) {
        inserted = text + lineBreak;
    } else {
        // Past the last line: only right after a last line that has text.
        const LRESULT previous = LineStart(index - 1);
        if (previous < 0)
            return;
        const LRESULT length = LineLengthAt(previous);
        if (length == 0)
            return;
        start = previous + length;
        inserted = lineBreak + text;
    }
    editor_.SelectRange(static_cast<int>(start), static_cast<int>(start), false);
    {
        ScopedValue<bool> internal(editor_.internalReplace_, true);
        editor_.SendReplaceSel(inserted, false);
    }
}

void TRichEditStrings::AddStrings(const std::vector<std::string>& lines)
{
    ScopedValue<std::function<void()>> detached(editor_.OnSelectionChange, nullptr);
    for (const std::string& line : lines)
        Add(line);
}

void TRichEditStrings::Delete(int index)
{
    editor_.HandleNeeded();
    const LRESULT start = LineStart(index);
    if (start == -1)
        return;
    LRESULT end = LineStart(index + 1);
    if (end == -1)
        end = start + LineLengthAt(start);
    editor_.SelectRange(static_cast<int>(start), static_cast<int>(end), false);
    ScopedValue<bool> internal(editor_.internalReplace_, true);
    editor_.SendReplaceSel("", false);
}

void TRichEditStrings::Clear() { editor_.Clear(); }

std::string TRichEditStrings::Text() const { return editor_.EditorText(); }

void TRichEditStrings::SetText(const std::string& text)
{
    editor_.HandleNeeded();
    // No change notification for a whole new text.
    struct MaskGuard {
        TCustomRichMemo& editor;
        ~MaskGuard() { editor.ApplyEventMask(true); }
    } guard{editor_};
    editor_.ApplyEventMask(false);
    editor_.SetEditorText(text);
}

std::vector<std::string> TRichEditStrings::ToVector() const
{
    std::vector<std::string> lines;
    const int count = Count();
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        lines.push_back(Get(i));
    return lines;
}

void TRichEditStrings::BeginUpdate()
{
    if (updateCount_++ == 0 && editor_.Handle() && IsWindowVisible(editor_.Handle())) {
        editor_.Send(WM_SETREDRAW, FALSE);
        redrawOff_ = true;
    }
}

void TRichEditStrings::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ != 0)
        return;
    // Switching drawing off hides the window from IsWindowVisible: remember instead.
    if (redrawOff_ && editor_.Handle()) {
        editor_.Send(WM_SETREDRAW, TRUE);
        editor_.Repaint();
    }
    redrawOff_ = false;
}
