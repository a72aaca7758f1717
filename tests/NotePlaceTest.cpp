#include "notes/NotePlace.h"

#include "framework/IniFiles.h"
#include "notes/SyncChanges.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

// The window reads its record through the ini functions, the folder sync through a
// reading of the whole file: both must see the same place in the same record.
TEST(NotePlace, BothReadersTakeTheSamePlaceWithDefaultsForWhatIsMissing)
{
    const struct {
        const char* record;
        RECT place;
    } cases[] = {
        {"Left=10\r\nTop=20\r\nWidth=30\r\nHeight=40", {10, 20, 40, 60}},
        {"", {300, 200, 600, 400}},
        {"Top=-700", {300, -700, 600, -500}},
        {"Left=-1500\r\nWidth=250", {-1500, 200, -1250, 400}},
        {"Left=abc\r\nTop=\r\nWidth=0x20\r\nHeight=12x", {300, 200, 332, 400}},
        {"left=5\r\nLEFT=6\r\nHEIGHT=7", {5, 200, 305, 207}},
        {"Caption=a\r\nWordWrap=0\r\nWidth=120", {300, 200, 420, 400}},
    };
    TestProgram program;
    const std::string path = PrjInfo->PostItIniFileName();
    for (const auto& c : cases) {
        const std::string file = std::string("[1]\r\nLeft=1\r\n[7]\r\n") + c.record + "\r\n[8]\r\nTop=2\r\n";
        WriteWholeFile(path, file);
        EXPECT_EQ(RectText(c.place), RectText(ReadNotePlace(TIniFile(path).ReadSectionValues("7")))) << c.record;
        EXPECT_EQ(RectText(c.place), RectText(ReadNotePlace(TIniImage(file), "7"))) << c.record;
    }
}

TEST(NotePlace, ASaveWritesAllFourKeysOnlyWhenOneDiffers)
{
    const struct {
        const char* before;
        RECT place;
        bool writes;
        const char* after;
    } cases[] = {
        {"", {300, 200, 600, 400}, false, ""},
        {"[7]\r\nCaption=x\r\n", {300, 200, 600, 400}, false, "[7]\r\nCaption=x\r\n"},
        {"", {300, 200, 601, 400}, true, "[7]\r\nLeft=300\r\nTop=200\r\nWidth=301\r\nHeight=200\r\n"},
        {"[7]\r\nTop=5\r\n", {-40, 5, 260, 205}, true, "[7]\r\nTop=5\r\nLeft=-40\r\nWidth=300\r\nHeight=200\r\n"},
        {"[7]\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n", {1, 2, 4, 6}, false,
         "[7]\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n"},
    };
    TestProgram program;
    const std::string path = PrjInfo->PostItIniFileName();
    for (const auto& c : cases) {
        DeleteFileA(path.c_str());
        if (*c.before)
            WriteWholeFile(path, c.before);
        TIniFile ini(path);
        EXPECT_EQ(c.writes, SaveNotePlace(ini, "7", c.place)) << c.before << RectText(c.place);
        EXPECT_EQ(c.after, ReadWholeFile(path)) << c.before << RectText(c.place);
    }
}

TEST(NotePlace, NotesOpenedTogetherCascadeAndStartOverAfterTen)
{
    const RECT first{-1000, 300, -700, 500};
    const struct {
        int index;
        RECT place;
    } cases[] = {
        {0, first}, {1, {-976, 324, -676, 524}}, {9, {-784, 516, -484, 716}}, {10, first}, {23, {-928, 372, -628, 572}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RectText(c.place), RectText(CascadedPlace(first, c.index))) << c.index;
}
