#include "framework/SysUtils.h"
#include "notes/ConflictCopies.h"
#include "notes/FolderWatch.h"
#include "notes/MemoStore.h"
#include "notes/SyncChanges.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

const char kIndex[] = "zkPostIt.ini";
const char kSettings[] = "Pinova.ini";

struct CopyCase {
    const char* name;
    std::optional<std::string> original;
};

} // namespace

TEST(ConflictCopies, EachClientsNamesAreKnownAndNothingElse)
{
    const CopyCase cases[] = {
        // OneDrive: the computer's name after a hyphen.
        {"001-LAPTOP.txt", "001.txt"},
        {"042-DESKTOP-4F2K9.txt", "042.txt"},
        {"zkPostIt-LAPTOP.ini", "zkPostIt.ini"},
        // Dropbox and Nextcloud.
        {"001 (Anna's conflicted copy 2026-03-05).txt", "001.txt"},
        {"1234 (conflicted copy 2026-03-05 091501).txt", "1234.txt"},
        {"001 (Anna's Conflicted Copy 2026-03-05) (1).txt", "001.txt"},
        {"Pinova (conflicted copy 2026-03-05 091501).ini", "Pinova.ini"},
        {"zkpostit (Bob's conflicted copy 2026-03-05).INI", "zkPostIt.ini"},
        // Syncthing.
        {"007.sync-conflict-20260305-091501-ABCDEFG.txt", "007.txt"},
        {"zkPostIt.sync-conflict-20260305-091501-ABCDEFG.ini", "zkPostIt.ini"},
        // Numbered copies.
        {"001 (1).txt", "001.txt"},
        {"999 (12).txt", "999.txt"},
        // Not copies: the files themselves, staging files, other names.
        {"001.txt", std::nullopt},
        {"zkPostIt.ini", std::nullopt},
        {"~001.txt.tmp", std::nullopt},
        {"001.txt.new", std::nullopt},
        {"~syncthing~001.txt.tmp", std::nullopt},
        {".syncthing.001.txt.tmp", std::nullopt},
        {"001 (copy).txt", std::nullopt},
        {"001 ().txt", std::nullopt},
        {"001-.txt", std::nullopt},
        {"01-LAPTOP.txt", std::nullopt},
        {"000-LAPTOP.txt", std::nullopt},
        {"0001 (1).txt", std::nullopt},
        {"001.sync-conflict-2026-0305.txt", std::nullopt},
        {"001-LAPTOP.ini", std::nullopt},
        {"notes (1).txt", std::nullopt},
        {"zkPostItX (1).ini", std::nullopt},
        {"Pinova (1).exe", std::nullopt},
        {"-LAPTOP.txt", std::nullopt},
    };
    for (const CopyCase& c : cases)
        EXPECT_EQ(c.original, ConflictCopyOf(c.name, kIndex, kSettings)) << c.name;
}

TEST(ConflictCopies, MemoFileNamesGiveTheirNumberOnlyInTheStoresSpelling)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"001.txt", 1},      {"007.TXT", 7},       {"999.txt", 999},          {"1234.txt", 1234},
        {"7.txt", {}},       {"0007.txt", {}},     {"000.txt", {}},           {"-01.txt", {}},
        {"001.txt.new", {}}, {"001.ini", {}},      {"1234567890.txt", {}},    {".txt", {}},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(number, MemoNumberOfFileName(name)) << name;
}

TEST(SyncChanges, ChangedNamesAreSortedByWhatTheProgramKeepsThere)
{
    struct Case {
        const char* name;
        TFolderItem kind;
        int number;
    } const cases[] = {
        {"003.txt", TFolderItem::Memo, 3},
        {"zkpostit.ini", TFolderItem::Index, 0},
        {"pinova.ini", TFolderItem::Settings, 0},
        {"zkbasket", TFolderItem::Wastebasket, 0},
        {"zkbasket\\2026-03-05 09_07_42 tea.txt", TFolderItem::Wastebasket, 0},
        {"003-laptop.txt", TFolderItem::ConflictCopy, 0},
        {"zkpostit (1).ini", TFolderItem::ConflictCopy, 0},
        {"~003.txt.tmp", TFolderItem::Other, 0},
        {"003.txt.new", TFolderItem::Other, 0},
        {"other\\003.txt", TFolderItem::Other, 0},
        {"zkpinbrowser.ini", TFolderItem::Other, 0},
        {"pinova.exe", TFolderItem::Other, 0},
    };
    for (const Case& c : cases) {
        const TChangedItem item = ClassifyChangedName(c.name, kIndex, kSettings, "zkBasket");
        EXPECT_EQ(c.kind, item.Kind) << c.name;
        EXPECT_EQ(c.number, item.Number) << c.name;
    }
}

