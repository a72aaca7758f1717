#include "notes/Paper.h"
#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

// A paper with a record, as memos and pinned pages have.
class TfrmTestPaper : public TfrmPaper {
public:
    using TfrmPaper::TfrmPaper;
    std::string GetSectionName() const override { return std::to_string(Tag); }

protected:
    std::string PositionIniPath() const override { return PrjInfo->PostItIniFileName(); }
};

struct Paper {
    TestProgram program;
    TfrmTestPaper* form;
    TForm* other;
    Paper() : form(Application.CreateForm<TfrmTestPaper>()), other(Application.CreateForm<TForm>())
    {
        form->Tag = 7;
        form->SetBounds(120, 130, 320, 220);
        other->SetBounds(700, 600, 100, 100);
        form->Show();
    }
    ~Paper()
    {
        Application.DestroyForm(other);
        Application.DestroyForm(form);
    }
    TfrmTestPaper* operator->() const { return form; }

    BYTE Alpha() const
    {
        BYTE alpha = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, &flags);
        EXPECT_TRUE(flags & LWA_ALPHA);
        return alpha;
    }
    bool TaskbarButton() const { return GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW; }
    HWND ParentWindow() const { return GetAncestor(form->Handle(), GA_PARENT); }
    void Activate() const
    {
        SetActiveWindow(form->Handle());
        PumpMessages();
    }
    void Deactivate() const
    {
        other->Show();
        SetActiveWindow(other->Handle());
        PumpMessages();
    }
    std::string Ini() const { return ReadWholeFile(PrjInfo->PostItIniFileName()); }
};

void ExpectMode(const Paper& p, TPaperMode mode, int tint, HWND parent, bool taskbar, TColor inactiveCaption)
{
    EXPECT_EQ(mode, p->GetPaperMode());
    EXPECT_EQ(tint, p->SkinTint());
    EXPECT_EQ(parent, p.ParentWindow());
    EXPECT_EQ(taskbar, p.TaskbarButton());
    EXPECT_EQ(inactiveCaption, p->InactiveCaptionColor);
    EXPECT_EQ(0xFFFFFF, p->ActiveCaptionColor);
}

} // namespace

TEST(Paper, StartsAsAWorkingWindowWithTheDarkSkin)
{
    Paper p;
    EXPECT_EQ(pmWorking, p->GetPaperMode());
    EXPECT_EQ("BMP_DARK", p->SkinName());
    EXPECT_EQ("", p->Caption());
    EXPECT_EQ(0xC0C0C0, p->InactiveCaptionColor) << "silver until the mode changes";
    EXPECT_FALSE(p->TransparentColor());
    EXPECT_EQ(255, p.Alpha());
    EXPECT_TRUE(GetWindowLongPtrA(p->Handle(), GWL_STYLE) & WS_THICKFRAME);
    EXPECT_FALSE(p->tmrSave->Enabled());
    EXPECT_EQ(500u, p->tmrSave->Interval());
    EXPECT_EQ("7", p->GetSectionName());
}

TEST(Paper, EveryModeChangeOfTheTable)
{
    StandInProgman shell;
    Paper p;
    const HWND desktop = GetDesktopWindow();
    SetWindowLongPtrA(p->Handle(), GWL_EXSTYLE, WS_EX_APPWINDOW);  // as the tray makes new memos

    // Working: floating only brings it to the front.
    p->BringFloating();
    ExpectMode(p, pmWorking, 0, desktop, true, 0xC0C0C0);
    EXPECT_EQ(p->Handle(), GetForegroundWindow());
    p->BringToWork();
    ExpectMode(p, pmWorking, 0, desktop, true, 0xC0C0C0);

    // Working -> desktop.
    p->SendToDesktop();
    ExpectMode(p, pmDesktop, 500, shell.icons, false, 0xFFFFFF);
    // (The note was active and stays so on the way; an active note is opaque.)
    p.Deactivate();
    EXPECT_EQ(100, p.Alpha());
    // Desktop -> desktop does nothing at all.
    const HWND handle = p->Handle();
    const HBITMAP skin = p->SkinBitmap();
    p->SetAlphaBlendValue(77);
    p->SendToDesktop();
    EXPECT_EQ(handle, p->Handle());
    EXPECT_EQ(skin, p->SkinBitmap());
    EXPECT_EQ(77, p.Alpha());

    // Desktop -> floating.
    p->BringFloating();
    ExpectMode(p, pmFloating, 90, desktop, false, 0x000000);
    EXPECT_EQ(255, p.Alpha());
    // Floating -> floating sets it all again.
    p->SetAlphaBlendValue(77);
    p->InactiveCaptionColor = 0x123456;
    p->BringFloating();
    ExpectMode(p, pmFloating, 90, desktop, false, 0x000000);
    EXPECT_EQ(255, p.Alpha());

    // Floating -> working.
    p->BringToWork();
    ExpectMode(p, pmWorking, 0, desktop, true, 0x000000);
    EXPECT_EQ(255, p.Alpha());

    // Floating -> desktop, and desktop -> working.
    p->SendToDesktop();
    p->BringFloating();
    p->SendToDesktop();
    ExpectMode(p, pmDesktop, 500, shell.icons, false, 0xFFFFFF);
    p->BringToWork();
    ExpectMode(p, pmWorking, 0, desktop, true, 0x000000);
    EXPECT_EQ(p->Handle(), GetForegroundWindow());
}

