#include "controls/zkImglstBtn.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// One flat colour per image, so a pixel tells which image the button drew.
constexpr std::array<COLORREF, 6> kImageColours{RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200),
                                                RGB(200, 200, 0), RGB(0, 200, 200), RGB(200, 0, 200)};

UniqueBitmap SolidBitmap(int width, int height, COLORREF left, COLORREF right)
{
    WindowDC screen(nullptr);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    SelectGuard select(dc.get(), bitmap.get());
    UniqueBrush l(CreateSolidBrush(left)), r(CreateSolidBrush(right));
    const RECT lr{0, 0, width / 2, height}, rr{width / 2, 0, width, height};
    FillRect(dc.get(), &lr, l.get());
    FillRect(dc.get(), &rr, r.get());
    return bitmap;
}

class ImageButton : public testing::Test {
protected:
    void SetUp() override
    {
        host = Application.CreateForm<TForm>();
        host->SetBounds(50, 50, 200, 120);
        images = host->Create<TImageList>(16, 16);
        for (COLORREF c : kImageColours)
            images->Add(SolidBitmap(16, 16, c, c).get());
        button = host->Create<TzkImageListButton>();
        button->SetBounds(10, 10, 16, 16);
        button->SetParent(host);
        button->OnClick = [this] { clicks++; };
        host->Show();
    }
    void TearDown() override { Application.DestroyForm(host); }

    void UseImages(int normal, int enter, int click)
    {
        button->SetImageList(images);
        button->SetIndexButton(normal);
        button->SetIndexEnter(enter);
        button->SetIndexClick(click);
    }
    COLORREF Shown() const { return WindowImage(button->Handle()).Pixel(8, 8); }
    void Press(int x, int y, UINT down = WM_LBUTTONDOWN)
    {
        SendMessageA(button->Handle(), down, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    LONG_PTR ButtonKind() const { return GetWindowLongPtrA(button->Handle(), GWL_STYLE) & BS_TYPEMASK; }

    TForm* host = nullptr;
    TImageList* images = nullptr;
    TzkImageListButton* button = nullptr;
    int clicks = 0;
};

} // namespace

TEST_F(ImageButton, ShowsTheImageOfItsState)
{
    UseImages(0, 1, 2);
    EXPECT_EQ(BS_OWNERDRAW, ButtonKind());
    EXPECT_EQ(kImageColours[0], Shown());

    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_TRUE(button->MouseInside());
    EXPECT_EQ(kImageColours[1], Shown());

    SendMessageA(button->Handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(kImageColours[2], Shown());
    SendMessageA(button->Handle(), BM_SETSTATE, FALSE, 0);

    SendMessageA(button->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button->MouseInside());
    EXPECT_EQ(kImageColours[0], Shown());

    // Without a disabled image, the pressed one stands in; with one, it is used.
    button->SetEnabled(false);
    EXPECT_EQ(kImageColours[2], Shown());
    button->SetIndexDisable(3);
    EXPECT_EQ(kImageColours[3], Shown());
}

TEST_F(ImageButton, IndexZeroOrLessMeansTheNormalImage)
{
    UseImages(5, 0, -1);
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(kImageColours[5], Shown());
    SendMessageA(button->Handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(kImageColours[5], Shown());
}

TEST_F(ImageButton, WithoutImageListItIsAPlainPushButton)
{
    EXPECT_EQ(BS_PUSHBUTTON, ButtonKind());
    button->SetCaption(L"OK");
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, clicks);

    // Taking the list away again, by freeing it, makes it a plain button once more.
    UseImages(0, 1, 2);
    ASSERT_EQ(BS_OWNERDRAW, ButtonKind());
    HWND before = button->Handle();
    host->DestroyComponent(images);
    images = nullptr;
    EXPECT_EQ(nullptr, button->ImageList());
    EXPECT_NE(before, button->Handle());
    EXPECT_EQ(BS_PUSHBUTTON, ButtonKind());
    EXPECT_EQ(L"OK", button->Caption());
    EXPECT_TRUE(IsWindowVisible(button->Handle()));
    Press(8, 8);
    EXPECT_EQ(2, clicks);
}

TEST_F(ImageButton, WhitePixelsOfTheMaskTakeNoPress)
{
    const int mask = images->Add(SolidBitmap(16, 16, RGB(255, 255, 255), RGB(0, 0, 0)).get());
    UseImages(0, 1, 2);
    Press(3, 8);
    EXPECT_EQ(1, clicks) << "no mask yet: every point clicks";
    button->SetIndexMask(mask);
    Press(3, 8);
    EXPECT_EQ(1, clicks) << "white half";
    Press(12, 8);
    EXPECT_EQ(2, clicks) << "black half";
}

TEST_F(ImageButton, DoubleClickCountsAsTwoClicksUnlessHandled)
{
    UseImages(0, 1, 2);
    Press(8, 8);
    Press(8, 8, WM_LBUTTONDBLCLK);
    EXPECT_EQ(2, clicks);

    int doubleClicks = 0;
    button->OnDblClick = [&] { doubleClicks++; };
    Press(8, 8);
    Press(8, 8, WM_LBUTTONDBLCLK);
    EXPECT_EQ(3, clicks);
    EXPECT_EQ(1, doubleClicks);
}

TEST_F(ImageButton, DefaultLookIsKeptWithoutLosingTheOwnerDrawing)
{
    UseImages(0, 1, 2);
    SendMessageA(button->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(button->DefaultLook());
    EXPECT_EQ(BS_OWNERDRAW, ButtonKind());
    EXPECT_EQ(kImageColours[0], Shown());
    SendMessageA(button->Handle(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(button->DefaultLook());
}
