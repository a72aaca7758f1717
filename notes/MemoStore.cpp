#include "notes/MemoStore.h"

#include "controls/RtfObjects.h"

#include "framework/Handles.h"
#include "framework/IniFiles.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "notes/BasketFileName.h"
#include "notes/NotePlace.h"
#include "notes/SyncChanges.h"
#include "shell/EProjectInc.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int kHighestNewMemoNumber = 999;
constexpr char kExtension[] = ".txt";
constexpr size_t kExtensionLength = sizeof(kExtension) - 1;
// The longest path the "A" functions take, and the longest name in a folder.
constexpr size_t kMaxPathLength = MAX_PATH - 1;
constexpr size_t kMaxNameLength = 255;

// Sync: what each memo file of the program folder held when the store last read or
// wrote it. Another folder's memos of the same numbers are other files.
std::unordered_map<int, unsigned long long>& KnownMemoFiles()
{
    static std::string folder;
    static std::unordered_map<int, unsigned long long> known;
    if (folder != PrjInfo->ProgramPath) {
        folder = PrjInfo->ProgramPath;
        known.clear();
    }
    return known;
}

TIniFile MemoIndex() { return TIniFile(PrjInfo->PostItIniFileName()); }

EFCreateError CannotCreate(const std::string& path, DWORD error)
{
    return EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), SysErrorMessage(error).c_str()));
}

UniqueKernelHandle OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueKernelHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// Writes every byte and makes sure they reached the disk; ERROR_SUCCESS or the reason.
DWORD WriteAllAndFlush(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        done += written;
    }
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

// Creates the file, which must not exist yet, with the given bytes. A file that could
// not be completed is removed again. ERROR_SUCCESS or the reason.
DWORD WriteNewFile(const std::string& path, const std::string& bytes)
{
    DWORD error = ERROR_SUCCESS;
    {
        UniqueKernelHandle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_NEW);
        if (!file)
            return GetLastError();
        error = WriteAllAndFlush(file.get(), bytes);
    }
    if (error != ERROR_SUCCESS)
        DeleteFileA(path.c_str());
    return error;
}

