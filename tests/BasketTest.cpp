#include "wastebasket/basket.h"

#include "framework/IniFiles.h"
#include "notes/BasketFileName.h"
#include "notes/MemoImages.h"
#include "notes/MemoStore.h"
#include "notes/PostIt.h"
#include "wastebasket/Restore.h"

#include "framework/Application.h"
#include "framework/Ime.h"
#include "framework/SysUtils.h"
#include "tests/EditorMemo.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// Answers the dialog boxes the user-interface thread shows, from a thread of its own,
// as a user would: the first with the given button, any later one (which nobody
// expected) with Cancel or OK, so that a test never hangs on one. Notes the first
// one's caption and texts.
class DialogAnswerer {
public:
    explicit DialogAnswerer(int button) : button_(button), thread_(GetCurrentThreadId())
    {
        worker_ = std::thread([this] { Watch(); });
    }
    ~DialogAnswerer() { Stop(); }
    // Waits for the watcher to finish; afterwards the findings can be read.
    void Stop()
    {
        stop_ = true;
        if (worker_.joinable())
            worker_.join();
    }
    int Answered() const { return answered_; }
    const std::wstring& Caption() const { return caption_; }
    const std::wstring& Texts() const { return texts_; }

private:
    static BOOL CALLBACK FindDialog(HWND wnd, LPARAM data)
    {
        char name[16] = {};
        GetClassNameA(wnd, name, sizeof(name));
        if (IsWindowVisible(wnd) && std::string(name) == "#32770") {
            *reinterpret_cast<HWND*>(data) = wnd;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK CollectText(HWND wnd, LPARAM data)
    {
        wchar_t text[512] = {};
        GetWindowTextW(wnd, text, 512);
        *reinterpret_cast<std::wstring*>(data) += std::wstring(text) + L"|";
        return TRUE;
    }
    void Press(HWND dialog, int button)
    {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    }
    void Watch()
    {
        HWND last = nullptr;
        while (!stop_) {
            HWND dialog = nullptr;
            EnumThreadWindows(thread_, FindDialog, reinterpret_cast<LPARAM>(&dialog));
            if (dialog && dialog != last) {
                if (answered_ == 0 && GetDlgItem(dialog, button_)) {
                    wchar_t caption[256] = {};
                    GetWindowTextW(dialog, caption, 256);
                    caption_ = caption;
                    EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&texts_));
                    Press(dialog, button_);
                } else {
                    Press(dialog, GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK);
                }
                ++answered_;
                last = dialog;
            }
            Sleep(20);
        }
    }

    int button_;
    DWORD thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> answered_{0};
    std::wstring caption_, texts_;
    std::thread worker_;
};

// A wastebasket file as the memo store names it.
struct Memo {
    std::string name;  // without the folder
    std::string content;
};

class BasketTest : public testing::Test {
protected:
    void TearDown() override { Close(); }

