#include "tests/MemoTestSupport.h"

#include "controls/RtfObjects.h"
#include "wastebasket/Restore.h"

#include "framework/Dialogs.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "notes/SaveProblems.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> BasketFiles()
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((PrjInfo->BasketPath + "*.txt").c_str(), &data));
    if (find)
        do
            names.push_back(data.cFileName);
        while (FindNextFileA(find.get(), &data));
    return names;
}

bool HasRecord(int number) { return TIniFile(PrjInfo->PostItIniFileName()).SectionExists(MemoSectionName(number)); }

}  // namespace

TEST(PostIt, ANewMemoWritesItsRecordAndNoFile)
{
    Memo m(3);
    m->InitNewMemo();
    EXPECT_EQ(MemoFilePath(3), m->MemoFileName);
    EXPECT_TRUE(HasRecord(3));
    EXPECT_FALSE(FileExists(m->MemoFileName));
    EXPECT_EQ("3", m->GetSectionName());
    EXPECT_FALSE(m->tbEdit->Visible());
    EXPECT_EQ(kMemoImageCount, m.images->Count());
    EXPECT_EQ(13u, m->cmbFontSize->Items().size());
    EXPECT_EQ("", m->cmbFontSize->Text());
}

TEST(PostIt, ClosingABlankUncaptionedMemoRemovesItWithoutAQuestion)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m.Type(" \r\r  \r");
    DialogAnswerer answer(IDCANCEL);
    m->btnCloseClick();
    PumpUntil([&] { return !m.Alive(); }, 2000);
    EXPECT_FALSE(m.Alive());
    EXPECT_EQ(0, answer.Count());
    EXPECT_FALSE(HasRecord(1));
    EXPECT_FALSE(FileExists(MemoFilePath(1)));
    EXPECT_TRUE(BasketFiles().empty());
}

TEST(PostIt, ACaptionedEmptyMemoAsksAndOnOkGoesToTheWastebasket)
{
    Memo m;
    m->InitNewMemo();
    m->SetCaption("Shopping");
    m->Show();
    DialogAnswerer answer(IDOK);
    m->btnCloseClick();
    PumpUntil([&] { return !m.Alive(); }, 2000);
    EXPECT_EQ(1, answer.Count());
    EXPECT_EQ("Delete?", answer.Last().Caption);
    EXPECT_EQ("Delete this memo?", answer.Last().Text);
    EXPECT_EQ(IDCANCEL, answer.Last().DefaultButton);
    EXPECT_TRUE(answer.Last().QuestionIcon);
    EXPECT_FALSE(m.Alive());
    EXPECT_FALSE(HasRecord(1));
    const auto files = BasketFiles();
    ASSERT_EQ(1u, files.size());
    EXPECT_NE(std::string::npos, files[0].find(" Shopping.txt")) << files[0];
}

TEST(PostIt, CancelAfterASystemCloseKeepsTheMemoOpenWithItsContentSaved)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m.Type("milk");
    DialogAnswerer answer(IDCANCEL);
    SendMessageA(m->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages(100);
    EXPECT_EQ(1, answer.Count());
    ASSERT_TRUE(m.Alive());
    EXPECT_TRUE(m->CloseGuardAttached());
    EXPECT_TRUE(IsWindowVisible(m->Handle()));
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("milk"));
    EXPECT_TRUE(HasRecord(1));
    EXPECT_TRUE(BasketFiles().empty());
}

TEST(PostIt, AfterTheSessionEndsTheMemoClosesWithoutAQuestionAndStays)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m.Type("keep me");
    EXPECT_EQ(TRUE, SendMessageA(m->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_TRUE(m->CloseGuardAttached()) << "the end may still be called off";
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("keep me"));
    m.Type(" and me");
    SendMessageA(m->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("keep me and me"));
    EXPECT_FALSE(m->CloseGuardAttached());
    DialogAnswerer answer(IDOK);
    SendMessageA(m->Handle(), WM_CLOSE, 0, 0);
    PumpUntil([&] { return !m.Alive(); }, 2000);
    EXPECT_EQ(0, answer.Count());
    EXPECT_FALSE(m.Alive());
    EXPECT_TRUE(HasRecord(1));
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("keep me"));
    EXPECT_TRUE(BasketFiles().empty());
}

