#include "notes/zkGrayDialog.h"

#include "framework/SysUtils.h"
#include "shell/EProjectInc.h"
#include "shell/funcs.h"

#include <map>
#include <utility>

namespace {

constexpr int kStripHeight = 18;
constexpr int kButtonSize = 16;
constexpr int kTextLeft = 20;
constexpr TColor kDesignKeyColor = 0x33081A;

// Skin pieces: where they are in the skin bitmap.
struct Piece {
    int x, y, width, height;
};
constexpr Piece kTopLeft{48, 0, 5, 4}, kBottomLeft{48, 5, 5, 4}, kTopRight{48, 9, 5, 4},
    kBottomRight{48, 14, 5, 4}, kLeftEdge{48, 4, 4, 1}, kRightEdge{49, 13, 4, 1}, kTopEdge{52, 0, 1, 4},
    kBottomEdge{48, 14, 1, 4}, kCaptionColumn{53, 0, 1, kStripHeight};

void Copy(HDC target, int x, int y, int width, int height, HDC skin, const Piece& piece)
{
    StretchBlt(target, x, y, width, height, skin, piece.x, piece.y, piece.width, piece.height, SRCCOPY);
}

// The icon the caption shows: the window's own, or the program's.
HICON CaptionIcon(HWND wnd)
{
    for (WPARAM kind : {ICON_SMALL, ICON_BIG})
        if (auto icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, kind, 0)))
            return icon;
    return PrjInfo ? PrjInfo->Icon.get() : nullptr;
}

UniqueBitmap LoadSkinResource(const std::string& name)
{
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap)
        throw Exception(Format("Resource %s not found", name.c_str()));
    return bitmap;
}

void CutButtonImages(TSkin& skin)
{
    WindowDC screen(nullptr);
    UniqueDC skinDc(CreateCompatibleDC(screen.get()));
    UniqueDC cellDc(CreateCompatibleDC(screen.get()));
    SelectGuard selectSkin(skinDc.get(), skin.Bitmap.get());
    for (int i = 0; i < 3; ++i) {
        UniqueBitmap cell(CreateCompatibleBitmap(screen.get(), kButtonSize, kButtonSize));
        {
            SelectGuard selectCell(cellDc.get(), cell.get());
            BitBlt(cellDc.get(), 0, 0, kButtonSize, kButtonSize, skinDc.get(), i * kButtonSize, 0, SRCCOPY);
        }
        skin.CloseImages.Add(cell.get());
    }
    skin.KeyColor = GetPixel(skinDc.get(), 0, 17);
}

std::shared_ptr<TSkin> MakeSkin(const std::string& name, int tint)
{
    auto skin = std::make_shared<TSkin>();
    skin->Bitmap = LoadSkinResource(name);
    // Always turned from the resource itself, never from a turned copy.
    if (tint != 0) {
        HBITMAP bitmap = skin->Bitmap.release();
        try {
            ShiftBitmapHue(bitmap, tint);
        } catch (...) {
            skin->Bitmap.reset(bitmap);
            throw;
        }
        skin->Bitmap.reset(bitmap);
    }
    CutButtonImages(*skin);
    return skin;
}

} // namespace

TSkin::TSkin() : CloseImages(nullptr, kButtonSize, kButtonSize) {}

std::shared_ptr<TSkin> SharedSkin(const std::string& name, int tint)
{
    // Held by the windows that show them: a skin nobody shows any more goes.
    static std::map<std::pair<std::string, int>, std::weak_ptr<TSkin>> skins;
    std::weak_ptr<TSkin>& entry = skins[{name, tint}];
    std::shared_ptr<TSkin> skin = entry.lock();
    if (!skin) {
        skin = MakeSkin(name, tint);
        entry = skin;
    }
    return skin;
}

