#pragma once
// Keeps the open memos in step with their folder when others change it (a sync
// client bringing what another computer wrote): changed text is shown, or kept
// beside unsaved edits as a memo of its own; memos made elsewhere open, memos
// removed elsewhere close; captions, word wrap and places follow the memo index;
// sync clients' conflict copies become memos. Nothing that holds a memo's text is
// deleted before that text is in a memo file.

#include "notes/FolderWatch.h"
#include "notes/SyncChanges.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class TfrmPostIt;
class TImageList;

class TFolderSync {
public:
    // `images` is the memo image list the memos it opens draw from.
    explicit TFolderSync(TImageList* images);
    ~TFolderSync();
    TFolderSync(const TFolderSync&) = delete;
    TFolderSync& operator=(const TFolderSync&) = delete;

    // Before the stored memos are opened: what changes while they open is seen too.
    void Watch();
    // Once they are open: the conflict copies sync clients left meanwhile.
    void TakeInLeftCopies();
    // What a quiet moment after a burst of changes brings.
    void Apply(const TFolderChanges& changes);

    // The settings file changed elsewhere; the wastebasket folder changed.
    std::function<void()> OnSettingsChanged;
    std::function<void()> OnWastebasketChanged;

private:
    std::map<int, TfrmPostIt*> OpenMemos() const;
    void AdoptConflictCopies(bool& indexMerged, bool& settingsMerged);
    void AdoptMemoCopy(const std::string& copyPath, int original);
    static bool MergeIniCopy(const std::string& copyPath, const std::string& mainPath);
    void ApplyIndex();
    void ApplyRecord(TfrmPostIt& memo, const TIniImage& before, const std::vector<std::string>& keys);
    void ApplyMemoFile(int number, TfrmPostIt* memo);
    void OpenArrived(int number);
    void RemovedElsewhere(TfrmPostIt& memo);
    // Opens the other version of a memo as a memo of its own beside `besideOf`,
    // captioned after `caption` (or its own first line). False when no number is free.
    bool KeepOtherVersion(const std::string& rtf, const std::string& caption, const RECT& besideOf);
    void WatchWastebasket();
    bool ReadOrLookAgain(const std::string& path, std::string& bytes);

    TImageList* images_;
    // The memo index as last looked at.
    TIniImage index_;
    std::unique_ptr<TFolderWatch> watch_;
    // The wastebasket folder, watched once it exists.
    std::unique_ptr<TFolderWatch> basketWatch_;
};

// The lowest memo number from 1 to 999 with neither a record nor a memo file.
std::optional<int> FreeNumberForNewFile();
