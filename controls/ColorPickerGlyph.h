#pragma once
// Glyph images of the colour picker button: the holder that makes an image per
// button state (embossing the disabled one), the image lists those images live in,
// and the one process-wide cache that shares a list per image size.

#include "framework/Graphics.h"
#include "framework/Handles.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

enum TButtonState { bsUp = 0, bsDisabled = 1, bsDown = 2, bsExclusive = 3 };

// Pixels of a bitmap, top-down, as COLORREFs.
std::vector<COLORREF> ReadBitmapPixels(HBITMAP bitmap, int width, int height);
UniqueBitmap MakeBitmap(const std::vector<COLORREF>& pixels, int width, int height);
// The embossed look of a disabled single image: every dark, opaque pixel is drawn in
// `highlight` one pixel right and down, then in `shadow` in place, over `face`.
std::vector<COLORREF> EmbossPixels(const std::vector<COLORREF>& pixels, int width, int height,
                                   COLORREF transparent, COLORREF face, COLORREF highlight, COLORREF shadow);

class TGlyphList {
public:
    TGlyphList(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    HIMAGELIST Handle() const { return list_.get(); }
    // Takes the first free slot, growing the list only when none is free.
    int AddMasked(HBITMAP image, COLORREF transparent);
    // Frees the slot; the image stays until the slot is taken again.
    void Delete(int index);
    int Count() const { return count_; }

private:
    int width_, height_;
    UniqueImageList list_;
    std::vector<bool> used_;
    int count_ = 0;
};

class TGlyphCache {
public:
    TGlyphList* GetList(int width, int height);
    // A list nobody uses any more is freed.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    // Takes a copy; nullptr clears the glyph.
    void SetGlyph(HBITMAP source);
    HBITMAP Glyph() const { return glyph_.get(); }
    // The whole strip.
    SIZE GlyphSize() const { return size_; }
    bool Empty() const { return size_.cx <= 0 || size_.cy <= 0; }
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    COLORREF TransparentColor() const { return transparentColor_; }
    // One image of the strip.
    SIZE ImageSize() const;

    // Forgets the built images (system colours or the enabled state changed).
    void Invalidate();
    // The image list slot of the state's image, built on first use; -1 without a glyph.
    int CreateButtonGlyph(TButtonState state);
    void Draw(HDC dc, POINT pos, TButtonState state, bool transparent);
    TGlyphList* List() const { return list_; }

    std::function<void()> OnChange;

private:
    std::vector<COLORREF> StripImage(int index) const;

    UniqueBitmap glyph_;
    SIZE size_{0, 0};
    COLORREF transparentColor_ = 0x008080;
    int numGlyphs_ = 1;
    int indexes_[4] = {-1, -1, -1, -1};
    TGlyphList* list_ = nullptr;
};