TEST(SyncChanges, TwoReadingsOfTheIndexDifferInSectionsAndKeys)
{
    const TIniImage before("[1]\r\nLeft=10\r\nCaption=Tea\r\n[2]\r\nLeft=5\r\n[3]\r\nTop=1\r\n");
    // Case and blanks as the profile functions take them; the first of equal keys counts.
    const TIniImage after(" [1] \r\nleft = 10\r\nCaption=Coffee\r\nCaption=Ignored\r\n[3]\r\nTop=1\r\nWordWrap=0\n[4]\nLeft=1");
    EXPECT_EQ(std::optional<std::string>("Coffee"), after.Value("1", "CAPTION"));
    EXPECT_EQ(std::nullopt, after.Value("2", "Left"));
    EXPECT_EQ(std::optional<std::string>("1"), after.Value("4", "Left")) << "last line without a line break";

    const TIniChanges changes = CompareIni(before, after);
    EXPECT_EQ(std::vector<std::string>{"4"}, changes.Added);
    EXPECT_EQ(std::vector<std::string>{"2"}, changes.Removed);
    ASSERT_EQ(2u, changes.Changed.size());
    EXPECT_EQ("1", changes.Changed[0].first);
    EXPECT_EQ(std::vector<std::string>{"Caption"}, changes.Changed[0].second);
    EXPECT_EQ("3", changes.Changed[1].first);
    EXPECT_EQ(std::vector<std::string>{"WordWrap"}, changes.Changed[1].second);

    const TIniChanges none = CompareIni(after, TIniImage("[1]\nLeft=10\nCaption=Coffee\n[3]\nTop=1\nWordWrap=0\n[4]\nLeft=1\n"));
    EXPECT_TRUE(none.Added.empty() && none.Removed.empty() && none.Changed.empty());
    const TIniChanges keyGone = CompareIni(before, TIniImage("[1]\nLeft=10\n[2]\nLeft=5\n[3]\nTop=1\n"));
    ASSERT_EQ(1u, keyGone.Changed.size());
    EXPECT_EQ(std::vector<std::string>{"Caption"}, keyGone.Changed[0].second);
}

TEST(SyncChanges, AConflictCopyAddsOnlyTheSectionsAndKeysTheMainFileLacks)
{
    const TIniImage main("[1]\nLeft=10\n[hkNewMemo]\nhotKey=78\n");
    const TIniImage copy("[1]\nLeft=99\nCaption=Tea\n[2]\nLeft=5\nTop=6\n[hkNewMemo]\nhotKey=80\n");
    const auto missing = MissingFrom(main, copy);
    ASSERT_EQ(2u, missing.size());
    EXPECT_EQ("1", missing[0].first);
    EXPECT_EQ((TIniImage::TValues{{"Caption", "Tea"}}), missing[0].second);
    EXPECT_EQ("2", missing[1].first);
    EXPECT_EQ((TIniImage::TValues{{"Left", "5"}, {"Top", "6"}}), missing[1].second);
    EXPECT_TRUE(MissingFrom(copy, main).empty());
}

TEST(SyncChanges, TheOtherVersionIsCaptionedAfterTheCaptionOrItsFirstLine)
{
    EXPECT_EQ("Tea (changed elsewhere)", ChangedElsewhereCaption("Tea", {"Milk"}));
    EXPECT_EQ("Milk (changed elsewhere)", ChangedElsewhereCaption("", {"", "  \t", "  Milk  ", "Eggs"}));
    EXPECT_EQ("(changed elsewhere)", ChangedElsewhereCaption("", {" "}));
}

TEST(SyncChanges, TheStoreKnowsItsOwnBytesWhenTheyComeBack)
{
    TestProgram program;
    EXPECT_TRUE(WriteMemoContent(5, "tea", "{\\rtf1 tea}"));
    EXPECT_TRUE(IsMemoFileAsLastKnown(5, ReadWholeFile(MemoFilePath(5))));
    // Another computer's version is not ours.
    WriteWholeFile(MemoFilePath(5), "{\\rtf1 coffee}");
    EXPECT_FALSE(IsMemoFileAsLastKnown(5, ReadWholeFile(MemoFilePath(5))));
    // Once read, it is what the store knows.
    EXPECT_EQ("{\\rtf1 coffee}", ReadMemoFile(5));
    EXPECT_TRUE(IsMemoFileAsLastKnown(5, "{\\rtf1 coffee}"));
    WriteMemoFile(6, "{\\rtf1 other}");
    EXPECT_EQ("{\\rtf1 other}", ReadWholeFile(MemoFilePath(6)));
    EXPECT_TRUE(IsMemoFileAsLastKnown(6, "{\\rtf1 other}"));
    EraseMemo(6);
    EXPECT_FALSE(IsMemoFileAsLastKnown(6, "{\\rtf1 other}")) << "a number freed is known no more";
}

