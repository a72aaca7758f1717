#pragma once
// A list of equally sized images (the platform's image list), shared by the
// controls that draw from it. It does not belong to them: they ask to be told
// when it goes away.

#include "framework/Component.h"
#include "framework/Handles.h"

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, int width = 16, int height = 16);
    ~TImageList() override;

    HIMAGELIST Handle() const { return handle_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return ImageList_GetImageCount(handle_.get()); }

    // Appends an image (and its mask, 1 = see-through; none: opaque); its index.
    int Add(HBITMAP image, HBITMAP mask = nullptr);
    // Appends an image whose pixels of the given colour are see-through.
    int AddMasked(HBITMAP image, COLORREF maskColor);
    void Clear();
    // The image at (x, y); transparent parts leave what is there.
    void Draw(HDC dc, int x, int y, int index) const;
    // One image on a black ground, as a bitmap of the list's size.
    UniqueBitmap GetBitmap(int index) const;

    // The callback runs when the list is freed; the key removes it again.
    void AddFreeNotification(const void* key, std::function<void()> callback);
    void RemoveFreeNotification(const void* key);

private:
    int width_, height_;
    UniqueImageList handle_;
    std::vector<std::pair<const void*, std::function<void()>>> notified_;
};
