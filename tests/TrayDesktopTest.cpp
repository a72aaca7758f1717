// The notes of the tray controller on every desktop the shell may make: the icon
// view in "Progman" or in a "WorkerW", a virtual screen that starts left of the
// primary monitor, and an icon view that moves while notes rest in it.

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "notes/PinBrowser.h"
#include "tests/TraySupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char kEmulationKey[] = "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";

// A memo at 100,100 and a pinned page at 500,150, as stored, opened by the tray.
struct StoredNotes {
    const RECT memoPlace{100, 100, 400, 300};
    const RECT pagePlace{500, 150, 900, 450};
    TestProgram files;
    const bool written = WriteFiles();
    Tray tray{files};

    ~StoredNotes() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kEmulationKey, ExtractFileName(ModuleFileName()).c_str()); }
    static bool WriteFiles()
    {
        WriteWholeFile(PrjInfo->PostItIniFileName(), "[1]\nLeft=100\nTop=100\nWidth=300\nHeight=200\n");
        WriteWholeFile(MemoFilePath(1), "{\\rtf1 on the desktop}");
        WriteWholeFile(PrjInfo->IniFileName(), "[url]\n1=http://127.0.0.1/\n");
        WriteWholeFile(PrjInfo->PinBrowserIniFileName(), "[1]\nLeft=500\nTop=150\nWidth=400\nHeight=300\n");
        return true;
    }
    TfrmPaper* Page() const
    {
        for (TfrmPaper* paper : PaperWindows())
            if (dynamic_cast<TfrmPinBrowser*>(paper))
                return paper;
        return nullptr;
    }
    // Both notes rest in this icon view, where they were stored on the screen.
    void ExpectIn(HWND icons) const
    {
        ASSERT_NE(nullptr, tray.Memo(1));
        ASSERT_NE(nullptr, Page());
        EXPECT_EQ(icons, GetAncestor(tray.Memo(1)->Handle(), GA_PARENT));
        EXPECT_EQ(icons, GetAncestor(Page()->Handle(), GA_PARENT));
        EXPECT_EQ(RectText(memoPlace), RectText(WindowScreenRect(tray.Memo(1)->Handle())));
        EXPECT_EQ(RectText(pagePlace), RectText(WindowScreenRect(Page()->Handle())));
        EXPECT_EQ(pmDesktop, tray.Memo(1)->GetPaperMode());
        EXPECT_EQ(pmDesktop, Page()->GetPaperMode());
    }
};

} // namespace

TEST(TrayDesktop, StoredNotesRestInTheIconViewOfEveryShellLayoutWhereTheyWereStored)
{
    const struct {
        const char* name;
        ShellLayout layout;
        RECT area;
    } cases[] = {
        {"classic", ShellLayout::Classic, {}},
        {"slideshow", ShellLayout::Slideshow, {}},
        {"24H2", ShellLayout::Win11_24H2, {}},
        {"classic, from -1280", ShellLayout::Classic, kLeftMonitorToo},
        {"slideshow, from -1280", ShellLayout::Slideshow, kLeftMonitorToo},
        {"24H2, from -1280", ShellLayout::Win11_24H2, kLeftMonitorToo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StandInProgman shell(c.layout, c.area);
        StoredNotes notes;
        notes.ExpectIn(shell.icons);
    }
}

TEST(TrayDesktop, AMemoKeepsItsScreenPlaceThroughEveryModeOfTheTrayOnAScreenFromMinus1280)
{
    StandInProgman shell(ShellLayout::Classic, kLeftMonitorToo);
    StoredNotes notes;
    TfrmPostIt* memo = notes.tray.Memo(1);
    ASSERT_NE(nullptr, memo);
    const std::string placeText = RectText(notes.memoPlace);
    EXPECT_EQ(placeText, RectText(WindowScreenRect(memo->Handle()))) << "desktop";
    notes.tray->mnShowAllClick();
    ASSERT_EQ(pmFloating, memo->GetPaperMode());
    EXPECT_EQ(placeText, RectText(WindowScreenRect(memo->Handle()))) << "floating";
    memo->BringToWork();
    ASSERT_EQ(pmWorking, memo->GetPaperMode());
    EXPECT_EQ(placeText, RectText(WindowScreenRect(memo->Handle()))) << "working";
    notes.tray.HotKey(HOTKEY_SHOWHIDE);
    ASSERT_EQ(pmDesktop, memo->GetPaperMode());
    EXPECT_EQ(shell.icons, GetAncestor(memo->Handle(), GA_PARENT));
    EXPECT_EQ(placeText, RectText(WindowScreenRect(memo->Handle()))) << "desktop again";

    notes.tray->mnCloseClick();
    const TIniFile index(PrjInfo->PostItIniFileName());
    EXPECT_EQ(100, index.ReadInteger("1", "Left", 0));
    EXPECT_EQ(100, index.ReadInteger("1", "Top", 0));
    const TIniFile pages(PrjInfo->PinBrowserIniFileName());
    EXPECT_EQ(500, pages.ReadInteger("1", "Left", 0));
    EXPECT_EQ(150, pages.ReadInteger("1", "Top", 0));
}

TEST(TrayDesktop, NotesFollowTheIconViewWhenTheShellMovesIt)
{
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // What the program hears when the classic desktop gives way to a slideshow's
    // (on a wider screen), and whether the new one is there before the old one goes.
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool newFirst;
    } cases[] = {
        {"the loss of the icon view", 0, 0, true},
        {"TaskbarCreated", taskbarCreated, 0, false},
        {"a wallpaper setting", WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, false},
        {"a display change", WM_DISPLAYCHANGE, 32, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto classic = std::make_unique<StandInProgman>();
        StoredNotes notes;
        notes.ExpectIn(classic->icons);

        std::unique_ptr<StandInProgman> slideshow;
        if (c.newFirst)
            slideshow = std::make_unique<StandInProgman>(ShellLayout::Slideshow, kLeftMonitorToo);
        classic.reset();
        PumpMessages(100);
        if (!slideshow)
            slideshow = std::make_unique<StandInProgman>(ShellLayout::Slideshow, kLeftMonitorToo);
        if (c.message) {
            EXPECT_EQ(GetDesktopWindow(), GetAncestor(notes.tray.Memo(1)->Handle(), GA_PARENT))
                << "top-level until the program hears of the new shell";
            SendMessageA(notes.tray.Handle(), c.message, c.wParam, 0);
        }
        PumpMessages(100);
        notes.ExpectIn(slideshow->icons);
    }
}
