#include "notes/BasketFileName.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

// A wastebasket name is made by the memo store and read back by the wastebasket
// window (its rows) and by a restore (the caption): every title must survive the trip.
TEST(BasketFileName, NamesAreBuiltAndReadBackForEveryKindOfTitle)
{
    const struct {
        SYSTEMTIME when;
        const char* title;
        const char* name;
        const char* row;
    } cases[] = {
        {{2026, 3, 4, 5, 9, 7, 42, 0}, "Shopping list", "2026-03-05 09_07_42 Shopping list.txt",
         "2026-03-05 09:07:42 Shopping list"},
        {{2009, 2, 6, 14, 13, 5, 9, 0}, "", "2009-02-14 13_05_09 .txt", "2009-02-14 13:05:09 "},
        {{2009, 2, 6, 14, 13, 5, 9, 0}, "a/b: c_d_e", "2009-02-14 13_05_09 a%(47)b%(58) c_d_e.txt",
         "2009-02-14 13:05:09 a/b: c_d_e"},
        {{2026, 12, 4, 31, 23, 59, 58, 0}, "\\/:*?<>|", "2026-12-31 23_59_58 %(92)%(47)%(58)%(42)%(63)%(60)%(62)%(124).txt",
         "2026-12-31 23:59:58 \\/:*?<>|"},
        {{2026, 1, 4, 1, 0, 0, 0, 0}, "100% (sure) .txt", "2026-01-01 00_00_00 100% (sure) .txt.txt",
         "2026-01-01 00:00:00 100% (sure) .txt"},
        {{2026, 1, 4, 1, 0, 0, 0, 0}, " \xb0\xa1\xb3\xaa ", "2026-01-01 00_00_00  \xb0\xa1\xb3\xaa .txt",
         "2026-01-01 00:00:00  \xb0\xa1\xb3\xaa "},
    };
    for (const auto& c : cases) {
        const std::string name = BasketFileName(c.when, c.title);
        EXPECT_EQ(c.name, name) << c.title;
        EXPECT_EQ(c.title, BasketFileTitle(name)) << name;
        EXPECT_EQ(c.title, BasketFileTitle("C:\\Pinova\\zkBasket\\" + name)) << name;
        const std::string stem = name.substr(0, name.size() - 4);
        EXPECT_EQ(c.row, DisplayTextFromFileName(stem)) << name;
        EXPECT_EQ(stem, FileNameFromDisplayText(c.row)) << name;
    }
}

// Names the store did not make: put there by hand, or titles that look like codes.
TEST(BasketFileName, NamesFromElsewhereAreReadAsWellAsTheyCanBe)
{
    const struct {
        const char* name;
        const char* title;
    } cases[] = {
        {"notes.txt", "notes"},
        {"NOTES.TXT", "NOTES"},
        {"2026-03-05 09_07_42.txt", "2026-03-05 09_07_42"},
        {"2026-03-05 09-07-42 x.txt", "2026-03-05 09-07-42 x"},
        {"2026-3-05 09_07_42 x.txt", "2026-3-05 09_07_42 x"},
        {"2026-03-05 09_07_42 %(65)pple.txt", "Apple"},
        {"2026-03-05 09_07_42 open %(47.txt", "open %(47"},
        {"2026-03-05 09_07_42 %(x).txt", " "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.title, BasketFileTitle(c.name)) << c.name;
}
