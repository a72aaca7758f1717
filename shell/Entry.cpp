#include "shell/Entry.h"

#include "framework/Application.h"
#include "notes/PostIt.h"
#include "shell/EProjectInc.h"
#include "shell/SaveAll.h"
#include "shell/main.h"

namespace {

// Called once every memo is saved. Taking each note's windows down one by one
// costs about 10 ms a note inside the desktop under Wine, seconds for a thousand
// notes, and nothing in them is needed any more: every other window goes in order,
// then the process ends and the system takes the notes' windows with it. A pinned
// page is such a note too (its place is saved with the others): closing its
// browser and taking its windows down cost up to a third of a second a page.
[[noreturn]] void EndLeavingNotesToTheSystem()
{
    for (TForm* form : std::vector<TForm*>(Application.Forms()))
        if (!dynamic_cast<TfrmPaper*>(form))
            Application.DestroyForm(form);
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);  // never reached
}

} // namespace

int RunProgram()
{
    TzkPrjInfo info;
    PrjInfo = &info;
    if (info.IsFirstInstance()) {
        Application.Initialize();
        // The tray controller never shows a window of its own.
        Application.ShowMainForm = false;
        try {
            auto* frmMain = Application.CreateForm<TfrmMain>();
            info.SetMainHwnd(frmMain->Handle());
            Application.SetTitle(L"");
            Application.Run();
            // Close has saved everything already; an end of the loop that came some
            // other way saves here, the same way.
            if (!EveryNoteSavedForClose())
                SaveAllMemos();
            EndLeavingNotesToTheSystem();
        } catch (const std::exception& e) {
            Application.HandleException(e);
        }
    }
    // Every window goes while the program information still exists.
    Application.DestroyForms();
    PrjInfo = nullptr;
    return 0;
}
