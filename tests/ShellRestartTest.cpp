// Notes on the desktop are children of the shell's icon view, which belongs to
// another process. When the shell goes (it crashes, or is restarted), the notes
// must save what they hold and live on as top-level windows, and go back into the
// desktop when the shell is back.
#include "tests/MemoTestSupport.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char kDesktopReady[] = "Pinova.Test.StandInDesktopReady";

// What the memo shows, taken before the shell goes and compared after.
struct MemoLook {
    std::string text, caption;
    bool wordWrap, toolbar;
    int tag;
    RECT screen;

    explicit MemoLook(TfrmPostIt* memo)
        : text(memo->edtMemo->Text()), caption(memo->Caption()), wordWrap(memo->edtMemo->WordWrap()),
          toolbar(memo->tbEdit->Visible()), tag(memo->Tag)
    {
        GetWindowRect(memo->Handle(), &screen);
    }
};

void ExpectBackOnItsOwn(TfrmPostIt* memo, const MemoLook& before)
{
    ASSERT_TRUE(PumpUntil(
        [&] {
            return memo->HandleAllocated() && IsWindowVisible(memo->Handle()) &&
                   GetAncestor(memo->Handle(), GA_PARENT) == GetDesktopWindow();
        },
        3000))
        << "a shown top-level window";
    EXPECT_EQ(pmDesktop, memo->GetPaperMode());
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(memo->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(static_cast<BYTE>(PrjInfo->AlphaValue & 0xFF), alpha) << "translucent as on the desktop";
    const MemoLook after(memo);
    EXPECT_EQ(before.text, after.text);
    EXPECT_EQ(before.caption, after.caption);
    EXPECT_EQ(before.wordWrap, after.wordWrap);
    EXPECT_EQ(before.toolbar, after.toolbar);
    EXPECT_EQ(before.tag, after.tag);
    EXPECT_TRUE(EqualRect(&before.screen, &after.screen)) << "in the same place";
}

// A memo with something of everything, sent to the desktop, with typing not yet saved.
void PrepareMemo(Memo& m)
{
    m->InitNewMemo();
    m->SetCaption("Shopping");
    m->SetBounds(120, 140, 300, 220);
    m->edtMemo->SetWordWrap(false);
    m->tbEdit->SetVisible(true);
    m->Show();
    m->SendToDesktop();
    m.Type("milk, bread and tea");
    ASSERT_FALSE(FileExists(MemoFilePath(1))) << "nothing saved yet";
}

} // namespace

TEST(ShellRestart, ANoteWhoseDesktopIsDestroyedSavesAndComesBackThenRejoinsTheNewDesktop)
{
    auto desktop = std::make_unique<StandInProgman>();
    Memo m;
    PrepareMemo(m);
    ASSERT_EQ(desktop->icons, GetAncestor(m->Handle(), GA_PARENT));
    const MemoLook before(m.form);

    desktop.reset();
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("milk, bread and tea"));
    EXPECT_NE(std::string::npos, m.Ini().find("Left=120"));
    ExpectBackOnItsOwn(m.form, before);

    // The shell is back: the note goes into its icon view again.
    desktop = std::make_unique<StandInProgman>();
    m->RejoinDesktop();
    EXPECT_EQ(desktop->icons, GetAncestor(m->Handle(), GA_PARENT));
    EXPECT_TRUE(IsWindowVisible(m->Handle()));
    EXPECT_EQ(before.text, m->edtMemo->Text());
}

// Run as a second process by the test below: a desktop that another process owns.
TEST(ShellRestart, DISABLED_HoldsAStandInDesktop)
{
    StandInProgman desktop;
    UniqueKernelHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, kDesktopReady));
    ASSERT_TRUE(ready);
    SetEvent(ready.get());
    PumpMessages(60000);
}

TEST(ShellRestart, ANoteOutlivesTheShellProcessBeingKilled)
{
    UniqueKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, kDesktopReady));
    DWORD desktopProcess = 0;
    UniqueKernelHandle process = RunTestInSecondProcess("ShellRestart.DISABLED_HoldsAStandInDesktop", &desktopProcess);
    ASSERT_TRUE(process);
    // However the test ends, the desktop's process does not outlive it.
    struct Kill {
        HANDLE p;
        ~Kill() { TerminateProcess(p, 1); }
    } kill{process.get()};
    HANDLE waits[] = {ready.get(), process.get()};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, waits, FALSE, 30000)) << "the desktop did not start";

    Memo m;
    PrepareMemo(m);
    // The platform may drop our window with the shell's, too late to save: what
    // the memo saved two seconds after the last key is what comes back.
    ASSERT_TRUE(PumpUntil([] { return FileExists(MemoFilePath(1)); }, 5000));
    HWND progman = FindWindowA("Progman", nullptr);
    ASSERT_TRUE(progman);
    DWORD owner = 0;
    GetWindowThreadProcessId(GetAncestor(m->Handle(), GA_PARENT), &owner);
    ASSERT_EQ(desktopProcess, owner) << "the note sits in the other process's icon view";
    const MemoLook before(m.form);

    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 10000);
    ExpectBackOnItsOwn(m.form, before);
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("milk, bread and tea"));
}
