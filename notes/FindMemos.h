#pragma once
// The window that finds a memo among many: a search box and the memos whose
// current text holds what was typed, updated at every key. Enter or a double
// click brings the chosen memo up floating with the match selected.

#include "framework/ExtCtrls.h"
#include "framework/ListBox.h"
#include "framework/StdCtrls.h"
#include "notes/MemoSearch.h"
#include "notes/zkGrayDialog.h"

#include <functional>
#include <unordered_map>
#include <vector>

class TfrmPostIt;

class TfrmFindMemos : public TfrmZkGrayDialog {
public:
    explicit TfrmFindMemos(TComponent* owner);
    ~TfrmFindMemos() override;

    TPanel* pnlFind;
    TEdit* edtFind;
    TListBox* lstFound;

    // Searches the open memos for the box's text and lists them.
    void Search();
    // Brings the memo of the chosen row to the front, its match selected. False
    // when the row's memo has gone meanwhile (the list is then searched again).
    bool OpenRow(int row);
    struct TRow {
        int MemoNumber;
        TMemoMatch Match;
    };
    const std::vector<TRow>& Rows() const { return rows_; }

    // Told when the window goes, so that whoever keeps it lets go of it.
    std::function<void()> OnGone;

protected:
    void FormCreate() override;
    void FormKeyDown(WORD& key, TShiftState shift) override;
    void FormClose(TCloseAction& action) override;
    void FormResize() override;

private:
    void lstFoundDrawItem(HDC dc, int index, const RECT& rect, bool selected);
    static TfrmPostIt* OpenMemo(int number);

    // Reading a rich editor's text is slow enough to matter over a thousand
    // memos: each text is kept with the version it was read at.
    struct TKeptText {
        unsigned long long Version;
        std::wstring Text;
    };
    std::unordered_map<const TfrmPostIt*, TKeptText> texts_;
    std::vector<TRow> rows_;
    UniqueFont boldFont_;
};
