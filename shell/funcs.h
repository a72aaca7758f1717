#pragma once
// Small window and file helpers shared across the program.

#include <windows.h>

#include <string>

bool ShellOpen(const std::string& target);
// For targets that may hold letters the system's code page lacks (a memo's links).
bool ShellOpen(const std::wstring& target);
// The file name without its folder and without its extension.
std::string ExtractFileTitle(const std::string& path);
// 1-based position of sub in text at or after start, or 0.
int PosFrom(const std::string& sub, const std::string& text, int start);
// The program's "MAINICON" at the given size (the image is the one chosen for 16 pixels).
HICON LoadSmallMainIcon(int size);

BYTE MaxByte(BYTE a, BYTE b);
BYTE MinByte(BYTE a, BYTE b);

struct HSL {
    double H, S, L;
};
struct RGBBytes {
    BYTE R, G, B;
};
HSL RGBToHSL(BYTE r, BYTE g, BYTE b);
BYTE HueToChannel(double m1, double m2, double hue);
RGBBytes HSLToRGB(double h, double s, double l);
// Rotates the hue of every pixel by shift/240 of a turn; the bitmap becomes 24-bit.
void ShiftBitmapHue(HBITMAP& bitmap, int shift);
