#include "shell/funcs.h"

#include "framework/Graphics.h"
#include "framework/Handles.h"
#include "framework/SysUtils.h"

#include <shellapi.h>

#include <cmath>
#include <vector>

bool ShellOpen(const std::string& target)
{
    const HINSTANCE result = ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<UINT_PTR>(result) > 32;
}

bool ShellOpen(const std::wstring& target)
{
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<UINT_PTR>(result) > 32;
}

std::string ExtractFileTitle(const std::string& path)
{
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

int PosFrom(const std::string& sub, const std::string& text, int start)
{
    if (start < 1)
        start = 1;
    if (text.empty())
        return 0;
    if (sub.empty())
        return start;
    const int last = static_cast<int>(text.size()) - static_cast<int>(sub.size()) + 1;
    for (int i = start; i <= last; ++i)
        if (text.compare(static_cast<size_t>(i - 1), sub.size(), sub) == 0)
            return i;
    return 0;
}

HICON LoadSmallMainIcon(int size)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    HGLOBAL groupData = LoadResource(module, group);
    auto* directory = static_cast<BYTE*>(LockResource(groupData));
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, 16, 16, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3) /* RT_ICON */);
    HGLOBAL imageData = LoadResource(module, image);
    auto* bits = static_cast<BYTE*>(LockResource(imageData));
    const DWORD bytes = SizeofResource(module, image);
    return CreateIconFromResourceEx(bits, bytes, TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
}

BYTE MaxByte(BYTE a, BYTE b) { return a > b ? a : b; }
BYTE MinByte(BYTE a, BYTE b) { return a < b ? a : b; }

HSL RGBToHSL(BYTE r8, BYTE g8, BYTE b8)
{
    const double mx = MaxByte(r8, MaxByte(g8, b8)) / 255.0;
    const double mn = MinByte(r8, MinByte(g8, b8)) / 255.0;
    HSL hsl{0, 0, (mx + mn) / 2};
    if (mx == mn)
        return hsl;
    const double d = mx - mn;
    hsl.S = hsl.L < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    const double r = r8 / 255.0, g = g8 / 255.0, b = b8 / 255.0;
    if (r == mx)
        hsl.H = (g - b) / d;
    else if (g == mx)
        hsl.H = 2 + (b - r) / d;
    else
        hsl.H = 4 + (r - g) / d;
    hsl.H /= 6;
    if (hsl.H < 0)
        hsl.H += 1;
    return hsl;
}

namespace {

// Rounds to the nearest integer, ties to even, as the default rounding mode does.
BYTE RoundToByte(double v) { return static_cast<BYTE>(std::nearbyint(v)); }

} // namespace

BYTE HueToChannel(double m1, double m2, double x)
{
    if (x < 0)
        x += 1;
    else if (x > 1)
        x -= 1;
    double v;
    if (6 * x < 1)
        v = m1 + (m2 - m1) * 6 * x;
    else if (2 * x < 1)
        v = m2;
    else if (3 * x < 2)
        v = m1 + (m2 - m1) * (2.0 / 3 - x) * 6;
    else
        v = m1;
    return RoundToByte(v * 255);
}

RGBBytes HSLToRGB(double h, double s, double l)
{
    if (s == 0) {
        const BYTE v = RoundToByte(l * 255);
        return {v, v, v};
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return {HueToChannel(m1, m2, h + 1.0 / 3), HueToChannel(m1, m2, h), HueToChannel(m1, m2, h - 1.0 / 3)};
}

void ShiftBitmapHue(HBITMAP& bitmap, int shift)
{
    const double d = shift / 240.0;
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    const int width = info.bmWidth, height = info.bmHeight;

    // Work on a 24-bit top-down copy, then replace the bitmap with it.
    BITMAPINFO bmi = TopDownBitmapInfo(width, height, 24);
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    WindowDC screen(nullptr);
    GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bmi, DIB_RGB_COLORS);

    for (int y = 0; y < height; ++y) {
        BYTE* p = pixels.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            const HSL hsl = RGBToHSL(p[2], p[1], p[0]);
            const RGBBytes rgb = HSLToRGB(hsl.H + d, hsl.S, hsl.L);
            p[0] = rgb.B;
            p[1] = rgb.G;
            p[2] = rgb.R;
        }
    }

    void* bits = nullptr;
    HBITMAP shifted = CreateDIBSection(screen.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!shifted)
        throw EOutOfResources("Out of system resources");
    std::copy(pixels.begin(), pixels.end(), static_cast<BYTE*>(bits));
    DeleteObject(bitmap);
    bitmap = shifted;
}
