#include "shell/Entry.h"

#include "framework/Application.h"
#include "notes/PostIt.h"
#include "shell/EProjectInc.h"
#include "shell/main.h"

void SaveAllMemos()
{
    // One memo that cannot be written must not cost the others theirs.
    const std::vector<TForm*> forms = Application.Forms();
    for (TForm* form : forms)
        if (auto* memo = dynamic_cast<TfrmPostIt*>(form)) {
            try {
                SaveAndDetach(*memo);
            } catch (const std::exception& e) {
                Application.HandleException(e);
            }
        }
}

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
            Application.SetTitle("");
            Application.Run();
            SaveAllMemos();
        } catch (const std::exception& e) {
            Application.HandleException(e);
        }
    }
    // Every window goes while the program information still exists.
    Application.DestroyForms();
    PrjInfo = nullptr;
    return 0;
}
