#include "config/Configure.h"

#include "config/AutoStart.h"
#include "framework/IniFiles.h"
#include "framework/SysUtils.h"
#include "framework/WorkArea.h"
#include "shell/EProjectInc.h"
#include "shell/funcs.h"

#include <utility>

const char kProgramHomePage[] = "https://pinova.app/marlo/";

namespace {

constexpr int kStartRows = 20;
constexpr TColor kFixedColor = 0xDCE2E7;
constexpr TColor kLinkHover = clBlue;
constexpr TColor kLinkColor = clGray;

template <typename T>
T* Place(TfrmConfigure* form, TWinControl* parent, const char* name, int left, int top, int width, int height)
{
    T* control = form->Create<T>();
    control->Name = name;
    control->SetBounds(left, top, width, height);
    control->SetParent(parent);
    return control;
}

} // namespace

TfrmConfigure::TfrmConfigure(TComponent* owner) : TfrmZkGrayDialog(owner)
{
    SetClientSize(273, 263);

    pnlBody = Create<TPanel>();
    pnlBody->Name = "pnlBody";
    pnlBody->SetAlign(TAlign::alClient);
    pnlBody->SetParent(this);

    // Put on the panel in their tab order; the texts and lines after them.
    btnOK = Place<TButton>(this, pnlBody, "btnOK", 192, 215, 75, 25);
    btnOK->SetCaption(L"OK");
    btnOK->OnClick = [this] { btnOKClick(); };
    chkAutoStart = Place<TCheckBox>(this, pnlBody, "chkAutoStart", 133, 45, 134, 17);
    chkAutoStart->SetCaption(L"Run program at startup");
    hkNewMemo = Place<THotKey>(this, pnlBody, "hkNewMemo", 98, 3, 121, 19);
    hkShowHide = Place<THotKey>(this, pnlBody, "hkShowHide", 98, 23, 121, 19);
    grdUrls = Place<TStringGrid>(this, pnlBody, "grdUrls", 3, 65, 264, 139);

    StaticText1 = Place<TStaticText>(this, pnlBody, "StaticText1", 40, 6, 64, 17);
    StaticText1->SetCaption(L"New &Memo");
    StaticText1->FocusControl = hkNewMemo;
    StaticText3 = Place<TStaticText>(this, pnlBody, "StaticText3", 26, 26, 78, 17);
    StaticText3->SetCaption(L"&Show/Hide All");
    StaticText3->FocusControl = hkShowHide;
    Bevel1 = Place<TBevel>(this, pnlBody, "Bevel1", 1, 208, 266, 4);
    Bevel1->Shape = TBevelShape::bsTopLine;

    Label8 = CreateLinkLabel(11, L"KORVO");
    Label8->Name = "Label8";
    Label8->OnClick = [this] { Label8Click(); };
    Label9 = Place<TLabel>(this, pnlBody, "Label9", 50, 220, 0, 0);
    Label9->SetCaption(L"-");
    labHomeUrl = CreateLinkLabel(61, L"Marlo Home");
    labHomeUrl->Name = "labHomeUrl";
    labHomeUrl->OnClick = [this] { labHomeUrlClick(); };
    FitTexts();
}

void TfrmConfigure::FitTexts()
{
    // The places are those of an 8-point "MS Sans Serif". Where the system draws
    // the texts wider, a caption before a field and the check box grow to the
    // left, and each label of the bottom line moves right of the one before, so
    // that no text is cut.
    constexpr int gap = 2;
    for (auto [text, field] : {std::pair{StaticText1, hkNewMemo}, std::pair{StaticText3, hkShowHide}}) {
        const int need = TextExtent(text->Font(), text->Caption()).cx + 1;
        const int right = field->Left() - gap;
        if (text->Left() + need > right)
            text->SetBounds(right - need, text->Top(), need, text->Height());
    }
    const int box = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    const int need = box + TextExtent(chkAutoStart->Font(), chkAutoStart->Caption()).cx;
    if (need > chkAutoStart->Width())
        chkAutoStart->SetBounds(chkAutoStart->Left() + chkAutoStart->Width() - need, chkAutoStart->Top(), need,
                                chkAutoStart->Height());
    for (auto [before, label] : {std::pair{Label8, Label9}, std::pair{Label9, labHomeUrl}})
        if (before->Left() + before->Width() + gap > label->Left())
            label->SetLeft(before->Left() + before->Width() + gap);
}