    std::string Folder() const { return PrjInfo->BasketPath; }
    void Put(const std::vector<Memo>& memos)
    {
        CreateDirectoryA(Folder().c_str(), nullptr);
        for (const Memo& m : memos)
            WriteWholeFile(Folder() + m.name, m.content);
    }
    TfrmBasket* Open()
    {
        Close();
        form = Application.CreateForm<TfrmBasket>();
        form->Show();
        PumpMessages();
        return form;
    }
    void Close()
    {
        if (form)
            Application.DestroyForm(form);
        form = nullptr;
    }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < form->lstMemo->Count(); ++i)
            rows.push_back(form->lstMemo->Items(i));
        return rows;
    }
    std::string Marks() const
    {
        std::string marks;
        for (int i = 0; i < form->lstMemo->Count(); ++i)
            marks += form->lstMemo->Checked(i) ? 'x' : '.';
        return marks;
    }
    void Mark(const std::string& marks)
    {
        for (int i = 0; i < static_cast<int>(marks.size()); ++i)
            form->lstMemo->SetChecked(i, marks[static_cast<size_t>(i)] == 'x');
    }
    std::wstring Preview() const
    {
        std::wstring text(8192, L'\0');
        GETTEXTEX how{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
        const LRESULT n = form->edtMemo->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                                                 reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(n));
        return text;
    }
    void Search(const std::string& text)
    {
        form->edtSearch->SetText(text);
        form->btnSearch->Perform(BM_CLICK);
        PumpMessages();
    }
    void Erase(int answer)
    {
        DialogAnswerer answerer(answer);
        form->btnDelete->Perform(BM_CLICK);
        answerer.Stop();
        PumpMessages();
        EXPECT_EQ(1, answerer.Answered()) << "the shell asked first, and only that";
        EXPECT_FALSE(answerer.Caption().empty()) << "in the platform's own words";
    }
    // A click (WM_LBUTTONDOWN) or a double click (WM_LBUTTONDBLCLK) on the list,
    // at a row's check box or on its text.
    void Press(UINT msg, int row, bool onCheckBox)
    {
        const RECT r = form->lstMemo->ItemRect(row);
        const int x = onCheckBox ? r.left + TCheckListBox::CheckColumnWidth() / 2 : r.left + 60;
        const LPARAM at = MAKELPARAM(x, (r.top + r.bottom) / 2);
        HWND list = form->lstMemo->Handle();
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        if (msg == WM_LBUTTONDBLCLK) {
            SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            SendMessageA(list, WM_LBUTTONUP, 0, at);
        }
        PumpMessages();
    }

    TestProgram program;
    TfrmBasket* form = nullptr;
};

const char kShopping[] = "2009-02-14 13_05_09 Shopping%(58) milk_tea.txt";

} // namespace

