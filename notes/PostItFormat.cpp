// The memo window's formatting: styles, alignment, bullets, colour, font name and
// size, the toolbar that follows the selection, fonts on offer, and link clicks.

#include "notes/PostIt.h"

#include "framework/Dialogs.h"
#include "framework/ScopedValue.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <set>

namespace {

// RichEdit keeps sizes in twips below 32768.
constexpr int kLargestFontSize = 1638;

const wchar_t kMemoFont[] = L"\uB3CB\uC6C0\uCCB4";  // 돋움체

int CALLBACK AddFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data)
{
    auto* names = reinterpret_cast<std::set<std::wstring>*>(data);
    names->insert(font->lfFaceName);
    return 1;
}

std::set<std::wstring> InstalledFamilies(BYTE charset, const wchar_t* face = nullptr)
{
    std::set<std::wstring> names;
    LOGFONTW query{};
    query.lfCharSet = charset;
    if (face)
        lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
    WindowDC screen(nullptr);
    EnumFontFamiliesExW(screen.get(), &query, AddFamily, reinterpret_cast<LPARAM>(&names), 0);
    return names;
}

// The name in this code page, or nothing when the code page cannot hold it.
bool ToAnsi(const std::wstring& name, std::string& ansi)
{
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), static_cast<int>(name.size()),
                                      nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return false;
    ansi = WideToAnsi(name);
    return true;
}

}  // namespace

const std::vector<std::string>& MemoFontSizes()
{
    static const std::vector<std::string> sizes{"6", "8", "9", "10", "12", "14", "16", "18", "20", "24", "28", "36", "48"};
    return sizes;
}

