#include "controls/RichMemo.h"

#include "framework/Application.h"
#include "framework/ScopedValue.h"
#include "framework/SystemLibraries.h"
#include "framework/SysUtils.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace {

// The platform editor, loaded once for the process and freed when it ends.
struct RichEditLibrary {
    UniqueModule library;

    RichEditLibrary()
    {
        // A missing library must not put up the system's error box; without it
        // the editor's window cannot be made, which reports itself.
        struct ErrorModeGuard {
            UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
            ~ErrorModeGuard() { SetErrorMode(previous); }
        } guard;
        library.reset(LoadSystemLibrary(L"riched20.dll"));
        for (const char* name : {"Embedded Object", "Link Source", "Rich Text Format",
                                 "Rich Text Format Without Objects"})
            RegisterClipboardFormatA(name);
    }
};

const RichEditLibrary& Library()
{
    static RichEditLibrary library;
    return library;
}

} // namespace

BYTE EditorVersion() { return Library().library ? 3 : 1; }

TCustomRichMemo::TCustomRichMemo(TComponent* owner) : TWinControl(owner)
{
    Library();
    TWinControl::SetColor(clWindow);
    SetBounds(0, 0, 185, 89);
}

TCustomRichMemo::~TCustomRichMemo()
{
    // The window goes first, while everything the platform may still call exists;
    // its content is not kept, since no window follows.
    destroying_ = true;
    DestroyHandle();
}

LRESULT TCustomRichMemo::Send(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return Handle() ? SendMessageA(Handle(), msg, wParam, lParam) : 0;
}

void TCustomRichMemo::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    // The wide class: typed letters, input methods and the emoji panel reach it whole.
    params.SysClassName = "RichEdit20W";
    // The text goes in once the text mode is set, which an empty control alone accepts.
    pendingText_ = std::move(params.Caption);
    params.Caption.clear();
    static const DWORD alignments[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    params.Style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | alignments[static_cast<int>(alignment_)];
    if (!wordWrap_)
        params.Style |= ES_AUTOHSCROLL;
    if (readOnly_)
        params.Style |= ES_READONLY;
    if (borderStyle_ == TBorderStyle::bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
    params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
    params.Style |= ES_SAVESEL | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth)
        params.Style |= WS_VSCROLL;
    if ((scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) && !wordWrap_)
        params.Style |= WS_HSCROLL;
    if (!hideScrollBars_)
        params.Style |= ES_DISABLENOSCROLL;
    if (!hideSelection_)
        params.Style |= ES_NOHIDESEL;
    if (selectionBar_)
        params.Style |= ES_SELECTIONBAR;
    params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomRichMemo::CreateWnd()
{
    TWinControl::CreateWnd();
    // The platform decides wrapping by the target device, not by the styles alone.
    Send(EM_SETTARGETDEVICE, 0, wordWrap_ ? 0 : 1);
    // Far-East systems other than Japanese: text in the system's own character set.
    if (GetSystemMetrics(SM_DBCSENABLED) && PRIMARYLANGID(GetSystemDefaultLangID()) != LANG_JAPANESE) {
        CHARSETINFO info{};
        if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(GetACP())), &info,
                                 TCI_SRCCODEPAGE))
            Font().SetCharset(static_cast<BYTE>(info.ciCharset));
    }
    ApplyEventMask(true);
    Send(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    SetMaxLength(maxLength_);
    SetWordSelection(wordSelection_);
    Send(EM_AUTOURLDETECT, autoURLDetect_);
    undoLimit_ = static_cast<int>(Send(EM_SETUNDOLIMIT, static_cast<WPARAM>(undoLimit_)));
    ApplyTextMode();
    Send(EM_SETLANGOPTIONS, 0, static_cast<LPARAM>(langOptions_));
    if (allowObjects_) {
        Send(EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(static_cast<IRichEditOleCallback*>(&oleCallback_)));
        Send(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(richEditOle_.put()));
        SetHostNames();
    }
    if (savedContent_) {
        std::unique_ptr<TMemoryStream> saved = std::move(savedContent_);
        char designTime = 0;
        saved->Read(&designTime, 1);
        ScopedValue<TStreamFormat> format(lines_.StreamFormat);
        ScopedValue<TStreamMode> mode(lines_.StreamMode);
        lines_.StreamFormat = TStreamFormat::sfDefault;
        lines_.StreamMode = 0;
        lines_.LoadFromStream(*saved);
    } else if (!pendingText_.empty()) {
        SetEditorText(pendingText_);
    }
    pendingText_.clear();
    Send(EM_SETMODIFY, savedModified_);
    savedModified_ = false;
}

