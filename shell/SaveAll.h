#pragma once
// The saves of every note at once: when the program is closed, and when the Windows
// session may end or ends. Notes resting in the desktop are children of the shell's
// window and hear nothing of the session's end themselves, so these save them all.

#include <string>
#include <vector>

class TfrmPaper;

// A note that could not be saved, and the error (which names the file and the
// system's reason).
struct TUnsavedNote {
    TfrmPaper* note;
    std::string error;
};

// One save of every note: a memo's content and place, a pinned page's place. A file
// another program holds is tried again, messages handled meanwhile, for up to the
// hold grace. The notes that still could not be saved, in window-list order.
std::vector<TUnsavedNote> SaveEveryNote();

// "Pinova could not save everything <when>:" and each note with its error.
std::string UnsavedNotesText(const std::string& when, const std::vector<TUnsavedNote>& unsaved);

// Saves every note and, once every memo is saved, detaches every memo's close guard,
// so that the windows' destruction at the end moves no memo anywhere: true. A memo
// that cannot be saved is named in one question (Retry / Cancel); Cancel answers
// false and leaves every memo live, saving as before.
bool SaveAllMemos();

// True while the last SaveAllMemos that succeeded still covers every note open
// (none opened since, every memo still detached): the program's end then has
// nothing left to save, and need not read every note's record again.
bool EveryNoteSavedForClose();

// The session may end (`ending` false): every note saved, nothing given up, since the
// end may still be called off; a failure is told as failing saves are. The session
// ends (`ending` true): what changed since is saved and memos stop saving.
void SaveForSessionEnd(bool ending);
