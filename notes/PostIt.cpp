#include "notes/PostIt.h"

#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "notes/MemoImages.h"
#include "notes/MemoStore.h"
#include "notes/SaveProblems.h"
#include "shell/EProjectInc.h"
#include "shell/funcs.h"

#include <windowsx.h>

namespace {

constexpr unsigned kAutoSaveDelayMs = 2000;
constexpr int kIconAreaWidth = 20;
constexpr int kMinTrackWidth = 260, kMinTrackHeight = 26;

// The glyph of the text-colour button: a capital A over the colour bar.
UniqueBitmap TextColorGlyph()
{
    WindowDC screen(nullptr);
    UniqueBitmap glyph(CreateCompatibleBitmap(screen.get(), 16, 16));
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    SelectGuard select(dc.get(), glyph.get());
    RECT all{0, 0, 16, 16};
    UniqueBrush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FillRect(dc.get(), &all, magenta.get());
    UniqueFont font(CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                                "Arial"));
    SelectGuard selectFont(dc.get(), font.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(0, 0, 0));
    RECT text{0, 0, 16, 15};
    DrawTextA(dc.get(), "A", 1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return glyph;
}

}  // namespace

TfrmPostIt::TfrmPostIt(TComponent* owner, TImageList* images) : TfrmPaper(owner), images_(images)
{
    SetBounds(474, 362, Width(), Height());
    OpenLink = [](const std::wstring& target) { return ShellOpen(target); };
    Font().SetName(MemoFontName());
    Font().SetHeight(-12);
    Font().SetCharset(MemoFontCharset());

    CreateActions();
    CreateToolbar();
    CreateEditor();
    CreateMenus();
    tips = Create<TToolTips>();

    tmrAutoSave = Create<TTimer>();
    tmrAutoSave->Name = "tmrAutoSave";
    tmrAutoSave->SetEnabled(false);
    tmrAutoSave->SetInterval(kAutoSaveDelayMs);
    tmrAutoSave->OnTimer = [this] { tmrAutoSaveTimer(); };

    imgCaption->OnMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
        if (button == TMouseButton::mbLeft && (shift & ssDouble))
            imgCaptionDblClick(x);
        else if (button == TMouseButton::mbRight) {
            const POINT p = imgCaption->ClientToScreen({x, y});
            popup->Popup(p.x, p.y);
        } else
            imgCaptionMouseDown(button, shift, x, y);
    };
}

void TfrmPostIt::CreateActions()
{
    ActionList1 = Create<TActionList>();
    ActionList1->Name = "ActionList1";
    ActionList1->Images = images_;
    auto add = [this](const char* name, const wchar_t* caption, int image, TShortCut keys, std::function<void()> run) {
        return ActionList1->Add(name, caption, image, keys, std::move(run));
    };
    actCut = add("actCut", L"Cu&t", miCut, 0, [this] { edtMemo->CutToClipboard(); });
    actCopy = add("actCopy", L"&Copy", miCopy, 0, [this] { edtMemo->CopyToClipboard(); });
    actPaste = add("actPaste", L"&Paste", miPaste, 0, [this] { edtMemo->PasteFromClipboard(); });
    actSelectAll = add("actSelectAll", L"Select &All", -1, 0, [this] { edtMemo->SelectAll(); });
    actBold = add("actBold", L"Bold", miBold, scCtrl | 'B', [this] { ToggleFontStyle(fsBold); });
    actItalic = add("actItalic", L"Italic", miItalic, scCtrl | 'I', [this] { ToggleFontStyle(fsItalic); });
    actUnderLine = add("actUnderLine", L"Under Line", miUnderline, scCtrl | 'U', [this] { ToggleFontStyle(fsUnderline); });
    actStrikeOut = add("actStrikeOut", L"Strike Out", miStrikeOut, scCtrl | 'S', [this] { ToggleFontStyle(fsStrikeOut); });
    actAlignLeft = add("actAlignLeft", L"Align Left", miAlignLeft, scCtrl | 'L',
                       [this] { ApplyAlignment(TParaAlignment::paLeft); });
    actAlignCenter = add("actAlignCenter", L"Align Center", miAlignCenter, scCtrl | 'M',
                         [this] { ApplyAlignment(TParaAlignment::paCenter); });
    actAlignRight = add("actAlignRight", L"Align Right", miAlignRight, scCtrl | 'R',
                        [this] { ApplyAlignment(TParaAlignment::paRight); });
    actBullets = add("actBullets", L"Bullets", miBullets, scCtrl | 'T', [this] { ToggleBullets(); });
}

