#pragma once
// The caption-bar window frame under every window the program shows: a skin
// bitmap paints an 18-pixel caption strip (icon, caption, close button) and a
// 4-pixel border in place of the system title bar. The skin's hue can be turned
// at run time, which is how note windows show their mode.

#include "controls/zkImglstBtn.h"
#include "framework/Forms.h"
#include "framework/Handles.h"
#include "framework/ImgList.h"

#include <memory>
#include <string>

// A skin as loaded and turned, with the close button's three images cut from it.
// Every window showing the same skin at the same tint shares one: a thousand
// notes on the desktop need not load, turn and cut it a thousand times, nor
// hold a thousand copies of the same bitmaps.
struct TSkin {
    TSkin();
    UniqueBitmap Bitmap;
    TImageList CloseImages;
    COLORREF KeyColor = 0;
};

// The skin of that resource turned by `tint`: the one already in use, or loaded
// now. Fails with the loader's error when the resource is missing.
std::shared_ptr<TSkin> SharedSkin(const std::string& name, int tint);

class TfrmZkGrayDialog : public TForm {
public:
    explicit TfrmZkGrayDialog(TComponent* owner);

    TPaintBox* imgCaption;
    TzkImageListButton* btnClose;

    TColor ActiveCaptionColor = 0xF8F8F8;
    TColor InactiveCaptionColor = 0x808080;

    int SkinTint() const { return skinTint_; }
    // Reloads the skin and turns its hue by tint/240 of a full turn; the window's
    // key colour follows the turned skin. The current value changes nothing; a
    // skin that cannot be loaded or turned changes nothing either.
    void SetSkinTint(int tint);
    const std::string& SkinName() const { return skinName_; }
    HBITMAP SkinBitmap() const { return skin_ ? skin_->Bitmap.get() : nullptr; }
    TImageList* CloseImages() const { return skin_ ? &skin_->CloseImages : nullptr; }
    bool IsActive() const { return active_; }

    // The border drawn now (the caption strip is in the client area, which the
    // platform's frame drawing leaves alone).
    void PaintFrame();
    // The caption strip drawn again at the next paint.
    void PaintCaption();

    // The caption as the strip shows it, for a strip holding `capacity` bytes.
    static std::string CutCaption(const std::string& caption, int capacity);

    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void FormCreate() override;
    void FormKeyDown(WORD& key, TShiftState shift) override;
    void FormResize() override;

    virtual void ActiveChanged(bool active);
    virtual void btnCloseClick();
    void imgCaptionPaint(HDC dc);
    void imgCaptionMouseDown(TMouseButton button, TShiftState shift, int x, int y);

    // Read when the skin is loaded: at creation and with every tint.
    void SetSkinName(const std::string& name) { skinName_ = name; }

private:
    void TakeSkin(std::shared_ptr<TSkin> skin);
    void DrawFrame(HDC dc, int width, int height);

    bool active_ = false;
    int skinTint_ = 0;
    std::string skinName_ = "BMP_BLUE";
    std::shared_ptr<TSkin> skin_;
};
