#include "framework/ImgList.h"

#include "framework/SysUtils.h"

#include <algorithm>

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height),
      handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4))
{
    if (!handle_)
        throw EOutOfResources("Out of system resources");
}

TImageList::~TImageList()
{
    // A callback may remove itself (or others) while we go through them.
    auto pending = std::move(notified_);
    notified_.clear();
    for (auto& [key, callback] : pending)
        callback();
}

int TImageList::Add(HBITMAP image, HBITMAP mask) { return ImageList_Add(handle_.get(), image, mask); }

int TImageList::AddMasked(HBITMAP image, COLORREF maskColor)
{
    return ImageList_AddMasked(handle_.get(), image, maskColor);
}

void TImageList::Clear() { ImageList_RemoveAll(handle_.get()); }

void TImageList::Draw(HDC dc, int x, int y, int index) const
{
    ImageList_Draw(handle_.get(), index, dc, x, y, ILD_NORMAL);
}

UniqueBitmap TImageList::GetBitmap(int index) const
{
    WindowDC screen(nullptr);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width_, height_));
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    {
        SelectGuard select(dc.get(), bitmap.get());
        const RECT all{0, 0, width_, height_};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        Draw(dc.get(), 0, 0, index);
    }
    return bitmap;
}

void TImageList::AddFreeNotification(const void* key, std::function<void()> callback)
{
    RemoveFreeNotification(key);
    notified_.emplace_back(key, std::move(callback));
}

void TImageList::RemoveFreeNotification(const void* key)
{
    notified_.erase(std::remove_if(notified_.begin(), notified_.end(),
                                   [key](const auto& entry) { return entry.first == key; }),
                    notified_.end());
}