TEST(PostIt, TypingIsSavedTwoSecondsLaterWhetherOrNotTheMemoIsActive)
{
    // In the desktop a note is never active in the platform's sense: the desktop's
    // top-level window is.
    StandInProgman shell;
    enum Where { InTheDesktop, FloatingBehindAnother, ActiveAtWork };
    for (Where where : {InTheDesktop, FloatingBehindAnother, ActiveAtWork}) {
        Memo m;
        m->InitNewMemo();
        m->Show();
        if (where != ActiveAtWork)
            m->SendToDesktop();
        if (where == FloatingBehindAnother)
            m->BringFloating();
        HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr, nullptr,
                                     nullptr);
        if (where == ActiveAtWork) {
            DestroyWindow(other);
            other = nullptr;
            SetForegroundWindow(m->Handle());
        } else {
            SetForegroundWindow(other);
        }
        PumpMessages(700);  // the save of the deactivation is over
        ASSERT_EQ(where == ActiveAtWork, m->IsActive()) << where;
        if (where == InTheDesktop) {
            ASSERT_EQ(shell.icons, GetAncestor(m->Handle(), GA_PARENT));
        }

        const DWORD typed = GetTickCount();
        m.Type("typed at " + std::to_string(where));
        PumpMessages(1000);
        EXPECT_FALSE(FileExists(MemoFilePath(1))) << where << ": not at every key";
        EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(MemoFilePath(1)).find("typed at") != std::string::npos; },
                              3000))
            << where;
        EXPECT_LT(GetTickCount() - typed, 3000u) << where;
        if (other)
            DestroyWindow(other);
    }
}

TEST(PostIt, AStoredMemoLoadsItsTextCaptionAndWordWrap)
{
    Memo m(4);
    WriteMemoContent(4, "stored text", "{\\rtf1\\ansi stored text\\par}");
    WriteCaption(4, "Title");
    WriteWordWrap(4, false);
    m->LoadMemo();
    EXPECT_EQ("Title", m->Caption());
    EXPECT_FALSE(m->edtMemo->WordWrap());
    EXPECT_NE(std::string::npos, m->edtMemo->Lines().Text().find("stored text"));
    EXPECT_FALSE(m->tmrAutoSave->Enabled()) << "loading is no edit";
}

TEST(PostIt, ARecordWhoseFileIsMissingIsSetUpAsNew)
{
    Memo m(5);
    WriteCaption(5, "Orphan");
    m->edtMemo->Lines().SetText("left over");
    m->LoadMemo();
    EXPECT_EQ(MemoFilePath(5), m->MemoFileName);
    EXPECT_EQ("", Trim(m->edtMemo->Lines().Text()));
    EXPECT_EQ("", m->Caption());
    EXPECT_TRUE(HasRecord(5));
    EXPECT_NE(std::string::npos, m.Ini().find("Left="));
    EXPECT_FALSE(FileExists(MemoFilePath(5)));
}

