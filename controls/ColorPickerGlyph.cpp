#include "controls/ColorPickerGlyph.h"

#include <algorithm>

namespace {

// The one cache of the process; it lives while some glyph holder or list needs it.
std::unique_ptr<TGlyphCache> glyphCache;
int liveGlyphs = 0;

TGlyphCache& Cache()
{
    if (!glyphCache)
        glyphCache = std::make_unique<TGlyphCache>();
    return *glyphCache;
}

COLORREF FromDib(DWORD bgra) { return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF); }
DWORD ToDib(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Image lists draw the mask with AND and the image with OR, so the see-through
// pixels of the image must be black.
void AddWithMask(const std::vector<COLORREF>& pixels, int width, int height, COLORREF transparent,
                 std::vector<COLORREF>& image, std::vector<BYTE>& maskBits)
{
    const int stride = ((width + 15) / 16) * 2;  // monochrome rows are WORD-aligned
    image = pixels;
    maskBits.assign(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            if (pixels[i] == transparent) {
                image[i] = 0;
                maskBits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
        }
}

} // namespace

std::vector<COLORREF> ReadBitmapPixels(HBITMAP bitmap, int width, int height)
{
    std::vector<DWORD> raw(static_cast<size_t>(width) * height);
    BITMAPINFO bmi = TopDownBitmapInfo(width, height, 32);
    WindowDC screen(nullptr);
    GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), raw.data(), &bmi, DIB_RGB_COLORS);
    std::vector<COLORREF> pixels(raw.size());
    std::transform(raw.begin(), raw.end(), pixels.begin(), FromDib);
    return pixels;
}

UniqueBitmap MakeBitmap(const std::vector<COLORREF>& pixels, int width, int height)
{
    std::vector<DWORD> raw(pixels.size());
    std::transform(pixels.begin(), pixels.end(), raw.begin(), ToDib);
    BITMAPINFO bmi = TopDownBitmapInfo(width, height, 32);
    WindowDC screen(nullptr);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(height), raw.data(), &bmi, DIB_RGB_COLORS);
    return bitmap;
}

std::vector<COLORREF> EmbossPixels(const std::vector<COLORREF>& pixels, int width, int height,
                                   COLORREF transparent, COLORREF face, COLORREF highlight, COLORREF shadow)
{
    auto ink = [&](int x, int y) {
        const COLORREF c = pixels[static_cast<size_t>(y) * width + x];
        if (c == transparent)
            return false;
        // Light parts (white fills) stay face-coloured, as on a monochrome copy.
        return GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 200 * 100;
    };
    std::vector<COLORREF> out(pixels.size(), face);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink(x, y) && x + 1 < width && y + 1 < height)
                out[static_cast<size_t>(y + 1) * width + x + 1] = highlight;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink(x, y))
                out[static_cast<size_t>(y) * width + x] = shadow;
    return out;
}

TGlyphList::TGlyphList(int width, int height)
    : width_(width), height_(height), list_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 1))
{
}

int TGlyphList::AddMasked(HBITMAP image, COLORREF transparent)
{
    const std::vector<COLORREF> pixels = ReadBitmapPixels(image, width_, height_);
    std::vector<COLORREF> black;
    std::vector<BYTE> maskBits;
    AddWithMask(pixels, width_, height_, transparent, black, maskBits);
    UniqueBitmap colour = MakeBitmap(black, width_, height_);
    UniqueBitmap mask(CreateBitmap(width_, height_, 1, 1, maskBits.data()));

    const auto freeSlot = std::find(used_.begin(), used_.end(), false);
    int index;
    if (freeSlot != used_.end()) {
        index = static_cast<int>(freeSlot - used_.begin());
        ImageList_Replace(list_.get(), index, colour.get(), mask.get());
    } else {
        index = ImageList_Add(list_.get(), colour.get(), mask.get());
        if (index < 0)
            return -1;
        used_.resize(static_cast<size_t>(index) + 1, false);
    }
    used_[static_cast<size_t>(index)] = true;
    ++count_;
    return index;
}

void TGlyphList::Delete(int index)
{
    if (index >= 0 && index < static_cast<int>(used_.size()) && used_[static_cast<size_t>(index)]) {
        used_[static_cast<size_t>(index)] = false;
        --count_;
    }
}

