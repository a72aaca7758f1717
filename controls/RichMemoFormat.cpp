// Character and paragraph formats of the rich text editor.

#include "controls/RichMemo.h"

#include <algorithm>

namespace {

DWORD EffectsOf(TFontStyles style)
{
    DWORD effects = 0;
    if (style & fsBold) effects |= CFE_BOLD;
    if (style & fsItalic) effects |= CFE_ITALIC;
    if (style & fsUnderline) effects |= CFE_UNDERLINE;
    if (style & fsStrikeOut) effects |= CFE_STRIKEOUT;
    return effects;
}

TFontStyles StyleOf(DWORD effects)
{
    TFontStyles style = 0;
    if (effects & CFE_BOLD) style |= fsBold;
    if (effects & CFE_ITALIC) style |= fsItalic;
    if (effects & CFE_UNDERLINE) style |= fsUnderline;
    if (effects & CFE_STRIKEOUT) style |= fsStrikeOut;
    return style;
}

// The window-text colour (or "default") is the platform's automatic colour.
void PutColor(CHARFORMAT2A& format, TColor color)
{
    if (color == clWindowText || color == clDefault)
        format.dwEffects |= CFE_AUTOCOLOR;
    else
        format.crTextColor = ColorToRGB(color);
}

} // namespace

WPARAM TRichTextAttributes::Scope() const
{
    switch (type_) {
    case TAttributeType::atDefaultText: return SCF_DEFAULT;
    case TAttributeType::atSelected: return SCF_SELECTION;
    case TAttributeType::atWord: return SCF_SELECTION | SCF_WORD;
    }
    return SCF_SELECTION;
}

CHARFORMAT2A TRichTextAttributes::Record() const
{
    CHARFORMAT2A format{};
    format.cbSize = sizeof(CHARFORMAT2A);
    editor_.Send(EM_GETCHARFORMAT, Scope(), reinterpret_cast<LPARAM>(&format));
    return format;
}

void TRichTextAttributes::Apply(CHARFORMAT2A& format)
{
    format.cbSize = sizeof(CHARFORMAT2A);
    editor_.Send(EM_SETCHARFORMAT, Scope(), reinterpret_cast<LPARAM>(&format));
}

std::string TRichTextAttributes::Name() const
{
    const CHARFORMAT2A format = Record();
    return std::string(format.szFaceName, strnlen(format.szFaceName, LF_FACESIZE));
}

void TRichTextAttributes::SetName(const std::string& name)
{
    CHARFORMAT2A format{};
    format.dwMask = CFM_FACE;
    lstrcpynA(format.szFaceName, name.c_str(), LF_FACESIZE);
    Apply(format);
}

int TRichTextAttributes::Size() const { return Record().yHeight / 20; }

void TRichTextAttributes::SetSize(int points)
{
    CHARFORMAT2A format{};
    format.dwMask = CFM_SIZE;
    format.yHeight = points * 20;
    Apply(format);
}

TColor TRichTextAttributes::Color() const
{
    const CHARFORMAT2A format = Record();
    if (format.dwEffects & CFE_AUTOCOLOR)
        return clWindowText;
    return static_cast<TColor>(format.crTextColor);
}

void TRichTextAttributes::SetColor(TColor color)
{
    CHARFORMAT2A format{};
    format.dwMask = CFM_COLOR;
    PutColor(format, color);
    Apply(format);
}

TFontStyles TRichTextAttributes::Style() const { return StyleOf(Record().dwEffects); }

void TRichTextAttributes::SetStyle(TFontStyles style)
{
    CHARFORMAT2A format{};
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    format.dwEffects = EffectsOf(style);
    Apply(format);
}

BYTE TRichTextAttributes::Charset() const { return Record().bCharSet; }

void TRichTextAttributes::SetCharset(BYTE charset)
{
    CHARFORMAT2A format{};
    format.dwMask = CFM_CHARSET;
    format.bCharSet = charset;
    Apply(format);
}

TFontPitch TRichTextAttributes::Pitch() const
{
    switch (Record().bPitchAndFamily & 3) {
    case FIXED_PITCH: return TFontPitch::fpFixed;
    case VARIABLE_PITCH: return TFontPitch::fpVariable;
    default: return TFontPitch::fpDefault;
    }
}

void TRichTextAttributes::Assign(const TFont& font)
{
    CHARFORMAT2A format{};
    format.dwMask = CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_COLOR |
                    CFM_CHARSET;
    format.bPitchAndFamily = font.Pitch() == TFontPitch::fpVariable ? VARIABLE_PITCH
                             : font.Pitch() == TFontPitch::fpFixed  ? FIXED_PITCH
                                                                    : 0;
    format.yHeight = font.Size() * 20;
    format.dwEffects = EffectsOf(font.Style());
    lstrcpynA(format.szFaceName, font.Name().c_str(), LF_FACESIZE);
    PutColor(format, font.Color());
    format.bCharSet = font.Charset();
    LOGFONTA logical{};
    if (GetObjectA(font.Handle(), sizeof(logical), &logical)) {
        format.dwMask |= CFM_WEIGHT;
        format.wWeight = static_cast<WORD>(logical.lfWeight);
    }
    Apply(format);
}

void TRichTextAttributes::Assign(const TRichTextAttributes& source)
{
    CHARFORMAT2A format = source.Record();
    Apply(format);
}

void TRichTextAttributes::AssignTo(TFont& font) const
{
    font.SetColor(Color());
    font.SetName(Name());
    font.SetCharset(Charset());
    font.SetStyle(Style());
    font.SetSize(Size());
    font.SetPitch(Pitch());
}

PARAFORMAT2 TRichParaAttributes::Record() const
{
    PARAFORMAT2 format{};
    format.cbSize = sizeof(PARAFORMAT2);
    editor_.Send(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

void TRichParaAttributes::Apply(PARAFORMAT2& format)
{
    editor_.HandleNeeded();
    format.cbSize = sizeof(PARAFORMAT2);
    editor_.Send(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

TParaAlignment TRichParaAttributes::ParaAlignment() const
{
    const int alignment = std::clamp(Record().wAlignment - 1, 0, 3);
    return static_cast<TParaAlignment>(alignment);
}

void TRichParaAttributes::SetParaAlignment(TParaAlignment alignment)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = static_cast<WORD>(static_cast<int>(alignment) + 1);
    Apply(format);
}

int TRichParaAttributes::BulletStyle() const
{
    return Record().wNumbering & 0xFF;
}

void TRichParaAttributes::SetBulletStyle(int style)
{
    if (style == nsNone)
        SetIndentOffset(0);
    else if (IndentOffset() < 10)
        SetIndentOffset(10);
    PARAFORMAT2 format{};
    format.dwMask = PFM_NUMBERING;
    format.wNumbering = static_cast<WORD>(style);
    Apply(format);
}

int TRichParaAttributes::IndentStart() const { return Record().dxStartIndent / 20; }

void TRichParaAttributes::SetIndentStart(int points)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_STARTINDENT;
    format.dxStartIndent = points * 20;
    Apply(format);
}

int TRichParaAttributes::IndentRight() const { return Record().dxRightIndent / 20; }

void TRichParaAttributes::SetIndentRight(int points)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_RIGHTINDENT;
    format.dxRightIndent = points * 20;
    Apply(format);
}

int TRichParaAttributes::IndentOffset() const { return Record().dxOffset / 20; }

void TRichParaAttributes::SetIndentOffset(int points)
{
    PARAFORMAT2 format{};
    format.dwMask = PFM_OFFSET;
    format.dxOffset = points * 20;
    Apply(format);
}
