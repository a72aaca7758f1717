#pragma once
// A button that shows one image of an image list for each of its states:
// normal, mouse over, pressed and disabled, with an optional mask image whose
// white pixels do not take presses. Without an image list it is a plain push button.

#include "controls/zkPicCBtn.h"
#include "framework/ImgList.h"

#include <array>

class TzkImageListButton : public TzkPictureCButton {
public:
    enum : int { ixButton = 0, ixEnter = 1, ixClick = 2, ixDisable = 3, ixMask = 4 };

    explicit TzkImageListButton(TComponent* owner);
    ~TzkImageListButton() override;

    TImageList* ImageList() const { return imageList_; }
    void SetImageList(TImageList* list);

    int Index(int which) const { return indexes_[static_cast<size_t>(which)]; }
    void SetIndex(int which, int value);
    int IndexButton() const { return Index(ixButton); }
    int IndexEnter() const { return Index(ixEnter); }
    int IndexClick() const { return Index(ixClick); }
    int IndexDisable() const { return Index(ixDisable); }
    int IndexMask() const { return Index(ixMask); }
    void SetIndexButton(int value) { SetIndex(ixButton, value); }
    void SetIndexEnter(int value) { SetIndex(ixEnter, value); }
    void SetIndexClick(int value) { SetIndex(ixClick, value); }
    void SetIndexDisable(int value) { SetIndex(ixDisable, value); }
    void SetIndexMask(int value) { SetIndex(ixMask, value); }

    // The image drawn now, from the state and the index rules.
    int CurrentImage(bool pressed) const;

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void DrawFace(const DRAWITEMSTRUCT& item) override;
    bool AcceptsPress(short x, short y) override;

private:
    void ImageListFreed();

    TImageList* imageList_ = nullptr;
    std::array<int, 5> indexes_{-1, -1, -1, -1, -1};
};
