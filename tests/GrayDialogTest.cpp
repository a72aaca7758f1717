#include "notes/zkGrayDialog.h"
#include "framework/Application.h"
#include "framework/SysUtils.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// The frame with the test skin: one flat colour per skin piece.
class TfrmTestSkin : public TfrmZkGrayDialog {
public:
    using TfrmZkGrayDialog::TfrmZkGrayDialog;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TfrmZkGrayDialog::CreateParams(params);
        SetSkinName("BMP_TEST");
    }
};

constexpr COLORREF kCaptionBack = RGB(139, 159, 223);
constexpr COLORREF kButtonNormal = RGB(200, 0, 0);

template <typename T>
struct Shown {
    TestProgram program;
    T* form;
    Shown() : form(Application.CreateForm<T>())
    {
        form->SetBounds(100, 100, 360, 200);
        form->Show();
    }
    ~Shown() { Application.DestroyForm(form); }
    T* operator->() const { return form; }
};

// A window's picture with client coordinates.
struct Picture {
    WindowImage image;
    POINT client;
    explicit Picture(HWND wnd) : image(WindowImage::OnScreen(wnd))
    {
        RECT w;
        GetWindowRect(wnd, &w);
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        client = {origin.x - w.left, origin.y - w.top};
    }
    COLORREF At(int x, int y) const { return image.Pixel(client.x + x, client.y + y); }
};