TEST_F(BasketTest, ListsNewestFirstWithTheirDisplayTexts)
{
    Put({{"2009-02-14 13_05_08 a.txt", "first"},
         {"2009-02-14 13_05_09 b.txt", "second"},
         {kShopping, "tea"},
         {"notes.txt", "plain notes"},
         {"a_b_c_d.txt", "abcd"},
         {"2026-03-05 09_07_42 .txt", "untitled"},
         {"2009-02-14 13_05_07 ignored.rtf", "not a .txt"}});
    CreateDirectoryA((Folder() + "2030-01-01 00_00_00 folder.txt").c_str(), nullptr);
    WriteWholeFile(Folder() + "2001-01-01 00_00_00 hidden.txt", "hidden");
    SetFileAttributesA((Folder() + "2001-01-01 00_00_00 hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Open();
    const std::vector<std::string> expected = {
        "notes", "a:b:c_d", "2026-03-05 09:07:42 ", "2009-02-14 13:05:09 Shopping: milk_tea",
        "2009-02-14 13:05:09 b", "2009-02-14 13:05:08 a", "2001-01-01 00:00:00 hidden"};
    EXPECT_EQ(expected, Rows());
    EXPECT_EQ(".......", Marks());
    EXPECT_EQ(0, form->lstMemo->ItemIndex()) << "first row selected";
    EXPECT_EQ(L"plain notes", Preview().substr(0, 11)) << "and previewed";
    EXPECT_EQ(Folder() + "a_b_c_d.txt", form->RowFilePath(1));
    EXPECT_EQ(Folder() + kShopping, form->RowFilePath(3));
    EXPECT_EQ("Wastebasket", form->Caption());
    EXPECT_EQ("", form->edtSearch->Text());
    EXPECT_TRUE(form->edtMemo->ReadOnly());
}

TEST_F(BasketTest, EmptyOrMissingFolderGivesAnEmptyWindowThatDoesNothing)
{
    for (bool folderExists : {false, true}) {
        if (folderExists)
            Put({});
        Open();
        EXPECT_EQ(0, form->lstMemo->Count());
        EXPECT_EQ(L"", Preview());
        Search("milk");
        EXPECT_EQ("", Marks());
        DialogAnswerer answerer(IDYES);
        form->btnDelete->Perform(BM_CLICK);
        PumpMessages(200);
        answerer.Stop();
        EXPECT_EQ(0, answerer.Answered()) << "Erase with nothing marked asks nothing";
        SendMessageA(form->lstMemo->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 5));
        EXPECT_EQ(0, form->lstMemo->Count());
    }
}

TEST_F(BasketTest, NamesMapBothWays)
{
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {
        {"2009-02-14 13_05_09 Shopping%(58) milk_tea", "2009-02-14 13:05:09 Shopping: milk_tea"},
        {"a_b_c_d", "a:b:c_d"},
        {"notes", "notes"},
        {"2026-03-05 09_07_42 a%(47)b%(92)c%(42)%(63)%(60)%(62)%(124)", "2026-03-05 09:07:42 a/b\\c*?<>|"},
        {"2026-03-05 09_07_42 ", "2026-03-05 09:07:42 "},
        {"x_y", "x:y"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, DisplayTextFromFileName(c.name)) << c.name;
        EXPECT_EQ(c.name, FileNameFromDisplayText(c.text)) << c.text;
    }
    EXPECT_EQ("2009-02-14 13:05:09 A", DisplayTextFromFileName("2009-02-14 13_05_09 %(65)"));
    EXPECT_EQ("t %(5 x", DisplayTextFromFileName("t %(5 x")) << "an open sequence stays";
}

TEST_F(BasketTest, EachRowPreviewsItsOwnFileEvenWhenItsTitleLooksEncoded)
{
    EditorMemo memo;
    memo.Type(W("Bold \xEC\x9A\xB0\xEC\x9C\xA0 memo")).Font(0, 4, "Arial", ANSI_CHARSET, fsBold);
    Put({{"2009-02-14 13_05_09 %(65) title.txt", "literal"}, {"2009-02-14 13_05_08 gone.txt", "soon gone"}});
    memo.SaveTo(Folder() + "2009-02-14 13_05_10 rich.txt");
    Open();
    ASSERT_EQ((std::vector<std::string>{"2009-02-14 13:05:10 rich", "2009-02-14 13:05:09 A title",
                                        "2009-02-14 13:05:08 gone"}),
              Rows());
    EXPECT_EQ(memo.Shown(), Preview().substr(0, memo.Shown().size())) << "the memo, formatted";
    form->edtMemo->SelectRange(0, 4, false);
    EXPECT_EQ(fsBold, form->edtMemo->SelectionFormat().Style() & fsBold);

    struct Step {
        int row;
        std::wstring preview;
        bool heldByAWriter;  // as a sync client holds a file it is writing
    };
    DeleteFileA((Folder() + "2009-02-14 13_05_08 gone.txt").c_str());
    const Step steps[] = {
        {1, L"literal", false},
        {2, AnsiToWide(Folder() + "2009-02-14 13_05_08 gone.txt") + W("메모가 삭제 되었습니다.") + L"\r", false},
        {0, memo.Shown(), true},
    };
    for (const Step& s : steps) {
        UniqueKernelHandle writer;
        if (s.heldByAWriter) {
            const HANDLE h = CreateFileA(form->RowFilePath(s.row).c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, h);
            writer.reset(h);
        }
        // The keyboard moves the selection, as the user does it.
        form->lstMemo->SetItemIndex(s.row == 0 ? 1 : s.row - 1);
        SendMessageA(form->lstMemo->Handle(), WM_KEYDOWN, s.row == 0 ? VK_UP : VK_DOWN, 0);
        PumpMessages();
        EXPECT_EQ(s.row, form->lstMemo->ItemIndex());
        EXPECT_EQ(s.preview, Preview().substr(0, s.preview.size())) << s.row;
    }
}

TEST_F(BasketTest, SearchMarksExactlyTheMemosWhoseTextHoldsIt)
{
    // Memos as our editor writes them: Korean and accented words stored as escapes,
    // a word split by a change of style, control words all over the source.
    struct Source {
        const char* name;
        std::wstring text;
        bool splitStyle;
    };
    const Source sources[] = {
        {"2009-01-01 00_00_06 korean.txt", W("\xEC\x9A\xB0\xEC\x9C\xA0 \xEC\x82\xAC\xEA\xB8\xB0"), false},
        {"2009-01-01 00_00_05 accent.txt", W("Caf\xC3\xA9 cr\xC3\xA8me"), false},
        {"2009-01-01 00_00_04 split.txt", L"buy Milk today", true},
        {"2009-01-01 00_00_03 lower.txt", L"buy milk, parcel", false},
        {"2009-01-01 00_00_02 other.txt", L"nothing here", false},
    };
    Put({{"2009-01-01 00_00_01 plain.txt", "plain Milk and par"}});
    for (const Source& s : sources) {
        EditorMemo memo;
        memo.Type(s.text).Font(0, 100, "Arial", ANSI_CHARSET);
        if (s.splitStyle)
            memo.Font(5, 7, "Arial", ANSI_CHARSET, fsBold);  // M|il|k
        if (s.text[0] > 0x3000)
            memo.Font(0, 100, "Gulim", HANGEUL_CHARSET);
        memo.SaveTo(Folder() + s.name);
    }
    Open();
    ASSERT_EQ(6, form->lstMemo->Count());

    struct Case {
        std::wstring wanted;
        const char* marks;
    };
    std::vector<Case> cases = {
        {L"Milk", "..x..x"},    {L"milk", "...x.."},    {L"par", "...x.x"},  {L"fonttbl", "......"},
        {L"  Milk  ", "..x..x"}, {L"Arial", "......"},  {L"buy", "..xx.."},
    };
    // Only what the system's code page can hold can be typed into the search box.
    for (const wchar_t* word : {L"\xC6B0\xC720", L"Caf\xE9", L"cr\xE8me"})
        if (AnsiToWide(WideToAnsi(word)) == word)
            cases.push_back({word, word[0] == L'\xC6B0' ? "x....." : ".x...."});
    ASSERT_GE(cases.size(), 8u) << "at least one of the non-ASCII words fits every code page in use";
    for (const Case& c : cases) {
        Mark("xxxxxx");
        form->lstMemo->SetItemIndex(4);
        Search(WideToAnsi(c.wanted));
        EXPECT_EQ(c.marks, Marks()) << WideToUtf8(c.wanted);
        EXPECT_EQ(4, form->lstMemo->ItemIndex()) << "the selection stays";
    }
    // Enter in the search box searches too.
    Mark("......");
    form->edtSearch->SetText("nothing");
    SendMessageA(form->edtSearch->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ("....x.", Marks());
}

TEST_F(BasketTest, EmptySearchTextSaysSoAndKeepsTheMarks)
{
    Put({{"2009-01-01 00_00_02 a.txt", "a"}, {"2009-01-01 00_00_01 b.txt", "b"}});
    Open();
    Mark(".x");
    for (const char* text : {"", "   ", "\t "}) {
        DialogAnswerer answerer(IDOK);
        Search(text);
        answerer.Stop();
        ASSERT_EQ(1, answerer.Answered()) << "a message box for '" << text << "'";
        EXPECT_NE(std::wstring::npos, answerer.Texts().find(W("검색할 문장을 입력합십시오."))) << WideToUtf8(answerer.Texts());
        EXPECT_EQ(".x", Marks());
    }
}

TEST_F(BasketTest, MarkingByCheckBoxSpaceDoubleClickAndCheckAll)
{
    Put({{"2009-01-01 00_00_03 a.txt", "a"}, {"2009-01-01 00_00_02 b.txt", "b"}, {"2009-01-01 00_00_01 c.txt", "c"}});
    Open();
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* marks;
    };
    const Step steps[] = {
        {"click the second check box", [&] { Press(WM_LBUTTONDOWN, 1, true); }, ".x."},
        {"click the second row's text", [&] { Press(WM_LBUTTONDOWN, 1, false); }, ".x."},
        {"space on the selected row", [&] { SendMessageA(form->lstMemo->Handle(), WM_KEYDOWN, VK_SPACE, 0); }, "..."},
        {"space again", [&] { SendMessageA(form->lstMemo->Handle(), WM_KEYDOWN, VK_SPACE, 0); }, ".x."},
        {"double click on a marked row", [&] { Press(WM_LBUTTONDBLCLK, 1, false); }, ".x."},
        {"double click on an unmarked row", [&] { Press(WM_LBUTTONDBLCLK, 2, false); }, ".xx"},
        {"check-all on", [&] { form->chkAll->Perform(BM_CLICK); }, "xxx"},
        {"a single row afterwards", [&] { Press(WM_LBUTTONDOWN, 0, true); }, ".xx"},
        {"check-all off", [&] { form->chkAll->Perform(BM_CLICK); }, "..."},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(s.marks, Marks()) << s.what;
    }
    EXPECT_FALSE(form->chkAll->Checked());
}

TEST_F(BasketTest, DeclinedEraseKeepsRowsAndFiles)
{
    Put({{"2009-01-01 00_00_02 keep.txt", "keep"}, {"2009-01-01 00_00_01 %(65) also.txt", "also"}});
    Open();
    Mark("xx");
    Erase(IDNO);
    EXPECT_EQ(2, form->lstMemo->Count()) << "the user said no: nothing is gone";
    EXPECT_EQ("xx", Marks());
    EXPECT_TRUE(FileExists(Folder() + "2009-01-01 00_00_02 keep.txt"));
    Open();
    EXPECT_EQ(2, form->lstMemo->Count());
}

namespace {

// Where Wine's shell puts what goes to the recycle bin: the desktop's own trash of
// the user it runs as (the XDG trash, ~/.local/share/Trash).
std::string WineTrashFolder()
{
    // Wine names the user's home folder as a path of its own ("\\??\\Z:\\root").
    char home[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("WINEHOMEDIR", home, MAX_PATH))
        return {};
    std::string path = home;
    if (path.rfind("\\??\\", 0) == 0)
        path.erase(0, 4);
    return IncludeTrailingBackslash(path) + ".local\\share\\Trash\\";
}

bool RunningOnWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

} // namespace

TEST_F(BasketTest, EraseSendsTheMarkedFilesToTheRecycleBin)
{
    const std::string stamp = Format("%lu-%lu", GetCurrentProcessId(), GetTickCount());
    const std::string erased = "2009-01-01 00_00_03 %(65) erased " + stamp + ".txt";
    const std::string previewed = "2009-01-01 00_00_02 previewed " + stamp + ".txt";
    Put({{erased, "erased memo"}, {previewed, "previewed memo"}, {"2009-01-01 00_00_01 kept.txt", "kept"}});
    Open();
    form->lstMemo->SetItemIndex(1);
    SendMessageA(form->lstMemo->Handle(), WM_KEYDOWN, VK_UP, 0);
    SendMessageA(form->lstMemo->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    ASSERT_EQ(L"previewed memo", Preview().substr(0, 14));
    Mark("xx.");
    Erase(IDYES);
    EXPECT_EQ(std::vector<std::string>{"2009-01-01 00:00:01 kept"}, Rows());
    EXPECT_FALSE(FileExists(Folder() + erased)) << "the file left the wastebasket";
    EXPECT_FALSE(FileExists(Folder() + previewed));
    EXPECT_TRUE(FileExists(Folder() + "2009-01-01 00_00_01 kept.txt"));
    EXPECT_EQ(L"previewed memo", Preview().substr(0, 14)) << "the preview stays";
    if (!RunningOnWine())
        return;
    for (const std::string& name : {erased, previewed}) {
        const std::string trashed = WineTrashFolder() + "files\\" + name;
        EXPECT_TRUE(FileExists(trashed)) << trashed;
        EXPECT_EQ(name == erased ? "erased memo" : "previewed memo", ReadWholeFile(trashed));
        DeleteFileA(trashed.c_str());
        DeleteFileA((WineTrashFolder() + "info\\" + name + ".trashinfo").c_str());
    }
}

TEST_F(BasketTest, TitleOutsideTheCodePageStillPreviewsSearchesAndErases)
{
    Put({{"2009-01-01 00_00_01 plain.txt", "plain"}});
    // A Devanagari title: neither code page in use can hold it, so the "A" functions
    // see its name with '?' for each character.
    const std::wstring title = W("\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87");
    const std::wstring name = L"2009-01-01 00_00_02 " + title + L".txt";
    const std::wstring path = AnsiToWide(Folder()) + name;
    {
        UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        WriteFile(file.get(), "namaste milk", 12, &written, nullptr);
    }
    Open();
    ASSERT_EQ(2, form->lstMemo->Count());
    EXPECT_EQ("2009-01-01 00:00:02 " + WideToAnsi(title), form->lstMemo->Items(0));
    EXPECT_EQ(L"namaste milk", Preview().substr(0, 12));
    Search("milk");
    EXPECT_EQ("x.", Marks());
    wchar_t shortPath[MAX_PATH] = {};
    GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    Erase(IDYES);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str())) << "the right file went";
    EXPECT_EQ(std::vector<std::string>{"2009-01-01 00:00:01 plain"}, Rows());
    if (RunningOnWine()) {
        // Wine's trash keeps it under whichever name the shell was given.
        for (const std::wstring& trashed : {name, std::wstring(wcsrchr(shortPath, L'\\') + 1)}) {
            DeleteFileW((AnsiToWide(WineTrashFolder()) + L"files\\" + trashed).c_str());
            DeleteFileW((AnsiToWide(WineTrashFolder()) + L"info\\" + trashed + L".trashinfo").c_str());
        }
    }
}