TEST(PostIt, CaptionDoubleClicksToggleTheToolbarOrSwitchTheMode)
{
    StandInProgman shell;
    Memo m;
    m->InitNewMemo();
    m->Show();
    TfrmPostIt* other = Application.CreateForm<TfrmPostIt>(m.images);
    other->Tag = 2;
    other->Show();
    auto dblClick = [&](int x) {
        SendMessageA(m->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, 8));  // on the strip
        PumpMessages();
    };
    const int editorTop = m->edtMemo->Top();
    for (int x : {0, 19}) {
        dblClick(x);
        EXPECT_TRUE(m->tbEdit->Visible()) << x;
        EXPECT_EQ(editorTop + m->tbEdit->Height(), m->edtMemo->Top());
        dblClick(x);
        EXPECT_FALSE(m->tbEdit->Visible()) << x;
        EXPECT_EQ(pmWorking, m->GetPaperMode());
    }
    EXPECT_EQ(54, m->tbEdit->Height());

    dblClick(20);
    EXPECT_EQ(pmDesktop, m->GetPaperMode());
    other->SendToDesktop();
    other->BringFloating();
    ASSERT_EQ(pmFloating, other->GetPaperMode());
    dblClick(120);
    EXPECT_EQ(pmWorking, m->GetPaperMode());
    EXPECT_EQ(pmDesktop, other->GetPaperMode());
    EXPECT_FALSE(m->tbEdit->Visible());

    // A floating memo comes to work as well, and the icon area never switches modes.
    m->SendToDesktop();
    dblClick(10);
    EXPECT_TRUE(m->tbEdit->Visible());
    EXPECT_EQ(pmDesktop, m->GetPaperMode());
    m->BringFloating();
    other->BringFloating();
    dblClick(10);
    EXPECT_FALSE(m->tbEdit->Visible());
    EXPECT_EQ(pmFloating, m->GetPaperMode());
    dblClick(20);
    EXPECT_EQ(pmWorking, m->GetPaperMode());
    EXPECT_EQ(pmDesktop, other->GetPaperMode());
    Application.DestroyForm(other);
}

