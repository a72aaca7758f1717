#include "shell/EProjectInc.h"

#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

TEST(PrjInfo, EveryPathLivesBesideTheProgram)
{
    const TzkPrjInfo info("C:\\Tools\\Notes");
    EXPECT_EQ("C:\\Tools\\Notes\\", info.ProgramPath);
    EXPECT_EQ("C:\\Tools\\Notes\\Pinova.ini", info.IniFileName());
    EXPECT_EQ("C:\\Tools\\Notes\\zkPostIt.ini", info.PostItIniFileName());
    EXPECT_EQ("C:\\Tools\\Notes\\zkPinBrowser.ini", info.PinBrowserIniFileName());
    EXPECT_EQ("C:\\Tools\\Notes\\zkBasket\\", info.BasketPath);
    EXPECT_FALSE(DirectoryExists(info.BasketPath));
}

TEST(PrjInfo, DefaultProgramFolderIsTheExecutables)
{
    const TzkPrjInfo info;
    EXPECT_EQ(ExtractFilePath(ModuleFileName()), info.ProgramPath);
    EXPECT_EQ('\\', info.ProgramPath.back());
}

TEST(PrjInfo, VersionAndTitleComeFromTheVersionResource)
{
    const TzkPrjInfo info("C:\\Tools\\Notes\\");
    EXPECT_EQ("1.0 release 0", info.VersionText());
    EXPECT_EQ("Pinova 1.0 release 0", info.Title());
    EXPECT_EQ("Pinova 1.0 release 0", Application.Title());
    EXPECT_TRUE(info.Icon);
}

TEST(PrjInfo, SettingsDefaultWithoutASettingsFile)
{
    TestProgram program;
    EXPECT_EQ(100, program.Info().AlphaValue);
    EXPECT_EQ(0, program.Info().ReadBootMode());
    EXPECT_FALSE(FileExists(program.Info().IniFileName()));
}

TEST(PrjInfo, AlphaValueIsReadOnceAtCreation)
{
    TempFolder folder;
    const std::string ini = folder.Path() + "Pinova.ini";
    auto alphaFor = [&](const std::string& text) {
        WriteWholeFile(ini, "[PROGRAM]\r\nAlphaBlend Value=" + text + "\r\nBootMode=3\r\n");
        return TzkPrjInfo(folder.Path()).AlphaValue;
    };
    EXPECT_EQ(300, alphaFor("300"));
    EXPECT_EQ(44, static_cast<BYTE>(alphaFor("300")));
    EXPECT_EQ(100, alphaFor("abc"));
    EXPECT_EQ(255, alphaFor("0xFF"));
    EXPECT_EQ(128, alphaFor("$80"));

    TzkPrjInfo info(folder.Path());
    EXPECT_EQ(3, info.ReadBootMode());
    TIniFile(ini).WriteInteger("PROGRAM", "AlphaBlend Value", 7);
    EXPECT_EQ(128, info.AlphaValue);
}

TEST(PrjInfo, SharedBlockWithoutViewReadsZero)
{
    TMappedHwnd block("PinovaTestBlock");
    ASSERT_TRUE(block.HasView());
    EXPECT_EQ(0u, block.Read());
    block.Write(0x12345678u);
    TMappedHwnd again("PinovaTestBlock");
    EXPECT_EQ(0x12345678u, again.Read());

    TMappedHwnd broken("bad\\name\\with\\slashes");
    EXPECT_FALSE(broken.HasView());
    EXPECT_FALSE(broken.MapHandle);
    EXPECT_EQ(0u, broken.Read());
    broken.Write(5);
}

TEST(PrjInfo, TheInstanceMutexLivesAsLongAsItsProgramInformation)
{
    auto mutexExists = [] {
        const UniqueKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, "Pinova"));
        return static_cast<bool>(mutex);
    };
    ASSERT_FALSE(mutexExists());
    {
        TestProgram first;
        EXPECT_TRUE(first.Info().IsFirstInstance());
        EXPECT_TRUE(mutexExists());
        {
            TzkPrjInfo second(first.Folder());
            EXPECT_FALSE(second.IsFirstInstance());
        }
        EXPECT_TRUE(mutexExists()) << "the second start lets go of its handle only";
        // Checking again takes a new handle in place of the old one.
        first.Info().IsFirstInstance();
    }
    EXPECT_FALSE(mutexExists()) << "a new start would run as the first instance";
}