bool PathTaken(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void ForceDirectories(std::string dir)
{
    while (!dir.empty() && dir.back() == '\\')
        dir.pop_back();
    if (dir.empty() || DirectoryExists(dir + '\\'))
        return;
    const std::string parent = ExtractFilePath(dir);
    if (!parent.empty() && parent.size() < dir.size())
        ForceDirectories(parent);
    CreateDirectoryA(dir.c_str(), nullptr);
}

SYSTEMTIME AddOneSecond(const SYSTEMTIME& when)
{
    FILETIME ft;
    SystemTimeToFileTime(&when, &ft);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = ft.dwLowDateTime;
    ticks.HighPart = ft.dwHighDateTime;
    ticks.QuadPart += 10'000'000ull;
    ft.dwLowDateTime = ticks.LowPart;
    ft.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME next;
    FileTimeToSystemTime(&ft, &next);
    return next;
}

// The caption, or else the first line that is not blank, trimmed.
std::string WastebasketTitle(const std::string& caption, const std::vector<std::string>& lines)
{
    if (!caption.empty())
        return caption;
    for (const std::string& line : lines) {
        std::string trimmed = Trim(line);
        if (!trimmed.empty())
            return trimmed;
    }
    return {};
}

// Repairs and encodes the title, then moves the time on until the name is free.
std::string ComposeWastebasketFileName(const std::string& title, SYSTEMTIME when)
{
    const std::string repaired = DropLoneLeadByte(title);
    ForceDirectories(PrjInfo->BasketPath);
    for (;;) {
        std::string path = PrjInfo->BasketPath + BasketFileName(when, repaired);
        if (!PathTaken(path))
            return path;
        when = AddOneSecond(when);
    }
}

// What a name can hold that the encoding leaves alone but file systems refuse: a
// double quote becomes a single one, control characters become blanks.
std::string CleanTitle(std::string title)
{
    for (char& c : title) {
        if (c == '"')
            c = '\'';
        else if (c > 0 && c < ' ')
            c = ' ';
    }
    return title;
}

std::string CutTitle(const std::string& title, size_t length)
{
    return TrimRight(DropLoneLeadByte(title.substr(0, length)));
}

// How much of the title fits within the platform's limits on paths and names.
size_t FittingTitleLength(const std::string& title, const SYSTEMTIME& when)
{
    const size_t folder = PrjInfo->BasketPath.size();
    if (folder + BasketFileName(when, {}).size() >= kMaxPathLength)
        return 0;
    const size_t room = std::min(kMaxPathLength - folder, kMaxNameLength);
    size_t length = title.size();
    while (length > 0 && BasketFileName(when, CutTitle(title, length)).size() > room)
        --length;
    return length;
}

// The titles to try, best first: as it is, cleaned, cut to the platform's limits, then
// shorter and shorter (some file systems count the bytes of another encoding), then none.
std::vector<std::string> TitleCandidates(const std::string& title, const SYSTEMTIME& when)
{
    std::vector<std::string> candidates{title};
    auto add = [&](std::string candidate) {
        if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
            candidates.push_back(std::move(candidate));
    };
    const std::string cleaned = CleanTitle(title);
    add(cleaned);
    for (size_t length = FittingTitleLength(cleaned, when); length > 0; length /= 2)
        add(CutTitle(cleaned, length));
    add({});
    return candidates;
}

std::string WriteWastebasketFile(const std::string& title, const SYSTEMTIME& when, const std::string& rtf)
{
    std::string firstPath;
    DWORD firstError = ERROR_SUCCESS;
    for (const std::string& candidate : TitleCandidates(title, when)) {
        const std::string path = ComposeWastebasketFileName(candidate, when);
        const DWORD error = WriteNewFile(path, rtf);
        if (error == ERROR_SUCCESS)
            return path;
        if (firstPath.empty()) {
            firstPath = path;
            firstError = error;
        }
    }
    throw CannotCreate(firstPath, firstError);
}

// The memo file's creation time in local time, rounded down to the two seconds of a
// DOS date-time; none when the file cannot be opened.
std::optional<SYSTEMTIME> MemoFileTime(const std::string& path)
{
    UniqueKernelHandle file =
        OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    FILETIME created, local;
    if (!file || !GetFileTime(file.get(), &created, nullptr, nullptr) || !FileTimeToLocalFileTime(&created, &local))
        return std::nullopt;
    SYSTEMTIME result;
    WORD dosDate = 0, dosTime = 0;
    FILETIME rounded;
    if (FileTimeToDosDateTime(&local, &dosDate, &dosTime) && DosDateTimeToFileTime(dosDate, dosTime, &rounded)) {
        FileTimeToSystemTime(&rounded, &result);
    } else {
        // Outside the DOS years (1980 to 2107): round the same way by hand.
        FileTimeToSystemTime(&local, &result);
        result.wSecond &= ~1u;
        result.wMilliseconds = 0;
    }
    return result;
}

std::optional<FILETIME> CreationTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return data.ftCreationTime;
}