TEST_F(BasketTest, LayoutAndPreviewSplitter)
{
    Put({{"2009-01-01 00_00_01 a.txt", "a"}});
    Open();
    EXPECT_EQ(349, form->ClientWidth());
    EXPECT_EQ(383, form->ClientHeight());
    struct Place {
        const char* name;
        TWinControl* control;
        RECT bounds;
    };
    const Place places[] = {
        {"edtMemo", form->edtMemo, {0, 18, 349, 142}},      {"Splitter1", form->Splitter1, {0, 142, 349, 145}},
        {"pnlSearch", form->pnlSearch, {0, 145, 349, 171}}, {"edtSearch", form->edtSearch, {3, 3, 297, 24}},
        {"btnSearch", form->btnSearch, {299, 2, 346, 24}},  {"lstMemo", form->lstMemo, {0, 171, 349, 356}},
        {"StatusBar1", form->StatusBar1, {0, 356, 349, 383}}, {"chkAll", form->chkAll, {4, 5, 21, 22}},
        {"btnDelete", form->btnDelete, {19, 3, 66, 25}},     {"btnRestore", form->btnRestore, {68, 3, 115, 25}},
    };
    for (const Place& p : places) {
        const RECT r = p.control->BoundsRect();
        EXPECT_TRUE(EqualRect(&r, &p.bounds)) << p.name << " at " << r.left << "," << r.top << "," << r.right << ","
                                              << r.bottom;
    }
    EXPECT_TRUE(form->btnRestore->Visible()) << "beside Erase";
    EXPECT_EQ(16, form->lstMemo->ItemRect(0).bottom - form->lstMemo->ItemRect(0).top);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r = form->BoundsRect();
    EXPECT_NEAR((work.left + work.right) / 2, (r.left + r.right) / 2, 1) << "centred";
    EXPECT_NEAR((work.top + work.bottom) / 2, (r.top + r.bottom) / 2, 1);

    // Dragging the splitter down by 40 pixels gives the preview 40 more, the list 40 less;
    // far up, the preview keeps its minimum.
    HWND bar = form->Splitter1->Handle();
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 1));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 41));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(10, 1));
    EXPECT_EQ(164, form->edtMemo->Height());
    EXPECT_EQ(185 - 40, form->lstMemo->Height());
    EXPECT_EQ(182, form->Splitter1->Top());
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 1));
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, -500));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(10, -500));
    EXPECT_EQ(form->Splitter1->MinSize, form->edtMemo->Height());
}

