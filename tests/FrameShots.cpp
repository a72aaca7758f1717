// Lays frame windows out on a plain desktop-coloured background and keeps them
// there for a while, so that the screen can be photographed for the docs:
//     frame_shots.exe [seconds]          frames at tints 0, 90, 500, active and inactive
//     frame_shots.exe [seconds] paper    a note in each mode over a stand-in desktop
//     frame_shots.exe [seconds] pinned   a pinned page beside a note (in Wine's
//                                        virtual desktop: explorer /desktop=shell,900x520)
// The README's pictures were taken with `import -window root` meanwhile.
#include "controls/RichMemo.h"
#include "framework/Application.h"
#include "notes/Paper.h"
#include "notes/PinBrowserList.h"
#include "notes/zkGrayDialog.h"
#include "shell/EProjectInc.h"
#include "tests/TestSupport.h"

#include <cstdlib>
#include <cstring>

namespace {

class TfrmBackground : public TForm {
public:
    explicit TfrmBackground(TComponent* owner) : TForm(owner)
    {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetColor(0x808000);  // the classic teal desktop
    }
};

void ShowPapers(DWORD seconds)
{
    StandInProgman desktop(720, 300);

    const char* captions[] = {"On the desktop", "Floating", "Working"};
    std::vector<TfrmPaper*> papers;
    for (int i = 0; i < 3; ++i) {
        auto* paper = Application.CreateForm<TfrmPaper>();
        paper->SetBounds(20 + i * 235, 40, 215, 200);
        paper->SetColor(0xC0FFFF);  // a note's pale yellow
        paper->Show();
        paper->SetCaption(captions[i]);
        papers.push_back(paper);
    }
    papers[0]->SendToDesktop();
    papers[1]->SendToDesktop();
    papers[1]->BringFloating();
    SetWindowLongPtrA(papers[2]->Handle(), GWL_EXSTYLE, WS_EX_APPWINDOW);
    papers[2]->BringToWork();
    auto* elsewhere = Application.CreateForm<TForm>();
    elsewhere->SetBounds(900, 700, 100, 100);
    elsewhere->Show();
    SetActiveWindow(elsewhere->Handle());
    PumpMessages(seconds * 1000);
    Application.DestroyForms();
}

void ShowPinnedPage(DWORD seconds)
{
    WriteWholeFile(PrjInfo->IniFileName(), "[url]\r\n1=http://example.com/\r\n");
    WriteWholeFile(PrjInfo->PinBrowserIniFileName(), "[1]\r\nLeft=410\r\nTop=60\r\nWidth=420\r\nHeight=340\r\n");
    // Beside it a paper holding a text, as a memo does.
    auto* note = Application.CreateForm<TfrmPaper>();
    note->SetBounds(60, 60, 300, 240);
    auto* text = note->Create<TRichMemo>();
    text->SetParent(note);
    text->SetAlign(TAlign::alClient);
    text->Lines().SetText("Pinned beside me:\r\nexample.com, kept on the desktop.");
    note->Show();
    note->SendToDesktop();
    LoadPinBrowsers();
    SetActiveWindow(Application.Handle());
    PumpMessages(seconds * 1000);
    Application.DestroyForms();
}

} // namespace

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    Application.Initialize();
    Application.ShowMainForm = false;
    Application.CreateForm<TForm>();
    TestProgram program;
    if (argc > 2 && std::strcmp(argv[2], "paper") == 0) {
        ShowPapers(seconds);
        return 0;
    }
    if (argc > 2 && std::strcmp(argv[2], "pinned") == 0) {
        ShowPinnedPage(seconds);
        return 0;
    }

    auto* background = Application.CreateForm<TfrmBackground>();
    background->SetBounds(0, 0, 700, 480);
    background->Show();

    const int tints[] = {0, 90, 500};
    std::vector<TfrmZkGrayDialog*> active;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column) {
            auto* form = Application.CreateForm<TfrmZkGrayDialog>();
            form->SetBounds(20 + column * 340, 20 + row * 150, 320, 130);
            form->SetCaption(column == 0 ? "Pinova - active" : "Pinova - inactive");
            form->SetSkinTint(tints[row]);
            form->Show();
            if (column == 0)
                active.push_back(form);
        }
    PumpMessages(200);
    // A window outside the picture takes the focus; the left column is told to look active.
    auto* elsewhere = Application.CreateForm<TForm>();
    elsewhere->SetBounds(900, 700, 100, 100);
    elsewhere->Show();
    SetActiveWindow(elsewhere->Handle());
    PumpMessages(200);
    for (auto* form : active)
        SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    PumpMessages(seconds * 1000);
    Application.DestroyForms();
    return 0;
}