void TfrmPostIt::CreateToolbar()
{
    tbEdit = Create<TToolBar>();
    tbEdit->Name = "tbEdit";
    tbEdit->Images = images_;
    tbEdit->SetVisible(false);
    // Most memos never show their toolbar, and its twenty-odd windows cost more
    // to make than the rest of the memo: they are made when it is first shown.
    tbEdit->CreateHandleWhenShown = true;
    tbEdit->OnWindowMade = [this] {
        // Its hints go with its windows, made again with them.
        tips->Rebuild();
        // Drawn for the first showing too, not for every memo that never shows it.
        if (clrFont->Glyph().Empty())
            clrFont->SetGlyph(TextColorGlyph().get());
    };
    tbEdit->SetBounds(0, 18, ClientWidth(), tbEdit->RowsHeight());
    tbEdit->SetAlign(TAlign::alTop);
    tbEdit->SetParent(this);

    pnlFont = tbEdit->Create<TPanel>();
    pnlFont->Name = "pnlFont";
    pnlFont->SetBounds(0, 0, 191, 22);
    pnlFont->SetParent(tbEdit);

    auto makeCombo = [this](const char* name, int left, int width) {
        auto* combo = pnlFont->Create<TComboBox>();
        combo->Name = name;
        combo->ItemHeight = 12;
        combo->TabStop = false;
        combo->SetBounds(left, 2, width, 20);
        combo->SetParent(pnlFont);
        return combo;
    };
    cmbFontName = makeCombo("cmbFontName", 2, 91);
    cmbFontName->DropDownCount = 12;
    cmbFontName->OnChange = [this] { cmbFontNameChange(); };
    cmbFontSize = makeCombo("cmbFontSize", 95, 51);
    cmbFontSize->DropDownCount = static_cast<int>(MemoFontSizes().size());
    cmbFontSize->OnChange = [this] { cmbFontSizeChange(); };

    clrFont = pnlFont->Create<TColorPickerButton>();
    clrFont->Name = "clrFont";
    clrFont->SetBounds(146, 0, 41, 22);
    clrFont->Hint = L"Text Color";
    clrFont->ShowHint = true;
    clrFont->SetCustomText(L"Custom Text");
    clrFont->SetDefaultText(L"Default Text");
    clrFont->SetFlat(true);
    clrFont->SetLayout(blGlyphTop);
    clrFont->SetPopupSpacing(8);
    clrFont->SetShowSystemColors(false);
    clrFont->SetParent(pnlFont);
    clrFont->OnChange = [this](TColorPickerButton*) { ApplyTextColor(); };
    clrFont->OnClick = [this](TColorPickerButton*) { ApplyTextColor(); };
    // "Default Text" gives the text back its automatic colour.
    clrFont->OnDefaultSelect = [this](TColorPickerButton*) { edtMemo->SelectionFormat().SetColor(clWindowText); };

    tbEdit->AddControl(pnlFont, true);
    for (TAction* action : {actBold, actItalic, actUnderLine, actStrikeOut})
        tbEdit->AddButton("tb" + action->Name.substr(3), action);
    tbEdit->AddSeparator();
    for (TAction* action : {actAlignLeft, actAlignCenter, actAlignRight})
        tbEdit->AddButton("tb" + action->Name.substr(3), action);
    tbEdit->AddSeparator();
    tbEdit->AddButton("tbBullets", actBullets);
}

void TfrmPostIt::CreateEditor()
{
    edtMemo = Create<TRichMemo>();
    edtMemo->Name = "edtMemo";
    edtMemo->SetBorderStyle(TBorderStyle::bsNone);
    edtMemo->Font().SetName(MemoFontName());
    edtMemo->Font().SetHeight(-12);
    edtMemo->Font().SetCharset(MemoFontCharset());
    edtMemo->Font().SetColor(clWindowText);
    edtMemo->SetBounds(0, 18, ClientWidth(), ClientHeight() - 18);
    edtMemo->SetAlign(TAlign::alClient);
    edtMemo->SetParent(this);
    edtMemo->OnMouseDown = [this](TMouseButton button, TShiftState, int x, int y) { edtMemoMouseDown(button, x, y); };
    edtMemo->OnSelectionChange = [this] { edtMemoSelectionChange(); };
    edtMemo->OnURLClick = [this](TCustomRichMemo&, const std::wstring& url, TMouseButton) { edtMemoURLClick(url); };
    edtMemo->OnChange = [this] { edtMemoChange(); };
}