TEST(PostIt, TheWindowCannotBeMadeSmallerThan260By26)
{
    Memo m;
    MINMAXINFO info{};
    SendMessageA(m->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(260, info.ptMinTrackSize.x);
    EXPECT_EQ(26, info.ptMinTrackSize.y);
}

TEST(PostIt, WordWrapFromTheMenuIsWrittenAtOnceAndComesBack)
{
    {
        Memo m;
        m->InitNewMemo();
        m->edtMemo->Lines().SetText("wrapped");
        m->popMemoPopup();
        EXPECT_TRUE(m->mnWordWrap->Checked);
        m->mnWordWrap->Click();
        EXPECT_FALSE(m->edtMemo->WordWrap());
        EXPECT_FALSE(ReadMemoRecord(1).WordWrap) << "written before any other save";
        m->popMemoPopup();
        EXPECT_FALSE(m->mnWordWrap->Checked);
        m->SaveContent();
        TfrmPostIt* again = Application.CreateForm<TfrmPostIt>(m.images);
        again->Tag = 1;
        again->LoadMemo();
        EXPECT_FALSE(again->edtMemo->WordWrap());
        EXPECT_EQ("wrapped", Trim(again->edtMemo->Lines().Text()));
        Application.DestroyForm(again);
    }
}

TEST(PostIt, TheCaptionEditWritesTheTrimmedCaptionAtOnceAlsoWhenEmpty)
{
    struct Case {
        int answer;
        const char* typed;
        const char* caption;
    } cases[] = {{IDOK, "  Groceries  ", "Groceries"}, {IDOK, "   ", ""}, {IDCANCEL, "ignored", "Before"}};
    for (const Case& c : cases) {
        Memo m;
        m->InitNewMemo();
        m->SetCaption("Before");
        WriteCaption(1, "Before");
        DialogAnswerer answer(c.answer, [&](TInputQueryForm& dialog) { dialog.edtValue->SetText(c.typed); });
        m->mnEditCaption->Click();
        EXPECT_EQ(1, answer.Count());
        EXPECT_EQ("Edit Caption", answer.Last().Caption);
        EXPECT_EQ("Caption:", answer.Last().Text);
        EXPECT_EQ(c.caption, m->Caption());
        EXPECT_EQ(c.caption, ReadMemoRecord(1).Caption);
        EXPECT_NE(std::string::npos, m.Ini().find(std::string("Caption=") + c.caption + "\r\n")) << m.Ini();
    }
}

TEST(PostIt, ALinkReachesTheShellOnlyAsAnAddressAndOthersAskFirst)
{
    struct Case {
        const wchar_t* url;
        int answer;
        bool asked;
        const wchar_t* opened;  // what the shell gets, or nothing
    } cases[] = {
        {L"http://example.com/a", IDYES, false, L"http://example.com/a"},
        {L"HTTPS://example.com", IDYES, false, L"HTTPS://example.com"},
        {L"ftp://host/f", IDYES, false, L"ftp://host/f"},
        {L"mailto:me@example.com", IDYES, false, L"mailto:me@example.com"},
        {L"news:comp.lang", IDYES, false, L"news:comp.lang"},
        {L"https://example.jp/\u6771\u4eac", IDYES, false, L"https://example.jp/\u6771\u4eac"},
        {L"www.example.com", IDYES, false, L"http://www.example.com"},
        {L"WWW.example.com/\u0142\u00f3d\u017a", IDYES, false, L"http://WWW.example.com/\u0142\u00f3d\u017a"},
        {L"file:///C:/windows/notepad.exe", IDNO, true, nullptr},
        {L"file:///C:/windows/notepad.exe", IDYES, true, L"file:///C:/windows/notepad.exe"},
        {L"telnet://host", IDNO, true, nullptr},
        // A bare name is a program or a file to the shell: only ever an address.
        {L"setup.com", IDNO, true, nullptr},
        {L"setup.com", IDYES, true, L"http://setup.com"},
        {L"C:\\Windows\\notepad.exe", IDYES, true, L"http://C:\\Windows\\notepad.exe"},
    };
    for (const Case& c : cases) {
        const std::string shown = WideToUtf8(c.url);
        Memo m;
        m->Show();
        std::vector<std::wstring> opened;
        m->OpenLink = [&](const std::wstring& target) {
            opened.push_back(target);
            return true;
        };
        DialogAnswerer answer(c.answer);
        m->edtMemo->OnURLClick(*m->edtMemo, c.url, TMouseButton::mbLeft);
        EXPECT_EQ(c.asked ? 1 : 0, answer.Count()) << shown;
        if (c.asked) {
            EXPECT_NE(std::string::npos, answer.Last().Text.find(WideToAnsi(c.url))) << answer.Last().Text;
            EXPECT_EQ(IDNO, answer.Last().DefaultButton);
        }
        EXPECT_EQ(c.opened ? std::vector<std::wstring>{c.opened} : std::vector<std::wstring>{}, opened) << shown;
    }
}

TEST(PostIt, TypingIntoAnActiveMemoIsSavedTwoSecondsAfterTheLastKey)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    SetActiveWindow(m->Handle());
    PumpMessages(50);
    ASSERT_TRUE(m->IsActive());
    m->edtMemo->SetFocus();
    m.Type("typed");
    PumpMessages(1200);
    m.Type(" more");
    PumpMessages(1200);
    EXPECT_FALSE(FileExists(MemoFilePath(1))) << "two seconds after the last key, not the first";
    EXPECT_TRUE(PumpUntil([] { return FileExists(MemoFilePath(1)); }, 1500));
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("typed more"));
    EXPECT_TRUE(m->IsActive()) << "saved without any deactivation";

    // A change that is undone leaves the content as saved: nothing is written.
    DeleteFileA(MemoFilePath(1).c_str());
    m.Type("x");
    SendMessageA(m->edtMemo->Handle(), WM_KEYDOWN, VK_BACK, 1);
    EXPECT_EQ("typed more", Trim(m->edtMemo->Lines().Text()));
    PumpMessages(2600);
    EXPECT_FALSE(FileExists(MemoFilePath(1)));
}