void TCustomRichMemo::KeepState()
{
    if (!destroying_) {
        // The whole document as the editor holds it, whatever the line list's own
        // format and mode (a selection-only or plain-text mode would lose content).
        savedModified_ = Modified();
        auto saved = std::make_unique<TMemoryStream>();
        const char designTime = 0;
        saved->Write(&designTime, 1);
        ScopedValue<TStreamFormat> format(lines_.StreamFormat);
        ScopedValue<TStreamMode> mode(lines_.StreamMode);
        lines_.StreamFormat = TStreamFormat::sfDefault;
        lines_.StreamMode = 0;
        lines_.SaveToStream(*saved);
        saved->SetPosition(0);
        savedContent_ = std::move(saved);
    }
    TWinControl::KeepState();
}

void TCustomRichMemo::ApplyEventMask(bool withChange)
{
    LPARAM mask = ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED | ENM_LINK;
    if (withChange)
        mask |= ENM_CHANGE;
    Send(EM_SETEVENTMASK, 0, mask);
}

void TCustomRichMemo::ApplyTextMode()
{
    WPARAM mode = plainText_ ? TM_PLAINTEXT : TM_RICHTEXT;
    mode |= undoLimit_ >= 2 ? TM_MULTILEVELUNDO : TM_SINGLELEVELUNDO;
    Send(EM_SETTEXTMODE, mode);
}

void TCustomRichMemo::SetHostNames()
{
    if (!richEditOle_)
        return;
    std::string application = Trim(WideToAnsi(Application.Title()));
    if (application.empty())
        application = ExtractFileName(ModuleFileName());
    const std::string object = Trim(title_).empty() ? application : title_;
    richEditOle_->SetHostNames(application.c_str(), object.c_str());
}

void TCustomRichMemo::CloseObjects()
{
    if (!richEditOle_)
        return;
    for (LONG i = richEditOle_->GetObjectCount() - 1; i >= 0; --i) {
        REOBJECT object{};
        object.cbStruct = sizeof(object);
        if (FAILED(richEditOle_->GetObject(i, &object, REO_GETOBJ_POLEOBJ)) || !object.poleobj)
            continue;
        ComPtr<IOleObject> ole;
        ole.attach(object.poleobj);
        if (object.dwFlags & REO_INPLACEACTIVE)
            richEditOle_->InPlaceDeactivate();
        ole->Close(OLECLOSE_NOSAVE);
    }
}

void TCustomRichMemo::ReleaseOle()
{
    CloseObjects();
    richEditOle_.reset();
}

void TCustomRichMemo::SetWordWrap(bool value)
{
    if (value == wordWrap_)
        return;
    wordWrap_ = value;
    RecreateWnd();
}

void TCustomRichMemo::SetScrollBars(TScrollStyle value)
{
    if (value == scrollBars_)
        return;
    scrollBars_ = value;
    RecreateWnd();
}

void TCustomRichMemo::SetAlignment(TAlignment value)
{
    if (value == alignment_)
        return;
    alignment_ = value;
    RecreateWnd();
}

void TCustomRichMemo::SetBorderStyle(TBorderStyle value)
{
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    RecreateWnd();
}

void TCustomRichMemo::SetHideScrollBars(bool value)
{
    if (value == hideScrollBars_)
        return;
    hideScrollBars_ = value;
    RecreateWnd();
}

void TCustomRichMemo::SetSelectionBar(bool value)
{
    if (value == selectionBar_)
        return;
    selectionBar_ = value;
    RecreateWnd();
}

