#include "notes/FindMemos.h"

#include "framework/Application.h"
#include "framework/WorkArea.h"
#include "notes/PostIt.h"

namespace {

constexpr int kStripHeight = 18;
constexpr int kSearchHeight = 28;
constexpr int kRowHeight = 34;

// The memos that can be found: live ones, whose windows exist.
std::vector<TfrmPostIt*> LiveMemos()
{
    std::vector<TfrmPostIt*> memos;
    for (TForm* form : Application.Forms())
        if (auto* memo = dynamic_cast<TfrmPostIt*>(form))
            if (memo->CloseGuardAttached() && memo->HandleAllocated())
                memos.push_back(memo);
    return memos;
}

} // namespace

TfrmFindMemos::TfrmFindMemos(TComponent* owner) : TfrmZkGrayDialog(owner)
{
    pnlFind = Create<TPanel>();
    pnlFind->SetParent(this);
    edtFind = Create<TEdit>();
    edtFind->SetParent(pnlFind);
    lstFound = Create<TListBox>();
    lstFound->ItemHeight = kRowHeight;
    lstFound->SetParent(this);
}

TfrmFindMemos::~TfrmFindMemos()
{
    if (OnGone)
        OnGone();
}

void TfrmFindMemos::FormCreate()
{
    TfrmZkGrayDialog::FormCreate();
    SetCaption(L"Find in Memos");
    KeyPreview = true;
    SetClientSize(340, 330);
    CentreOnMouseMonitor(*this);

    LOGFONTA bold{};
    GetObjectA(Font().Handle(), sizeof(bold), &bold);
    bold.lfWeight = FW_BOLD;
    boldFont_.reset(CreateFontIndirectA(&bold));

    edtFind->OnChange = [this] { Search(); };
    lstFound->OnDrawItem = [this](HDC dc, int index, const RECT& rect, bool selected) {
        lstFoundDrawItem(dc, index, rect, selected);
    };
    lstFound->OnDblClick = [this] { OpenRow(lstFound->ItemIndex()); };
    FormResize();
}

void TfrmFindMemos::FormResize()
{
    TfrmZkGrayDialog::FormResize();
    const int width = ClientWidth(), height = ClientHeight();
    pnlFind->SetBounds(4, kStripHeight, width - 8, kSearchHeight);
    edtFind->SetBounds(0, 4, width - 8, 21);
    lstFound->SetBounds(4, kStripHeight + kSearchHeight, width - 8, std::max(0, height - kStripHeight - kSearchHeight - 4));
}

void TfrmFindMemos::Search()
{
    const std::vector<TfrmPostIt*> memos = LiveMemos();
    std::unordered_map<const TfrmPostIt*, TKeptText> kept;
    std::vector<TMemoText> texts;
    texts.reserve(memos.size());
    for (TfrmPostIt* memo : memos) {
        auto it = texts_.find(memo);
        if (it == texts_.end() || it->second.Version != memo->TextVersion())
            it = texts_.insert_or_assign(memo, TKeptText{memo->TextVersion(), memo->edtMemo->WideText()}).first;
        texts.push_back({memo->Caption(), it->second.Text});
        kept.insert(*it);
    }
    // Memos that have gone take their texts with them.
    texts_ = std::move(kept);
    rows_.clear();
    std::vector<std::string> items;
    for (TMemoMatch& match : FindInMemos(texts, edtFind->Text())) {
        items.push_back(match.Title);
        rows_.push_back({memos[match.Memo]->MemoNumber(), std::move(match)});
    }
    lstFound->SetItems(std::move(items));
}

TfrmPostIt* TfrmFindMemos::OpenMemo(int number)
{
    for (TfrmPostIt* memo : LiveMemos())
        if (memo->MemoNumber() == number)
            return memo;
    return nullptr;
}

bool TfrmFindMemos::OpenRow(int row)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return false;
    const TRow found = rows_[static_cast<size_t>(row)];
    TfrmPostIt* memo = OpenMemo(found.MemoNumber);
    if (!memo) {
        Search();
        return false;
    }
    memo->BringFloating();
    memo->edtMemo->SetFocus();
    memo->edtMemo->SelectRange(found.Match.Start, found.Match.Start + found.Match.Length, true);
    return true;
}

void TfrmFindMemos::FormKeyDown(WORD& key, TShiftState shift)
{
    switch (key) {
    case VK_ESCAPE:
        key = 0;
        Close();
        return;
    case VK_RETURN:
        key = 0;
        OpenRow(std::max(0, lstFound->ItemIndex()));
        return;
    case VK_DOWN:
    case VK_UP:
        // From the search box straight into the list.
        if (edtFind->Focused() && !rows_.empty()) {
            key = 0;
            lstFound->SetFocus();
            lstFound->SetItemIndex(std::max(0, lstFound->ItemIndex()));
        }
        return;
    default:
        TfrmZkGrayDialog::FormKeyDown(key, shift);
    }
}

void TfrmFindMemos::FormClose(TCloseAction& action) { action = TCloseAction::caFree; }

void TfrmFindMemos::lstFoundDrawItem(HDC dc, int index, const RECT& rect, bool selected)
{
    const TRow& row = rows_[static_cast<size_t>(index)];
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    RECT line = {rect.left + 4, rect.top + 2, rect.right - 4, rect.top + kRowHeight / 2};
    {
        SelectGuard font(dc, boldFont_.get());
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::string& title = row.Match.Title.empty() ? std::string("(no text)") : row.Match.Title;
        DrawTextA(dc, title.c_str(), static_cast<int>(title.size()), &line,
                  DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER);
    }
    line = {rect.left + 4, rect.top + kRowHeight / 2, rect.right - 4, rect.bottom - 2};
    SelectGuard font(dc, Font().Handle());
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    DrawTextA(dc, row.Match.Context.c_str(), static_cast<int>(row.Match.Context.size()), &line,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER);
}