TfrmZkGrayDialog::TfrmZkGrayDialog(TComponent* owner) : TForm(owner)
{
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetClientSize(349, 289);
    SetTransparentColor(true);
    SetTransparentColorValue(kDesignKeyColor);
    // Escape must reach the form from whatever control has the focus.
    KeyPreview = true;

    // A window: it lies over the strip, which the form paints under its windows.
    btnClose = Create<TzkImageListButton>();
    btnClose->Name = "btnClose";
    btnClose->TabStop = false;
    btnClose->SetBounds(ClientWidth() - kButtonSize, 0, kButtonSize, kButtonSize);
    btnClose->SetParent(this);
    btnClose->OnClick = [this] { btnCloseClick(); };

    imgCaption = Create<TPaintBox>();
    imgCaption->Name = "imgCaption";
    // Drawn whole every time, off-screen.
    imgCaption->Opaque = true;
    imgCaption->SetBounds(0, 0, ClientWidth(), kStripHeight);
    imgCaption->SetAlign(TAlign::alTop);
    imgCaption->SetParent(this);
    imgCaption->OnPaint = [this](HDC dc) { imgCaptionPaint(dc); };
    imgCaption->OnMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
        imgCaptionMouseDown(button, shift, x, y);
    };
}

void TfrmZkGrayDialog::CreateParams(TCreateParams& params)
{
    TForm::CreateParams(params);
    // Dropping the dialog-frame half of a caption takes the title bar away and
    // leaves the border; a style without a caption gets no frame from it. The skin
    // name is left alone, so a window made again keeps the skin it was given.
    params.Style = (params.Style | WS_POPUP) & ~static_cast<DWORD>(WS_DLGFRAME);
}

void TfrmZkGrayDialog::CreateWnd()
{
    TForm::CreateWnd();
    // The skin comes with the first window, once its name is decided and before
    // the close button's window is made: a button made without its images would
    // have to be made again as soon as they come.
    if (!skin_)
        TakeSkin(SharedSkin(skinName_, skinTint_));
}

void TfrmZkGrayDialog::FormCreate()
{
    ActiveCaptionColor = 0xF8F8F8;
    InactiveCaptionColor = 0x808080;
    btnClose->SetIndexButton(0);
    btnClose->SetIndexEnter(1);
    btnClose->SetIndexClick(2);
}

void TfrmZkGrayDialog::TakeSkin(std::shared_ptr<TSkin> skin)
{
    // The button lets go of the old images before they may go with the old skin.
    btnClose->SetImageList(&skin->CloseImages);
    skin_ = std::move(skin);
}

void TfrmZkGrayDialog::SetSkinTint(int tint)
{
    if (tint == skinTint_)
        return;
    // Found or made before anything changes: a failure leaves skin, tint, button
    // images and key colour as they were.
    TakeSkin(SharedSkin(skinName_, tint));
    skinTint_ = tint;
    SetTransparentColorValue(static_cast<TColor>(skin_->KeyColor));
    PaintFrame();
    PaintCaption();
}

std::string TfrmZkGrayDialog::CutCaption(const std::string& caption, int capacity)
{
    if (static_cast<int>(caption.size()) <= capacity)
        return caption;
    int n = capacity - 4;
    if (n < 1)
        return "...";
    // Walk the characters from the start: a trail byte may look like a lead byte.
    int start = 0;
    while (start < n) {
        const int length = IsLeadByte(caption[static_cast<size_t>(start)]) ? 2 : 1;
        if (start + length > n) {
            n = start;  // the cut would split this character: leave it out
            break;
        }
        start += length;
    }
    return caption.substr(0, static_cast<size_t>(n)) + "...";
}

void TfrmZkGrayDialog::imgCaptionPaint(HDC dc)
{
    if (!skin_)
        return;
    const int width = imgCaption->ClientWidth();
    OffscreenBitmap strip(dc, width, kStripHeight);
    {
        UniqueDC skinDc(CreateCompatibleDC(dc));
        SelectGuard select(skinDc.get(), skin_->Bitmap.get());
        Copy(strip.dc(), 0, 0, width, kStripHeight, skinDc.get(), kCaptionColumn);
    }
    {
        SelectGuard selectFont(strip.dc(), Font().Handle());
        SIZE m{};
        GetTextExtentPoint32A(strip.dc(), "M", 1, &m);
        const int capacity = m.cx > 0 ? (width - kTextLeft) / m.cx : 0;
        const std::string text = CutCaption(Caption(), capacity);
        SetBkMode(strip.dc(), TRANSPARENT);
        SetTextColor(strip.dc(), ColorToRGB(active_ ? ActiveCaptionColor : InactiveCaptionColor));
        TextOutA(strip.dc(), kTextLeft, 2, text.c_str(), static_cast<int>(text.size()));
    }
    if (HICON icon = CaptionIcon(Handle()))
        DrawIconEx(strip.dc(), 1, 1, icon, 16, 16, 0, nullptr, DI_NORMAL);
    BitBlt(dc, 0, 0, width, kStripHeight, strip.dc(), 0, 0, SRCCOPY);
}

