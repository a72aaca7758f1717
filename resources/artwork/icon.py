"""The program icon: a yellow sticky note with a red pin and a dog-eared corner.

Each size is drawn on its own. The 16-pixel one is placed pixel by pixel so it
stays crisp in the tray and in caption bars; the larger ones are built from
the same few shapes, with a soft shadow and a shaded pin head.
"""
from .image import Image, from_charmap, mix

CLEAR = (0, 0, 0, 0)
OUTLINE = (164, 122, 14, 255)
PAPER_TOP = (255, 244, 158, 255)
PAPER = (255, 226, 92, 255)
PAPER_BOTTOM = (252, 212, 66, 255)
FLAP = (236, 190, 52, 255)
FLAP_LIGHT = (248, 214, 104, 255)
WRITING = (194, 150, 52, 255)
PIN = (212, 38, 38, 255)
PIN_DARK = (128, 18, 18, 255)
PIN_LIGHT = (255, 168, 160, 255)

SMALL_PALETTE = {
    ".": CLEAR,
    "O": OUTLINE,
    "y": PAPER_TOP,
    "Y": PAPER,
    "Z": PAPER_BOTTOM,
    "F": FLAP,
    "f": FLAP_LIGHT,
    "L": WRITING,
    "R": PIN,
    "P": PIN_DARK,
    "r": PIN_LIGHT,
    "s": (0, 0, 0, 70),      # the pin's shadow on the paper
}

SMALL = [
    ".......PP.......",
    "......PrRP......",
    ".OOOOOPRRPOOOOO.",
    ".OyyyyyPPsyyyyO.",
    ".OYYYYYYYYYYYYO.",
    ".OYLLLLLLLLLLYO.",
    ".OYYYYYYYYYYYYO.",
    ".OYLLLLLLLLLLYO.",
    ".OYYYYYYYYYYYYO.",
    ".OYLLLLLLLLLLYO.",
    ".OZZZZZZZZZZZZO.",
    ".OZLLLLLLLZZZZO.",
    ".OZZZZZZZZOOOOO.",
    ".OZZZZZZZZOfFO..",
    ".OZZZZZZZZOFO...",
    ".OOOOOOOOOOO....",
]


def _over(dst, x, y, colour, cover=1.0):
    """Alpha-composite colour (RGBA) with extra coverage onto dst at (x, y)."""
    if not (0 <= x < dst.width and 0 <= y < dst.height):
        return
    a = colour[3] / 255 * cover
    if a <= 0:
        return
    base = dst.get(x, y)
    ba = base[3] / 255
    out_a = a + ba * (1 - a)
    rgb = tuple(round((colour[i] * a + base[i] * ba * (1 - a)) / out_a) for i in range(3))
    dst.set(x, y, rgb + (round(out_a * 255),))


