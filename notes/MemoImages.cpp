#include "notes/MemoImages.h"

#include "framework/Handles.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"

namespace {

constexpr COLORREF kMaskColor = RGB(255, 0, 255);

}  // namespace

TImageList* CreateMemoImages(TComponent* owner)
{
    UniqueBitmap strip(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), "BMP_TOOLBAR", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip)
        throw Exception("Resource BMP_TOOLBAR not found");
    auto* images = owner->Create<TImageList>(16, 16);
    images->Name = "imgsPostIt";
    images->AddMasked(strip.get(), kMaskColor);
    const int count = images->Count();
    if (count != kMemoImageCount) {
        owner->DestroyComponent(images);
        throw Exception(Format("Resource BMP_TOOLBAR holds %d images instead of %d", count,
                               static_cast<int>(kMemoImageCount)));
    }
    return images;
}
