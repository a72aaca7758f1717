#include "notes/FolderSync.h"

#include "framework/Application.h"
#include "framework/IniFiles.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "notes/ConflictCopies.h"
#include "notes/MemoStore.h"
#include "notes/NotePlace.h"
#include "notes/PostIt.h"
#include "shell/EProjectInc.h"

#include <algorithm>
#include <set>
#include <unordered_set>

namespace {

constexpr char kBasketFolder[] = "zkBasket";
// The other version of a memo opens this far right of the memo it came from.
constexpr int kBesideGap = 16;

std::string IndexName() { return ExtractFileName(PrjInfo->PostItIniFileName()); }
std::string SettingsName() { return ExtractFileName(PrjInfo->IniFileName()); }

std::optional<int> SectionNumber(const std::string& section)
{
    if (section.empty() || section.size() > 9 ||
        !std::all_of(section.begin(), section.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(section);
}

TIniImage ReadIni(const std::string& path)
{
    std::string bytes;
    ReadFileBytes(path, bytes);
    return TIniImage(bytes);
}

bool MeetsAWorkArea(const RECT& place)
{
    const RECT onScreen = BringOntoWorkArea(place, MonitorWorkAreas());
    return EqualRect(&onScreen, &place) != FALSE;
}

// Floating, without taking the keyboard from whoever has it (the user may be typing
// into the memo the other version came from).
void FloatQuietly(TfrmPostIt& memo)
{
    HWND foreground = GetForegroundWindow();
    memo.SendToDesktop();
    memo.BringFloating();
    memo.ShowInactive();
    if (foreground && foreground != memo.Handle())
        SetForegroundWindow(foreground);
}

} // namespace

std::optional<int> FreeNumberForNewFile()
{
    const std::vector<std::string> sections = TIniFile(PrjInfo->PostItIniFileName()).ReadSections();
    const std::unordered_set<std::string> taken(sections.begin(), sections.end());
    for (int n = 1; n <= 999; ++n)
        if (!taken.count(MemoSectionName(n)) && !FileExists(MemoFilePath(n)))
            return n;
    return std::nullopt;
}

TFolderSync::TFolderSync(TImageList* images) : images_(images) {}

TFolderSync::~TFolderSync() = default;

void TFolderSync::Watch()
{
    index_ = ReadIni(PrjInfo->PostItIniFileName());
    watch_ = std::make_unique<TFolderWatch>(PrjInfo->ProgramPath);
    watch_->OnSettled = [this](const TFolderChanges& changes) { Apply(changes); };
    WatchWastebasket();
}

void TFolderSync::TakeInLeftCopies()
{
    bool indexMerged = false, settingsMerged = false;
    AdoptConflictCopies(indexMerged, settingsMerged);
    if (indexMerged)
        ApplyIndex();
}

void TFolderSync::WatchWastebasket()
{
    if (basketWatch_ || !DirectoryExists(PrjInfo->BasketPath))
        return;
    basketWatch_ = std::make_unique<TFolderWatch>(PrjInfo->BasketPath, std::string(kBasketFolder) + "\\");
    basketWatch_->OnSettled = [this](const TFolderChanges& changes) { Apply(changes); };
}

std::map<int, TfrmPostIt*> TFolderSync::OpenMemos() const
{
    std::map<int, TfrmPostIt*> memos;
    for (TForm* form : Application.Forms())
        if (auto* memo = dynamic_cast<TfrmPostIt*>(form); memo && memo->CloseGuardAttached())
            memos.emplace(memo->MemoNumber(), memo);
    return memos;
}

void TFolderSync::Apply(const TFolderChanges& changes)
{
    bool index = changes.Everything, settings = changes.Everything, basket = changes.Everything,
         copies = changes.Everything;
    std::set<int> memoFiles;
    for (const std::string& name : changes.Names) {
        const TChangedItem item = ClassifyChangedName(name, IndexName(), SettingsName(), kBasketFolder);
        switch (item.Kind) {
        case TFolderItem::Memo: memoFiles.insert(item.Number); break;
        case TFolderItem::Index: index = true; break;
        case TFolderItem::Settings: settings = true; break;
        case TFolderItem::Wastebasket: basket = true; break;
        case TFolderItem::ConflictCopy: copies = true; break;
        case TFolderItem::Other: break;
        }
    }
    if (copies) {
        bool indexMerged = false, settingsMerged = false;
        AdoptConflictCopies(indexMerged, settingsMerged);
        index = index || indexMerged;
        settings = settings || settingsMerged;
    }
    if (index)
        ApplyIndex();
    std::map<int, TfrmPostIt*> memos = OpenMemos();
    if (changes.Everything)
        for (const auto& [number, memo] : memos)
            memoFiles.insert(number);
    for (int number : memoFiles) {
        const auto found = memos.find(number);
        ApplyMemoFile(number, found == memos.end() ? nullptr : found->second);
    }
    if (settings && OnSettingsChanged)
        OnSettingsChanged();
    if (basket) {
        WatchWastebasket();
        if (OnWastebasketChanged)
            OnWastebasketChanged();
    }
}

bool TFolderSync::ReadOrLookAgain(const std::string& path, std::string& bytes)
{
    if (ReadFileBytes(path, bytes))
        return true;
    // Held or half there: the file is looked at again after the next quiet moment.
    if (watch_ && FileExists(path))
        watch_->LookAgain(ExtractFileName(path));
    return false;
}

void TFolderSync::AdoptConflictCopies(bool& indexMerged, bool& settingsMerged)
{
    std::vector<std::pair<std::string, std::string>> copies;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((PrjInfo->ProgramPath + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (const std::optional<std::string> original = ConflictCopyOf(found.cFileName, IndexName(), SettingsName()))
            copies.emplace_back(found.cFileName, *original);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(copies.begin(), copies.end());

    for (const auto& [copy, original] : copies) {
        const std::string copyPath = PrjInfo->ProgramPath + copy;
        if (const std::optional<int> number = MemoNumberOfFileName(original))
            AdoptMemoCopy(copyPath, *number);
        else if (original == IndexName())
            indexMerged = MergeIniCopy(copyPath, PrjInfo->PostItIniFileName()) || indexMerged;
        else
            settingsMerged = MergeIniCopy(copyPath, PrjInfo->IniFileName()) || settingsMerged;
    }
}

void TFolderSync::AdoptMemoCopy(const std::string& copyPath, int original)
{
    std::string bytes, originalBytes;
    if (!ReadOrLookAgain(copyPath, bytes))
        return;
    // A copy that holds what the memo file holds is no other version.
    const bool same = ReadFileBytes(MemoFilePath(original), originalBytes) && originalBytes == bytes;
    if (!same) {
        const std::map<int, TfrmPostIt*> memos = OpenMemos();
        const auto memo = memos.find(original);
        const std::string section = MemoSectionName(original);
        const std::string caption = memo != memos.end() ? memo->second->Caption()
                                                         : index_.Value(section, "Caption").value_or("");
        const RECT besideOf = memo != memos.end() ? memo->second->ScreenBounds() : ReadNotePlace(index_, section);
        if (!KeepOtherVersion(bytes, caption, besideOf))
            return;
    }
    // Only now is the copy's text in a memo file of its own.
    DeleteFileA(copyPath.c_str());
}

bool TFolderSync::MergeIniCopy(const std::string& copyPath, const std::string& mainPath)
{
    std::string bytes;
    if (!ReadFileBytes(copyPath, bytes))
        return false;
    const auto missing = MissingFrom(ReadIni(mainPath), TIniImage(bytes));
    TIniFile main(mainPath);
    for (const auto& [section, values] : missing)
        for (const auto& [key, value] : values)
            main.WriteString(section, key, value);
    DeleteFileA(copyPath.c_str());
    return !missing.empty();
}

void TFolderSync::ApplyIndex()
{
    const std::string path = PrjInfo->PostItIniFileName();
    std::string bytes;
    if (!ReadOrLookAgain(path, bytes) && FileExists(path))
        return;
    TIniImage now(bytes);
    const TIniChanges changes = CompareIni(index_, now);
    const TIniImage before = std::exchange(index_, std::move(now));
    const std::map<int, TfrmPostIt*> memos = OpenMemos();
    for (const std::string& section : changes.Removed) {
        const std::optional<int> number = SectionNumber(section);
        // Gone only with its file too: sync clients bring the two one after the other.
        if (const auto memo = number ? memos.find(*number) : memos.end();
            memo != memos.end() && !FileExists(MemoFilePath(*number)))
            RemovedElsewhere(*memo->second);
    }
    for (const std::string& section : changes.Added) {
        const std::optional<int> number = SectionNumber(section);
        if (number && !memos.count(*number) && FileExists(MemoFilePath(*number)))
            OpenArrived(*number);
    }
    for (const auto& [section, keys] : changes.Changed) {
        const std::optional<int> number = SectionNumber(section);
        if (const auto memo = number ? memos.find(*number) : memos.end(); memo != memos.end())
            ApplyRecord(*memo->second, before, keys);
    }
}

void TFolderSync::ApplyRecord(TfrmPostIt& memo, const TIniImage& before, const std::vector<std::string>& keys)
{
    const std::string section = memo.GetSectionName();
    auto changed = [&](const char* key) {
        return std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return lstrcmpiA(k.c_str(), key) == 0; });
    };
    if (changed("Caption")) {
        const std::string caption = index_.Value(section, "Caption").value_or("");
        if (memo.Caption() != caption)
            memo.SetCaption(caption);
    }
    if (changed("WordWrap")) {
        const bool wordWrap = StrToIntDef(index_.Value(section, "WordWrap").value_or("1"), 1) != 0;
        if (memo.edtMemo->WordWrap() != wordWrap)
            memo.edtMemo->SetWordWrap(wordWrap);
    }
    if (changed("Left") || changed("Top") || changed("Width") || changed("Height")) {
        // Moved elsewhere, not here: a memo the user moved here since keeps its
        // place, and so does one whose new place is on no screen of this computer.
        const RECT was = ReadNotePlace(before, section), now = ReadNotePlace(index_, section);
        const RECT here = memo.ScreenBounds();
        if (EqualRect(&here, &was) && MeetsAWorkArea(now))
            memo.SetScreenBounds(now);
    }
}

void TFolderSync::ApplyMemoFile(int number, TfrmPostIt* memo)
{
    const std::string path = MemoFilePath(number);
    const bool recorded = index_.Find(MemoSectionName(number)) != nullptr;
    if (!FileExists(path)) {
        if (memo && !recorded)
            RemovedElsewhere(*memo);
        return;
    }
    if (!memo) {
        if (recorded)
            OpenArrived(number);
        return;
    }
    std::string bytes;
    if (!ReadOrLookAgain(path, bytes) || IsMemoFileAsLastKnown(number, bytes))
        return;
    RememberMemoFile(number, bytes);
    if (!memo->HasUnsavedEdits()) {
        memo->ReloadContent(bytes);
        return;
    }
    // Both changed: the user's text stays here, the other one beside it. The memo
    // file still holds the other text until this memo's next save, so a failure
    // here loses nothing that is not still on disk.
    if (!KeepOtherVersion(bytes, memo->Caption(), memo->ScreenBounds()))
        Application.HandleException(Exception("Another version of " + path +
                                              " came from elsewhere, but all 999 memo numbers are taken."));
}

void TFolderSync::OpenArrived(int number)
{
    TfrmPostIt* memo = OpenStoredMemo(images_, number);
    memo->SendToDesktop();
    memo->ShowInactive();
}

void TFolderSync::RemovedElsewhere(TfrmPostIt& memo)
{
    if (!memo.HasUnsavedEdits()) {
        // Its text is in the wastebasket of the computer it was deleted on, and the
        // synced wastebasket brings it here: no question, no second copy.
        memo.DetachCloseGuard();
        memo.Close();
        return;
    }
    const std::optional<int> number = FreeNumberForNewFile();
    if (!number) {
        Application.HandleException(Exception("The memo \"" + memo.Caption() +
                                              "\" was removed elsewhere and all 999 memo numbers are taken: it "
                                              "stays open but is not saved."));
        return;
    }
    memo.Renumber(*number);
}

bool TFolderSync::KeepOtherVersion(const std::string& rtf, const std::string& caption, const RECT& besideOf)
{
    const std::optional<int> number = FreeNumberForNewFile();
    if (!number)
        return false;
    // The file first: a memo file without a record is opened at the next start.
    WriteMemoFile(*number, rtf);
    auto* memo = Application.CreateForm<TfrmPostIt>(images_);
    memo->SetMemoNumber(*number);
    memo->SetBounds(besideOf.right + kBesideGap, besideOf.top, besideOf.right - besideOf.left, besideOf.bottom - besideOf.top);
    memo->KeepOnWorkArea(MonitorWorkAreas());
    memo->LoadMemo();
    const std::string title = ChangedElsewhereCaption(caption, memo->edtMemo->Lines().ToVector());
    memo->SetCaption(title);
    WriteCaption(*number, title);
    memo->SavePosition();
    FloatQuietly(*memo);
    return true;
}
