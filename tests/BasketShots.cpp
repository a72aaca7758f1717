// Shows the wastebasket with a dozen deleted memos, one previewed with its
// formatting and a search result marked, and keeps it there for a while so that
// the screen can be photographed for the docs (under the Korean code page, so that
// the Korean titles can be file names), over the stand-in desktop:
//     basket_shots.exe [seconds]          the window
//     basket_shots.exe [seconds] erase    the shell's confirmation of Erase over it
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "tests/EditorMemo.h"
#include "tests/TestSupport.h"
#include "wastebasket/basket.h"

#include <cstdlib>
#include <string>

namespace {

struct Deleted {
    const char* title;  // UTF-8
    const char* text;   // UTF-8
    WORD day, hour, minute;
};

const Deleted kDeleted[] = {
    {"\xEC\x9E\xA5\xEB\xB3\xB4\xEA\xB8\xB0 \xEB\xAA\xA9\xEB\xA1\x9D", "\xEC\x9A\xB0\xEC\x9C\xA0, \xEB\xB9\xB5, \xEB\x8B\xAC\xEA\xB1\x80", 2, 9, 15},
    {"Shopping: milk_tea", "Milk tea, oat milk, honey", 3, 18, 2},
    {"\xED\x9A\x8C\xEC\x9D\x98 \xEC\xA4\x80\xEB\xB9\x84", "\xEB\xAC\xB8\xEC\x84\x9C 3\xEB\xB6\x80 \xEC\xB6\x9C\xEB\xA0\xA5", 4, 8, 30},
    {"Call the dentist", "Tuesday before noon", 5, 11, 45},
    {"Birthday gift ideas", "Books, a scarf, concert tickets", 7, 20, 10},
    {"\xEC\x9A\xB4\xEB\x8F\x99 \xEA\xB3\x84\xED\x9A\x8D", "\xEC\x9B\x94 \xC2\xB7 \xEC\x88\x98 \xC2\xB7 \xEA\xB8\x88 \xEB\x8B\xAC\xEB\xA6\xAC\xEA\xB8\xB0", 9, 7, 0},
    {"Recipe: pancakes", "Flour, milk, two eggs, a pinch of salt", 10, 9, 5},
    {"Wi-Fi password", "ask the front desk", 12, 14, 20},
    {"\xEB\xB0\x98\xEB\x82\xA9\xED\x95\xA0 \xEC\xB1\x85", "\xEB\x8F\x84\xEC\x84\x9C\xEA\xB4\x80 \xEA\xB8\x88\xEC\x9A\x94\xEC\x9D\xBC\xEA\xB9\x8C\xEC\xA7\x80", 14, 16, 40},
    {"Project notes", "Ship the release on Friday", 15, 10, 0},
    {"Plants", "Water the ferns every third day", 17, 8, 12},
};

} // namespace

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    Application.SetTitle(L"Pinova");
    TestProgram program;

    for (const Deleted& d : kDeleted) {
        EditorMemo memo;
        memo.Type(Utf8ToWide(d.text));
        const SYSTEMTIME when{2026, 3, 0, d.day, d.hour, d.minute, 0, 0};
        memo.SaveTo(WastebasketFileName(WideToAnsi(Utf8ToWide(d.title)), {}, when));
    }
    // The newest one, with formatting: it comes first and is previewed.
    {
        EditorMemo memo;
        memo.Type(Utf8ToWide("\xEC\x9D\xB4\xEB\xB2\x88 \xEC\xA3\xBC \xED\x95\xA0 \xEC\x9D\xBC\r"))
            .Type(L"Buy milk and bread\rPay the phone bill\rCall Mina about Saturday\r")
            .Font(0, 8, "Gulim", HANGEUL_CHARSET, fsBold)
            .Font(9, 27, "Arial", ANSI_CHARSET, 0)
            .Font(28, 46, "Arial", ANSI_CHARSET, fsItalic)
            .Font(47, 71, "Arial", ANSI_CHARSET, fsUnderline);
        memo.Memo().SelectRange(0, 8, false);
        memo.Memo().SelectionFormat().SetSize(12);
        memo.Memo().SelectionFormat().SetColor(0x0000C0);
        const SYSTEMTIME when{2026, 3, 0, 20, 17, 30, 0, 0};
        memo.SaveTo(WastebasketFileName(WideToAnsi(Utf8ToWide("\xEC\x9D\xB4\xEB\xB2\x88 \xEC\xA3\xBC \xED\x95\xA0 \xEC\x9D\xBC")), {}, when));
    }

    StandInProgman desktop;
    auto* basket = Application.CreateForm<TfrmBasket>();
    basket->Show();
    basket->edtSearch->SetText("milk");
    basket->SearchMemos();
    SetForegroundWindow(basket->Handle());
    basket->lstMemo->SetFocus();
    if (argc > 2 && std::string(argv[2]) == "erase")
        PostMessageA(basket->btnDelete->Handle(), BM_CLICK, 0, 0);
    PumpMessages(seconds * 1000);
    Application.DestroyForms();
    return 0;
}
