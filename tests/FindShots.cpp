// Shows a few memos and the find window over them with a search typed, and keeps
// them there for a while so that the screen can be photographed for the docs:
//     find_shots.exe [seconds]
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "notes/FindMemos.h"
#include "notes/MemoImages.h"
#include "notes/PostIt.h"
#include "tests/TestSupport.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    Application.SetTitle(L"Pinova");
    TestProgram program;
    StandInProgman desktop;
    TComponent imageOwner(nullptr);
    TImageList* images = CreateMemoImages(&imageOwner);
    const struct {
        const char* caption;
        const wchar_t* text;
        int left, top;
    } memos[] = {
        {"Shopping", L"Saturday market\r\nmilk, eggs, fresh bread\r\napples (green)", 40, 40},
        {"", L"Call the plumber about the kitchen tap before Friday.", 360, 60},
        {"Recipes", L"Pancakes: flour, milk, two eggs and a pinch of salt.", 60, 300},
        {"", L"\uD68C\uC758 \uC900\uBE44\r\n\uBB38\uC11C 3\uBD80 \uCD9C\uB825", 700, 40},
        {"Breakfast", L"oat milk, honey, tea", 720, 330},
    };
    int number = 0;
    for (const auto& m : memos) {
        auto* memo = Application.CreateForm<TfrmPostIt>(images);
        memo->SetMemoNumber(++number);
        memo->InitNewMemo();
        memo->SetCaption(m.caption);
        memo->edtMemo->SetText(WideToAnsi(m.text));
        memo->SetBounds(m.left, m.top, 300, 200);
        memo->Show();
        memo->SendToDesktop();
    }
    auto* find = Application.CreateForm<TfrmFindMemos>();
    find->Show();
    find->edtFind->SetText("milk");
    find->lstFound->SetItemIndex(1);
    SetForegroundWindow(find->Handle());
    PumpMessages(seconds * 1000);
    for (TForm* form : std::vector<TForm*>(Application.Forms()))
        if (auto* memo = dynamic_cast<TfrmPostIt*>(form))
            memo->DetachCloseGuard();
    Application.DestroyForms();
    return 0;
}
