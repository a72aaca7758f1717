#include "wastebasket/Restore.h"

#include "framework/IniFiles.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "shell/EProjectInc.h"
#include "shell/funcs.h"
#include "wastebasket/RtfText.h"

namespace {

// "yyyy-mm-dd hh_nn_ss " before the title.
constexpr size_t kTimestampAndBlank = 20;

bool HasTimestamp(const std::string& stem)
{
    static const char pattern[] = "dddd-dd-dd dd_dd_dd ";
    if (stem.size() < kTimestampAndBlank)
        return false;
    for (size_t i = 0; i < kTimestampAndBlank; ++i) {
        const bool digit = stem[i] >= '0' && stem[i] <= '9';
        if (pattern[i] == 'd' ? !digit : stem[i] != pattern[i])
            return false;
    }
    return true;
}

std::string TitleOf(const std::string& fileName)
{
    std::string stem = ExtractFileName(fileName);
    if (stem.size() >= 4 && lstrcmpiA(stem.c_str() + stem.size() - 4, ".txt") == 0)
        stem.resize(stem.size() - 4);
    return DecodeFileName(HasTimestamp(stem) ? stem.substr(kTimestampAndBlank) : stem);
}

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
    const std::string title = Trim(TitleOf(fileName));
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
    const std::string section = MemoSectionName(*number);
    index.WriteInteger(section, "Left", place.left);
    index.WriteInteger(section, "Top", place.top);
    index.WriteInteger(section, "Width", place.right - place.left);
    index.WriteInteger(section, "Height", place.bottom - place.top);
    const std::string caption = RestoredCaption(path, text);
    if (!caption.empty())
        WriteCaption(*number, caption);

    // Only now, with the memo safe in the store, does the wastebasket copy go.
    DeleteFileA(path.c_str());
    return number;
}