TEST(PostIt, TheSaveTimerAfterDeactivationWritesContentAndPosition)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m->edtMemo->Lines().SetText("on deactivation");
    m->SetBounds(50, 60, 300, 200);
    SendMessageA(m->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(m->tmrSave->Enabled());
    EXPECT_TRUE(PumpUntil([] { return FileExists(MemoFilePath(1)); }, 2000));
    EXPECT_NE(std::string::npos, m.Ini().find("Left=50"));
    // A detached memo saves nothing more.
    m->DetachCloseGuard();
    DeleteFileA(MemoFilePath(1).c_str());
    m->SaveContent();
    EXPECT_FALSE(FileExists(MemoFilePath(1)));
}

TEST(PostIt, AWastebasketThatCannotBeWrittenLeavesTheMemoOpenAndLive)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m.Type("precious");
    m->SaveContent();
    std::string folder = PrjInfo->BasketPath;
    folder.pop_back();
    WriteWholeFile(folder, "a file where the folder should be");
    CaughtErrors errors;
    {
        DialogAnswerer answer(IDOK);
        SendMessageA(m->btnClose->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageA(m->btnClose->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        PumpMessages(100);
        EXPECT_EQ(1, answer.Count());
    }
    ASSERT_EQ(1u, errors.Messages().size());
    EXPECT_EQ(0u, errors.Messages()[0].find("Cannot create file")) << errors.Messages()[0];
    ASSERT_TRUE(m.Alive());
    EXPECT_TRUE(m->CloseGuardAttached());
    EXPECT_EQ(1, m->Tag);
    EXPECT_TRUE(HasRecord(1));
    m.Type(" still saved");
    m->SaveContent();
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("precious still saved"));
}

TEST(PostIt, AMemoOfLettersBeyondAsciiIsSavedAndComesBack)
{
    // Korean under its own code page, accented letters under the Western one: the
    // editor counts characters where the code page takes two bytes for one.
    const std::string text = GetACP() == 949 ? WideToAnsi(L"회의 메모\r\n내일 준비") : WideToAnsi(L"caf\u00e9 cr\u00e8me");
    {
        Memo m;
        m->InitNewMemo();
        m->edtMemo->SetText(text);
        m->SaveContent();
        ASSERT_TRUE(FileExists(MemoFilePath(1)));
        m->DetachCloseGuard();
        auto* again = Application.CreateForm<TfrmPostIt>(m.images);
        again->SetMemoNumber(1);
        again->LoadMemo();
        EXPECT_EQ(text, again->edtMemo->Text());
        Application.DestroyForm(again);
    }
}

