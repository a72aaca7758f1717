#include "wastebasket/Restore.h"

#include "framework/IniFiles.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "notes/BasketFileName.h"
#include "notes/MemoStore.h"
#include "notes/NotePlace.h"
#include "shell/EProjectInc.h"
#include "wastebasket/RtfText.h"

namespace {

std::string FirstNonBlankLine(const std::string& text)
{
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(begin, end - begin));
        if (!line.empty())
            return line;
        begin = end + 1;
    }
    return {};
}

} // namespace

std::string RestoredCaption(const std::string& fileName, const std::wstring& text)
{
    const std::string title = Trim(BasketFileTitle(fileName));
    // A title taken from the text may have been cut to fit a file name.
    const std::string line = FirstNonBlankLine(WideToAnsi(text));
    return title.empty() || line.compare(0, title.size(), title) == 0 ? std::string() : title;
}

std::optional<int> RestoreMemoFile(const std::string& path, const RECT& place)
{
    const std::optional<int> number = NextFreeMemoNumber();
    if (!number)
        return std::nullopt;
    const std::string rtf = ReadFileBytes(path);
    const std::wstring text = MemoFileText(rtf);
    // Whatever the memo holds, a picture alone included, comes back as it was kept.
    WriteMemoFile(*number, rtf);

    TIniFile index(PrjInfo->PostItIniFileName());
    WriteNotePlace(index, MemoSectionName(*number), place);
    const std::string caption = RestoredCaption(path, text);
    if (!caption.empty())
        WriteCaption(*number, caption);

    // Only now, with the memo safe in the store, does the wastebasket copy go.
    DeleteFileA(path.c_str());
    return number;
}
