// The whole program in a folder that a sync client keeps in step with another
// computer: the test plays the client, writing files as the clients do (a
// temporary name, then a rename into place, several files in a burst).

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/ProgramSupport.h"

#include <gtest/gtest.h>

namespace {

// How long a change from elsewhere may take to show.
constexpr DWORD kShownWithinMs = 3000;

// As a sync client puts a file into place.
void SyncWrite(const RunningPinova& pinova, const std::string& name, const std::string& bytes)
{
    const std::string temporary = pinova.File(".~sync-" + name + ".partial");
    WriteWholeFile(temporary, bytes);
    ASSERT_TRUE(MoveFileExA(temporary.c_str(), pinova.File(name).c_str(), MOVEFILE_REPLACE_EXISTING));
}

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

std::string Record(int number, int left, int top, const std::string& more = "")
{
    return Format("[%d]\r\nLeft=%d\r\nTop=%d\r\nWidth=300\r\nHeight=200\r\n", number, left, top) + more;
}

std::string CaptionOf(HWND memo)
{
    char text[512] = {};
    SendMessageA(memo, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// The memo whose editor holds the text, waiting for it to be shown.
HWND MemoShowing(const RunningPinova& pinova, const std::string& text, DWORD timeoutMs = kShownWithinMs)
{
    HWND found = nullptr;
    PumpUntil(
        [&] {
            for (HWND memo : pinova.Windows("TForm"))
                if (MemoText(memo).find(text) != std::string::npos)
                    found = memo;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool FileHolds(const RunningPinova& pinova, const std::string& name, const std::string& text)
{
    return ReadWholeFile(pinova.File(name)).find(text) != std::string::npos;
}

struct StartedPinova {
    RunningPinova pinova;
    HWND tray = nullptr;
    std::vector<HWND> memos;

    // Starts the program over the given memos ("text" per memo 1, 2, ...) and waits
    // until it shows them and has settled.
    StartedPinova(const std::vector<std::string>& texts, const std::string& moreIndex = "")
    {
        Shell();
        std::string index;
        for (size_t i = 0; i < texts.size(); ++i) {
            const int number = static_cast<int>(i + 1);
            index += Record(number, 100 + 40 * number, 120);
            WriteWholeFile(pinova.File(Format("%03d.txt", number)), Rtf(texts[i]));
        }
        WriteWholeFile(pinova.File("zkPostIt.ini"), index + moreIndex);
    }
    void Start(size_t expectedMemos)
    {
        ASSERT_TRUE(pinova.Start());
        tray = pinova.WaitForTrayWindow();
        ASSERT_NE(nullptr, tray);
        memos = pinova.WaitForWindows("TForm", expectedMemos);
        ASSERT_EQ(expectedMemos, memos.size());
        PumpMessages(700);
    }
};

} // namespace

TEST(ProgramSync, AMemoChangedElsewhereShowsTheNewTextWhereItWasAndNothingIsWrittenBack)
{
    StartedPinova run({"First memo"});
    ASSERT_NO_FATAL_FAILURE(run.Start(1));
    RECT before{};
    GetWindowRect(run.memos[0], &before);

    SyncWrite(run.pinova, "001.txt", Rtf("Changed on the laptop"));
    const DWORD start = GetTickCount();
    EXPECT_EQ(run.memos[0], MemoShowing(run.pinova, "Changed on the laptop"));
    EXPECT_LT(GetTickCount() - start, 1500u);
    RECT after{};
    GetWindowRect(run.memos[0], &after);
    EXPECT_EQ(RectText(before), RectText(after));

    // Taking the activation away makes the memo save: nothing to write, and no
    // second memo for what it read itself.
    SendMessageA(run.memos[0], WM_ACTIVATE, WA_INACTIVE, 0);
    PumpMessages(1500);
    EXPECT_EQ(Rtf("Changed on the laptop"), ReadWholeFile(run.pinova.File("001.txt")));
    EXPECT_EQ(1u, run.pinova.Windows("TForm").size());
}

TEST(ProgramSync, UnsavedEditsStayAndTheOtherVersionOpensBesideThemAsAMemoOfItsOwn)
{
    StartedPinova run({"First memo", "Second memo"});
    ASSERT_NO_FATAL_FAILURE(run.Start(2));
    HWND mine = MemoShowing(run.pinova, "First memo");
    ASSERT_NE(nullptr, mine);
    TypeInto(mine, "Mine: ");

    // A burst: the memo file and the index, as the client brings both.
    SyncWrite(run.pinova, "001.txt", Rtf("Theirs"));
    SyncWrite(run.pinova, "zkPostIt.ini",
              ReadWholeFile(run.pinova.File("zkPostIt.ini")));
    HWND theirs = MemoShowing(run.pinova, "Theirs");
    ASSERT_NE(nullptr, theirs);
    ASSERT_NE(mine, theirs);
    EXPECT_NE(std::string::npos, MemoText(mine).find("Mine: First memo"));
    EXPECT_EQ("Theirs (changed elsewhere)", CaptionOf(theirs));
    // The lowest free number: 3, written at once.
    EXPECT_TRUE(FileHolds(run.pinova, "003.txt", "Theirs"));
    EXPECT_EQ("Theirs (changed elsewhere)", TIniFile(run.pinova.File("zkPostIt.ini")).ReadString("3", "Caption", ""));
    RECT mineRect{}, theirsRect{};
    GetWindowRect(mine, &mineRect);
    GetWindowRect(theirs, &theirsRect);
    EXPECT_GT(theirsRect.left, mineRect.left) << "beside it";

    // The user's text is saved at the memo's next save; nothing opens for that.
    SendMessageA(mine, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(PumpUntil([&] { return FileHolds(run.pinova, "001.txt", "Mine: First memo"); }));
    PumpMessages(1000);
    EXPECT_EQ(3u, run.pinova.Windows("TForm").size());
}

TEST(ProgramSync, MemosMadeOrRemovedElsewhereOpenAndCloseHere)
{
    StartedPinova run({"First memo"});
    ASSERT_NO_FATAL_FAILURE(run.Start(1));

    // Made on a computer with a screen far to the left: brought onto this one.
    SyncWrite(run.pinova, "002.txt", Rtf("Made on the laptop"));
    SyncWrite(run.pinova, "zkPostIt.ini", Record(1, 140, 120) + Record(2, -5000, 300));
    HWND made = MemoShowing(run.pinova, "Made on the laptop");
    ASSERT_NE(nullptr, made);
    RECT r{};
    GetWindowRect(made, &r);
    EXPECT_GE(r.left, 0) << RectText(r);

    // Removed there: its record and its file go, and so does its window, without a
    // question and without a wastebasket file here.
    SyncWrite(run.pinova, "zkPostIt.ini", Record(1, 140, 120));
    DeleteFileA(run.pinova.File("002.txt").c_str());
    EXPECT_TRUE(PumpUntil([&] { return run.pinova.Windows("TForm").size() == 1; }, kShownWithinMs));
    EXPECT_TRUE(run.pinova.Windows("#32770").empty()) << "no question";
    EXPECT_FALSE(DirectoryExists(run.pinova.File("zkBasket")));

    // Removed there while it has unsaved edits here: it stays, as a memo of its own.
    TypeInto(run.memos[0], "Mine: ");
    DeleteFileA(run.pinova.File("001.txt").c_str());
    SyncWrite(run.pinova, "zkPostIt.ini", "");
    EXPECT_TRUE(PumpUntil([&] { return FileHolds(run.pinova, "001.txt", "Mine: First memo"); }, kShownWithinMs));
    EXPECT_TRUE(TIniFile(run.pinova.File("zkPostIt.ini")).SectionExists("1"));
    EXPECT_EQ(1u, run.pinova.Windows("TForm").size());
}

TEST(ProgramSync, CaptionWordWrapAndPlaceFromTheIndexApplyToTheOpenMemo)
{
    StartedPinova run({"First memo"}, "");
    ASSERT_NO_FATAL_FAILURE(run.Start(1));
    HWND editor = MemoEditor(run.memos[0]);
    const LONG wrapped = GetWindowLongA(editor, GWL_STYLE) & ES_AUTOHSCROLL;

    SyncWrite(run.pinova, "zkPostIt.ini", Record(1, 400, 260, "Caption=Groceries\r\nWordWrap=0\r\n"));
    EXPECT_TRUE(PumpUntil([&] { return CaptionOf(run.memos[0]) == "Groceries"; }, kShownWithinMs));
    RECT r{};
    EXPECT_TRUE(PumpUntil([&] {
        GetWindowRect(run.memos[0], &r);
        return r.left == 400 && r.top == 260;
    })) << RectText(r);
    EXPECT_NE(wrapped, GetWindowLongA(MemoEditor(run.memos[0]), GWL_STYLE) & ES_AUTOHSCROLL) << "word wrap switched off";

    // A place on no screen here: the memo keeps its own.
    SyncWrite(run.pinova, "zkPostIt.ini", Record(1, 9000, 9000, "Caption=Groceries\r\nWordWrap=0\r\n"));
    PumpMessages(1500);
    GetWindowRect(run.memos[0], &r);
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(260, r.top);
}

TEST(ProgramSync, ConflictCopiesBecomeMemosAndGoOnlyOnceTheirTextIsInAMemoFile)
{
    StartedPinova run({"First memo"});
    // Left by a client while the program was not running.
    WriteWholeFile(run.pinova.File("001-LAPTOP.txt"), Rtf("OneDrive copy"));
    ASSERT_NO_FATAL_FAILURE(run.Start(2));
    HWND oneDrive = MemoShowing(run.pinova, "OneDrive copy");
    ASSERT_NE(nullptr, oneDrive);
    EXPECT_EQ("OneDrive copy (changed elsewhere)", CaptionOf(oneDrive));
    EXPECT_FALSE(FileExists(run.pinova.File("001-LAPTOP.txt")));
    EXPECT_TRUE(FileHolds(run.pinova, "002.txt", "OneDrive copy"));

    // And while it runs, each client's way of naming them.
    const char* const copies[] = {"001 (Anna's conflicted copy 2026-03-05).txt",
                                  "001 (conflicted copy 2026-03-05 091501).txt",
                                  "001.sync-conflict-20260305-091501-ABCDEFG.txt", "001 (1).txt"};
    size_t memos = 2;
    for (const char* copy : copies) {
        const std::string text = std::string("Copy ") + std::to_string(memos);
        SyncWrite(run.pinova, copy, Rtf(text));
        EXPECT_NE(nullptr, MemoShowing(run.pinova, text)) << copy;
        ++memos;
        EXPECT_FALSE(FileExists(run.pinova.File(copy))) << copy;
        EXPECT_TRUE(FileHolds(run.pinova, Format("%03d.txt", static_cast<int>(memos)), text)) << copy;
    }
    // A copy holding what the memo holds is just removed.
    SyncWrite(run.pinova, "001 (2).txt", ReadWholeFile(run.pinova.File("001.txt")));
    EXPECT_TRUE(PumpUntil([&] { return !FileExists(run.pinova.File("001 (2).txt")); }, kShownWithinMs));
    EXPECT_EQ(memos, run.pinova.Windows("TForm").size());

    // A copy of the index brings the record the main one lacks, and its memo opens.
    SyncWrite(run.pinova, "020.txt", Rtf("Only in the copy"));
    SyncWrite(run.pinova, "zkPostIt (Bob's conflicted copy 2026-03-05).ini", Record(20, 200, 200));
    EXPECT_NE(nullptr, MemoShowing(run.pinova, "Only in the copy"));
    EXPECT_FALSE(FileExists(run.pinova.File("zkPostIt (Bob's conflicted copy 2026-03-05).ini")));
    EXPECT_EQ(200, TIniFile(run.pinova.File("zkPostIt.ini")).ReadInteger("20", "Left", 0));
}