void TfrmPostIt::CreateMenus()
{
    popup = Create<TPopupMenu>();
    popup->Name = "popup";
    mnEditCaption = popup->Add("mnEditCaption", L"Edit Caption", [this] { mnEditCaptionClick(); });

    popMemo = Create<TPopupMenu>();
    popMemo->Name = "popMemo";
    popMemo->Images = images_;
    popMemo->OnPopup = [this] { popMemoPopup(); };
    for (TAction* action : {actBold, actItalic, actUnderLine, actStrikeOut})
        popMemo->Add("mn" + action->Name.substr(3), action);
    popMemo->AddSeparator();
    for (TAction* action : {actAlignLeft, actAlignCenter, actAlignRight})
        popMemo->Add("mn" + action->Name.substr(3), action);
    popMemo->AddSeparator();
    popMemo->Add("mnBullets", actBullets);
    popMemo->AddSeparator();
    for (TAction* action : {actCut, actCopy, actPaste})
        popMemo->Add("mn" + action->Name.substr(3), action);
    popMemo->AddSeparator();
    popMemo->Add("mnSelectAll", actSelectAll);
    popMemo->AddSeparator();
    mnWordWrap = popMemo->Add("mnWordWrap", L"Word Wrap", [this] { mnWordWrapClick(); });
}

void TfrmPostIt::FormCreate()
{
    TfrmPaper::FormCreate();
    tbEdit->Arrange();
    cmbFontName->SetItems(MemoFontNames());
    cmbFontName->SetText("");
    cmbFontSize->SetItems(MemoFontSizes());
    cmbFontSize->SetText("");
    tips->Add(*cmbFontName, L"글꼴");
    tips->Add(*cmbFontSize, L"글 크기");
    tips->Add(*clrFont, clrFont->Hint);
    for (TWinControl* control : tbEdit->Controls())
        if (auto* button = dynamic_cast<TToolButton*>(control); button && !button->Hint().empty())
            tips->Add(*button, button->Hint());
}

std::string TfrmPostIt::GetSectionName() const { return MemoSectionName(Tag); }
std::string TfrmPostIt::PositionIniPath() const { return PrjInfo->PostItIniFileName(); }

void TfrmPostIt::InitNewMemo()
{
    MemoFileName = MemoFilePath(Tag);
    edtMemo->Clear();
    textVersion_ = NewTextVersion();
    savedText_.clear();
    SaveContent();
    SavePosition();
}

void TfrmPostIt::LoadMemo()
{
    MemoFileName = MemoFilePath(Tag);
    if (!FileExists(MemoFileName)) {
        InitNewMemo();
        return;
    }
    // Read as bytes first: the store remembers what it read, to tell a change that
    // comes from elsewhere from its own.
    LoadEditor(ReadMemoFile(Tag));
    textVersion_ = NewTextVersion();
    const TMemoRecord record = ReadMemoRecord(Tag);
    SetCaption(record.Caption);
    edtMemo->SetWordWrap(record.WordWrap);
    edtMemo->SetModified(false);
    savedText_ = edtMemo->Lines().Text();
    // The editor reported the loaded text as a change: nothing to save for it (a
    // thousand memos would each check again two seconds after the start).
    tmrAutoSave->SetEnabled(false);
}

void TfrmPostIt::LoadEditor(const std::string& rtf)
{
    TMemoryStream stream(rtf);
    edtMemo->Lines().StreamFormat = TStreamFormat::sfRichText;
    edtMemo->Lines().LoadFromStream(stream);
}

bool TfrmPostIt::HasUnsavedEdits() { return closeGuard_ && (edtMemo->Modified() || ContentChangedSinceSave()); }

