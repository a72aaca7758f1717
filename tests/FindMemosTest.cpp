#include "notes/FindMemos.h"

#include "framework/SysUtils.h"
#include "tests/MemoTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Open memos of one program folder and the find window over them.
struct FindSetup {
    TestProgram program;
    TComponent imageOwner{nullptr};
    TImageList* images = CreateMemoImages(&imageOwner);
    std::vector<TfrmPostIt*> memos;
    TfrmFindMemos* find = nullptr;
    bool gone = false;

    TfrmPostIt* AddMemo(int number, const std::string& caption, const std::string& text)
    {
        auto* memo = Application.CreateForm<TfrmPostIt>(images);
        memo->SetMemoNumber(number);
        memo->InitNewMemo();
        memo->SetCaption(caption);
        memo->edtMemo->SetText(text);
        memo->Show();
        memos.push_back(memo);
        return memo;
    }
    void OpenFind()
    {
        find = Application.CreateForm<TfrmFindMemos>();
        find->OnGone = [this] { gone = true; };
        find->Show();
    }
    std::vector<int> Search(const std::string& text)
    {
        find->edtFind->SetText(text);  // the box's change runs the search
        std::vector<int> numbers;
        for (const auto& row : find->Rows())
            numbers.push_back(row.MemoNumber);
        EXPECT_EQ(find->Rows().size(), find->lstFound->Items().size());
        return numbers;
    }
    ~FindSetup()
    {
        if (find && !gone)
            Application.DestroyForm(find);
        for (TfrmPostIt* memo : memos) {
            const auto& forms = Application.Forms();
            if (std::find(forms.begin(), forms.end(), memo) != forms.end()) {
                memo->DetachCloseGuard();
                Application.DestroyForm(memo);
            }
        }
    }
};

} // namespace

TEST(FindMemos, ListsTheMemosHoldingTheTextAsTheyAreNow)
{
    FindSetup s;
    s.AddMemo(1, "Shopping", "Buy MILK\r\nand bread");
    TfrmPostIt* second = s.AddMemo(2, "", "Call the plumber");
    s.AddMemo(3, "", "\r\n  Milk for the cat");
    s.OpenFind();

    const struct {
        const char* query;
        std::vector<int> numbers;
    } cases[] = {
        {"milk", {1, 3}}, {"Plumber", {2}}, {"bread", {1}}, {"nothing like it", {}}, {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.numbers, s.Search(c.query)) << c.query;

    s.Search("milk");
    EXPECT_EQ("Shopping", s.find->Rows()[0].Match.Title);
    EXPECT_EQ("Milk for the cat", s.find->Rows()[1].Match.Title);

    // Words typed into a memo after the window opened are found at the next key.
    second->edtMemo->SelectRange(0, 0, false);
    SendMessageA(second->edtMemo->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("milk, "));
    EXPECT_EQ((std::vector<int>{1, 2, 3}), s.Search("milk"));
}

TEST(FindMemos, EnterBringsTheMemoUpFloatingWithTheMatchSelected)
{
    FindSetup s;
    const std::string word = GetACP() == 949 ? WideToAnsi(L"회의") : WideToAnsi(L"r\u00e9union");
    const std::string text = GetACP() == 949 ? WideToAnsi(L"오늘 할 일\r\n내일 회의 준비") : WideToAnsi(L"Today\r\nla r\u00e9union");
    s.AddMemo(1, "", "nothing here");
    TfrmPostIt* memo = s.AddMemo(2, "", text);
    memo->SendToDesktop();
    s.OpenFind();
    ASSERT_EQ((std::vector<int>{2}), s.Search(word));

    s.find->edtFind->SetFocus();
    SendMessageA(s.find->edtFind->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(50);
    EXPECT_EQ(pmFloating, memo->GetPaperMode());
    EXPECT_EQ(word, memo->edtMemo->SelText());
    EXPECT_TRUE(memo->edtMemo->Focused());
}

TEST(FindMemos, AMemoDeletedWhileTheWindowIsOpenIsDroppedNotOpened)
{
    FindSetup s;
    s.AddMemo(1, "", "apples");
    TfrmPostIt* doomed = s.AddMemo(2, "", "apples and pears");
    s.OpenFind();
    ASSERT_EQ((std::vector<int>{1, 2}), s.Search("apples"));

    doomed->DetachCloseGuard();
    Application.DestroyForm(doomed);
    EXPECT_FALSE(s.find->OpenRow(1));
    EXPECT_EQ(1u, s.find->Rows().size());
    EXPECT_TRUE(s.find->OpenRow(0));

    // Escape closes the window, which frees itself and says so.
    SendMessageA(s.find->edtFind->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpUntil([&] { return s.gone; }, 2000);
    EXPECT_TRUE(s.gone);
}
