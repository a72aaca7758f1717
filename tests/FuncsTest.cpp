#include "notes/BasketFileName.h"
#include "shell/funcs.h"

#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <vector>

TEST(FileNameEncoding, EncodesReservedCharactersAndDecodesThemBack)
{
    EXPECT_EQ("a%(47)b%(58)c", EncodeFileName("a/b:c"));
    EXPECT_EQ("a/b:c", DecodeFileName("a%(47)b%(58)c"));
    EXPECT_EQ("%(92)%(47)%(58)%(42)%(63)%(60)%(62)%(124)", EncodeFileName("\\/:*?<>|"));
    EXPECT_EQ("\\/:*?<>|", DecodeFileName(EncodeFileName("\\/:*?<>|")));
    EXPECT_EQ("x%(42)%(42)y", EncodeFileName("x**y"));
    EXPECT_EQ("", EncodeFileName(""));
    EXPECT_EQ("100% (sure)", EncodeFileName("100% (sure)"));
}

TEST(FileNameEncoding, CaptionHoldingAnEscapeDoesNotSurvive)
{
    EXPECT_EQ("%(65)", EncodeFileName("%(65)"));
    EXPECT_EQ("A", DecodeFileName(EncodeFileName("%(65)")));
}

TEST(FileNameEncoding, DecodesOddSequences)
{
    EXPECT_EQ(" ", DecodeFileName("%(abc)"));
    EXPECT_EQ(" ", DecodeFileName("%()"));
    EXPECT_EQ("A", DecodeFileName("%(321)"));
    // The first pass yields '%', which opens a new sequence with "(40)".
    EXPECT_EQ("(", DecodeFileName("%(37)(40)"));
    EXPECT_EQ("x%(12", DecodeFileName("x%(12"));
    EXPECT_EQ("a:b%(no end", DecodeFileName("a%(58)b%(no end"));
}

TEST(FileNameEncoding, KoreanBytesPassThrough)
{
    const std::string korean = "\xC7\xD1\xB1\xDB/\xB8\xDE\xB8\xF0";
    EXPECT_EQ("\xC7\xD1\xB1\xDB%(47)\xB8\xDE\xB8\xF0", EncodeFileName(korean));
    EXPECT_EQ(korean, DecodeFileName(EncodeFileName(korean)));
}

TEST(ExtractFileTitle, DropsFolderAndLastExtension)
{
    EXPECT_EQ("a.b", ExtractFileTitle("a.b.txt"));
    EXPECT_EQ("readme", ExtractFileTitle("readme"));
    EXPECT_EQ("", ExtractFileTitle(".txt"));
    EXPECT_EQ("2026-03-05 09_07_42 a%(47)b", ExtractFileTitle("C:\\x\\2026-03-05 09_07_42 a%(47)b.txt"));
    EXPECT_EQ("name", ExtractFileTitle("C:name.ext"));
    EXPECT_EQ("name", ExtractFileTitle("C:\\dir.x\\name"));
}

TEST(PosFrom, FindsFromTheStartPosition)
{
    EXPECT_EQ(4, PosFrom(")", "abc)", 2));
    EXPECT_EQ(0, PosFrom(")", "abc)", 5));
    EXPECT_EQ(7, PosFrom("", "abc", 7));
    EXPECT_EQ(0, PosFrom("a", "", 1));
    EXPECT_EQ(1, PosFrom("ab", "abab", -3));
    EXPECT_EQ(3, PosFrom("ab", "abab", 2));
    EXPECT_EQ(0, PosFrom("abc", "ab", 1));
}

TEST(HueShift, ConvertsBetweenRgbAndHsl)
{
    const HSL red = RGBToHSL(255, 0, 0);
    EXPECT_DOUBLE_EQ(0.0, red.H);
    EXPECT_DOUBLE_EQ(1.0, red.S);
    EXPECT_DOUBLE_EQ(0.5, red.L);
    const HSL blue = RGBToHSL(0, 0, 255);
    EXPECT_DOUBLE_EQ(4.0 / 6, blue.H);
    const HSL gray = RGBToHSL(90, 90, 90);
    EXPECT_EQ(0.0, gray.S);
    for (int r = 0; r < 256; r += 51)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 85) {
                const HSL hsl = RGBToHSL(BYTE(r), BYTE(g), BYTE(b));
                const RGBBytes back = HSLToRGB(hsl.H, hsl.S, hsl.L);
                EXPECT_EQ(r, back.R);
                EXPECT_EQ(g, back.G);
                EXPECT_EQ(b, back.B);
            }
    EXPECT_EQ(200, MaxByte(200, 100));
    EXPECT_EQ(100, MinByte(200, 100));
}

namespace {

// A 24-bit bitmap with the given pixels in one row, shifted, read back.
std::vector<RGBBytes> Shift(const std::vector<RGBBytes>& row, int shift)
{
    const int width = static_cast<int>(row.size());
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -1;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    WindowDC screen(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* p = static_cast<BYTE*>(bits);
    for (const RGBBytes& c : row) {
        *p++ = c.B;
        *p++ = c.G;
        *p++ = c.R;
    }
    ShiftBitmapHue(bitmap, shift);
    UniqueBitmap owned(bitmap);
    std::vector<BYTE> out(static_cast<size_t>((width * 3 + 3) & ~3));
    GetDIBits(screen.get(), owned.get(), 0, 1, out.data(), &bmi, DIB_RGB_COLORS);
    std::vector<RGBBytes> result;
    for (int x = 0; x < width; ++x)
        result.push_back({out[x * 3 + 2], out[x * 3 + 1], out[x * 3]});
    return result;
}

::testing::AssertionResult Is(const RGBBytes& c, int r, int g, int b)
{
    if (c.R == r && c.G == g && c.B == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << int(c.R) << ", " << int(c.G) << ", " << int(c.B) << ") instead of ("
                                         << r << ", " << g << ", " << b << ")";
}

} // namespace

TEST(HueShift, RotatesEveryPixelOfABitmap)
{
    const auto by80 = Shift({{255, 0, 0}, {0, 0, 255}, {128, 128, 128}}, 80);
    EXPECT_TRUE(Is(by80[0], 0, 255, 0));
    EXPECT_TRUE(Is(by80[1], 255, 0, 0));
    EXPECT_TRUE(Is(by80[2], 128, 128, 128));

    const auto by90 = Shift({{255, 0, 0}, {139, 159, 223}}, 90);
    EXPECT_TRUE(Is(by90[0], 0, 255, 64));
    EXPECT_TRUE(Is(by90[1], 223, 140, 139));

    const auto none = Shift({{12, 200, 99}, {139, 159, 223}}, 0);
    EXPECT_TRUE(Is(none[0], 12, 200, 99));
    EXPECT_TRUE(Is(none[1], 139, 159, 223));
}

TEST(HueShift, LargeShiftsTurnEveryPixelGrey)
{
    const auto by500 = Shift({{200, 100, 50}, {255, 0, 0}, {139, 159, 223}, {77, 77, 77}}, 500);
    EXPECT_TRUE(Is(by500[0], 50, 50, 50));
    EXPECT_TRUE(Is(by500[1], 0, 0, 0));
    EXPECT_TRUE(Is(by500[2], 139, 139, 139));
    EXPECT_TRUE(Is(by500[3], 77, 77, 77));
}

TEST(MainIcon, LoadsAtTheAskedSize)
{
    UniqueIcon icon(LoadSmallMainIcon(16));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(16, bm.bmWidth);

    UniqueIcon big(LoadSmallMainIcon(32));
    ASSERT_TRUE(big);
}