void TfrmPostIt::ReloadContent(const std::string& rtf)
{
    const int selStart = edtMemo->SelStart(), selLength = edtMemo->SelLength();
    const LRESULT firstLine = SendMessageA(edtMemo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0);
    LoadEditor(rtf);
    textVersion_ = NewTextVersion();
    edtMemo->SetSelStart(selStart);
    edtMemo->SetSelLength(selLength);
    SendMessageA(edtMemo->Handle(), EM_LINESCROLL, 0, firstLine - SendMessageA(edtMemo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
    edtMemo->SetModified(false);
    savedText_ = edtMemo->Lines().Text();
}

void TfrmPostIt::Renumber(int number)
{
    Tag = number;
    MemoFileName = MemoFilePath(number);
    // The caption makes the record; the place and the text follow.
    WriteCaption(number, Caption());
    WriteWordWrap(number, edtMemo->WordWrap());
    SavePosition();
    savedText_.clear();
    SaveContent();
}

std::string TfrmPostIt::EditorRtf()
{
    TMemoryStream stream;
    edtMemo->Lines().SaveToStream(stream);
    return stream.DataString();
}

bool TfrmPostIt::SaveContent()
{
    if (!closeGuard_)
        return false;
    const std::string text = edtMemo->Lines().Text();
    // A memo nobody touched since it was read stays as it is on disk: written back
    // through the editor, a file it only half understood (not rich text, bytes the
    // editor drops) would lose what it could not show.
    if (!edtMemo->Modified() && !ContentChangedSinceSave())
        return false;
    const bool wrote = WriteMemoContent(Tag, text, EditorRtf());
    savedText_ = text;
    // Saved: a change that comes from elsewhere may now be shown in its place.
    edtMemo->SetModified(false);
    return wrote;
}

bool TfrmPostIt::ContentChangedSinceSave() { return edtMemo->Lines().Text() != savedText_; }

void TfrmPostIt::DetachCloseGuard()
{
    closeGuard_ = false;
    tmrAutoSave->SetEnabled(false);
}

unsigned long long TfrmPostIt::NewTextVersion()
{
    static unsigned long long last = 0;
    return ++last;
}

void TfrmPostIt::edtMemoChange()
{
    textVersion_ = NewTextVersion();
    // Typing must not wait for the memo to lose the activation: a crash would take
    // everything typed since, and a memo in the desktop may never lose it at all.
    if (!closeGuard_)
        return;
    tmrAutoSave->SetEnabled(false);
    tmrAutoSave->SetEnabled(true);
}

void TfrmPostIt::tmrAutoSaveTimer()
{
    tmrAutoSave->SetEnabled(false);
    if (ContentChangedSinceSave())
        SaveWithRetry();
}

void TfrmPostIt::ActiveChanged(bool active)
{
    TfrmPaper::ActiveChanged(active);
    if (!active)
        tmrAutoSave->SetEnabled(false);
}

bool TfrmPostIt::SaveAtSaveMoment()
{
    const bool placed = TfrmPaper::SaveAtSaveMoment();
    return SaveContent() || placed;
}

std::string TfrmPostIt::SaveSubject() const
{
    const std::string caption = Caption();
    return caption.empty() ? "memo " + GetSectionName() + " (" + MemoFileName + ")"
                           : "the memo \"" + caption + "\" (" + MemoFileName + ")";
}

void TfrmPostIt::SaveBeforeWindowLoss()
{
    SaveContent();
    TfrmPaper::SaveBeforeWindowLoss();
}

void TfrmPostIt::ReloadAfterVanish()
{
    // The editor went with its window: the text comes back as last saved.
    if (FileExists(MemoFileName)) {
        LoadEditor(ReadMemoFile(Tag));
        textVersion_ = NewTextVersion();
        edtMemo->SetModified(false);
        savedText_ = edtMemo->Lines().Text();
    }
    TfrmPaper::ReloadAfterVanish();
}

bool TfrmPostIt::QueryEndSession()
{
    // Nothing is given up yet: another program may still call the end off.
    const bool canEnd = TfrmPaper::QueryEndSession();
    SaveContent();
    return canEnd;
}

void TfrmPostIt::EndSession(bool ending)
{
    if (!ending)
        return;
    // What was typed since the question, then no more saves: the windows go now.
    SaveContent();
    TfrmPaper::EndSession(ending);
    DetachCloseGuard();
}

void TfrmPostIt::RunDeleteFlow()
{
    if (Caption().empty() && MemoIsBlank(edtMemo->Lines().Text(), EditorRtf())) {
        DetachCloseGuard();
        EraseMemo(Tag);
        return;
    }
    if (ShowMessageBox(nullptr, L"Delete this memo?", L"Delete?",
                       MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL) != IDOK)
        return;
    // The guard goes only once the memo is safely in the wastebasket: when that
    // fails the memo stays in the store, and must stay live so nothing typed is lost.
    MoveMemoToWastebasket(Tag, Caption(), edtMemo->Lines().ToVector(), EditorRtf());
    DetachCloseGuard();
    Tag = -1;
}

void TfrmPostIt::btnCloseClick()
{
    RunDeleteFlow();
    if (!closeGuard_)
        Close();
}

void TfrmPostIt::FormCloseQuery(bool& canClose)
{
    if (!closeGuard_)
        return;
    SaveContent();
    RunDeleteFlow();
    canClose = !closeGuard_;
}

void TfrmPostIt::FormClose(TCloseAction& action) { action = TCloseAction::caFree; }

void TfrmPostIt::FormKeyDown(WORD& key, TShiftState shift)
{
    TfrmPaper::FormKeyDown(key, shift);
    if (key == 0 || !ActionList1->IsShortCut(key, shift))
        return;
    key = 0;
    // The key's character is already on its way (Ctrl+I is a tab, Ctrl+M a line
    // break): it must not reach the editor after the shortcut ran.
    MSG pending;
    PeekMessageW(&pending, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE);
}

void TfrmPostIt::imgCaptionDblClick(int x)
{
    if (x < kIconAreaWidth) {
        tbEdit->SetVisible(!tbEdit->Visible());
        return;
    }
    if (SkinTint() == 0) {
        SendToDesktop();
        return;
    }
    BringToWork();
    for (TForm* form : std::vector<TForm*>(Application.Forms()))
        if (auto* paper = dynamic_cast<TfrmPaper*>(form); paper && paper->GetPaperMode() == pmFloating)
            paper->SendToDesktop();
}

void TfrmPostIt::mnEditCaptionClick()
{
    std::string caption = Caption();
    if (!InputQuery(L"Edit Caption", L"Caption:", caption))
        return;
    caption = Trim(caption);
    SetCaption(caption);
    WriteCaption(Tag, caption);
}

void TfrmPostIt::popMemoPopup() { mnWordWrap->Checked = edtMemo->WordWrap(); }

void TfrmPostIt::mnWordWrapClick()
{
    edtMemo->SetWordWrap(!edtMemo->WordWrap());
    WriteWordWrap(Tag, edtMemo->WordWrap());
}

void TfrmPostIt::edtMemoMouseDown(TMouseButton button, int x, int y)
{
    if (button != TMouseButton::mbRight)
        return;
    const POINT p = edtMemo->ClientToScreen({x, y});
    popMemo->Popup(p.x, p.y);
}

LRESULT TfrmPostIt::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = TfrmPaper::WndProc(msg, wParam, lParam);
    if (msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {kMinTrackWidth, kMinTrackHeight};
    }
    return result;
}

TfrmPostIt* OpenStoredMemo(TImageList* images, int number)
{
    // The place first, before the window is made (so it is made there): a record
    // without a memo file (a memo left blank) is set up as new, which writes the
    // window's place, and that must be the stored one, not the design place.
    auto* memo = Application.CreateFormPrepared<TfrmPostIt>(
        [number](TfrmPostIt& made) {
            made.SetMemoNumber(number);
            made.LoadPosition();
        },
        images);
    try {
        memo->LoadMemo();
    } catch (...) {
        // Gone before it could save anything over the file it failed to read.
        memo->DetachCloseGuard();
        Application.DestroyForm(memo);
        throw;
    }
    return memo;
}

TfrmPostIt* OpenRestoredMemo(TImageList* images, int number)
{
    TfrmPostIt* memo = OpenStoredMemo(images, number);
    // Floating is reached from the desktop: the paper switches only between modes.
    memo->SendToDesktop();
    memo->BringFloating();
    memo->Show();
    SetForegroundWindow(memo->Handle());
    return memo;
}
