// The wastebasket window's layout, preview and marking.

#include "wastebasket/basket.h"

#include "framework/Application.h"
#include "framework/Ime.h"
#include "framework/SysUtils.h"
#include "framework/WorkArea.h"
#include "shell/EProjectInc.h"

namespace {

constexpr int kClientWidth = 349;
constexpr int kClientHeight = 383;
constexpr int kPreviewHeight = 124;
constexpr int kButtonWidth = 47;
constexpr int kButtonHeight = 22;
constexpr wchar_t kMemoDeleted[] = L"메모가 삭제 되었습니다.";
constexpr wchar_t kKoreanInputMethod[] = L"한국어 입력 시스템 (IME 2000)";

// Text fields of the window ask for the Korean input method as they take the focus.
template <typename Control>
class TKoreanInput : public Control {
public:
    using Control::Control;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_SETFOCUS)
            RequestInputMethod(kKoreanInputMethod);
        return Control::WndProc(msg, wParam, lParam);
    }
};

TButton* StatusButton(TfrmBasket& form, TWinControl* bar, const wchar_t* caption, int left)
{
    auto* button = form.Create<TButton>();
    button->SetCaption(caption);
    button->TabStop = false;
    button->SetBounds(left, 3, kButtonWidth, kButtonHeight);
    button->SetParent(bar);
    return button;
}

} // namespace

TfrmBasket::TfrmBasket(TComponent* owner) : TfrmZkGrayDialog(owner)
{
    SetClientSize(kClientWidth, kClientHeight);

    // Top-aligned controls stack in the order they join the window, under the caption.
    edtMemo = Create<TKoreanInput<TRichMemo>>();
    edtMemo->Name = "edtMemo";
    edtMemo->SetBounds(0, 18, kClientWidth, kPreviewHeight);
    edtMemo->SetAlign(TAlign::alTop);
    edtMemo->SetBorderStyle(TBorderStyle::bsNone);
    edtMemo->SetScrollBars(TScrollStyle::ssVertical);
    edtMemo->SetParent(this);
    edtMemo->Font().SetName("MS Sans Serif");
    edtMemo->Font().SetSize(8);
    edtMemo->Font().SetCharset(HANGEUL_CHARSET);

    Splitter1 = Create<TSplitter>();
    Splitter1->Name = "Splitter1";
    Splitter1->SetAlign(TAlign::alTop);
    Splitter1->SetBounds(0, 142, kClientWidth, 3);
    Splitter1->SetColor(clSilver);
    Splitter1->SetParent(this);

    pnlSearch = Create<TPanel>();
    pnlSearch->Name = "pnlSearch";
    pnlSearch->SetBounds(0, 145, kClientWidth, 26);
    pnlSearch->SetAlign(TAlign::alTop);
    pnlSearch->SetParent(this);
    pnlSearch->OnResize = [this] { pnlSearchResize(); };

    edtSearch = Create<TKoreanInput<TEdit>>();
    edtSearch->Name = "edtSearch";
    edtSearch->SetBounds(3, 3, 294, 21);
    edtSearch->SetParent(pnlSearch);
    edtSearch->OnKeyDown = [this](WORD& key, TShiftState shift) { edtSearchKeyDown(key, shift); };

    btnSearch = Create<TButton>();
    btnSearch->Name = "btnSearch";
    btnSearch->SetCaption(L"Search");
    btnSearch->TabStop = false;
    btnSearch->SetBounds(299, 2, kButtonWidth, kButtonHeight);
    btnSearch->SetParent(pnlSearch);
    btnSearch->OnClick = [this] { btnSearchClick(); };

    StatusBar1 = Create<TStatusBar>();
    StatusBar1->Name = "StatusBar1";
    StatusBar1->SetBounds(0, kClientHeight - 27, kClientWidth, 27);
    StatusBar1->SetParent(this);

    chkAll = Create<TCheckBox>();
    chkAll->Name = "chkAll";
    chkAll->SetBounds(4, 5, 17, 17);
    chkAll->SetParent(StatusBar1);
    chkAll->OnClick = [this] { chkAllClick(); };

    btnDelete = StatusButton(*this, StatusBar1, L"Erase", 19);
    btnDelete->Name = "btnDelete";
    btnDelete->OnClick = [this] { btnDeleteClick(); };
    btnRestore = StatusButton(*this, StatusBar1, L"Restore", 19 + kButtonWidth + 2);
    btnRestore->Name = "btnRestore";
    btnRestore->OnClick = [this] { btnRestoreClick(); };

    lstMemo = Create<TKoreanInput<TCheckListBox>>();
    lstMemo->Name = "lstMemo";
    lstMemo->ItemHeight = 16;
    lstMemo->SetAlign(TAlign::alClient);
    lstMemo->SetParent(this);
    lstMemo->OnClick = [this] { lstMemoClick(); };
    lstMemo->OnDblClick = [this] { lstMemoDblClick(); };
}

void TfrmBasket::FormCreate()
{
    TfrmZkGrayDialog::FormCreate();
    // The platform's rich edit comes out as tall as its parent whatever it was
    // asked for; the preview gets its height back here.
    edtMemo->SetHeight(kPreviewHeight);
    Realign();
    SetCaption(L"Wastebasket");
    FillMemoList(PrjInfo->BasketPath);
    if (lstMemo->Count() > 0) {
        lstMemo->SetItemIndex(0);
        lstMemoClick();
    }
    edtSearch->SetText("");
    edtMemo->SetReadOnly(true);
    // The screen the user is looking at: the one under the mouse, which has just
    // chosen "Wastebasket" in the tray menu.
    CentreOnMouseMonitor(*this);
}

void TfrmBasket::FormShow()
{
    if (lstMemo->HandleAllocated())
        lstMemo->SetFocus();
}

void TfrmBasket::pnlSearchResize()
{
    const int width = pnlSearch->ClientWidth();
    edtSearch->SetWidth(width - edtSearch->Left() - (kClientWidth - 297));
    btnSearch->SetLeft(width - (kClientWidth - 299));
}

void TfrmBasket::lstMemoClick()
{
    const int index = lstMemo->ItemIndex();
    if (index < 0)
        return;
    const std::string path = RowFilePath(index);
    if (!FileExists(path)) {
        ShowMissingMemo(path);
        return;
    }
    try {
        edtMemo->Lines().LoadFromFile(path);
    } catch (const std::exception& e) {
        // A file that cannot be opened or read: say so, and keep the window usable.
        edtMemo->Clear();
        Application.HandleException(e);
    }
}

void TfrmBasket::ShowMissingMemo(const std::string& path)
{
    edtMemo->Clear();
    edtMemo->SelectAll();
    edtMemo->SelectionFormat().Assign(edtMemo->Font());
    // The path is in the system's code page, the message is ours: both go in as wide text.
    const std::wstring line = AnsiToWide(path) + kMemoDeleted + L"\r";
    SETTEXTEX how{ST_DEFAULT, 1200};
    edtMemo->Perform(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(line.c_str()));
}

void TfrmBasket::lstMemoDblClick()
{
    const int index = lstMemo->ItemIndex();
    if (index >= 0)
        lstMemo->SetChecked(index, true);
}

void TfrmBasket::edtSearchKeyDown(WORD& key, TShiftState)
{
    if (key != VK_RETURN)
        return;
    key = 0;
    SearchMemos();
}

void TfrmBasket::chkAllClick()
{
    const bool checked = chkAll->Checked();
    for (int i = 0; i < lstMemo->Count(); ++i)
        lstMemo->SetChecked(i, checked);
}