TGlyphList* TGlyphCache::GetList(int width, int height)
{
    for (const auto& list : lists_)
        if (list->Width() == width && list->Height() == height)
            return list.get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list)
{
    if (list && list->Count() == 0)
        lists_.erase(std::remove_if(lists_.begin(), lists_.end(),
                                    [list](const auto& l) { return l.get() == list; }),
                     lists_.end());
}

TButtonGlyph::TButtonGlyph()
{
    ++liveGlyphs;
    Cache();
}

TButtonGlyph::~TButtonGlyph()
{
    Invalidate();
    --liveGlyphs;
    if (glyphCache && glyphCache->Empty() && liveGlyphs == 0)
        glyphCache.reset();
}

void TButtonGlyph::SetGlyph(HBITMAP source)
{
    Invalidate();
    glyph_.reset();
    size_ = {0, 0};
    if (source) {
        BITMAP info{};
        GetObjectA(source, sizeof(info), &info);
        size_ = {info.bmWidth, info.bmHeight};
        glyph_ = MakeBitmap(ReadBitmapPixels(source, size_.cx, size_.cy), size_.cx, size_.cy);
    }
    if (size_.cy > 0) {
        // As for any bitmap without a fixed key: the bottom-left pixel is see-through.
        transparentColor_ = ReadBitmapPixels(glyph_.get(), size_.cx, size_.cy)[static_cast<size_t>(size_.cy - 1) * size_.cx];
        if (size_.cx % size_.cy == 0) {
            const int count = size_.cx / size_.cy;
            numGlyphs_ = count < 5 ? count : 1;
        }
    }
    if (OnChange)
        OnChange();
}

void TButtonGlyph::SetNumGlyphs(int count)
{
    count = std::clamp(count, 1, 4);
    if (count == numGlyphs_)
        return;
    Invalidate();
    numGlyphs_ = count;
    if (OnChange)
        OnChange();
}

SIZE TButtonGlyph::ImageSize() const
{
    if (Empty())
        return {0, 0};
    return {size_.cx / numGlyphs_, size_.cy};
}

void TButtonGlyph::Invalidate()
{
    if (!list_)
        return;
    for (int& index : indexes_) {
        list_->Delete(index);
        index = -1;
    }
    Cache().ReturnList(list_);
    list_ = nullptr;
}

std::vector<COLORREF> TButtonGlyph::StripImage(int index) const
{
    const SIZE image = ImageSize();
    const std::vector<COLORREF> strip = ReadBitmapPixels(glyph_.get(), size_.cx, size_.cy);
    std::vector<COLORREF> out(static_cast<size_t>(image.cx) * image.cy);
    for (int y = 0; y < image.cy; ++y)
        for (int x = 0; x < image.cx; ++x)
            out[static_cast<size_t>(y) * image.cx + x] = strip[static_cast<size_t>(y) * size_.cx + index * image.cx + x];
    return out;
}

int TButtonGlyph::CreateButtonGlyph(TButtonState state)
{
    if (state == bsDown && numGlyphs_ < 3)
        state = bsUp;
    if (indexes_[state] != -1)
        return indexes_[state];
    if (Empty())
        return -1;
    const SIZE image = ImageSize();
    if (!list_)
        list_ = Cache().GetList(image.cx, image.cy);

    std::vector<COLORREF> pixels = StripImage(state < numGlyphs_ ? state : 0);
    COLORREF key = transparentColor_;
    if (state == bsDisabled) {
        const COLORREF face = ColorToRGB(clBtnFace);
        const COLORREF highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
        if (numGlyphs_ == 1) {
            pixels = EmbossPixels(pixels, image.cx, image.cy, transparentColor_, face, highlight, shadow);
        } else {
            for (COLORREF& c : pixels)
                c = c == RGB(255, 255, 255) ? highlight : c == RGB(128, 128, 128) ? shadow
                    : c == transparentColor_                                      ? face
                                                                                  : c;
        }
        key = face;
    }
    UniqueBitmap bitmap = MakeBitmap(pixels, image.cx, image.cy);
    indexes_[state] = list_->AddMasked(bitmap.get(), key);
    return indexes_[state];
}

void TButtonGlyph::Draw(HDC dc, POINT pos, TButtonState state, bool transparent)
{
    const int index = CreateButtonGlyph(state);
    if (index < 0)
        return;
    ImageList_DrawEx(list_->Handle(), index, dc, pos.x, pos.y, 0, 0,
                     transparent ? CLR_NONE : ColorToRGB(clBtnFace), CLR_NONE, ILD_NORMAL);
}
