// The wastebasket window's files: listing, naming, searching and erasing.

#include "wastebasket/basket.h"

#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/WorkArea.h"
#include "notes/BasketFileName.h"
#include "notes/NotePlace.h"
#include "shell/funcs.h"
#include "wastebasket/Restore.h"
#include "wastebasket/RtfText.h"

#include <shellapi.h>

#include <algorithm>

namespace {

constexpr wchar_t kEnterSearchText[] = L"검색할 문장을 입력합십시오.";

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

struct ListedFile {
    std::string name;  // as the system's code page gives it: what the row shows
    std::string file;  // a name that opens the file
};

std::vector<ListedFile> TextFiles(const std::string& folder)
{
    std::vector<ListedFile> files;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((folder + "*" + kBasketFileExtension).c_str(), &data));
    if (!find)
        return files;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // A title in a script the code page cannot hold comes back with '?' in it;
        // the file's short name still reaches it.
        const std::string name = data.cFileName;
        const bool lossy = HasWildcard(name) && data.cAlternateFileName[0] != '\0';
        files.push_back({name, lossy ? data.cAlternateFileName : name});
    } while (FindNextFileA(find.get(), &data));
    return files;
}

// Only "not there" counts as gone: a file we merely cannot look at may still be there.
bool FileGone(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

void TfrmBasket::FillMemoList(const std::string& folder)
{
    folder_ = IncludeTrailingBackslash(folder);
    std::vector<ListedFile> files = TextFiles(folder_);
    std::sort(files.begin(), files.end(), [](const ListedFile& a, const ListedFile& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.name.data(), static_cast<int>(a.name.size()),
                              b.name.data(), static_cast<int>(b.name.size())) == CSTR_LESS_THAN;
    });
    std::reverse(files.begin(), files.end());
    std::vector<std::string> texts;
    rowFiles_.clear();
    for (const ListedFile& f : files) {
        texts.push_back(DisplayTextFromFileName(ExtractFileTitle(f.name)));
        rowFiles_.push_back(f.file);
    }
    lstMemo->Clear();
    lstMemo->AddItems(texts);
}

std::string TfrmBasket::RowFilePath(int index) const
{
    return folder_ + rowFiles_.at(static_cast<size_t>(index));
}

void TfrmBasket::SearchMemos()
{
    const std::string wanted = Trim(edtSearch->Text());
    if (wanted.empty()) {
        MessageBoxW(Handle(), kEnterSearchText, Application.Title().c_str(), MB_OK);
        return;
    }
    const std::wstring needle = AnsiToWide(wanted);
    std::string bytes;
    for (int i = 0; i < lstMemo->Count(); ++i) {
        lstMemo->SetChecked(i, false);
        if (ReadFileBytes(RowFilePath(i), bytes) && MemoFileText(bytes).find(needle) != std::wstring::npos)
            lstMemo->SetChecked(i, true);
    }
}

void TfrmBasket::EraseCheckedMemos()
{
    std::vector<int> rows;
    std::vector<std::string> paths;
    for (int i = lstMemo->Count() - 1; i >= 0; --i)
        if (lstMemo->Checked(i)) {
            rows.push_back(i);
            paths.push_back(RowFilePath(i));
        }
    if (rows.empty())
        return;
    SendToRecycleBin(paths);
    RemoveRowsWhoseFilesAreGone(rows);
}

void TfrmBasket::RemoveRowsWhoseFilesAreGone(const std::vector<int>& rowsLastFirst)
{
    // Last row first, so that the indexes still to come stay right.
    for (int row : rowsLastFirst)
        if (FileGone(RowFilePath(row))) {
            lstMemo->Delete(row);
            rowFiles_.erase(rowFiles_.begin() + row);
        }
}

RECT TfrmBasket::RestorePlace(int cascade)
{
    const RECT& size = kDefaultNotePlace;
    return CascadedPlace(CentredOn(MouseWorkArea(), {size.right - size.left, size.bottom - size.top}), cascade);
}

void TfrmBasket::RestoreCheckedMemos()
{
    std::vector<int> rows;
    for (int i = 0; i < lstMemo->Count(); ++i)
        if (lstMemo->Checked(i))
            rows.push_back(i);
    if (rows.empty())
        return;
    int restored = 0;
    for (int row : rows) {
        std::optional<int> number;
        try {
            number = RestoreMemoFile(RowFilePath(row), RestorePlace(restored));
        } catch (const std::exception& e) {
            // The rows restored so far must still leave the list.
            Application.HandleException(e);
            break;
        }
        if (!number) {
            const std::wstring text =
                restored == 0 ? L"All 999 memo numbers are in use, so no memo can be restored. Delete a memo first."
                              : L"All 999 memo numbers are in use now: " + std::to_wstring(restored) +
                                    L" of the marked memos were restored, the others stay in the wastebasket.";
            MessageBoxW(Handle(), text.c_str(), Application.Title().c_str(),
                        MB_OK | MB_ICONINFORMATION);
            break;
        }
        if (OnMemoRestored)
            OnMemoRestored(*number, restored);
        ++restored;
    }
    RemoveRowsWhoseFilesAreGone(std::vector<int>(rows.rbegin(), rows.rend()));
    if (lstMemo->ItemIndex() >= 0)
        lstMemoClick();
}

void TfrmBasket::SendToRecycleBin(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& path : paths) {
        // The shell reads '*' and '?' as patterns: such a path could take other
        // files with it. No file is named so, so nothing is lost by leaving it out.
        if (HasWildcard(path))
            continue;
        list += path;
        list += '\0';
    }
    if (list.empty())
        return;
    list.append(2, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = Handle();
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.pTo = "\0";
    operation.fFlags = FOF_ALLOWUNDO | FOF_SILENT;
    SHFileOperationA(&operation);
}