TEST(PostIt, AFailingSaveIsToldOnceKeepsTheMemoAndIsTriedAgain)
{
    Memo m;
    std::vector<std::string> reports;
    SaveReporter().Show = [&](const std::string& text) { reports.push_back(text); };
    m->InitNewMemo();
    m->Show();
    // Something in the way of every new content: the save cannot be completed.
    const std::string blocker = StagingFilePath(MemoFilePath(1));
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    auto saveMoment = [&](const std::string& text) {
        m->edtMemo->Lines().SetText(text);
        SendMessageA(m->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
        PumpUntil([&] { return !m->tmrSave->Enabled(); }, 2000);
    };
    saveMoment("first words");
    saveMoment("more words");
    saveMoment("still more");
    ASSERT_EQ(1u, reports.size()) << "told once, not at every save moment";
    EXPECT_NE(std::string::npos, reports[0].find(MemoFilePath(1))) << reports[0];
    EXPECT_TRUE(m.Alive());
    EXPECT_EQ("still more", m->edtMemo->Lines().Text());

    // The disk is fine again: the next save moment writes, and a later failure is told anew.
    RemoveDirectoryA(blocker.c_str());
    saveMoment("saved at last");
    EXPECT_NE(std::string::npos, ReadWholeFile(MemoFilePath(1)).find("saved at last"));
    CreateDirectoryA(blocker.c_str(), nullptr);
    saveMoment("fails again");
    EXPECT_EQ(2u, reports.size());
    RemoveDirectoryA(blocker.c_str());
    SaveReporter().Show = nullptr;
    SaveReporter().Run("reset", [] { return true; });
}

namespace {

// A one-inch square picture and nothing else, as a paste of it brings it in.
const std::string kPictureOnly =
    "{\\rtf1\\ansi{\\pict\\wmetafile8\\picw100\\pich100\\picwgoal300\\pichgoal300 "
    "0100090000035000000000002700000000000400000003010800050000000b0200000000050000000c02640064000400"
    "00002d0100000500000014020000000005000000130264006400030000000000}}";

LONG PictureCount(TfrmPostIt* memo)
{
    ComPtr<IRichEditOle> ole;
    SendMessageA(memo->edtMemo->Handle(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(ole.put()));
    return ole ? ole->GetObjectCount() : -1;
}

}  // namespace

TEST(PostIt, APictureAloneIsKeptAskedAboutAndRestoredWithItsPicture)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    m->edtMemo->InsertRichText(kPictureOnly);
    ASSERT_EQ(1, PictureCount(m.form));
    EXPECT_EQ("", Trim(m->edtMemo->Lines().Text()));
    EXPECT_TRUE(m->SaveContent());
    EXPECT_TRUE(RtfHoldsPicture(ReadWholeFile(MemoFilePath(1))));
    {
        DialogAnswerer answer(IDCANCEL);
        m->btnCloseClick();
        PumpMessages(100);
        EXPECT_EQ(1, answer.Count()) << "a picture is something to lose";
        EXPECT_TRUE(m.Alive());
    }
    DialogAnswerer answer(IDOK);
    m->btnCloseClick();
    PumpUntil([&] { return !m.Alive(); }, 2000);
    const auto files = BasketFiles();
    ASSERT_EQ(1u, files.size());
    const std::string basketFile = PrjInfo->BasketPath + files[0];
    EXPECT_TRUE(RtfHoldsPicture(ReadWholeFile(basketFile)));

    EXPECT_EQ(1, RestoreMemoFile(basketFile, RECT{10, 10, 310, 210}));
    EXPECT_FALSE(FileExists(basketFile));
    EXPECT_TRUE(RtfHoldsPicture(ReadWholeFile(MemoFilePath(1))));
    TfrmPostIt* restored = OpenRestoredMemo(m.images, 1);
    EXPECT_EQ(1, PictureCount(restored));
    restored->DetachCloseGuard();
    Application.DestroyForm(restored);
}

TEST(PostIt, AnEmptiedMemoIsSavedEmptyAndOneNeverTypedInMakesNoFile)
{
    Memo m;
    m->InitNewMemo();
    m->Show();
    EXPECT_FALSE(m->SaveContent());
    EXPECT_FALSE(FileExists(MemoFilePath(1))) << "nothing was ever there";
    m.Type("secret");
    EXPECT_TRUE(m->SaveContent());
    m->edtMemo->SelectAll();
    SendMessageA(m->edtMemo->Handle(), WM_KEYDOWN, VK_DELETE, 1);
    SendMessageA(m->edtMemo->Handle(), WM_KEYUP, VK_DELETE, 0xC0000001);
    ASSERT_EQ("", Trim(m->edtMemo->Lines().Text()));
    EXPECT_TRUE(m->SaveContent());
    const std::string saved = ReadWholeFile(MemoFilePath(1));
    EXPECT_EQ(0u, saved.rfind("{\\rtf", 0)) << "an empty document";
    EXPECT_EQ(std::string::npos, saved.find("secret"));

    // At the next start the memo comes back as it was left: empty.
    auto* again = Application.CreateForm<TfrmPostIt>(m.images);
    again->Tag = 1;
    again->LoadMemo();
    EXPECT_EQ("", Trim(again->edtMemo->Lines().Text()));
    again->DetachCloseGuard();
    Application.DestroyForm(again);

    // Emptied and closed by its button: removed without a question, as any blank memo.
    DialogAnswerer answer(IDOK);
    m->btnCloseClick();
    PumpUntil([&] { return !m.Alive(); }, 2000);
    EXPECT_EQ(0, answer.Count());
    EXPECT_FALSE(FileExists(MemoFilePath(1)));
    EXPECT_TRUE(BasketFiles().empty());
}

// Letters typed from keyboards, input methods and the emoji panel come as wide
// characters, one UTF-16 unit per message (an emoji as a surrogate pair); the
// memo keeps every one of them, whatever the system's code page.
TEST(PostIt, TypedLettersOutsideTheCodePageAreSavedAndReloadedAsTyped)
{
    enum class Way { Sent, PostedThroughTheLoop };
    struct Case {
        const char* name;
        std::wstring typed;
        Way way;
    } cases[] = {
        {"Polish", L"\u017c\u00f3\u0142w \u0179d\u017ab\u0142o \u0105\u0119\u015b\u0107\u0144", Way::Sent},
        {"Polish, posted", L"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144", Way::PostedThroughTheLoop},
        {"Greek", L"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1 \u03ba\u03cc\u03c3\u03bc\u03b5", Way::Sent},
        {"emoji", L"ok \U0001F600\U0001F44D done", Way::Sent},
        {"emoji, posted", L"\U0001F60A tea \u2615", Way::PostedThroughTheLoop},
        {"Korean", L"\ud55c\uae00 \uba54\ubaa8", Way::Sent},
        {"Korean, posted", L"\ub2e4\ub78c\uc950", Way::PostedThroughTheLoop},
    };
    for (const Case& c : cases) {
        Memo m;
        m->InitNewMemo();
        m->Show();
        m->edtMemo->SetFocus();
        const HWND editor = m->edtMemo->Handle();
        for (wchar_t unit : c.typed) {
            if (c.way == Way::Sent)
                SendMessageW(editor, WM_CHAR, unit, 1);
            else
                PostMessageW(editor, WM_CHAR, unit, 1);
        }
        PumpMessages();
        EXPECT_EQ(c.typed, m->edtMemo->WideText()) << c.name << ": as typed";
        ASSERT_TRUE(m->SaveContent()) << c.name;

        auto* reloaded = Application.CreateForm<TfrmPostIt>(m.images);
        reloaded->Tag = 1;
        reloaded->LoadMemo();
        EXPECT_EQ(c.typed, reloaded->edtMemo->WideText()) << c.name << ": after reload";
        // What goes to captions and file names is the code page's text of the same.
        EXPECT_EQ(WideToAnsi(c.typed), reloaded->edtMemo->Lines().Text()) << c.name;
        Application.DestroyForm(reloaded);
    }
}

// The editor hands over the link as it shows it: letters the code page lacks
// included, and a "www." address as a web address.
TEST(PostIt, AClickedLinkOpensWhatTheEditorShows)
{
    struct Case {
        std::wstring text, link, opened;
    } cases[] = {
        {L"map https://example.jp/\u6771\u4eac/\u99c5 here", L"https://example.jp/\u6771\u4eac/\u99c5",
         L"https://example.jp/\u6771\u4eac/\u99c5"},
        {L"see www.example.com today", L"www.example.com", L"http://www.example.com"},
    };
    for (const Case& c : cases) {
        const std::string name = WideToUtf8(c.text);
        Memo m;
        m->InitNewMemo();
        m->Show();
        const HWND editor = m->edtMemo->Handle();
        SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text.c_str()));
        PumpMessages();
        std::vector<std::wstring> opened;
        m->OpenLink = [&](const std::wstring& target) {
            opened.push_back(target);
            return true;
        };
        const int at = static_cast<int>(c.text.find(c.link)) + 3;
        POINTL p{};
        SendMessageW(editor, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), at);
        const LPARAM point = MAKELPARAM(p.x + 2, p.y + 4);
        SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(editor, WM_LBUTTONUP, 0, point);
        PumpMessages();
        EXPECT_EQ(std::vector<std::wstring>{c.opened}, opened) << name;
    }
}