TEST_F(BasketTest, RowsShowTheirMarks)
{
    Put({{"2009-01-01 00_00_02 a.txt", "a"}, {"2009-01-01 00_00_01 b.txt", "b"}});
    Open();
    form->lstMemo->SetItemIndex(-1);
    Mark("x.");
    const WindowImage image = WindowImage::OnScreen(form->lstMemo->Handle());
    // The check box's inner square: a mark draws dark pixels in it, no mark leaves it white.
    auto darkPixels = [&](int row) {
        const RECT r = form->lstMemo->ItemRect(row);
        int dark = 0;
        for (int y = r.top + 4; y < r.bottom - 4; ++y)
            for (int x = 5; x < TCheckListBox::CheckColumnWidth() - 4; ++x)
                if (GetGValue(image.Pixel(x + 2, y + 2)) < 100)  // +2: the list's sunken edge
                    ++dark;
        return dark;
    };
    EXPECT_GT(darkPixels(0), 5);
    EXPECT_EQ(0, darkPixels(1));
}

TEST_F(BasketTest, ShownModallyUntilItsCloseButton)
{
    Put({{"2009-01-01 00_00_01 a.txt", "a"}});
    form = Application.CreateForm<TfrmBasket>();
    PostMessageA(form->btnClose->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(mrCancel, form->ShowModal());
    EXPECT_FALSE(form->Visible());
}

TEST_F(BasketTest, FocusAsksForTheKoreanInputMethodOnlyWhereItIsInstalled)
{
    Open();
    const HKL before = GetKeyboardLayout(0);
    EXPECT_FALSE(RequestInputMethod(L"no such input method"));
    EXPECT_EQ(before, GetKeyboardLayout(0)) << "nothing else is switched on instead";
    const bool installed = RequestInputMethod(W("한국어 입력 시스템 (IME 2000)"));
    ActivateKeyboardLayout(before, 0);
    for (TWinControl* field : {static_cast<TWinControl*>(form->edtSearch), static_cast<TWinControl*>(form->edtMemo),
                               static_cast<TWinControl*>(form->lstMemo)}) {
        form->btnSearch->SetFocus();
        field->SetFocus();
        PumpMessages();
        EXPECT_EQ(installed, GetKeyboardLayout(0) != before) << field->Name;
        ActivateKeyboardLayout(before, 0);
    }
}

TEST(RestoredCaption, IsTheTitleUnlessTheTextBeginsWithIt)
{
    struct Case {
        const char* name;
        std::wstring text;
        std::string caption;
    } cases[] = {
        {"2026-03-05 09_07_42 Shopping list.txt", L"Milk\nEggs", "Shopping list"},
        {"2026-03-05 09_07_42 Milk.txt", L"\n   \n  Milk\nEggs", ""},
        {"2026-03-05 09_07_42 a%(47)b.txt", L"a/b and c", ""},
        {"2026-03-05 09_07_42 A first line cut sho.txt", L"A first line cut short by word wrap", ""},
        {"2026-03-05 09_07_42 .txt", L"only text", ""},
        {"2026-03-05 09_07_42 Plans_2026.txt", L"", "Plans_2026"},
        {"notes.txt", L"something else", "notes"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.caption, RestoredCaption(c.name, c.text)) << c.name;
    if (GetACP() == 949) {
        EXPECT_EQ(WideToAnsi(L"회의"), RestoredCaption("2026-03-05 09_07_42 " + WideToAnsi(L"회의") + ".txt", L"내일 할 일"));
    }
}

TEST_F(BasketTest, RestoreMakesTheMarkedMemosLiveAgainUnderFreeNumbers)
{
    const std::wstring korean = GetACP() == 949 ? L"내일 회의" : L"caf\u00e9 cr\u00e8me";
    EditorMemo captioned, plain;
    captioned.Type(L"Milk\rEggs " + korean);
    plain.Type(L"Call the plumber");
    Put({{"2026-03-05 09_07_42 Shopping.txt", captioned.Rtf()},
         {"2026-03-06 10_00_00 Call the plumber.txt", plain.Rtf()},
         {"2026-03-07 11_00_00 Kept.txt", plain.Rtf()}});
    TIniFile index(PrjInfo->PostItIniFileName());
    for (const char* section : {"1", "2", "4"})
        index.WriteInteger(section, "Left", 10);
    Open();
    // Newest first: Kept, Call the plumber, Shopping.
    Mark(".xx");
    std::vector<std::pair<int, int>> opened;
    form->OnMemoRestored = [&](int number, int cascade) { opened.emplace_back(number, cascade); };
    form->btnRestore->Perform(BM_CLICK);
    PumpMessages();

    EXPECT_EQ((std::vector<std::pair<int, int>>{{3, 0}, {5, 1}}), opened);
    EXPECT_EQ(std::vector<std::string>{"2026-03-07 11:00:00 Kept"}, Rows());
    EXPECT_FALSE(FileExists(Folder() + "2026-03-05 09_07_42 Shopping.txt"));
    EXPECT_TRUE(FileExists(Folder() + "2026-03-07 11_00_00 Kept.txt"));
    EXPECT_EQ(plain.Rtf(), ReadWholeFile(MemoFilePath(3)));
    EXPECT_EQ(captioned.Rtf(), ReadWholeFile(MemoFilePath(5)));
    EXPECT_FALSE(index.ValueExists("3", "Caption")) << "the title was the text's first line";
    EXPECT_EQ("Shopping", ReadMemoRecord(5).Caption);
    const RECT first = TfrmBasket::RestorePlace(0), second = TfrmBasket::RestorePlace(1);
    EXPECT_EQ(first.left, index.ReadInteger("3", "Left", -1));
    EXPECT_EQ(second.top, index.ReadInteger("5", "Top", -1));
    EXPECT_EQ(first.left + 24, second.left);

    // The memo opens as the tray opens it: floating, in front, with its content.
    TComponent imageOwner(nullptr);
    TfrmPostIt* memo = OpenRestoredMemo(CreateMemoImages(&imageOwner), 5);
    EXPECT_EQ(pmFloating, memo->GetPaperMode());
    EXPECT_EQ("Shopping", memo->Caption());
    EXPECT_NE(std::string::npos, memo->edtMemo->Text().find(WideToAnsi(korean)));
    EXPECT_EQ(first.left + 24, memo->Left());
    memo->DetachCloseGuard();
    Application.DestroyForm(memo);
}

TEST_F(BasketTest, RestoreWithEveryMemoNumberTakenSaysSoAndChangesNothing)
{
    Put({{"2026-03-05 09_07_42 Shopping.txt", "{\\rtf1 milk}"}});
    std::string index;
    for (int n = 1; n <= 999; ++n)
        index += "[" + std::to_string(n) + "]\r\nLeft=1\r\n";
    WriteWholeFile(PrjInfo->PostItIniFileName(), index);
    Open();
    Mark("x");
    bool opened = false;
    form->OnMemoRestored = [&](int, int) { opened = true; };
    {
        DialogAnswerer answerer(IDOK);
        form->btnRestore->Perform(BM_CLICK);
        answerer.Stop();
        EXPECT_EQ(1, answerer.Answered());
        EXPECT_NE(std::wstring::npos, answerer.Texts().find(L"999"));
    }
    EXPECT_FALSE(opened);
    EXPECT_EQ(1u, Rows().size());
    EXPECT_TRUE(FileExists(Folder() + "2026-03-05 09_07_42 Shopping.txt"));
    EXPECT_EQ(index, ReadWholeFile(PrjInfo->PostItIniFileName()));
    EXPECT_FALSE(FileExists(MemoFilePath(1000)));
}

TEST_F(BasketTest, ARestoredTitleWithLineBreaksStaysOneRecordOfTheMemoIndex)
{
    const std::string name = "2026-03-05 09_07_42 Plan%(13)%(10)[9]%(13)%(10)Left=5.txt";
    Put({{name, "{\\rtf1\\ansi Something else\\par}"}});
    TIniFile index(PrjInfo->PostItIniFileName());
    index.WriteInteger("1", "Left", 10);
    const RECT place{40, 50, 340, 250};

    EXPECT_EQ(2, RestoreMemoFile(Folder() + name, place));

    EXPECT_EQ((std::vector<std::string>{"1", "2"}), index.ReadSections()) << "no section 9";
    EXPECT_EQ((std::vector<std::string>{"Left", "Top", "Width", "Height", "Caption"}), index.ReadSection("2"));
    EXPECT_EQ(40, index.ReadInteger("2", "Left", -1)) << "no stray Left";
    EXPECT_EQ("Plan  [9]  Left=5", ReadMemoRecord(2).Caption);
    EXPECT_EQ(std::vector<std::string>{"Left"}, index.ReadSection("1"));
}