TEST(SyncChanges, ASaveOverTextThatCameFromElsewhereKeepsThatTextAsAConflictCopy)
{
    TestProgram program;
    WriteWholeFile(MemoFilePath(7), "{\\rtf1 as loaded}");
    EXPECT_EQ("{\\rtf1 as loaded}", ReadMemoFile(7));
    // Nothing came: a plain save, no copy.
    EXPECT_TRUE(WriteMemoContent(7, "mine", "{\\rtf1 mine}"));
    EXPECT_FALSE(FileExists(program.Folder() + "007 (1).txt"));

    // Another computer's text arrives just before the next save.
    WriteWholeFile(MemoFilePath(7), "{\\rtf1 theirs}");
    WriteWholeFile(program.Folder() + "007 (1).txt", "taken");
    EXPECT_TRUE(WriteMemoContent(7, "mine again", "{\\rtf1 mine again}"));
    EXPECT_EQ("{\\rtf1 mine again}", ReadWholeFile(MemoFilePath(7)));
    EXPECT_EQ("taken", ReadWholeFile(program.Folder() + "007 (1).txt"));
    EXPECT_EQ("{\\rtf1 theirs}", ReadWholeFile(program.Folder() + "007 (2).txt"));
    EXPECT_EQ(std::optional<std::string>("007.txt"), ConflictCopyOf("007 (2).txt", kIndex, kSettings))
        << "named so that the folder sync takes it in";

    // A memo file the store never read is not second-guessed.
    WriteWholeFile(MemoFilePath(8), "{\\rtf1 never read}");
    EXPECT_TRUE(WriteMemoContent(8, "new", "{\\rtf1 new}"));
    EXPECT_FALSE(FileExists(program.Folder() + "008 (1).txt"));
}

TEST(FolderWatch, ABurstOfChangesIsHandedOnOnceAfterAQuietMoment)
{
    TempFolder folder;
    CreateDirectoryA((folder.Path() + "zkBasket").c_str(), nullptr);
    TFolderWatch watch(folder.Path());
    // A subfolder has a watch of its own: not every platform tells of subfolders.
    TFolderWatch basket(folder.Path() + "zkBasket", "zkBasket\\");
    ASSERT_TRUE(watch.Watching());
    ASSERT_TRUE(basket.Watching());
    std::vector<TFolderChanges> seen, seenInBasket;
    watch.OnSettled = [&](const TFolderChanges& changes) { seen.push_back(changes); };
    basket.OnSettled = [&](const TFolderChanges& changes) { seenInBasket.push_back(changes); };
    PumpMessages(500);
    EXPECT_TRUE(seen.empty()) << "nothing changed, nothing told";

    // As a sync client writes: a temporary name, then a rename into place, several
    // files one after the other.
    const DWORD start = GetTickCount();
    for (const char* name : {"001.txt", "002.txt", "zkPostIt.ini"}) {
        const std::string temporary = folder.Path() + ".sync-" + name + ".tmp";
        WriteWholeFile(temporary, name);
        MoveFileExA(temporary.c_str(), (folder.Path() + name).c_str(), MOVEFILE_REPLACE_EXISTING);
        PumpMessages(50);
    }
    WriteWholeFile(folder.Path() + "zkBasket\\2026-03-05 09_07_42 Tea.txt", "x");
    ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }, 3000));
    EXPECT_GE(GetTickCount() - start, 150u + TFolderWatch::kQuietMs - 50) << "not before the burst was over";
    PumpMessages(TFolderWatch::kQuietMs + 200);
    ASSERT_EQ(1u, seen.size()) << "one hand-over for the whole burst";
    ASSERT_EQ(1u, seenInBasket.size());
    EXPECT_EQ(std::set<std::string>{"zkbasket\\2026-03-05 09_07_42 tea.txt"}, seenInBasket[0].Names);
    const auto& names = seen[0].Names;
    for (const char* name : {"001.txt", "002.txt", "zkpostit.ini"})
        EXPECT_TRUE(names.count(name)) << name << " among " << [&] { std::string all; for (const auto& n : names) all += n + "|"; return all; }();

    // Looking again at a held file comes round once more on its own.
    watch.LookAgain("003.txt");
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 2; }, 2000));
    EXPECT_EQ(std::set<std::string>{"003.txt"}, seen[1].Names);
}