namespace {

std::shared_ptr<const std::vector<std::string>>& KnownFontNames()
{
    static std::shared_ptr<const std::vector<std::string>> names;
    return names;
}

std::vector<std::string> ReadFontNames()
{
    std::vector<std::string> names{"Default"};
    for (const std::wstring& family : InstalledFamilies(DEFAULT_CHARSET)) {
        std::string ansi;
        if (!family.empty() && family[0] != L'@' && ToAnsi(family, ansi))
            names.push_back(ansi);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace

std::shared_ptr<const std::vector<std::string>> MemoFontNames()
{
    auto& names = KnownFontNames();
    if (!names)
        names = std::make_shared<const std::vector<std::string>>(ReadFontNames());
    return names;
}

void ForgetMemoFontNames() { KnownFontNames().reset(); }

std::string MemoFontName()
{
    static const std::string name = [] {
        std::string ansi;
        if (!InstalledFamilies(HANGEUL_CHARSET, kMemoFont).empty() && ToAnsi(kMemoFont, ansi))
            return ansi;
        // Otherwise a Hangul font this code page can name, fixed-pitch ones first
        // (the memo font is one), so Korean text never turns into boxes.
        std::string fallback;
        for (const std::wstring& family : InstalledFamilies(HANGEUL_CHARSET)) {
            if (family.empty() || family[0] == L'@' || !ToAnsi(family, ansi))
                continue;
            if (fallback.empty())
                fallback = ansi;
            if (family.find(L"Coding") != std::wstring::npos || family.find(L"Mono") != std::wstring::npos)
                return ansi;
        }
        return fallback.empty() ? std::string("Courier New") : fallback;
    }();
    return name;
}

BYTE MemoFontCharset() { return GetACP() == 949 ? HANGEUL_CHARSET : DEFAULT_CHARSET; }

namespace {

bool StartsWithNoCaseW(const std::wstring& text, std::wstring_view prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// "name:" with a name of two or more letters, digits, '+', '-' or '.' that starts
// with a letter; a drive ("C:") is no scheme.
bool HasScheme(const std::wstring& link)
{
    const size_t colon = link.find(L':');
    if (colon == std::wstring::npos || colon < 2 || !std::iswalpha(link[0]))
        return false;
    for (size_t i = 1; i < colon; ++i)
        if (!std::iswalnum(link[i]) && link[i] != L'+' && link[i] != L'-' && link[i] != L'.')
            return false;
    return true;
}

}  // namespace

TLinkTarget LinkTarget(const std::wstring& link)
{
    for (std::wstring_view scheme : {L"http:", L"https:", L"ftp:", L"mailto:", L"news:"})
        if (StartsWithNoCaseW(link, scheme))
            return {link, false};
    if (StartsWithNoCaseW(link, L"www."))
        return {L"http://" + link, false};
    if (HasScheme(link))
        return {link, true};
    return {L"http://" + link, true};
}

void TfrmPostIt::ToggleFontStyle(TFontStyle style)
{
    if (FUpdating)
        return;
    TRichTextAttributes& format = edtMemo->SelectionFormat();
    format.SetStyle(format.Style() ^ style);
    edtMemoSelectionChange();
}

void TfrmPostIt::ApplyAlignment(TParaAlignment alignment)
{
    if (FUpdating)
        return;
    edtMemo->ParagraphFormat().SetParaAlignment(alignment);
    edtMemoSelectionChange();
}

void TfrmPostIt::ToggleBullets()
{
    if (FUpdating)
        return;
    TRichParaAttributes& paragraph = edtMemo->ParagraphFormat();
    paragraph.SetBulletStyle(paragraph.BulletStyle() == nsNone ? nsBullet : nsNone);
    edtMemoSelectionChange();
}

void TfrmPostIt::ApplyTextColor()
{
    const TColor color = clrFont->SelectionColor();
    // The picker's "no colour" values mean the text's automatic colour.
    edtMemo->SelectionFormat().SetColor(color == clDefault || color == clNone ? clWindowText : color);
}

void TfrmPostIt::cmbFontNameChange()
{
    if (FUpdating)
        return;
    const int index = cmbFontName->ItemIndex();
    if (index < 0)
        return;
    edtMemo->SelectionFormat().SetName(cmbFontName->Items()[static_cast<size_t>(index)]);
    edtMemo->SetFocus();
}

void TfrmPostIt::cmbFontSizeChange()
{
    if (FUpdating)
        return;
    const int size = StrToIntDef(Trim(cmbFontSize->Text()), 0);
    if (size > 0 && size <= kLargestFontSize)
        edtMemo->SelectionFormat().SetSize(size);
}

void TfrmPostIt::edtMemoSelectionChange()
{
    ScopedValue<bool> updating(FUpdating, true);
    TRichTextAttributes& format = edtMemo->SelectionFormat();
    const TFontStyles style = format.Style();
    actBold->SetChecked(style & fsBold);
    actItalic->SetChecked(style & fsItalic);
    actUnderLine->SetChecked(style & fsUnderline);
    actStrikeOut->SetChecked(style & fsStrikeOut);
    TRichParaAttributes& paragraph = edtMemo->ParagraphFormat();
    actBullets->SetChecked(paragraph.BulletStyle() == nsBullet);
    const TParaAlignment alignment = paragraph.ParaAlignment();
    actAlignLeft->SetChecked(alignment == TParaAlignment::paLeft);
    actAlignCenter->SetChecked(alignment == TParaAlignment::paCenter);
    actAlignRight->SetChecked(alignment == TParaAlignment::paRight);
    cmbFontName->SetText(format.Name());
    cmbFontSize->SetText(IntToStr(format.Size()));
}

void TfrmPostIt::edtMemoURLClick(const std::wstring& url)
{
    // Detected links also cover file: and other schemes whose "open" may start a
    // program from pasted text: those are opened only when the user says so.
    const TLinkTarget link = LinkTarget(url);
    if (link.Ask &&
        ShowMessageBox(Handle(), L"This link is not a web address:\n\n" + url + L"\n\nOpen it anyway?", L"Open Link",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    OpenLink(link.Target);
}