void TCustomRichMemo::SetAllowObjects(bool value)
{
    if (value == allowObjects_)
        return;
    allowObjects_ = value;
    RecreateWnd();
}

void TCustomRichMemo::SetHideSelection(bool value)
{
    hideSelection_ = value;
    Send(EM_HIDESELECTION, value, TRUE);
}

void TCustomRichMemo::SetReadOnly(bool value)
{
    readOnly_ = value;
    Send(EM_SETREADONLY, value);
}

bool TCustomRichMemo::Modified() const
{
    return Handle() ? Send(EM_GETMODIFY) != 0 : savedModified_;
}

void TCustomRichMemo::SetModified(bool value)
{
    if (Handle())
        Send(EM_SETMODIFY, value);
    else
        savedModified_ = value;
}

void TCustomRichMemo::SetMaxLength(int value)
{
    maxLength_ = value;
    Send(EM_EXLIMITTEXT, 0, value == 0 ? 0xFFFFFF : value);
}

bool TCustomRichMemo::AutoURLDetect() const
{
    if (!Handle())
        return autoURLDetect_;
    return Send(EM_GETAUTOURLDETECT) != 0;
}

void TCustomRichMemo::SetAutoURLDetect(bool value)
{
    autoURLDetect_ = value;
    Send(EM_AUTOURLDETECT, value);
}

bool TCustomRichMemo::WordSelection() const
{
    if (!Handle())
        return wordSelection_;
    return (Send(EM_GETOPTIONS) & ECO_AUTOWORDSELECTION) != 0;
}

void TCustomRichMemo::SetWordSelection(bool value)
{
    wordSelection_ = value;
    if (!Handle())
        return;
    LPARAM options = Send(EM_GETOPTIONS);
    options = value ? (options | ECO_AUTOWORDSELECTION) : (options & ~ECO_AUTOWORDSELECTION);
    Send(EM_SETOPTIONS, ECOOP_SET, options);
}

void TCustomRichMemo::SetUndoLimit(int value)
{
    undoLimit_ = value;
    if (Handle())
        undoLimit_ = static_cast<int>(Send(EM_SETUNDOLIMIT, static_cast<WPARAM>(value)));
}

TRichLangOptions TCustomRichMemo::LangOptions() const
{
    if (!Handle())
        return langOptions_;
    const LRESULT options = Send(EM_GETLANGOPTIONS);
    return static_cast<TRichLangOptions>(options) &
           (rlAutoKeyboard | rlAutoFont | rlImeCancelComplete | rlImeAlwaysSendNotify);
}

void TCustomRichMemo::SetLangOptions(TRichLangOptions value)
{
    langOptions_ = value;
    Send(EM_SETLANGOPTIONS, 0, static_cast<LPARAM>(value));
}

void TCustomRichMemo::SetPlainText(bool value)
{
    if (value == plainText_)
        return;
    if (Handle()) {
        // The platform changes the text mode of an empty control only: take the
        // content out, switch, and put it back in the form the new mode holds.
        ScopedValue<TStreamFormat> format(lines_.StreamFormat);
        ScopedValue<TStreamMode> mode(lines_.StreamMode);
        lines_.StreamFormat = value ? TStreamFormat::sfPlainText : TStreamFormat::sfRichText;
        lines_.StreamMode = 0;
        TMemoryStream content;
        lines_.SaveToStream(content);
        ApplyEventMask(false);
        SetEditorText("");
        plainText_ = value;
        ApplyTextMode();
        ApplyEventMask(true);
        content.SetPosition(0);
        lines_.LoadFromStream(content);
    }
    plainText_ = value;
}

void TCustomRichMemo::SetTitle(const std::string& value)
{
    if (value == title_)
        return;
    title_ = value;
    SetHostNames();
}

void TCustomRichMemo::SetColor(TColor color)
{
    TWinControl::SetColor(color);
    Send(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color)));
}

int TCustomRichMemo::SelStart() const
{
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin;
}

void TCustomRichMemo::SetSelStart(int value) { SelectRange(value, value, false); }