def _disc_coverage(x, y, cx, cy, radius, samples=5):
    hits = 0
    for j in range(samples):
        for i in range(samples):
            px = x + (i + 0.5) / samples
            py = y + (j + 0.5) / samples
            if (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2:
                hits += 1
    return hits / samples ** 2


def _large(size, left, top, right, bottom, fold, line_rows, pin_r, shadow, stroke=1):
    """A note spanning left..right, top..bottom (inclusive) with a fold of `fold` pixels.

    `stroke` is the width of the outline and the writing, so that the largest
    image keeps the weight of the small ones.
    """
    img = Image(size, size, CLEAR)
    crease = right + bottom - fold        # x + y on the fold line

    def on_note(x, y):
        return left <= x <= right and top <= y <= bottom and x + y <= crease

    # soft shadow, down and to the right, under the paper only
    for y in range(size):
        for x in range(size):
            for d, alpha in ((shadow, 40), (shadow - 1, 40)):
                if d > 0 and on_note(x - d, y - d) and not on_note(x, y):
                    _over(img, x, y, (0, 0, 0, alpha))
    fills = [mix(PAPER_TOP, PAPER, (y - top) / max(1, (bottom - top) // 2)) if y < (top + bottom) // 2
             else mix(PAPER, PAPER_BOTTOM, (y - (top + bottom) // 2) / max(1, (bottom - top) // 2))
             for y in range(top, bottom + 1)]
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if not on_note(x, y):
                continue
            in_flap = x >= right - fold and y >= bottom - fold
            edge = (x < left + stroke or x > right - stroke or y < top + stroke or y > bottom - stroke
                    or x + y > crease - stroke
                    or (in_flap and (x < right - fold + stroke or y < bottom - fold + stroke)))
            if edge:
                colour = OUTLINE
            elif in_flap:
                # the flap catches the light along its crease
                t = (x - (right - fold) + y - (bottom - fold)) / fold
                colour = mix(FLAP_LIGHT, FLAP, min(1.0, t))
            elif y == top + stroke or x == left + stroke:
                colour = PAPER_TOP
            else:
                colour = fills[y - top]
            img.set(x, y, colour)
    # writing: lines stop short of the right edge, and of the flap
    margin = 3 * stroke
    for i, row in enumerate(line_rows):
        end = right - margin - (size // 6 if i == len(line_rows) - 1 else 0)
        for y in range(row, row + stroke):
            for x in range(left + margin, end + 1):
                if on_note(x, y) and not (x >= right - fold - stroke and y >= bottom - fold - stroke):
                    img.set(x, y, WRITING)
    # the pin: a shadow on the paper, then a shaded round head
    cx, cy = (left + right + 1) / 2, top + 0.5
    near = range(max(0, int(cx - 2 * pin_r) - 1), min(size, int(cx + 2 * pin_r) + 2))
    near_rows = range(max(0, int(cy - 2 * pin_r) - 1), min(size, int(cy + 2 * pin_r) + 2))
    for y in near_rows:
        for x in near:
            cover = _disc_coverage(x, y, cx + pin_r * 0.45, cy + pin_r * 0.55, pin_r * 0.9)
            if cover and on_note(x, y):
                _over(img, x, y, (0, 0, 0, 60), cover)
    for y in near_rows:
        for x in near:
            cover = _disc_coverage(x, y, cx, cy, pin_r)
            if not cover:
                continue
            # lighter towards the upper left, darker towards the lower right
            dx, dy = (x + 0.5 - cx) / pin_r, (y + 0.5 - cy) / pin_r
            t = (dx + dy + 1.4) / 2.8
            shade = mix(PIN, PIN_DARK, (t - 0.5) * 2) if t > 0.5 else mix(PIN_LIGHT, PIN, t * 2)
            rim = _disc_coverage(x, y, cx, cy, pin_r - stroke)
            colour = mix(PIN_DARK, shade, rim)
            _over(img, x, y, colour, cover)
    # a small glint on the head
    gx, gy = int(cx - pin_r * 0.45), int(cy - pin_r * 0.45)
    for y in range(gy, gy + stroke):
        for x in range(gx, gx + stroke):
            _over(img, x, y, (255, 255, 255, 255), 0.85)
    return img


# The sizes the shell asks for: the small icon at 100, 125, 150 and 200 % (16, 20,
# 24, 32) and the large one (32, 48, and 256 for the biggest views and displays).
SIZES = (16, 20, 24, 32, 48, 256)


def draw_icons():
    """One image per size in SIZES, smallest first."""
    return [
        from_charmap(SMALL, SMALL_PALETTE),
        _large(20, 1, 3, 18, 19, 5, [7, 10, 13], 2.4, 1),
        _large(24, 1, 4, 22, 23, 6, [9, 12, 15, 18], 2.9, 1),
        _large(32, 2, 5, 28, 29, 7, [11, 15, 19, 23], 3.6, 1),
        _large(48, 3, 7, 43, 44, 10, [15, 20, 25, 30, 35], 5.4, 2),
        _large(256, 16, 37, 229, 234, 53, [80, 107, 134, 161, 188], 28.8, 8, stroke=5),
    ]
