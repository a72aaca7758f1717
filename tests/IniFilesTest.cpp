#include "framework/IniFiles.h"

#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

TEST(IniFile, MissingFileGivesDefaults)
{
    TempFolder folder;
    const TIniFile ini(folder.Path() + "none.ini");
    EXPECT_EQ(78, ini.ReadInteger("hkNewMemo", "hotKey", 78));
    EXPECT_EQ("dflt", ini.ReadString("url", "1", "dflt"));
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_TRUE(ini.ReadSection("url").empty());
    EXPECT_FALSE(ini.SectionExists("url"));
    EXPECT_FALSE(FileExists(ini.FileName()));
}

TEST(IniFile, ReadsHexAndFallsBackOnUnreadableIntegers)
{
    TempFolder folder;
    const std::string file = folder.Path() + "Pinova.ini";
    WriteWholeFile(file, "[PROGRAM]\r\nA=0x1F\r\nB=$10\r\nC=abc\r\nD=300\r\nE=\r\nF= 12\r\n");
    const TIniFile ini(file);
    EXPECT_EQ(31, ini.ReadInteger("PROGRAM", "A", 0));
    EXPECT_EQ(16, ini.ReadInteger("PROGRAM", "B", 0));
    EXPECT_EQ(100, ini.ReadInteger("PROGRAM", "C", 100));
    EXPECT_EQ(300, ini.ReadInteger("PROGRAM", "D", 100));
    EXPECT_EQ(100, ini.ReadInteger("PROGRAM", "E", 100));
    EXPECT_EQ(12, ini.ReadInteger("PROGRAM", "F", 100));
    EXPECT_EQ(100, ini.ReadInteger("PROGRAM", "missing", 100));
}

TEST(IniFile, ASectionReadAtOnceReadsAsKeyByKey)
{
    TempFolder folder;
    const std::string file = folder.Path() + "memo.ini";
    // Keys in any case, spaces around, hexadecimal, a repeated key, a long value
    // beyond the first buffer, quotes around values or in them, and a section
    // much like it beside.
    WriteWholeFile(file, "[70]\r\nLeft=1\r\n[7]\r\nleft = 0x1F\r\nTOP=-4\r\nWidth=abc\r\nLeft=99\r\nCaption=" +
                             std::string(5000, 'c') + "\r\nHeight=\r\n"
                             "Q1=\"double\"\r\nQ2='single'\r\nQ3=\"mixed'\r\nQ4=\"\r\nQ5=\"\"\r\n"
                             "Q6=  \" spaced \"  \r\nQ7=in\"side\"\r\nQ8='\"both\"'\r\n");
    const TIniFile ini(file);
    const TIniValues record = ini.ReadSectionValues("7");
    for (const char* key : {"Left", "Top", "Width", "Height", "Missing"})
        EXPECT_EQ(ini.ReadInteger("7", key, 555), record.ReadInteger(key, 555)) << key;
    for (const char* key : {"Caption", "Q1", "Q2", "Q3", "Q4", "Q5", "Q6", "Q7", "Q8", "Missing"})
        EXPECT_EQ(ini.ReadString("7", key, "none"), record.ReadString(key, "none")) << key;
    EXPECT_EQ(31, record.ReadInteger("LEFT", 0));
    EXPECT_EQ("double", record.ReadString("q1", ""));
    EXPECT_TRUE(ini.ReadSectionValues("8").Empty());
}

TEST(IniFile, StringsAreCutAt2047Characters)
{
    TempFolder folder;
    const std::string file = folder.Path() + "long.ini";
    WriteWholeFile(file, "[url]\r\n1=" + std::string(3000, 'x') + "\r\n2=" + std::string(2047, 'y') + "\r\n");
    const TIniFile ini(file);
    EXPECT_EQ(std::string(2047, 'x'), ini.ReadString("url", "1", ""));
    EXPECT_EQ(std::string(2047, 'y'), ini.ReadString("url", "2", ""));
}

TEST(IniFile, ListsSectionsAndKeysInFileOrder)
{
    TempFolder folder;
    TIniFile ini(folder.Path() + "order.ini");
    ini.WriteString("url", "3", "c");
    ini.WriteString("url", "1", "a");
    ini.WriteInteger("7", "Left", 300);
    ini.WriteInteger("42", "Left", 10);
    ini.WriteString("url", "4", "");
    EXPECT_EQ((std::vector<std::string>{"url", "7", "42"}), ini.ReadSections());
    EXPECT_EQ((std::vector<std::string>{"3", "1", "4"}), ini.ReadSection("url"));
    EXPECT_TRUE(ini.ValueExists("url", "4"));
    EXPECT_EQ(300, ini.ReadInteger("7", "Left", 0));

    ini.EraseSection("7");
    EXPECT_EQ((std::vector<std::string>{"url", "42"}), ini.ReadSections());
    ini.DeleteKey("url", "1");
    EXPECT_EQ((std::vector<std::string>{"3", "4"}), ini.ReadSection("url"));
}

TEST(IniFile, ManySectionsAreAllListed)
{
    TempFolder folder;
    std::string content;
    for (int i = 1; i <= 999; ++i)
        content += "[" + std::to_string(i) + "]\r\nLeft=1\r\n";
    WriteWholeFile(folder.Path() + "big.ini", content);
    const auto sections = TIniFile(folder.Path() + "big.ini").ReadSections();
    ASSERT_EQ(999u, sections.size());
    EXPECT_EQ("999", sections.back());
}

TEST(IniFile, RefusedWriteRaisesUnableToWrite)
{
    TempFolder folder;
    const std::string file = folder.Path() + "no such folder\\x.ini";
    TIniFile ini(file);
    try {
        ini.WriteString("a", "b", "c");
        FAIL() << "no error";
    } catch (const EIniFileException& e) {
        EXPECT_EQ("Unable to write to " + file, e.what());
    }
}

TEST(IniFile, AValueNeverBreaksItsLine)
{
    TempFolder folder;
    const TIniFile ini(folder.Path() + "zkPostIt.ini");
    TIniFile writer(ini.FileName());
    const std::string korean = WideToAnsi(L"\ud68c\uc758");  // two-byte characters under 949
    const struct {
        std::string written, read;
    } cases[] = {
        {"Plan\r\n[9]\r\nLeft=5", "Plan  [9]  Left=5"},
        {"a\nb\rc", "a b c"},
        {"tab\there\x01x\x1fy", "tab here x y"},
        {korean + "\n" + korean, korean + " " + korean},
        {"plain [9] Left=5", "plain [9] Left=5"},
    };
    for (const auto& c : cases) {
        writer.WriteString("7", "Caption", c.written);
        writer.WriteInteger("7", "Top", 20);
        EXPECT_EQ(c.read, ini.ReadString("7", "Caption", "")) << c.read;
        EXPECT_EQ((std::vector<std::string>{"7"}), ini.ReadSections()) << c.read;
        EXPECT_EQ((std::vector<std::string>{"Caption", "Top"}), ini.ReadSection("7")) << c.read;
    }
}
