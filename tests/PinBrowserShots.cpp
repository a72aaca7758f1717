// Puts a pinned page on the desktop beside a note and keeps them there for a
// while, so that the screen can be photographed for the docs:
//     pinned_page_shots.exe [seconds]
// docs/screenshots/pinned_page.png was taken with `import -window root` meanwhile,
// in Wine's virtual desktop (`wine64 explorer /desktop=shell,900x520 ...`).
#include "controls/RichMemo.h"
#include "framework/Application.h"
#include "notes/Paper.h"
#include "notes/PinBrowserList.h"
#include "tests/TestSupport.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    TestProgram program;
    WriteWholeFile(PrjInfo->IniFileName(), "[url]\r\n1=http://example.com/\r\n");
    WriteWholeFile(PrjInfo->PinBrowserIniFileName(), "[1]\r\nLeft=410\r\nTop=60\r\nWidth=420\r\nHeight=340\r\n");

    // A note beside it: a paper holding a text, as a memo does.
    auto* note = Application.CreateForm<TfrmPaper>();
    note->SetBounds(60, 60, 300, 240);
    auto* text = note->Create<TRichMemo>();
    text->SetParent(note);
    text->SetAlign(TAlign::alClient);
    text->Lines().SetText("Pinned beside me:\r\nexample.com, kept on the desktop.");
    note->Show();
    note->SendToDesktop();

    LoadPinBrowsers();
    auto* elsewhere = Application.CreateForm<TForm>();
    elsewhere->SetBounds(2000, 2000, 10, 10);
    elsewhere->Show();
    SetActiveWindow(elsewhere->Handle());
    PumpMessages(seconds * 1000);
    Application.DestroyForms();
    return 0;
}