// Writes the bytes beside the file and swaps them in with one rename, so the file
// holds either the old content or the new, never a part. The replacement takes over
// the old file's creation time, which a rename would otherwise make the time of
// this save. A swap another program's open handle stands in the way of raises
// EFileHeld: that program (a scanner, the indexer, a sync client) lets go soon.
void ReplaceFileContent(const std::string& path, const std::string& bytes)
{
    const std::string staging = StagingFilePath(path);
    const std::optional<FILETIME> created = CreationTime(path);
    // A leftover from an interrupted save must not lend the new file its creation time.
    DeleteFileA(staging.c_str());
    DWORD error = ERROR_SUCCESS;
    {
        UniqueKernelHandle file = OpenFile(staging, GENERIC_WRITE, 0, CREATE_NEW);
        if (!file)
            throw CannotCreate(path, GetLastError());
        error = WriteAllAndFlush(file.get(), bytes);
        if (error == ERROR_SUCCESS && created)
            SetFileTime(file.get(), &*created, nullptr, nullptr);
    }
    bool swapping = false;
    if (error == ERROR_SUCCESS &&
        !MoveFileExA(staging.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        swapping = true;
    }
    if (error != ERROR_SUCCESS) {
        DeleteFileA(staging.c_str());
        // Access denied while the staging file is made is the folder's own rule; at the
        // swap it is the memo file, open in another program without sharing.
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          (swapping && error == ERROR_ACCESS_DENIED);
        if (held)
            throw EFileHeld(CannotCreate(path, error).what());
        throw CannotCreate(path, error);
    }
}

bool FileHolds(const std::string& path, const std::string& bytes)
{
    // The size alone tells most changed files apart without reading them.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        ((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) != bytes.size())
        return false;
    std::string stored;
    return ReadFileBytes(path, stored) && stored == bytes;
}

// Sync: the memo file holds bytes the store never saw (they came from elsewhere a
// moment ago): they go beside it under a conflict copy's name before the save.
void KeepUnseenVersion(int number, const std::string& path)
{
    const auto known = KnownMemoFiles().find(number);
    std::string current;
    if (known == KnownMemoFiles().end() || !ReadFileBytes(path, current) || ContentHash(current) == known->second)
        return;
    const std::string stem = path.substr(0, path.size() - kExtensionLength);
    DWORD error = ERROR_SUCCESS;
    for (int copy = 1; copy <= 999; ++copy) {
        error = WriteNewFile(stem + Format(" (%d)", copy) + kExtension, current);
        if (error == ERROR_SUCCESS)
            return;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    throw CannotCreate(stem + " (1)" + kExtension, error);
}

bool IsDecimal(const std::string& text)
{
    const size_t digits = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return text.size() > digits &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string MemoSectionName(int number) { return IntToStr(number); }

std::string StagingFilePath(const std::string& path)
{
    return ExtractFilePath(path) + "~" + ExtractFileName(path) + ".tmp";
}

int RemoveStagingLeftovers()
{
    int removed = 0;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((PrjInfo->ProgramPath + "~*" + kExtension + ".tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return removed;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            DeleteFileA((PrjInfo->ProgramPath + found.cFileName).c_str()))
            ++removed;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return removed;
}

std::string MemoFilePath(int number)
{
    // The sign goes before the three digits, as the number pattern "000" writes it.
    const long long value = number;
    const std::string digits = value < 0 ? "-" + Format("%03lld", -value) : Format("%03lld", value);
    return PrjInfo->ProgramPath + digits + kExtension;
}

std::optional<int> NextFreeMemoNumber()
{
    const std::vector<std::string> sections = MemoIndex().ReadSections();
    const std::unordered_set<std::string> taken(sections.begin(), sections.end());
    for (int n = 1; n <= kHighestNewMemoNumber; ++n) {
        if (!taken.count(MemoSectionName(n)))
            return n;
    }
    return std::nullopt;
}

std::vector<int> ListMemoNumbers()
{
    std::vector<int> numbers;
    for (const std::string& name : MemoIndex().ReadSections()) {
        // The general conversion also takes hexadecimal, which would name a memo
        // whose section and file could never be found again.
        if (!IsDecimal(name))
            throw EConvertError(Format("'%s' is not a valid integer value", name.c_str()));
        numbers.push_back(StrToInt(name));
    }
    return numbers;
}

TMemoRecord ReadMemoRecord(int number)
{
    // The section in one read: each key read alone opens and checks the index again.
    const TIniValues record = MemoIndex().ReadSectionValues(MemoSectionName(number));
    return {record.ReadString("Caption", ""), record.ReadInteger("WordWrap", 1) != 0};
}

void WriteCaption(int number, const std::string& caption)
{
    MemoIndex().WriteString(MemoSectionName(number), "Caption", caption);
}

void WriteWordWrap(int number, bool wordWrap)
{
    MemoIndex().WriteBool(MemoSectionName(number), "WordWrap", wordWrap);
}

bool MemoIsBlank(const std::string& plainText, const std::string& rtf)
{
    return Trim(plainText).empty() && !RtfHoldsPicture(rtf);
}

bool WriteMemoContent(int number, const std::string& plainText, const std::string& rtf)
{
    const std::string path = MemoFilePath(number);
    if (MemoIsBlank(plainText, rtf) && !PathTaken(path))
        return false;
    // Most saves find the memo as it was: leaving the file alone keeps the disk quiet.
    if (FileHolds(path, rtf)) {
        RememberMemoFile(number, rtf);
        return false;
    }
    KeepUnseenVersion(number, path);
    ReplaceFileContent(path, rtf);
    RememberMemoFile(number, rtf);
    return true;
}

bool IsMemoFileAsLastKnown(int number, const std::string& bytes)
{
    const auto found = KnownMemoFiles().find(number);
    return found != KnownMemoFiles().end() && found->second == ContentHash(bytes);
}

void RememberMemoFile(int number, const std::string& bytes) { KnownMemoFiles()[number] = ContentHash(bytes); }

std::string ReadMemoFile(int number)
{
    std::string bytes = ReadFileBytes(MemoFilePath(number));
    RememberMemoFile(number, bytes);
    return bytes;
}

void WriteMemoFile(int number, const std::string& bytes)
{
    ReplaceFileContent(MemoFilePath(number), bytes);
    RememberMemoFile(number, bytes);
}

void EraseMemo(int number)
{
    // The file goes first: a memo file without a record is brought back at the next
    // start, so the other order could return content that the user threw away.
    const std::string path = MemoFilePath(number);
    if (!DeleteFileA(path.c_str()) && PathTaken(path))
        throw EFCreateError(
            Format("Cannot delete file \"%s\". %s", path.c_str(), SysErrorMessage(GetLastError()).c_str()));
    MemoIndex().EraseSection(MemoSectionName(number));
    KnownMemoFiles().erase(number);
}

std::vector<int> AdoptOrphanMemoFiles()
{
    const std::vector<std::string> sections = MemoIndex().ReadSections();
    const std::unordered_set<std::string> recorded(sections.begin(), sections.end());
    std::vector<int> adopted;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((PrjInfo->ProgramPath + "*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return adopted;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string name = found.cFileName;
        const std::string stem = name.substr(0, name.size() - kExtensionLength);
        if (stem.empty() || stem.size() > 9 || !IsDecimal(stem) || stem[0] == '-' || stem[0] == '+')
            continue;
        const int number = StrToInt(stem);
        // Only the name the store itself gives that number: "12.txt" is no memo of 12.
        if (number < 1 || ExtractFileName(MemoFilePath(number)) != name || recorded.count(MemoSectionName(number)))
            continue;
        adopted.push_back(number);
    } while (FindNextFileA(search, &found));
    FindClose(search);

    std::sort(adopted.begin(), adopted.end());
    TIniFile ini = MemoIndex();
    int cascade = 0;
    for (int number : adopted) {
        // The default place, cascaded so that the found memos do not hide one
        // another; loading moves a note onto a screen anyway.
        WriteNotePlace(ini, MemoSectionName(number), CascadedPlace(kDefaultNotePlace, cascade++));
    }
    return adopted;
}

std::string MoveMemoToWastebasket(int number, const std::string& caption, const std::vector<std::string>& lines,
                                  const std::string& rtf)
{
    const std::string memoFile = MemoFilePath(number);
    SYSTEMTIME when;
    if (const auto created = MemoFileTime(memoFile))
        when = *created;
    else
        GetLocalTime(&when);
    // The memo leaves the store only once its wastebasket copy is complete.
    const std::string path = WriteWastebasketFile(WastebasketTitle(caption, lines), when, rtf);
    // A kill from here on leaves at worst an empty memo beside its wastebasket copy.
    EraseMemo(number);
    return path;
}

std::string WastebasketFileName(const std::string& caption, const std::vector<std::string>& lines,
                                 const SYSTEMTIME& when)
{
    return ComposeWastebasketFileName(WastebasketTitle(caption, lines), when);
}

std::string DropLoneLeadByte(std::string title, UINT codePage)
{
    bool partnerMissing = false;
    for (size_t i = 0; i < title.size(); ++i) {
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(title[i]))) {
            partnerMissing = i + 1 == title.size();
            ++i;
        }
    }
    if (partnerMissing)
        title.pop_back();
    return title;
}
