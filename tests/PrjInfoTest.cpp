#include "shell/EProjectInc.h"
#include "shell/FolderLock.h"

#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

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
    EXPECT_EQ(L"Pinova 1.0 release 0", info.Title());
    EXPECT_EQ(L"Pinova 1.0 release 0", Application.Title());
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

TEST(FolderLock, OneProgramHoldsAFolderUntilItEnds)
{
    TempFolder folder;
    const std::string lockFile = folder.Path() + kFolderLockName;
    struct Case {
        const char* situation;
        std::function<UniqueKernelHandle()> arrange;
        bool held, heldElsewhere;
    } cases[] = {
        {"nothing there", [] { return UniqueKernelHandle(); }, true, false},
        {"left by a program that died", [&] { WriteWholeFile(lockFile, ""); return UniqueKernelHandle(); }, true, false},
        {"held by another program", [&] {
             return UniqueKernelHandle(CreateFileA(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                                   OPEN_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
         }, false, true},
    };
    for (const Case& c : cases) {
        const UniqueKernelHandle other = c.arrange();
        {
            const TFolderLock lock(folder.Path());
            EXPECT_EQ(c.held, lock.Held()) << c.situation;
            EXPECT_EQ(c.heldElsewhere, lock.HeldElsewhere()) << c.situation;
            EXPECT_TRUE(FileExists(lockFile)) << c.situation;
            if (lock.Held()) {
                EXPECT_TRUE(TFolderLock(folder.Path()).HeldElsewhere()) << c.situation << ": a second start";
            }
        }
        EXPECT_EQ(static_cast<bool>(other), FileExists(lockFile)) << c.situation << ": gone with its holder";
    }
    // A folder where no file can be made: nothing can be saved there, the program runs as before.
    const TFolderLock nowhere(folder.Path() + "missing\\");
    EXPECT_FALSE(nowhere.Held());
    EXPECT_FALSE(nowhere.HeldElsewhere());
}