void TfrmZkGrayDialog::PaintCaption()
{
    // A hidden window gets its whole paint when it shows.
    if (!skin_ || !HandleAllocated() || !IsWindowVisible(Handle()))
        return;
    imgCaption->Invalidate();
}

void TfrmZkGrayDialog::DrawFrame(HDC dc, int w, int h)
{
    UniqueDC skinDc(CreateCompatibleDC(dc));
    SelectGuard select(skinDc.get(), skin_->Bitmap.get());
    const HDC s = skinDc.get();
    SetStretchBltMode(dc, COLORONCOLOR);
    Copy(dc, 0, 0, w, 4, s, kTopEdge);
    Copy(dc, 0, h - 4, w, 4, s, kBottomEdge);
    Copy(dc, 0, 0, 4, h, s, kLeftEdge);
    Copy(dc, w - 4, 0, 4, h, s, kRightEdge);
    Copy(dc, 0, 0, 5, 4, s, kTopLeft);
    Copy(dc, w - 5, 0, 5, 4, s, kTopRight);
    Copy(dc, 0, h - 4, 5, 4, s, kBottomLeft);
    Copy(dc, w - 5, h - 4, 5, 4, s, kBottomRight);
}

void TfrmZkGrayDialog::PaintFrame()
{
    if (!skin_ || !HandleAllocated() || !IsWindowVisible(Handle()))
        return;
    RECT r;
    GetWindowRect(Handle(), &r);
    {
        WindowDC dc(Handle(), true);
        DrawFrame(dc.get(), r.right - r.left, r.bottom - r.top);
    }
}

void TfrmZkGrayDialog::ActiveChanged(bool active)
{
    active_ = active;
    PaintCaption();
}

void TfrmZkGrayDialog::btnCloseClick()
{
    ModalResult = mrCancel;
    Close();
}

void TfrmZkGrayDialog::FormKeyDown(WORD& key, TShiftState)
{
    if (key == VK_ESCAPE)
        ModalResult = mrCancel;
}

void TfrmZkGrayDialog::FormResize()
{
    btnClose->SetLeft(ClientWidth() - btnClose->Width());
    // The caption's cut depends on the width: the whole strip changes.
    imgCaption->Invalidate();
}

void TfrmZkGrayDialog::imgCaptionMouseDown(TMouseButton, TShiftState, int x, int y)
{
    ReleaseCapture();
    const POINT p = imgCaption->ClientToScreen({x, y});
    // Any button drags: the platform's move loop follows the mouse from here.
    SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
}

LRESULT TfrmZkGrayDialog::WndProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = TForm::WndProc(msg, wParam, lParam);
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            ActiveChanged(false);
        else if (LOWORD(wParam) == WA_ACTIVE)
            ActiveChanged(true);
        break;
    case WM_SETFOCUS:
        ActiveChanged(true);
        break;
    case WM_NCACTIVATE:
        ActiveChanged(wParam != 0);
        // The platform has just drawn its own border over ours.
        PaintFrame();
        break;
    case WM_SETTEXT:
        if (skin_)
            PaintCaption();
        break;
    case WM_NCPAINT:
        PaintFrame();
        break;
    case WM_PRINT:
        // A print of the whole window gets the border it shows on screen.
        if ((lParam & PRF_NONCLIENT) && skin_) {
            RECT r;
            GetWindowRect(Handle(), &r);
            DrawFrame(reinterpret_cast<HDC>(wParam), r.right - r.left, r.bottom - r.top);
        }
        break;
    default:
        break;
    }
    return result;
}