int TextWidth(TForm* form, const std::string& text)
{
    WindowDC dc(form->Handle());
    SelectGuard font(dc.get(), form->Font().Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The right end of the caption text: the last column of the strip, left of the
// close button, with a pixel that is not the background.
int TextRightEnd(const Picture& p, int stripWidth)
{
    for (int x = stripWidth - 17; x >= 20; --x)
        for (int y = 0; y < 18; ++y)
            if (p.At(x, y) != kCaptionBack)
                return x;
    return 0;
}

int CountPixels(const Picture& p, int stripWidth, COLORREF colour)
{
    int n = 0;
    for (int x = 20; x < stripWidth - 16; ++x)
        for (int y = 0; y < 18; ++y)
            n += p.At(x, y) == colour;
    return n;
}

} // namespace

TEST(Frame, IsABorderedPopUpWithItsCloseButton)
{
    Shown<TfrmZkGrayDialog> form;
    const LONG_PTR style = GetWindowLongPtrA(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_DLGFRAME) << "no system caption";
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_EQ("BMP_BLUE", form->SkinName());
    EXPECT_TRUE(form->TransparentColor());
    EXPECT_EQ(0x33081A, form->TransparentColorValue());
    EXPECT_EQ(RGB(26, 8, 51), form->TransparentColorValue());

    EXPECT_EQ(3, form->CloseImages()->Count());
    EXPECT_EQ(form->CloseImages(), form->btnClose->ImageList());
    EXPECT_EQ(0, form->btnClose->IndexButton());
    EXPECT_EQ(1, form->btnClose->IndexEnter());
    EXPECT_EQ(2, form->btnClose->IndexClick());
    EXPECT_EQ(-1, form->btnClose->IndexMask());
    EXPECT_FALSE(GetWindowLongPtrA(form->btnClose->Handle(), GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(18, form->imgCaption->Height());
    EXPECT_EQ(form->ClientWidth(), form->imgCaption->Width());
}

TEST(Frame, PaintsEverySkinPieceInItsPlace)
{
    Shown<TfrmTestSkin> form;
    const Picture p(form->Handle());
    const int w = p.image.Width(), h = p.image.Height();
    EXPECT_EQ(RGB(0, 250, 250), p.image.Pixel(w / 2, 1)) << "top edge";
    EXPECT_EQ(RGB(60, 60, 60), p.image.Pixel(w / 2, h - 2)) << "bottom edge";
    EXPECT_EQ(RGB(250, 0, 250), p.image.Pixel(1, h / 2)) << "left edge";
    EXPECT_EQ(RGB(100, 0, 100), p.image.Pixel(w - 2, h / 2)) << "right edge";
    EXPECT_EQ(RGB(250, 250, 0), p.image.Pixel(1, 1)) << "top-left";
    EXPECT_EQ(RGB(0, 250, 250), p.image.Pixel(4, 1)) << "top-left's last column";
    EXPECT_EQ(RGB(0, 100, 100), p.image.Pixel(w - 3, 1)) << "top-right";
    EXPECT_EQ(RGB(100, 100, 0), p.image.Pixel(1, h - 2)) << "bottom-left";
    EXPECT_EQ(RGB(0, 0, 100), p.image.Pixel(w - 3, h - 2)) << "bottom-right";
    EXPECT_EQ(RGB(60, 60, 60), p.image.Pixel(w - 5, h - 2)) << "bottom-right's first column";

    const int cw = form->ClientWidth();
    EXPECT_EQ(kCaptionBack, p.At(cw - 20, 16)) << "caption background";
    EXPECT_EQ(kButtonNormal, p.At(cw - 8, 8)) << "close button, over the strip";
    EXPECT_NE(kCaptionBack, p.At(cw / 2, 30)) << "below the strip is the window's own colour";
}

TEST(Frame, CaptionColourShowsTheActiveState)
{
    Shown<TfrmTestSkin> form;
    form->ActiveCaptionColor = 0x00FF00;
    form->InactiveCaptionColor = 0xFF0000;
    form->SetCaption("Pinova memo");
    const int cw = form->ClientWidth();

    SendMessageA(form->Handle(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(form->IsActive());
    Picture active(form->Handle());
    EXPECT_GT(CountPixels(active, cw, RGB(0, 255, 0)), 10);
    EXPECT_EQ(0, CountPixels(active, cw, RGB(0, 0, 255)));

    SendMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_FALSE(form->IsActive());
    Picture inactive(form->Handle());
    EXPECT_EQ(0, CountPixels(inactive, cw, RGB(0, 255, 0)));
    EXPECT_GT(CountPixels(inactive, cw, RGB(0, 0, 255)), 10);

    // WM_ACTIVATE reports both ways; a click activation leaves it to WM_NCACTIVATE.
    SendMessageA(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(form->IsActive());
    SendMessageA(form->Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(form->IsActive());
    SendMessageA(form->Handle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_FALSE(form->IsActive());
}

TEST(Frame, CaptionIsCutToTheStripCapacity)
{
    Shown<TfrmTestSkin> form;
    form->SetClientSize(200, 100);
    const int cw = form->ClientWidth();
    const int capacity = (cw - 20) / TextWidth(form.form, "M");
    ASSERT_GT(capacity, 6);

    // The capacity counts "M"s; narrower letters keep the text clear of the close button.
    const std::string fits(static_cast<size_t>(capacity), 'x');
    form->SetCaption(fits);
    EXPECT_NEAR(20 + TextWidth(form.form, fits) - 1, TextRightEnd(Picture(form->Handle()), cw), 1);

    const std::string longer = fits + "x";
    const std::string cut = std::string(static_cast<size_t>(capacity - 4), 'x') + "...";
    form->SetCaption(longer);
    EXPECT_NEAR(20 + TextWidth(form.form, cut) - 1, TextRightEnd(Picture(form->Handle()), cw), 1);

    if (GetACP() == 949) {
        // "a" then Hangul syllables of two bytes each: the cut lands inside one.
        std::string korean = "a";
        while (static_cast<int>(korean.size()) <= capacity)
            korean += "\xB0\xA1";
        const int n = capacity - 4;
        const std::string expected = korean.substr(0, static_cast<size_t>(n % 2 == 0 ? n - 1 : n)) + "...";
        form->SetCaption(korean);
        EXPECT_EQ(expected, TfrmZkGrayDialog::CutCaption(korean, capacity));
        EXPECT_NEAR(20 + TextWidth(form.form, expected) - 1, TextRightEnd(Picture(form->Handle()), cw), 1);
    }
}

TEST(Frame, CutKeepsTwoByteCharactersWhole)
{
    EXPECT_EQ("abcdef", TfrmZkGrayDialog::CutCaption("abcdef", 6));
    EXPECT_EQ("ab...", TfrmZkGrayDialog::CutCaption("abcdefg", 6));
    EXPECT_EQ("a...", TfrmZkGrayDialog::CutCaption("abcdef", 5));
    EXPECT_EQ("...", TfrmZkGrayDialog::CutCaption("abcdef", 4)) << "nothing left before the dots";
    EXPECT_EQ("...", TfrmZkGrayDialog::CutCaption("abcdef", -3));
    EXPECT_EQ("", TfrmZkGrayDialog::CutCaption("", 0));

    // Six Hangul syllables, twelve bytes; in code page 949 their trail bytes look
    // like lead bytes too, so only a walk from the start tells them apart.
    const std::string hangul = "\xB0\xA1\xB3\xAA\xB4\xD9\xB6\xF3\xB8\xB6\xB9\xD9";
    if (GetACP() == 949) {
        EXPECT_EQ(hangul.substr(0, 6) + "...", TfrmZkGrayDialog::CutCaption(hangul, 10));
        EXPECT_EQ(hangul.substr(0, 4) + "...", TfrmZkGrayDialog::CutCaption(hangul, 9));
        EXPECT_EQ("a" + hangul.substr(0, 4) + "...", TfrmZkGrayDialog::CutCaption("a" + hangul, 10));
    } else {
        EXPECT_EQ(hangul.substr(0, 5) + "...", TfrmZkGrayDialog::CutCaption(hangul, 9));
    }
}

TEST(Frame, ShowsTheProgramIconUnlessTheWindowHasItsOwn)
{
    Shown<TfrmTestSkin> form;
    ASSERT_TRUE(PrjInfo->Icon);
    {
        // What the program's icon looks like on the strip's background.
        WindowDC screen(nullptr);
        OffscreenBitmap expected(screen.get(), 16, 16);
        UniqueBrush back(CreateSolidBrush(kCaptionBack));
        const RECT all{0, 0, 16, 16};
        FillRect(expected.dc(), &all, back.get());
        DrawIconEx(expected.dc(), 0, 0, PrjInfo->Icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
        const Picture p(form->Handle());
        int differing = 0, drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                differing += p.At(1 + x, 1 + y) != GetPixel(expected.dc(), x, y);
                drawn += p.At(1 + x, 1 + y) != kCaptionBack;
            }
        EXPECT_EQ(0, differing);
        EXPECT_GT(drawn, 50);
    }

    // A red icon of its own.
    WindowDC screen(nullptr);
    UniqueBitmap colour(CreateCompatibleBitmap(screen.get(), 16, 16));
    {
        UniqueDC dc(CreateCompatibleDC(screen.get()));
        SelectGuard select(dc.get(), colour.get());
        UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
        const RECT all{0, 0, 16, 16};
        FillRect(dc.get(), &all, red.get());
    }
    std::vector<BYTE> andBits(32, 0);
    UniqueBitmap mask(CreateBitmap(16, 16, 1, 1, andBits.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    UniqueIcon icon(CreateIconIndirect(&info));
    SendMessageA(form->Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    form->PaintCaption();
    const Picture p(form->Handle());
    EXPECT_EQ(RGB(255, 0, 0), p.At(1, 1));
    EXPECT_EQ(RGB(255, 0, 0), p.At(16, 16));
    EXPECT_EQ(kCaptionBack, p.At(17, 16));
    SendMessageA(form->Handle(), WM_SETICON, ICON_SMALL, 0);
}

TEST(Frame, CloseButtonStaysAtTheRightEnd)
{
    Shown<TfrmTestSkin> form;
    for (int width : {200, 520, 90, 349}) {
        form->SetClientSize(width, 150);
        EXPECT_EQ(width, form->ClientWidth());
        EXPECT_EQ(width - 16, form->btnClose->Left());
        EXPECT_EQ(0, form->btnClose->Top());
        const Picture p(form->Handle());
        EXPECT_EQ(kButtonNormal, p.At(width - 16, 0)) << width;
        EXPECT_EQ(kButtonNormal, p.At(width - 1, 15)) << width;
        EXPECT_EQ(kCaptionBack, p.At(width - 17, 15)) << width;
    }
}

TEST(Frame, TintTurnsTheSkinAndItsKeyColour)
{
    Shown<TfrmTestSkin> form;
    const int cw = form->ClientWidth();
    auto keyColour = [&] {
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(form->Handle(), &key, &alpha, &flags);
        EXPECT_TRUE(flags & LWA_COLORKEY);
        EXPECT_EQ(static_cast<COLORREF>(form->TransparentColorValue()), key);
        return key;
    };
    EXPECT_EQ(RGB(26, 8, 51), keyColour());

    form->SetSkinTint(90);
    EXPECT_EQ(90, form->SkinTint());
    Picture red(form->Handle());
    EXPECT_EQ(RGB(223, 140, 139), red.At(cw - 20, 16));
    auto tintedSkin = [&](int x, int y) {
        WindowDC screen(nullptr);
        UniqueDC dc(CreateCompatibleDC(screen.get()));
        SelectGuard select(dc.get(), form->SkinBitmap());
        return GetPixel(dc.get(), x, y);
    };
    EXPECT_NE(kButtonNormal, red.At(cw - 8, 8));
    EXPECT_EQ(tintedSkin(8, 8), red.At(cw - 8, 8)) << "the button's images are cut again";
    EXPECT_NE(RGB(26, 8, 51), keyColour());
    EXPECT_EQ(tintedSkin(0, 17), keyColour());

    form->SetSkinTint(500);
    Picture grey(form->Handle());
    EXPECT_EQ(RGB(139, 139, 139), grey.At(cw - 20, 16));
    EXPECT_EQ(RGB(0, 0, 0), grey.At(cw - 8, 8));
    EXPECT_EQ(RGB(8, 8, 8), keyColour());

    form->SetSkinTint(0);
    Picture plain(form->Handle());
    EXPECT_EQ(kCaptionBack, plain.At(cw - 20, 16));
    EXPECT_EQ(kButtonNormal, plain.At(cw - 8, 8));
    EXPECT_EQ(RGB(26, 8, 51), keyColour());
}

TEST(Frame, FramesAtOneTintShareOneSkinAndEachKeepsItsOwnLook)
{
    Shown<TfrmTestSkin> first;
    auto* second = Application.CreateForm<TfrmTestSkin>();
    second->SetBounds(100, 320, 360, 200);
    second->Show();
    const HWND firstButton = first->btnClose->Handle();
    auto skinPixel = [](TfrmTestSkin* form, int x, int y) {
        WindowDC screen(nullptr);
        UniqueDC dc(CreateCompatibleDC(screen.get()));
        SelectGuard select(dc.get(), form->SkinBitmap());
        return GetPixel(dc.get(), x, y);
    };
    struct Step {
        TfrmTestSkin* form;
        int tint;
    };
    const Step steps[] = {{first.form, 0}, {first.form, 90}, {second, 90}, {first.form, 500}, {first.form, 0}};
    for (const Step& step : steps) {
        step.form->SetSkinTint(step.tint);
        PumpMessages();
        const bool same = first->SkinTint() == second->SkinTint();
        EXPECT_EQ(same, first->SkinBitmap() == second->SkinBitmap()) << step.tint;
        EXPECT_EQ(same, first->CloseImages() == second->CloseImages()) << step.tint;
        for (TfrmTestSkin* form : {first.form, second}) {
            EXPECT_EQ(form->CloseImages(), form->btnClose->ImageList());
            EXPECT_EQ(skinPixel(form, 8, 8), Picture(form->Handle()).At(form->ClientWidth() - 8, 8))
                << "each button shows its own window's tint, " << form->SkinTint();
            EXPECT_EQ(static_cast<TColor>(skinPixel(form, 0, 17)), form->TransparentColorValue());
        }
    }
    EXPECT_EQ(firstButton, first->btnClose->Handle()) << "a new face needs no new button";
    Application.DestroyForm(second);
}

TEST(Frame, TheCurrentTintChangesNothing)
{
    Shown<TfrmZkGrayDialog> form;
    const HBITMAP fresh = form->SkinBitmap();
    form->SetSkinTint(0);
    EXPECT_EQ(fresh, form->SkinBitmap()) << "not reloaded";
    form->SetSkinTint(90);
    const HBITMAP red = form->SkinBitmap();
    EXPECT_NE(fresh, red);
    form->SetSkinTint(90);
    EXPECT_EQ(red, form->SkinBitmap());
}

TEST(Frame, EscapeAndTheCloseButtonEndAModalFrameWithCancel)
{
    Shown<TfrmZkGrayDialog> form;
    form->Hide();
    PostMessageA(form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(mrCancel, form->ShowModal());

    PostMessageA(form->btnClose->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(mrCancel, form->ShowModal());

    // Other keys pass untouched.
    form->ModalResult = mrNone;
    WORD key = 'A';
    form->DoKeyDown(key, 0);
    EXPECT_EQ('A', key);
    EXPECT_EQ(mrNone, form->ModalResult);
}

namespace {

// A frame whose skin name a test can change after the window exists.
class TfrmSkinChoice : public TfrmZkGrayDialog {
public:
    using TfrmZkGrayDialog::TfrmZkGrayDialog;
    void UseSkin(const std::string& name) { SetSkinName(name); }
};

COLORREF KeyColourOf(HWND wnd)
{
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(wnd, &key, &alpha, &flags);
    return key;
}

} // namespace

TEST(Frame, ATintWhoseSkinCannotLoadChangesNothing)
{
    Shown<TfrmSkinChoice> form;
    form->SetSkinTint(90);
    const HBITMAP red = form->SkinBitmap();
    const COLORREF redKey = KeyColourOf(form->Handle());

    form->UseSkin("BMP_MISSING");
    EXPECT_THROW(form->SetSkinTint(500), Exception);
    EXPECT_EQ(90, form->SkinTint()) << "the tint that was never applied is not kept";
    EXPECT_EQ(red, form->SkinBitmap());
    EXPECT_EQ(redKey, KeyColourOf(form->Handle()));
    EXPECT_EQ(3, form->CloseImages()->Count());

    // With the skin back, the same tint is applied, not taken for the current one.
    form->UseSkin("BMP_BLUE");
    form->SetSkinTint(500);
    EXPECT_EQ(500, form->SkinTint());
    EXPECT_NE(red, form->SkinBitmap());
    EXPECT_NE(redKey, KeyColourOf(form->Handle()));
}

TEST(Frame, EveryBorderStyleLosesItsCaptionAndReCreationKeepsTheSkinName)
{
    struct Case {
        TFormBorderStyle style;
        bool border;  // the styles with a caption keep its border
    };
    const Case cases[] = {
        {TFormBorderStyle::bsNone, false},       {TFormBorderStyle::bsSingle, true},
        {TFormBorderStyle::bsSizeable, true},    {TFormBorderStyle::bsDialog, true},
        {TFormBorderStyle::bsToolWindow, true},  {TFormBorderStyle::bsSizeToolWin, true},
    };
    Shown<TfrmSkinChoice> form;
    form->UseSkin("BMP_TEST");
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        form->SetBorderStyle(c.style);
        form->RecreateWnd();
        const LONG_PTR style = GetWindowLongPtrA(form->Handle(), GWL_STYLE);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_FALSE(style & WS_DLGFRAME) << "never a dialog frame";
        EXPECT_EQ(c.border, (style & WS_BORDER) != 0);
        EXPECT_EQ("BMP_TEST", form->SkinName()) << "the skin chosen stays chosen";
    }
}
