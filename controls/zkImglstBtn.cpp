#include "controls/zkImglstBtn.h"

#include "framework/Handles.h"

TzkImageListButton::TzkImageListButton(TComponent* owner) : TzkPictureCButton(owner) {}

TzkImageListButton::~TzkImageListButton()
{
    if (imageList_)
        imageList_->RemoveFreeNotification(this);
}

void TzkImageListButton::CreateParams(TCreateParams& params)
{
    TzkPictureCButton::CreateParams(params);
    // Nothing to draw from: let the platform draw an ordinary button.
    if (!imageList_)
        params.Style ^= BS_OWNERDRAW;
}

void TzkImageListButton::SetImageList(TImageList* list)
{
    if (imageList_)
        imageList_->RemoveFreeNotification(this);
    // Only having a list or none decides the window's style: another list is
    // only another face.
    const bool styleChanges = (imageList_ == nullptr) != (list == nullptr);
    imageList_ = list;
    if (imageList_)
        imageList_->AddFreeNotification(this, [this] { ImageListFreed(); });
    if (styleChanges)
        RecreateWnd();
    Invalidate();
}

void TzkImageListButton::ImageListFreed()
{
    imageList_ = nullptr;
    RecreateWnd();
    Invalidate();
}

void TzkImageListButton::SetIndex(int which, int value)
{
    indexes_[static_cast<size_t>(which)] = value;
    Invalidate();
}

int TzkImageListButton::CurrentImage(bool pressed) const
{
    int state;
    if (Enabled())
        state = pressed ? ixClick : MouseInside() ? ixEnter : ixButton;
    else
        state = IndexDisable() >= 0 ? ixDisable : ixClick;
    // 0 counts as "not set" too: image 0 is the normal face anyway.
    const int index = Index(state);
    return index <= 0 ? IndexButton() : index;
}

void TzkImageListButton::DrawFace(const DRAWITEMSTRUCT& item)
{
    if (!imageList_)
        return;
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    // Composed off-screen and copied once, so the face never flickers.
    OffscreenBitmap face(item.hDC, width, height);
    {
        UniqueBrush brush(CreateSolidBrush(ColorToRGB(Color())));
        UniquePen pen(CreatePen(PS_SOLID, 1, ColorToRGB(Color())));
        SelectGuard selectBrush(face.dc(), brush.get());
        SelectGuard selectPen(face.dc(), pen.get());
        Rectangle(face.dc(), 0, 0, width, height);
    }
    imageList_->Draw(face.dc(), 0, 0, CurrentImage((item.itemState & ODS_SELECTED) != 0));
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, face.dc(), 0, 0, SRCCOPY);
}

bool TzkImageListButton::AcceptsPress(short x, short y)
{
    if (!imageList_ || IndexMask() < 0)
        return true;
    const UniqueBitmap mask = imageList_->GetBitmap(IndexMask());
    if (x < 0 || y < 0 || x >= imageList_->Width() || y >= imageList_->Height())
        return true;
    WindowDC screen(nullptr);
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    SelectGuard select(dc.get(), mask.get());
    return GetPixel(dc.get(), x, y) != RGB(255, 255, 255);
}

LRESULT TzkImageListButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // The face covers the whole button: erasing first would only flicker.
    if (msg == WM_ERASEBKGND)
        return 1;
    return TzkPictureCButton::WndProc(msg, wParam, lParam);
}