TEST(Paper, GoingOntoTheDesktopLeavesTheActivationWhereItIs)
{
    // Taking the activation would also start the note's save, for each of a
    // thousand notes put onto the desktop at start-up.
    StandInProgman shell;
    Paper p;
    p.Deactivate();
    ASSERT_TRUE(PumpUntil([&] { return !p->tmrSave->Enabled(); }, 3000));
    p->SendToDesktop();
    PumpMessages();
    EXPECT_EQ(shell.icons, p.ParentWindow());
    EXPECT_EQ(p.other->Handle(), GetActiveWindow());
    EXPECT_FALSE(p->tmrSave->Enabled());
}

TEST(Paper, CaptionTextShowsTheModeWhenInactive)
{
    StandInProgman shell;
    Paper p;
    p->SetCaption("memo");
    auto textPixels = [&](COLORREF colour) {
        // The strip has no window: the note draws it.
        const WindowImage image = WindowImage::OnScreen(p->Handle());
        RECT window;
        GetWindowRect(p->Handle(), &window);
        const POINT strip = p->imgCaption->ClientToScreen({0, 0});
        int n = 0;
        for (int y = 0; y < 18; ++y)
            for (int x = 20; x < p->imgCaption->Width() - 16; ++x)
                n += image.Pixel(strip.x - window.left + x, strip.y - window.top + y) == colour;
        return n;
    };
    SendMessageA(p->Handle(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_GT(textPixels(RGB(192, 192, 192)), 5) << "silver";
    p->SendToDesktop();
    SendMessageA(p->Handle(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_GT(textPixels(RGB(255, 255, 255)), 5) << "white on grey";
    p->BringFloating();
    SendMessageA(p->Handle(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_GT(textPixels(RGB(0, 0, 0)), 5) << "black on red";
    EXPECT_EQ(0, textPixels(RGB(255, 255, 255)));
}

TEST(Paper, WithoutADesktopShellTheNoteStaysTopLevel)
{
    ASSERT_EQ(nullptr, FindWindowA("Progman", nullptr));
    Paper p;
    p->SendToDesktop();
    EXPECT_EQ(pmDesktop, p->GetPaperMode());
    EXPECT_EQ(GetDesktopWindow(), p.ParentWindow());
    EXPECT_TRUE(IsWindowVisible(p->Handle()));
    p.Deactivate();
    EXPECT_EQ(100, p.Alpha()) << "translucent when inactive";
    p.Activate();
    EXPECT_EQ(255, p.Alpha());
}

TEST(Paper, LosingTheTaskbarButtonKeepsContentsAndBounds)
{
    StandInProgman shell;
    Paper p;
    auto* button = p->Create<TButton>();
    button->SetCaption(L"inside");
    button->SetBounds(30, 40, 80, 24);
    button->SetParent(p.form);
    p->SetCaption("my note");
    p->SetBounds(150, 160, 333, 222);
    SetWindowLongPtrA(p->Handle(), GWL_EXSTYLE, WS_EX_APPWINDOW);
    const HWND before = p->Handle();

    p->SendToDesktop();
    EXPECT_NE(before, p->Handle()) << "made again without the taskbar button";
    EXPECT_FALSE(p.TaskbarButton());
    EXPECT_TRUE(IsWindowVisible(p->Handle()));
    EXPECT_EQ(shell.icons, p.ParentWindow());
    RECT r;
    GetWindowRect(p->Handle(), &r);
    EXPECT_EQ((RECT{150, 160, 483, 382}), r);
    EXPECT_EQ("my note", p->Caption());
    ASSERT_TRUE(IsWindow(button->Handle()));
    EXPECT_EQ(p->Handle(), GetParent(button->Handle()));
    EXPECT_EQ(L"inside", button->Caption());
    EXPECT_EQ(30, button->Left());
    EXPECT_EQ(p->ClientWidth() - 16, p->btnClose->Left());
}

TEST(Paper, AlphaFollowsActivationInEachMode)
{
    StandInProgman shell;
    Paper p;
    p.Deactivate();
    EXPECT_FALSE(p->IsActive());
    EXPECT_EQ(255, p.Alpha()) << "working";
    p->BringFloating();
    p.Deactivate();
    EXPECT_EQ(255, p.Alpha()) << "working stays opaque";

    p->SendToDesktop();
    p.Activate();
    EXPECT_TRUE(p->IsActive());
    EXPECT_EQ(255, p.Alpha());
    p.Deactivate();
    EXPECT_EQ(100, p.Alpha()) << "desktop";

    p->BringFloating();
    p.Activate();
    p.Deactivate();
    EXPECT_EQ(255, p.Alpha()) << "floating";
    EXPECT_EQ(pmFloating, p->GetPaperMode()) << "activation never changes the mode";

    // Only the low eight bits of the setting count.
    PrjInfo->AlphaValue = 300;
    p->SendToDesktop();
    p.Deactivate();
    EXPECT_EQ(44, p.Alpha());
}

TEST(Paper, EscapeSendsTheNoteToTheDesktop)
{
    StandInProgman shell;
    Paper p;
    p.Activate();
    SendMessageA(p->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(pmDesktop, p->GetPaperMode());
    EXPECT_EQ(shell.icons, p.ParentWindow());
}

TEST(Paper, SavesThePositionHalfASecondAfterDeactivation)
{
    Paper p;
    p.Activate();
    p.Deactivate();
    EXPECT_TRUE(p->tmrSave->Enabled());
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return !p.Ini().empty(); }, 3000));
    EXPECT_GE(GetTickCount() - start, 400u);
    EXPECT_FALSE(p->tmrSave->Enabled()) << "one shot";
    EXPECT_EQ("[7]\r\nLeft=120\r\nTop=130\r\nWidth=320\r\nHeight=220\r\n", p.Ini());

    // A write now would fail loudly: nothing changed, so nothing is written.
    CaughtErrors errors;
    SetFileAttributesA(PrjInfo->PostItIniFileName().c_str(), FILE_ATTRIBUTE_READONLY);
    p.Activate();
    p.Deactivate();
    PumpMessages(800);
    EXPECT_TRUE(errors.Messages().empty());

    // A moved note is written again, once.
    SetFileAttributesA(PrjInfo->PostItIniFileName().c_str(), FILE_ATTRIBUTE_NORMAL);
    p->SetLeft(140);
    p.Activate();
    p.Deactivate();
    ASSERT_TRUE(PumpUntil([&] { return p.Ini().find("Left=140") != std::string::npos; }, 3000));
    SetFileAttributesA(PrjInfo->PostItIniFileName().c_str(), FILE_ATTRIBUTE_READONLY);
    PumpMessages(800);
    EXPECT_TRUE(errors.Messages().empty());
    SetFileAttributesA(PrjInfo->PostItIniFileName().c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Paper, NothingIsWrittenForTheDefaultsWithoutARecord)
{
    Paper p;
    p->SetBounds(300, 200, 300, 200);
    p->SavePosition();
    EXPECT_FALSE(FileExists(PrjInfo->PostItIniFileName()));
    p->SetWidth(301);
    p->SavePosition();
    EXPECT_EQ("[7]\r\nLeft=300\r\nTop=200\r\nWidth=301\r\nHeight=200\r\n", p.Ini());
}

TEST(Paper, LoadsItsRecordAndAnswersTheSessionEnd)
{
    Paper p;
    p->LoadPosition();
    EXPECT_EQ(120, p->Left()) << "no record: bounds unchanged";

    WriteWholeFile(PrjInfo->PostItIniFileName(), "[7]\r\nLeft=50\r\nWidth=400\r\n");
    p->LoadPosition();
    EXPECT_EQ((RECT{50, 200, 450, 400}), p->BoundsRect()) << "missing keys take the defaults";

    p->SetTop(222);
    EXPECT_EQ(1, SendMessageA(p->Handle(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(222, TIniFile(PrjInfo->PostItIniFileName()).ReadInteger("7", "Top", 0));
}

TEST(Paper, ANoteOffEveryScreenIsBroughtBack)
{
    Paper p;
    WriteWholeFile(PrjInfo->PostItIniFileName(), "[7]\r\nLeft=3000\r\nTop=-900\r\nWidth=250\r\nHeight=150\r\n");
    const std::string before = p.Ini();
    p->LoadPosition();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ((RECT{work.right - 250, work.top, work.right, work.top + 150}), p->BoundsRect());
    EXPECT_EQ(before, p.Ini()) << "nothing written until the next save";

    // One that still shows a corner stays where it was put.
    WriteWholeFile(PrjInfo->PostItIniFileName(), "[7]\r\nLeft=-200\r\nTop=10\r\nWidth=250\r\nHeight=150\r\n");
    p->LoadPosition();
    EXPECT_EQ(-200, p->Left());
}

TEST(Paper, WorkAreaPlacement)
{
    const std::vector<RECT> two{{0, 0, 1280, 984}, {1280, 0, 2560, 1024}};
    EXPECT_EQ((RECT{100, 100, 400, 300}), BringOntoWorkArea({100, 100, 400, 300}, two));
    EXPECT_EQ((RECT{1500, 100, 1800, 300}), BringOntoWorkArea({1500, 100, 1800, 300}, two));
    // Gone to the right of both: onto the right one, size kept.
    EXPECT_EQ((RECT{2260, 500, 2560, 700}), BringOntoWorkArea({4000, 500, 4300, 700}, two));
    // Far above the left one.
    EXPECT_EQ((RECT{10, 0, 310, 200}), BringOntoWorkArea({10, -3000, 310, -2800}, two));
    // Too big for the nearest one: it fits itself to it.
    EXPECT_EQ((RECT{0, 0, 1280, 984}), BringOntoWorkArea({-5000, 0, -2000, 2000}, two));
    EXPECT_EQ((RECT{5, 5, 9, 9}), BringOntoWorkArea({5, 5, 9, 9}, {}));
}

TEST(Paper, NotesOffEveryScreenAfterADisplayChangeMoveOntoTheNearestAndSaveLater)
{
    TestProgram program;
    // Two notes on a monitor to the right that has gone, one on the screen that stays.
    struct Case {
        RECT before, after;
    } cases[] = {
        {{1500, 100, 1800, 300}, {980, 100, 1280, 300}},
        {{-900, -500, -600, -300}, {0, 0, 300, 200}},
        {{100, 100, 400, 300}, {100, 100, 400, 300}},
    };
    std::vector<TfrmPaper*> notes;
    for (const Case& c : cases) {
        auto* note = Application.CreateForm<TfrmPaper>();
        note->SetBounds(c.before.left, c.before.top, c.before.right - c.before.left, c.before.bottom - c.before.top);
        note->Show();
        notes.push_back(note);
    }
    const std::vector<RECT> remaining = {{0, 0, 1280, 800}};
    EXPECT_EQ(2, KeepNotesOnWorkAreas(remaining));
    for (size_t i = 0; i < notes.size(); ++i) {
        const RECT r = notes[i]->BoundsRect();
        EXPECT_TRUE(EqualRect(&r, &cases[i].after)) << i << ": " << r.left << "," << r.top;
    }
    EXPECT_EQ(0, KeepNotesOnWorkAreas(remaining)) << "nothing more to move";
    for (TfrmPaper* note : notes)
        Application.DestroyForm(note);
}

namespace {

struct ShellCase {
    const char* name;
    ShellLayout layout;
    RECT area;
};

const ShellCase kShells[] = {
    {"classic", ShellLayout::Classic, {}},
    {"classic, from -1280", ShellLayout::Classic, kLeftMonitorToo},
    {"slideshow", ShellLayout::Slideshow, {}},
    {"slideshow, from -1280", ShellLayout::Slideshow, kLeftMonitorToo},
    {"24H2, from -1280", ShellLayout::Win11_24H2, kLeftMonitorToo},
};

} // namespace

TEST(Paper, EveryShellLayoutTakesTheNoteIntoItsIconViewAndTheNoteNeverMoves)
{
    for (const ShellCase& c : kShells) {
        SCOPED_TRACE(c.name);
        StandInProgman shell(c.layout, c.area);
        if (c.layout == ShellLayout::Win11_24H2) {
            ASSERT_EQ(shell.workers[0], GetWindow(shell.progman, GW_CHILD)) << "the wallpaper comes first";
        }
        if (c.layout == ShellLayout::Slideshow) {
            ASSERT_EQ(nullptr, GetWindow(shell.progman, GW_CHILD)) << "an empty Progman";
        }
        Paper p;
        WriteWholeFile(PrjInfo->PostItIniFileName(), "[7]\r\nLeft=100\r\nTop=100\r\nWidth=320\r\nHeight=220\r\n");
        const std::string stored = p.Ini();
        const RECT place{100, 100, 420, 320};
        p->LoadPosition();
        EXPECT_EQ(place, WindowScreenRect(p->Handle())) << "working";

        p->SendToDesktop();
        EXPECT_EQ(shell.icons, p.ParentWindow());
        EXPECT_EQ(place, WindowScreenRect(p->Handle())) << "desktop";
        p->BringFloating();
        EXPECT_EQ(place, WindowScreenRect(p->Handle())) << "floating";
        p->BringToWork();
        EXPECT_EQ(place, WindowScreenRect(p->Handle())) << "working again";
        p->SendToDesktop();
        EXPECT_EQ(shell.icons, p.ParentWindow());
        EXPECT_EQ(place, WindowScreenRect(p->Handle())) << "desktop again";
        EXPECT_FALSE(p->SavePosition()) << "the same place as stored";
        EXPECT_EQ(stored, p.Ini());

        // Read and written inside the icon view, in screen coordinates too.
        WriteWholeFile(PrjInfo->PostItIniFileName(), "[7]\r\nLeft=200\r\nTop=150\r\nWidth=300\r\nHeight=200\r\n");
        p->LoadPosition();
        EXPECT_EQ((RECT{200, 150, 500, 350}), WindowScreenRect(p->Handle()));
        p->SetScreenBounds({40, 60, 340, 260});
        EXPECT_TRUE(p->SavePosition());
        EXPECT_EQ("[7]\r\nLeft=40\r\nTop=60\r\nWidth=300\r\nHeight=200\r\n", p.Ini());
    }
}

TEST(Paper, TheOffScreenRescueInsideAnIconViewLeftOfThePrimaryMonitorComparesScreenPlaces)
{
    StandInProgman shell(ShellLayout::Classic, kLeftMonitorToo);
    Paper p;
    p->SendToDesktop();
    ASSERT_EQ(shell.icons, p.ParentWindow());
    p->SetScreenBounds({100, 100, 420, 320});
    // On the remaining screen: stays. Off the remaining one: onto its edge.
    EXPECT_FALSE(p->KeepOnWorkArea({{0, 0, 1280, 800}}));
    EXPECT_EQ((RECT{100, 100, 420, 320}), WindowScreenRect(p->Handle()));
    EXPECT_EQ(1, KeepNotesOnWorkAreas({{2000, 0, 3280, 800}}));
    EXPECT_EQ((RECT{2000, 100, 2320, 320}), WindowScreenRect(p->Handle()));
    EXPECT_EQ(shell.icons, p.ParentWindow());
}

TEST(Paper, WithoutADesktopShellTheNoteGoesBelowOtherWindows)
{
    ASSERT_EQ(nullptr, FindWindowA("Progman", nullptr));
    Paper p;
    p.other->SetBounds(150, 150, 100, 100);
    p.other->Show();
    p->BringFloating();
    p->SendToDesktop();
    bool below = false;
    for (HWND wnd = GetWindow(p.other->Handle(), GW_HWNDNEXT); wnd && !below; wnd = GetWindow(wnd, GW_HWNDNEXT))
        below = wnd == p->Handle();
    EXPECT_TRUE(below) << "the other window covers the note";
    EXPECT_EQ((RECT{120, 130, 440, 350}), WindowScreenRect(p->Handle()));
}
