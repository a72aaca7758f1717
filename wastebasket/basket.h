#pragma once
// The wastebasket window: the deleted memos of the wastebasket folder, newest first,
// with a preview, a search that marks the memos holding a text, and Erase, which
// hands the marked files to the recycle bin.
//
// The tray controller makes it owned by the application, shows it modally and frees
// it when the modal display ends. The list is read once, at creation.

#include "controls/RichMemo.h"
#include "framework/CheckLst.h"
#include "framework/ExtCtrls.h"
#include "framework/Splitter.h"
#include "framework/StatusBar.h"
#include "framework/StdCtrls.h"
#include "notes/zkGrayDialog.h"

#include <functional>
#include <string>
#include <vector>

class TfrmBasket : public TfrmZkGrayDialog {
public:
    explicit TfrmBasket(TComponent* owner);

    TRichMemo* edtMemo;
    TSplitter* Splitter1;
    TPanel* pnlSearch;
    TEdit* edtSearch;
    TButton* btnSearch;
    TCheckListBox* lstMemo;
    TStatusBar* StatusBar1;
    TCheckBox* chkAll;
    TButton* btnDelete;
    // Makes the marked memos live again.
    TButton* btnRestore;

    // One row per "*.txt" of the folder, newest name first.
    void FillMemoList(const std::string& folder);
    // The file behind the row. Each row keeps the name it was listed from, since
    // a title holding "%(65)" would not map back from its display text.
    std::string RowFilePath(int index) const;

    // Marks exactly the rows whose memo text holds the search box's text.
    void SearchMemos();
    // Hands the marked rows' files to the recycle bin and takes out the rows whose
    // files are gone afterwards; a declined or failed delete keeps its rows.
    void EraseCheckedMemos();
    // One shell delete over all the paths, to the recycle bin, with the shell's own
    // confirmation.
    void SendToRecycleBin(const std::vector<std::string>& paths);
    // Makes every marked row a live memo again (lowest free numbers, content and
    // caption back) and takes out the rows whose files have gone; says so when the
    // memo numbers run out.
    void RestoreCheckedMemos();
    // Opens a restored memo; `cascade` counts the memos restored by this command.
    // Whoever owns the memo windows sets it (the tray controller).
    std::function<void(int number, int cascade)> OnMemoRestored;
    // Where the restored memo number `cascade` is placed: centred on the screen,
    // each one a little lower and to the right of the one before.
    static RECT RestorePlace(int cascade);

protected:
    void FormCreate() override;
    void FormShow() override;

    void lstMemoClick();
    void lstMemoDblClick();
    void edtSearchKeyDown(WORD& key, TShiftState shift);
    void btnSearchClick() { SearchMemos(); }
    void chkAllClick();
    void btnDeleteClick() { EraseCheckedMemos(); }
    void btnRestoreClick() { RestoreCheckedMemos(); }
    void pnlSearchResize();

private:
    void ShowMissingMemo(const std::string& path);
    void RemoveRowsWhoseFilesAreGone(const std::vector<int>& rowsLastFirst);

    std::string folder_;
    std::vector<std::string> rowFiles_;
};
