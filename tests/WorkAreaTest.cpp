#include "framework/WorkArea.h"

#include "tests/TestSupport.h"

#include <gtest/gtest.h>

// Work areas as Windows has them: the primary monitor at 0,0 less its taskbar, and
// monitors left of or above it at negative coordinates.
TEST(WorkArea, WindowsAreCentredOnTheWorkAreaAndKeepTheirCaptionOnIt)
{
    const struct {
        RECT area;
        SIZE size;
        RECT expected;
    } cases[] = {
        {{0, 0, 1920, 1040}, {349, 383}, {785, 328, 1134, 711}},       // primary, taskbar at the bottom
        {{0, 40, 1280, 800}, {300, 200}, {490, 320, 790, 520}},        // taskbar at the top
        {{-1920, 0, 0, 1080}, {300, 200}, {-1110, 440, -810, 640}},    // left of the primary
        {{-1280, -1024, 0, 0}, {273, 263}, {-777, -644, -504, -381}},  // left and above, odd sizes
        {{1920, -300, 3000, 1620}, {300, 200}, {2310, 560, 2610, 760}}, // right, starting above
        {{-800, -600, 0, 0}, {1000, 700}, {-800, -600, 200, 100}},     // larger than the area
        {{0, 0, 640, 480}, {640, 480}, {0, 0, 640, 480}},              // just fits
    };
    for (const auto& c : cases) {
        const RECT placed = CentredOn(c.area, c.size);
        EXPECT_EQ(RectText(c.expected), RectText(placed)) << RectText(c.area);
    }
}