int TCustomRichMemo::SelLength() const
{
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax - range.cpMin;
}

void TCustomRichMemo::SetSelLength(int value)
{
    const int start = SelStart();
    SelectRange(start, start + value, true);
}

void TCustomRichMemo::SelectRange(int start, int end, bool scroll)
{
    CHARRANGE range{start, end};
    Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (scroll)
        Send(EM_SCROLLCARET);
}

void TCustomRichMemo::SelectAll() { Send(EM_SETSEL, 0, -1); }

std::string TCustomRichMemo::SelText() const
{
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return TextRange(range.cpMin, range.cpMax);
}

void TCustomRichMemo::SetSelText(const std::string& text)
{
    HandleNeeded();
    SendReplaceSel(text, false);
}

int TCustomRichMemo::GetSelTextBuf(char* buffer, int maxLength) const
{
    if (!buffer || maxLength <= 0)
        return 0;
    const std::string text = SelText();
    const size_t n = std::min(text.size(), static_cast<size_t>(maxLength - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::string TCustomRichMemo::TextRange(int start, int end) const
{
    if (!Handle() || end <= start)
        return {};
    return WideToAnsi(WideTextRange(start, end));
}

std::wstring TCustomRichMemo::WideTextRange(int start, int end) const
{
    if (!Handle() || end <= start)
        return {};
    std::wstring buffer(static_cast<size_t>(end - start) + 1, L'\0');
    TEXTRANGEW range{{start, end}, buffer.data()};
    const LRESULT n = SendMessageW(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    buffer.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, end - start)));
    return buffer;
}

std::string TCustomRichMemo::EditorText() const
{
    if (Handle())
        return WideToAnsi(WideText());
    return TWinControl::Text();
}

void TCustomRichMemo::SetEditorText(const std::string& text) const
{
    SetWindowTextW(Handle(), AnsiToWide(text).c_str());
}

void TCustomRichMemo::SendReplaceSel(const std::string& text, bool canUndo) const
{
    if (!Handle())
        return;
    SendMessageW(Handle(), EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(AnsiToWide(text).c_str()));
}

POINT TCustomRichMemo::CaretPos() const
{
    CHARRANGE range{0, 0};
    Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const LRESULT line = Send(EM_EXLINEFROMCHAR, 0, range.cpMax);
    const LRESULT lineStart = Send(EM_LINEINDEX, static_cast<WPARAM>(-1));
    return POINT{static_cast<LONG>(range.cpMax - lineStart), static_cast<LONG>(line)};
}

void TCustomRichMemo::CutToClipboard() { Send(WM_CUT); }
void TCustomRichMemo::CopyToClipboard() { Send(WM_COPY); }
void TCustomRichMemo::PasteFromClipboard() { Send(WM_PASTE); }
void TCustomRichMemo::Undo() { Send(EM_UNDO); }

void TCustomRichMemo::Clear()
{
    CloseObjects();
    if (Handle())
        SetEditorText("");
    else
        TWinControl::SetText("");
    SetModified(false);
}

LRESULT TCustomRichMemo::ReplaceSel(WPARAM canUndo, LPARAM text)
{
    CHARRANGE before{0, 0};
    DefaultHandler(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&before));
    if (undoLimit_ > 1 && !internalReplace_)
        canUndo = TRUE;
    const LRESULT result = DefaultHandler(EM_REPLACESEL, canUndo, text);
    if (!internalReplace_) {
        // The caret ends after the new text; counting its characters from the bytes
        // would go wrong for double-byte text and line breaks.
        CHARRANGE after{0, 0};
        DefaultHandler(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
        CHARRANGE inserted{before.cpMin, after.cpMax};
        DefaultHandler(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&inserted));
        DefaultHandler(EM_SCROLLCARET, 0, 0);
    }
    return result;
}

