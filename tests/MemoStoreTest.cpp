#include "notes/MemoStore.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace std::string_literals;

namespace {

// Bytes, not text: a NUL and line breaks must come back as they went in.
const std::string kRtf = "{\\rtf1\\ansi\\ansicpg949 memo\\par\r\n}\0tail"s;

SYSTEMTIME LocalTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

FILETIME ToUtcFileTime(const SYSTEMTIME& local)
{
    FILETIME localFt, utc;
    SystemTimeToFileTime(&local, &localFt);
    LocalFileTimeToFileTime(&localFt, &utc);
    return utc;
}

unsigned long long Ticks(const FILETIME& ft) { return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

// Some platforms keep no creation time of their own and report the last write time
// instead, so both are set.
void SetFileTimes(const std::string& path, const SYSTEMTIME& local)
{
    const FILETIME ft = ToUtcFileTime(local);
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_TRUE(SetFileTime(h, &ft, nullptr, &ft));
    CloseHandle(h);
}

FILETIME CreationTimeOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    return data.ftCreationTime;
}

// Whether the file system holds a creation time apart from the last write time.
bool PlatformKeepsCreationTimes(const std::string& folder)
{
    const std::string probe = folder + "probe.bin";
    WriteWholeFile(probe, "x");
    const FILETIME old = ToUtcFileTime(LocalTime(2001, 2, 3, 4, 5, 6));
    HANDLE h = CreateFileA(probe.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, &old, nullptr, nullptr);
    CloseHandle(h);
    const bool kept = Ticks(CreationTimeOf(probe)) == Ticks(old);
    DeleteFileA(probe.c_str());
    return kept;
}

std::string BasketName(const std::string& path)
{
    EXPECT_EQ(PrjInfo->BasketPath, ExtractFilePath(path));
    return ExtractFileName(path);
}

void WriteRecord(int number, const std::string& key = "Left", const std::string& value = "300")
{
    TIniFile(PrjInfo->PostItIniFileName()).WriteString(MemoSectionName(number), key, value);
}

bool HasRecord(int number) { return TIniFile(PrjInfo->PostItIniFileName()).SectionExists(MemoSectionName(number)); }

template <typename Call>
std::string ErrorOf(Call call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(MemoStore, NumbersNameSectionsAndFiles)
{
    TestProgram program;
    EXPECT_EQ(program.Folder() + "007.txt", MemoFilePath(7));
    EXPECT_EQ(program.Folder() + "042.txt", MemoFilePath(42));
    EXPECT_EQ(program.Folder() + "999.txt", MemoFilePath(999));
    EXPECT_EQ(program.Folder() + "1234.txt", MemoFilePath(1234));
    EXPECT_EQ("7", MemoSectionName(7));
    EXPECT_EQ("42", MemoSectionName(42));
    EXPECT_EQ("999", MemoSectionName(999));
    EXPECT_EQ("1234", MemoSectionName(1234));
}

TEST(MemoStore, NextFreeNumberFillsGapsLowestFirst)
{
    TestProgram program;
    EXPECT_EQ(1, NextFreeMemoNumber());
    for (int n : {1, 2, 4})
        WriteRecord(n);
    EXPECT_EQ(3, NextFreeMemoNumber());
    EraseMemo(1);
    EXPECT_EQ(1, NextFreeMemoNumber());

    // "007" is not the section of memo 7.
    std::string all = "[007]\r\n";
    for (int n = 1; n <= 999; ++n)
        all += Format("[%d]\r\nLeft=1\r\n", n);
    WriteWholeFile(PrjInfo->PostItIniFileName(), all);
    EXPECT_EQ(std::nullopt, NextFreeMemoNumber());
    EraseMemo(998);
    EXPECT_EQ(998, NextFreeMemoNumber());
}

TEST(MemoStore, ListsNumbersInFileOrderAndRefusesOtherNames)
{
    TestProgram program;
    EXPECT_TRUE(ListMemoNumbers().empty());
    WriteWholeFile(PrjInfo->PostItIniFileName(), "[42]\r\nLeft=1\r\n[7]\r\n[1234]\r\nTop=2\r\n[-3]\r\n");
    EXPECT_EQ((std::vector<int>{42, 7, 1234, -3}), ListMemoNumbers());

    WriteWholeFile(PrjInfo->PostItIniFileName(), "[42]\r\n[memo]\r\n[7]\r\n");
    EXPECT_EQ("'memo' is not a valid integer value", ErrorOf([] { ListMemoNumbers(); }));
    WriteWholeFile(PrjInfo->PostItIniFileName(), "[$1F]\r\n");
    EXPECT_EQ("'$1F' is not a valid integer value", ErrorOf([] { ListMemoNumbers(); }));
    WriteWholeFile(PrjInfo->PostItIniFileName(), "[99999999999]\r\n");
    EXPECT_EQ("'99999999999' is not a valid integer value", ErrorOf([] { ListMemoNumbers(); }));
}

TEST(MemoStore, RecordDefaultsAndWrittenValues)
{
    TestProgram program;
    TMemoRecord record = ReadMemoRecord(3);
    EXPECT_EQ("", record.Caption);
    EXPECT_TRUE(record.WordWrap);

    WriteCaption(3, "Shopping list");
    WriteWordWrap(3, false);
    record = ReadMemoRecord(3);
    EXPECT_EQ("Shopping list", record.Caption);
    EXPECT_FALSE(record.WordWrap);
    const std::string text = ReadWholeFile(PrjInfo->PostItIniFileName());
    EXPECT_NE(std::string::npos, text.find("WordWrap=0"));
    WriteWordWrap(3, true);
    EXPECT_NE(std::string::npos, ReadWholeFile(PrjInfo->PostItIniFileName()).find("WordWrap=1"));

    // An empty caption is still written: the key exists afterwards.
    WriteCaption(3, "");
    EXPECT_TRUE(TIniFile(PrjInfo->PostItIniFileName()).ValueExists("3", "Caption"));
    EXPECT_EQ("", ReadMemoRecord(3).Caption);

    // Any non-zero number means wrapping.
    WriteRecord(3, "WordWrap", "2");
    EXPECT_TRUE(ReadMemoRecord(3).WordWrap);
    WriteRecord(3, "WordWrap", "0");
    EXPECT_FALSE(ReadMemoRecord(3).WordWrap);
}

TEST(MemoStore, BlankMeansNeitherTextNorPicture)
{
    struct Case {
        const char* text;
        const char* rtf;
        bool blank;
    };
    const Case cases[] = {
        {"", "{\\rtf1 }", true},
        {" \r\n\t \r\n", "{\\rtf1 \\par\\par}", true},
        {"a", "{\\rtf1 a}", false},
        {"", "{\\rtf1 {\\pict\\wmetafile8 0100}}", false},
        {" ", "{\\rtf1 {\\*\\shppict{\\pict\\pngblip 89}}}", false},
        {"", "{\\rtf1 \\\\pict}", true},
        {"", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.blank, MemoIsBlank(c.text, c.rtf)) << c.rtf;
}

TEST(MemoStore, ABlankMemoMakesNoFileButAnEmptiedOneIsSavedEmpty)
{
    TestProgram program;
    const std::string empty = "{\\rtf1\\ansi \\par}";
    EXPECT_FALSE(WriteMemoContent(2, " \r\n\t \r\n", empty));
    EXPECT_FALSE(FileExists(MemoFilePath(2))) << "never had anything to keep";

    const std::string picture = "{\\rtf1 {\\pict\\wmetafile8 0100}}";
    EXPECT_TRUE(WriteMemoContent(2, "", picture));
    EXPECT_EQ(picture, ReadWholeFile(MemoFilePath(2))) << "a picture alone is kept";
    EXPECT_TRUE(WriteMemoContent(2, "hello", kRtf));
    EXPECT_EQ(kRtf, ReadWholeFile(MemoFilePath(2)));
    EXPECT_TRUE(WriteMemoContent(2, "", empty));
    EXPECT_EQ(empty, ReadWholeFile(MemoFilePath(2))) << "what was deleted stays deleted";
    EXPECT_FALSE(WriteMemoContent(2, "", empty)) << "nothing new";

    WriteMemoFile(3, empty);
    EXPECT_EQ(empty, ReadWholeFile(MemoFilePath(3))) << "written whatever it holds";
}

TEST(MemoStore, SaveReplacesContentAndKeepsCreationTime)
{
    TestProgram program;
    WriteMemoContent(5, "first", "{\\rtf1 first}");
    // Pretend the memo got its first content long ago.
    const FILETIME firstContent = ToUtcFileTime(LocalTime(2020, 1, 2, 3, 4, 7));
    HANDLE h = CreateFileA(MemoFilePath(5).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, &firstContent, nullptr, nullptr);
    CloseHandle(h);

    WriteMemoContent(5, "second", "{\\rtf1 second}");
    EXPECT_EQ("{\\rtf1 second}", ReadWholeFile(MemoFilePath(5)));
    EXPECT_FALSE(FileExists(StagingFilePath(MemoFilePath(5))));

    if (!PlatformKeepsCreationTimes(program.Folder()))
        GTEST_SKIP() << "this file system reports the last write time as the creation time";
    EXPECT_EQ(Ticks(firstContent), Ticks(CreationTimeOf(MemoFilePath(5))));
    const std::string moved = MoveMemoToWastebasket(5, "Kept", {}, "{\\rtf1 second}");
    EXPECT_EQ("2020-01-02 03_04_06 Kept.txt", BasketName(moved));
}

TEST(MemoStore, FailedSaveLeavesOldContentAndTellsAPassingHoldFromTheRest)
{
    TestProgram program;
    WriteMemoContent(8, "old", "{\\rtf1 old}");
    const std::string staging = StagingFilePath(MemoFilePath(8));
    const std::string cannot = "Cannot create file \"" + MemoFilePath(8) + "\". ";

    // Each way a save can fail: whether it is a hold that passes (another program has
    // the memo file open without sharing), or something that stays.
    struct Case {
        const char* what;
        std::function<std::function<void()>()> obstruct;  // gives what removes it again
        bool held;
    } cases[] = {
        {"a folder where the staging file goes",
         [&] {
             CreateDirectoryA(staging.c_str(), nullptr);
             return std::function<void()>([&] { RemoveDirectoryA(staging.c_str()); });
         },
         false},
        {"the memo file open without sharing",
         [&] {
             auto holder = std::make_shared<UniqueKernelHandle>(
                 CreateFileA(MemoFilePath(8).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
             return std::function<void()>([holder] { holder->reset(); });
         },
         true},
        {"the memo file open for reading only",
         [&] {
             auto holder = std::make_shared<UniqueKernelHandle>(CreateFileA(
                 MemoFilePath(8).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
             return std::function<void()>([holder] { holder->reset(); });
         },
         true},
    };
    for (const Case& c : cases) {
        const std::function<void()> release = c.obstruct();
        bool held = false;
        std::string error;
        try {
            WriteMemoContent(8, "new", "{\\rtf1 new}");
        } catch (const EFileHeld& e) {
            held = true;
            error = e.what();
        } catch (const EFCreateError& e) {
            error = e.what();
        }
        release();
        EXPECT_EQ(c.held, held) << c.what;
        EXPECT_EQ(0u, error.find(cannot)) << c.what << ": " << error;
        EXPECT_GT(error.size(), cannot.size()) << c.what << ": the system's reason";
        EXPECT_EQ("{\\rtf1 old}", ReadWholeFile(MemoFilePath(8))) << c.what;
        EXPECT_FALSE(FileExists(staging)) << c.what;
    }
    WriteMemoContent(8, "new", "{\\rtf1 new}");
    EXPECT_EQ("{\\rtf1 new}", ReadWholeFile(MemoFilePath(8)));
}

TEST(MemoStore, StagingFilesHaveNamesSyncClientsSkipAndLeftoversGoAtStart)
{
    TestProgram program;
    EXPECT_EQ(program.Folder() + "~007.txt.tmp", StagingFilePath(MemoFilePath(7)));
    struct Case {
        const char* name;
        bool removed;
    } cases[] = {
        {"~007.txt.tmp", true}, {"~1234.txt.tmp", true},
        {"007.txt", false},     {"~notes.doc", false},  {"007.txt.tmp", false}, {"~007.txt", false},
    };
    for (const Case& c : cases)
        WriteWholeFile(program.Folder() + c.name, kRtf);
    EXPECT_EQ(2, RemoveStagingLeftovers());
    for (const Case& c : cases)
        EXPECT_EQ(!c.removed, FileExists(program.Folder() + c.name)) << c.name;
}

TEST(MemoStore, MoveNamesByCreationTimeRoundedDownAndCaption)
{
    TestProgram program;
    for (int n : {1, 2}) {
        WriteRecord(n);
        WriteCaption(n, "Shopping list");
        WriteMemoContent(n, "milk", kRtf + std::to_string(n));
        SetFileTimes(MemoFilePath(n), LocalTime(2026, 3, 5, 9, 7, n == 1 ? 43 : 42));
    }

    const std::string first = MoveMemoToWastebasket(1, "Shopping list", {"milk"}, kRtf + "1");
    EXPECT_EQ("2026-03-05 09_07_42 Shopping list.txt", BasketName(first));
    EXPECT_EQ(kRtf + "1", ReadWholeFile(first));
    EXPECT_FALSE(HasRecord(1));
    EXPECT_FALSE(FileExists(MemoFilePath(1)));
    EXPECT_TRUE(HasRecord(2));

    const std::string second = MoveMemoToWastebasket(2, "Shopping list", {"milk"}, kRtf + "2");
    EXPECT_EQ("2026-03-05 09_07_43 Shopping list.txt", BasketName(second));
    EXPECT_EQ(kRtf + "2", ReadWholeFile(second));
}

TEST(MemoStore, MoveWithoutMemoFileUsesTheCurrentTime)
{
    TestProgram program;
    WriteRecord(4);
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    before.wMilliseconds = 0;
    const std::string path = MoveMemoToWastebasket(4, "Note", {}, kRtf);
    GetLocalTime(&after);

    const std::string name = BasketName(path);
    SYSTEMTIME stamped{};
    int y, mo, d, h, mi, s;
    ASSERT_EQ(6, std::sscanf(name.c_str(), "%4d-%2d-%2d %2d_%2d_%2d", &y, &mo, &d, &h, &mi, &s)) << name;
    stamped = LocalTime(static_cast<WORD>(y), static_cast<WORD>(mo), static_cast<WORD>(d), static_cast<WORD>(h),
                        static_cast<WORD>(mi), static_cast<WORD>(s));
    EXPECT_EQ(" Note.txt", name.substr(19));
    FILETIME b, a, st;
    SystemTimeToFileTime(&before, &b);
    SystemTimeToFileTime(&after, &a);
    SystemTimeToFileTime(&stamped, &st);
    EXPECT_LE(Ticks(b), Ticks(st));
    EXPECT_LE(Ticks(st), Ticks(a));
    EXPECT_FALSE(HasRecord(4));
}

TEST(MemoStore, TitleComesFromCaptionOrFirstNonBlankLine)
{
    TestProgram program;
    const SYSTEMTIME when = LocalTime(2026, 3, 5, 9, 7, 42);
    const std::string stamp = PrjInfo->BasketPath + "2026-03-05 09_07_42 ";
    EXPECT_EQ(stamp + "a%(47)b.txt", WastebasketFileName("", {"", "  \t", " a/b "}, when));
    EXPECT_EQ(stamp + ".txt", WastebasketFileName("", {"", " ", "\t"}, when));
    EXPECT_EQ(stamp + ".txt", WastebasketFileName("", {}, when));
    // The caption wins, unchanged, even over text.
    EXPECT_EQ(stamp + " x %(58) y.txt", WastebasketFileName(" x : y", {"first line"}, when));
    EXPECT_TRUE(DirectoryExists(PrjInfo->BasketPath));
}

TEST(MemoStore, TakenNamesMoveOnBySeconds)
{
    TestProgram program;
    const std::string first = WastebasketFileName("Memo", {}, LocalTime(2026, 12, 31, 23, 59, 58));
    EXPECT_EQ("2026-12-31 23_59_58 Memo.txt", BasketName(first));
    WriteWholeFile(first, "a");
    WriteWholeFile(PrjInfo->BasketPath + "2026-12-31 23_59_59 Memo.txt", "b");
    // Only the same title collides.
    EXPECT_EQ("2026-12-31 23_59_58 Other.txt",
              BasketName(WastebasketFileName("Other", {}, LocalTime(2026, 12, 31, 23, 59, 58))));
    EXPECT_EQ("2027-01-01 00_00_00 Memo.txt",
              BasketName(WastebasketFileName("Memo", {}, LocalTime(2026, 12, 31, 23, 59, 58))));
}

TEST(MemoStore, WastebasketFolderIsCreatedWithItsParents)
{
    TestProgram program;
    PrjInfo->BasketPath = program.Folder() + "one\\two\\";
    const std::string path = MoveMemoToWastebasket(1, "deep", {}, kRtf);
    EXPECT_EQ(kRtf, ReadWholeFile(path));
}

TEST(LoneLeadByte, KoreanPairsFollowTheCodePage)
{
    EXPECT_EQ("ab", DropLoneLeadByte("ab\xB0", 949));
    EXPECT_EQ("\xC7\xD1", DropLoneLeadByte("\xC7\xD1\xC7", 949));
    EXPECT_EQ("ab\xC7\xD1", DropLoneLeadByte("ab\xC7\xD1", 949));
    // A trail byte that looks like a lead byte belongs to the pair before it.
    EXPECT_EQ("\xB0\xB0", DropLoneLeadByte("\xB0\xB0", 949));
    EXPECT_EQ("\xB0\xB0", DropLoneLeadByte("\xB0\xB0\xB0", 949));
    // 0x80 never begins a pair, so the byte after it is on its own.
    EXPECT_EQ("a\x80", DropLoneLeadByte("a\x80", 949));
    EXPECT_EQ("\x80", DropLoneLeadByte("\x80\xC7", 949));
    EXPECT_EQ("\xC7\x41", DropLoneLeadByte("\xC7\x41", 949));
    EXPECT_EQ("", DropLoneLeadByte("", 949));
    // A code page without pairs keeps every byte.
    EXPECT_EQ("Caf\xE9", DropLoneLeadByte("Caf\xE9", 1252));
}

TEST(MemoStore, TitleLosesALoneLeadByteOnlyWhereTheCodePageHasPairs)
{
    TestProgram program;
    const SYSTEMTIME when = LocalTime(2026, 3, 5, 9, 7, 42);
    const std::string stamp = PrjInfo->BasketPath + "2026-03-05 09_07_42 ";
    if (GetACP() == 949) {
        EXPECT_EQ(stamp + "\xC7\xD1.txt", WastebasketFileName("\xC7\xD1\xB1", {}, when));
        EXPECT_EQ(stamp + "\xC7\xD1\xB1\xDB.txt", WastebasketFileName("", {"\xC7\xD1\xB1\xDB"}, when));
        EXPECT_EQ(stamp + "a\x80.txt", WastebasketFileName("a\x80", {}, when));
    } else {
        EXPECT_EQ(stamp + "Caf\xE9.txt", WastebasketFileName("Caf\xE9", {}, when));
    }
}

TEST(MemoStore, EraseRemovesOnlyThatMemo)
{
    TestProgram program;
    for (int n : {4, 5, 6}) {
        WriteRecord(n);
        WriteCaption(n, "memo " + std::to_string(n));
    }
    WriteMemoContent(4, "four", kRtf);
    WriteMemoContent(5, "five", kRtf);
    EraseMemo(5);
    EXPECT_FALSE(HasRecord(5));
    EXPECT_FALSE(FileExists(MemoFilePath(5)));
    EXPECT_EQ("memo 4", ReadMemoRecord(4).Caption);
    EXPECT_EQ("memo 6", ReadMemoRecord(6).Caption);
    EXPECT_TRUE(FileExists(MemoFilePath(4)));
    EXPECT_FALSE(DirectoryExists(PrjInfo->BasketPath));
    // A memo that never had content has no file to delete.
    EraseMemo(6);
    EXPECT_FALSE(HasRecord(6));
}

TEST(MemoStore, RefusedTitlesStillReachTheWastebasket)
{
    TestProgram program;
    struct Case {
        std::string caption;
        std::string expectedTitle;  // empty: only the prefix is checked
    };
    const std::string longTitle(300, 'x');
    std::string korean;
    for (int i = 0; i < 150; ++i)
        korean += "\xC7\xD1";
    const Case cases[] = {
        {"Say \"hi\"", "Say 'hi'"},
        {"tab\there", "tab here"},
        {longTitle, ""},
        {korean, ""},
    };
    int number = 1;
    for (const Case& c : cases) {
        WriteRecord(number);
        WriteMemoContent(number, "text", kRtf);
        const std::string path = MoveMemoToWastebasket(number, c.caption, {}, kRtf + c.caption);
        const std::string name = BasketName(path);
        EXPECT_EQ(kRtf + c.caption, ReadWholeFile(path)) << name;
        // The platform counts the characters of a path, not its bytes.
        EXPECT_LT(AnsiToWide(path).size(), static_cast<size_t>(MAX_PATH));
        if (!c.expectedTitle.empty())
            EXPECT_EQ(c.expectedTitle + ".txt", name.substr(20));
        else
            EXPECT_EQ(0u, c.caption.find(name.substr(20, name.size() - 24))) << name;
        EXPECT_GT(name.size(), 24u) << "the title was dropped altogether";
        EXPECT_FALSE(HasRecord(number));
        EXPECT_FALSE(FileExists(MemoFilePath(number)));
        ++number;
    }
}

TEST(MemoStore, UnwritableWastebasketKeepsTheMemo)
{
    TestProgram program;
    // A file where the wastebasket folder should be.
    WriteWholeFile(program.Folder() + "zkBasket", "");
    WriteRecord(3);
    WriteCaption(3, "Precious");
    WriteMemoContent(3, "text", "{\\rtf1 precious}");

    const std::string error = ErrorOf([] { MoveMemoToWastebasket(3, "Precious", {"text"}, "{\\rtf1 precious}"); });
    EXPECT_EQ(0u, error.find("Cannot create file \"" + PrjInfo->BasketPath)) << error;
    EXPECT_NE(std::string::npos, error.find(" Precious.txt\". ")) << error;
    EXPECT_TRUE(HasRecord(3));
    EXPECT_EQ("Precious", ReadMemoRecord(3).Caption);
    EXPECT_EQ("{\\rtf1 precious}", ReadWholeFile(MemoFilePath(3)));
}

namespace {

FILETIME LastWriteOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    return data.ftLastWriteTime;
}

void SetLastWrite(const std::string& path, const FILETIME& when)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SetFileTime(h, nullptr, nullptr, &when);
    CloseHandle(h);
}

// The memo index refuses writes while the returned guard lives.
struct ReadOnlyIndex {
    ReadOnlyIndex() { SetFileAttributesA(PrjInfo->PostItIniFileName().c_str(), FILE_ATTRIBUTE_READONLY); }
    ~ReadOnlyIndex() { SetFileAttributesA(PrjInfo->PostItIniFileName().c_str(), FILE_ATTRIBUTE_NORMAL); }
};

} // namespace

TEST(MemoStore, SavingTheStoredBytesAgainLeavesTheFileAlone)
{
    TestProgram program;
    WriteMemoContent(3, "same", kRtf);
    const FILETIME old = ToUtcFileTime(LocalTime(2021, 6, 7, 8, 9, 10));
    SetLastWrite(MemoFilePath(3), old);

    WriteMemoContent(3, "same", kRtf);
    EXPECT_EQ(Ticks(old), Ticks(LastWriteOf(MemoFilePath(3))));
    // One byte more or a byte changed is new content.
    for (const std::string& changed : {kRtf + "x", "X" + kRtf.substr(1)}) {
        WriteMemoContent(3, "changed", changed);
        EXPECT_EQ(changed, ReadWholeFile(MemoFilePath(3)));
        EXPECT_NE(Ticks(old), Ticks(LastWriteOf(MemoFilePath(3))));
        SetLastWrite(MemoFilePath(3), old);
    }
}

TEST(MemoStore, MemoFilesWithoutRecordsAreAdoptedOnScreen)
{
    TestProgram program;
    WriteRecord(7);
    struct Case {
        const char* name;
        bool adopted;
    } cases[] = {
        {"005.txt", true},     {"007.txt", false},    // 7 has its record
        {"1234.txt", true},    {"12.txt", false},     // 12 lives in 012.txt
        {"000.txt", false},    {"abc.txt", false},   {"-01.txt", false},
        {"002.txt.new", false}, {"003.rtf", false},
    };
    for (const Case& c : cases)
        WriteWholeFile(program.Folder() + c.name, kRtf);
    CreateDirectoryA((program.Folder() + "009.txt").c_str(), nullptr);

    EXPECT_EQ((std::vector<int>{5, 1234}), AdoptOrphanMemoFiles());
    EXPECT_EQ((std::vector<int>{7, 5, 1234}), ListMemoNumbers());
    const TIniFile ini(PrjInfo->PostItIniFileName());
    EXPECT_EQ(300, ini.ReadInteger("5", "Left", -1));
    EXPECT_EQ(324, ini.ReadInteger("1234", "Left", -1));
    EXPECT_EQ(200, ini.ReadInteger("5", "Height", -1));
    for (const Case& c : cases)
        EXPECT_EQ(kRtf, ReadWholeFile(program.Folder() + c.name)) << c.name;
    EXPECT_TRUE(AdoptOrphanMemoFiles().empty());
}

TEST(MemoStore, AnInterruptedRemovalNeverBringsBackWhatTheUserRemoved)
{
    TestProgram program;
    // Erasing a blank memo whose file still holds old text: the record cannot be
    // erased after the file went, as when the program dies between the steps.
    WriteRecord(1);
    WriteMemoContent(1, "old text", kRtf);
    {
        ReadOnlyIndex refuse;
        EXPECT_FALSE(ErrorOf([] { EraseMemo(1); }).empty());
    }
    EXPECT_FALSE(FileExists(MemoFilePath(1)));
    EXPECT_TRUE(AdoptOrphanMemoFiles().empty());

    // A file that cannot be deleted keeps its record, so it is not orphaned.
    WriteRecord(2);
    WriteMemoContent(2, "kept", kRtf);
    HANDLE held = CreateFileA(MemoFilePath(2).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const std::string error = ErrorOf([] { EraseMemo(2); });
    CloseHandle(held);
    EXPECT_EQ(0u, error.find("Cannot delete file \"" + MemoFilePath(2) + "\". ")) << error;
    EXPECT_TRUE(HasRecord(2));

    // Moving to the wastebasket, stopped before the record goes: the content is in
    // the wastebasket and nothing of it comes back as a memo.
    WriteRecord(3);
    WriteMemoContent(3, "to the basket", kRtf);
    std::string basketError;
    {
        ReadOnlyIndex refuse;
        basketError = ErrorOf([] { MoveMemoToWastebasket(3, "Gone", {}, kRtf); });
    }
    EXPECT_FALSE(basketError.empty());
    EXPECT_FALSE(FileExists(MemoFilePath(3)));
    EXPECT_TRUE(AdoptOrphanMemoFiles().empty());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((PrjInfo->BasketPath + "* Gone.txt").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    FindClose(search);
    EXPECT_EQ(kRtf, ReadWholeFile(PrjInfo->BasketPath + found.cFileName));
}
