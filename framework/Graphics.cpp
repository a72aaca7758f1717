#include "framework/Graphics.h"

COLORREF ColorToRGB(TColor color)
{
    if ((static_cast<std::uint32_t>(color) & 0xFF000000u) == 0xFF000000u)
        return GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color) & 0xFFFFFFu;
}

BITMAPINFO TopDownBitmapInfo(int width, int height, WORD bitCount)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = bitCount;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

int ScreenPixelsPerInch()
{
    WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

TFont::TFont() = default;

TFont::TFont(const TFont& other)
    : name_(other.name_), height_(other.height_), style_(other.style_), color_(other.color_),
      charset_(other.charset_), pitch_(other.pitch_)
{
}

TFont& TFont::operator=(const TFont& other)
{
    if (this != &other) {
        name_ = other.name_;
        height_ = other.height_;
        style_ = other.style_;
        color_ = other.color_;
        charset_ = other.charset_;
        pitch_ = other.pitch_;
        Changed();
    }
    return *this;
}

void TFont::Changed()
{
    handle_.reset();
    if (OnChange)
        OnChange();
}

void TFont::SetName(const std::string& name) { if (name != name_) { name_ = name; Changed(); } }
void TFont::SetHeight(int height) { if (height != height_) { height_ = height; Changed(); } }
void TFont::SetStyle(TFontStyles style) { if (style != style_) { style_ = style; Changed(); } }
void TFont::SetColor(TColor color) { if (color != color_) { color_ = color; Changed(); } }
void TFont::SetCharset(BYTE charset) { if (charset != charset_) { charset_ = charset; Changed(); } }
void TFont::SetPitch(TFontPitch pitch) { if (pitch != pitch_) { pitch_ = pitch; Changed(); } }

int TFont::Size() const { return -MulDiv(height_, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }

HFONT TFont::Handle() const
{
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
        lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = charset_;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = pitch_ == TFontPitch::fpFixed      ? FIXED_PITCH
                              : pitch_ == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                                 : DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectA(&lf));
    }
    return handle_.get();
}
