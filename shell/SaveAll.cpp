#include "shell/SaveAll.h"

#include "framework/Application.h"
#include "framework/ScopedValue.h"
#include "framework/SysUtils.h"
#include "notes/MemoStore.h"
#include "notes/PostIt.h"
#include "notes/SaveProblems.h"
#include "shell/EProjectInc.h"
#include "shell/main.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace {

bool StillOpen(TfrmPaper* note)
{
    const auto& forms = Application.Forms();
    return std::find(forms.begin(), forms.end(), note) != forms.end();
}

// Saves the note; an empty text when it succeeded, else the error. `held` is set
// when another program holds its file.
std::string SaveNote(TfrmPaper& note, bool& held)
{
    held = false;
    try {
        if (auto* memo = dynamic_cast<TfrmPostIt*>(&note))
            memo->SaveContent();
        note.SavePosition();
        return {};
    } catch (const EFileHeld& e) {
        held = true;
        return e.what();
    } catch (const std::exception& e) {
        return e.what();
    }
}

// Handles messages for about that long, so nothing waits while a save does.
void WaitHandlingMessages(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < milliseconds; waited = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - waited, QS_ALLINPUT);
        Application.ProcessMessages();
    }
}

bool AskRetry(const std::string& question)
{
    const std::wstring caption = PrjInfo ? PrjInfo->Title() : L"Pinova";
    return MessageBoxW(nullptr, AnsiToWide(question).c_str(), caption.c_str(),
                       MB_RETRYCANCEL | MB_ICONWARNING | MB_DEFBUTTON1 | MB_TASKMODAL | MB_SETFOREGROUND) == IDRETRY;
}

// The notes the last successful SaveAllMemos saved, in window-list order.
std::optional<std::vector<TfrmPaper*>> savedForClose;

void DetachEveryMemo()
{
    for (TfrmPaper* note : PaperWindows())
        if (auto* memo = dynamic_cast<TfrmPostIt*>(note))
            memo->DetachCloseGuard();
}

} // namespace

std::vector<TUnsavedNote> SaveEveryNote()
{
    std::vector<TUnsavedNote> unsaved, held;
    for (TfrmPaper* note : PaperWindows()) {
        bool isHeld = false;
        std::string error = SaveNote(*note, isHeld);
        if (!error.empty())
            (isHeld ? held : unsaved).push_back({note, std::move(error)});
    }
    const DWORD start = GetTickCount();
    while (!held.empty() && GetTickCount() - start < kHoldGraceMs) {
        WaitHandlingMessages(kHoldRetryMs);
        std::vector<TUnsavedNote> stillHeld;
        for (TUnsavedNote& entry : held) {
            // A note the user closed meanwhile has saved itself on its way out.
            if (!StillOpen(entry.note))
                continue;
            bool isHeld = false;
            std::string error = SaveNote(*entry.note, isHeld);
            if (!error.empty())
                (isHeld ? stillHeld : unsaved).push_back({entry.note, std::move(error)});
        }
        held = std::move(stillHeld);
    }
    unsaved.insert(unsaved.end(), held.begin(), held.end());
    std::erase_if(unsaved, [](const TUnsavedNote& entry) { return !StillOpen(entry.note); });
    // In the order the user knows them from everywhere else.
    const std::vector<TfrmPaper*> order = PaperWindows();
    std::stable_sort(unsaved.begin(), unsaved.end(), [&](const TUnsavedNote& a, const TUnsavedNote& b) {
        return std::find(order.begin(), order.end(), a.note) < std::find(order.begin(), order.end(), b.note);
    });
    return unsaved;
}

std::string UnsavedNotesText(const std::string& when, const std::vector<TUnsavedNote>& unsaved)
{
    std::string text = "Pinova could not save everything " + when + ":";
    for (const TUnsavedNote& entry : unsaved)
        text += "\n\n" + entry.note->SaveSubject() + ":\n" + entry.error;
    return text;
}

bool SaveAllMemos()
{
    // A second Close while the first waits for a file (messages are handled
    // meanwhile) is the same close.
    static bool saving = false;
    if (saving)
        return false;
    ScopedValue<bool> busy(saving, true);
    ScopedValue<bool> quiet(SaveReporter().Quiet, true);
    savedForClose.reset();
    for (;;) {
        const std::vector<TUnsavedNote> unsaved = SaveEveryNote();
        if (unsaved.empty()) {
            DetachEveryMemo();
            savedForClose = PaperWindows();
            return true;
        }
        if (!AskRetry(UnsavedNotesText("before closing", unsaved) +
                      "\n\nRetry tries again (close the program that has the file open first). "
                      "Cancel keeps Pinova running with every note as it is."))
            return false;
    }
}

bool EveryNoteSavedForClose()
{
    if (!savedForClose || *savedForClose != PaperWindows())
        return false;
    // A memo made since at a place another one had is live.
    return std::none_of(savedForClose->begin(), savedForClose->end(), [](TfrmPaper* note) {
        const auto* memo = dynamic_cast<TfrmPostIt*>(note);
        return memo && memo->CloseGuardAttached();
    });
}

void SaveForSessionEnd(bool ending)
{
    const std::vector<TUnsavedNote> unsaved = SaveEveryNote();
    if (ending) {
        // Nobody is left to answer: the windows go with the process now.
        DetachEveryMemo();
        return;
    }
    if (!unsaved.empty())
        SaveReporter().Tell(UnsavedNotesText("for the end of the session", unsaved));
}