LRESULT TCustomRichMemo::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETFONT:
        // The font reaches the platform as the default character format.
        defaultFormat_.Assign(Font());
        return 0;
    case WM_DESTROY:
        ReleaseOle();
        break;
    case EM_REPLACESEL:
        return ReplaceSel(wParam, lParam);
    case WM_PASTE:
        if (allowObjects_ && PasteWithoutObjects())
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        // A press that does not start on a link cancels an earlier pending one.
        pendingLinkStart_ = pendingLinkEnd_ = -1;
        const LRESULT result = TWinControl::WndProc(msg, wParam, lParam);
        if (OnMouseDown) {
            const TMouseButton button = msg == WM_LBUTTONDOWN   ? TMouseButton::mbLeft
                                        : msg == WM_RBUTTONDOWN ? TMouseButton::mbRight
                                                                : TMouseButton::mbMiddle;
            OnMouseDown(button, MouseKeysToShiftState(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        return result;
    }
    default:
        break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

bool TCustomRichMemo::HandleReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_COMMAND) {
        if (HIWORD(wParam) != EN_CHANGE)
            return false;
        if (OnChange)
            OnChange();
        result = 0;
        return true;
    }
    if (msg != WM_NOTIFY)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    result = 0;
    switch (header->code) {
    case EN_SELCHANGE:
        SelectionChanged();
        return true;
    case EN_REQUESTRESIZE:
        ResizeRequested(reinterpret_cast<const REQRESIZE*>(lParam)->rc);
        return true;
    case EN_PROTECTED: {
        const auto* p = reinterpret_cast<const ENPROTECTED*>(lParam);
        if (!ProtectChanging(p->msg, p->chrg.cpMin, p->chrg.cpMax))
            result = 1;
        return true;
    }
    case EN_SAVECLIPBOARD: {
        const auto* p = reinterpret_cast<const ENSAVECLIPBOARD*>(lParam);
        if (!SavingClipboard(static_cast<int>(p->cObjectCount), static_cast<int>(p->cch)))
            result = 1;
        return true;
    }
    case EN_LINK:
        LinkNotify(*reinterpret_cast<const ENLINK*>(lParam));
        return true;
    default:
        return false;
    }
}

void TCustomRichMemo::LinkNotify(const ENLINK& link)
{
    // A click is a press and a release of the same button on the same link.
    auto press = [&](TMouseButton button) {
        pendingLinkStart_ = link.chrg.cpMin;
        pendingLinkEnd_ = link.chrg.cpMax;
        pendingLinkButton_ = button;
    };
    auto release = [&](TMouseButton button) {
        const bool same = pendingLinkButton_ == button && pendingLinkStart_ == link.chrg.cpMin &&
                          pendingLinkEnd_ == link.chrg.cpMax;
        pendingLinkStart_ = pendingLinkEnd_ = -1;
        if (same)
            LinkClicked(WideTextRange(link.chrg.cpMin, link.chrg.cpMax), button);
    };
    switch (link.msg) {
    case WM_LBUTTONDOWN: press(TMouseButton::mbLeft); break;
    case WM_LBUTTONUP: release(TMouseButton::mbLeft); break;
    case WM_RBUTTONDOWN: press(TMouseButton::mbRight); break;
    case WM_RBUTTONUP: release(TMouseButton::mbRight); break;
    default: break;
    }
}

void TCustomRichMemo::ResizeRequested(const RECT& rect)
{
    if (OnResizeRequest)
        OnResizeRequest(*this, rect);
}

void TCustomRichMemo::SelectionChanged()
{
    if (OnSelectionChange)
        OnSelectionChange();
}

bool TCustomRichMemo::ProtectChanging(UINT message, int start, int end)
{
    bool allow = false;
    if (OnProtectChangeEx)
        OnProtectChangeEx(*this, message, start, end, allow);
    else if (OnProtectChange)
        OnProtectChange(*this, start, end, allow);
    return allow;
}

bool TCustomRichMemo::SavingClipboard(int objects, int chars)
{
    bool keep = true;
    if (OnSaveClipboard)
        OnSaveClipboard(*this, objects, chars, keep);
    return keep;
}

void TCustomRichMemo::LinkClicked(const std::wstring& text, TMouseButton button)
{
    if (OnURLClick)
        OnURLClick(*this, text, button);
}