TLabel* TfrmConfigure::CreateLinkLabel(int left, const wchar_t* caption)
{
    TLabel* label = Place<TLabel>(this, pnlBody, "", left, 220, 0, 0);
    label->Font().SetName("MS Sans Serif");
    label->Font().SetSize(8);
    label->Font().SetColor(kLinkColor);
    label->Cursor = LoadCursor(nullptr, IDC_HAND);
    label->SetCaption(caption);
    label->OnMouseEnter = [this, label] { labHomeUrlMouseEnter(label); };
    label->OnMouseLeave = [this, label] { labHomeUrlMouseLeave(label); };
    return label;
}

void TfrmConfigure::FormCreate()
{
    TfrmZkGrayDialog::FormCreate();
    SetCaption(PrjInfo->Title());
    CentreOnMouseMonitor(*this);
    SetUpGrid();

    const TIniFile ini(PrjInfo->IniFileName());
    for (const THotKeySetting& hotKey : ReadHotKeys(ini))
        FieldOf(hotKey.Id)->SetHotKey(static_cast<int>(hotKey.Key),
                                      HKModifiersFromShiftState(ShiftStateFromHotMod(static_cast<int>(hotKey.Modifiers))));
    LoadUrls(ini);
    chkAutoStart->SetChecked(AutoStartEnabled());
}

void TfrmConfigure::FormShow()
{
    TfrmZkGrayDialog::FormShow();
    btnOK->SetFocus();
}

void TfrmConfigure::SetUpGrid()
{
    grdUrls->SetDefaultRowHeight(20);
    grdUrls->SetFixedColor(kFixedColor);
    grdUrls->SetGridLineWidth(0);
    grdUrls->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect | goEditing |
                        goAlwaysShowEditor);
    grdUrls->SetRowCount(kStartRows);
    grdUrls->SetColCount(2);
    grdUrls->SetColWidths(0, 5);
    grdUrls->SetColWidths(1, grdUrls->Width() - 30);
    grdUrls->SetCells(1, 0, "Urls");
}

void TfrmConfigure::LoadUrls(const TIniFile& ini)
{
    // The entries count in file order; their key names mean nothing here.
    const std::vector<std::string> keys = ini.ReadSection("url");
    const int n = static_cast<int>(keys.size());
    if (n >= grdUrls->RowCount())
        grdUrls->SetRowCount(n + 1);
    for (int i = 1; i <= n; ++i) {
        const std::string value = ini.ReadString("url", keys[static_cast<size_t>(i - 1)], "");
        if (!value.empty())
            grdUrls->SetCells(1, i, value);
    }
}

void TfrmConfigure::btnOKClick()
{
    // An error on the way stops here and leaves the window open.
    SaveAutoStart();
    TIniFile ini(PrjInfo->IniFileName());
    std::vector<THotKeySetting> hotKeys;
    for (int id : {HOTKEY_NEWMEMO, HOTKEY_SHOWHIDE}) {
        const THotKey* field = FieldOf(id);
        hotKeys.push_back({id, field->Key(), static_cast<UINT>(HotModFromModifiers(field->Modifiers()))});
    }
    WriteHotKeys(ini, hotKeys);
    SaveUrls(ini);
    ModalResult = mrOk;
}

THotKey* TfrmConfigure::FieldOf(int hotKeyId) const { return hotKeyId == HOTKEY_NEWMEMO ? hkNewMemo : hkShowHide; }

void TfrmConfigure::SaveAutoStart()
{
    if (chkAutoStart->Checked())
        EnableAutoStart(ModuleFileName());
    else
        DisableAutoStart();
}

void TfrmConfigure::SaveUrls(TIniFile& ini)
{
    ini.EraseSection("url");
    for (int row = 1; row < grdUrls->RowCount(); ++row) {
        const std::string url = Trim(grdUrls->Cells(1, row));
        if (!url.empty())
            ini.WriteString("url", IntToStr(row), url);
    }
}

void TfrmConfigure::Label8Click() { PrjInfo->GotoHomePage(); }

void TfrmConfigure::labHomeUrlClick() { ShellOpen(kProgramHomePage); }

void TfrmConfigure::labHomeUrlMouseEnter(TLabel* sender) { sender->Font().SetColor(kLinkHover); }

void TfrmConfigure::labHomeUrlMouseLeave(TLabel* sender) { sender->Font().SetColor(kLinkColor); }
