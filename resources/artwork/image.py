"""A tiny in-memory raster and the few drawing helpers the artwork needs.

Pixels are (r, g, b) or (r, g, b, a) tuples; the artwork never needs more than
that, so there is no separate colour type.
"""


class Image:
    def __init__(self, width, height, fill=(0, 0, 0)):
        self.width = width
        self.height = height
        self.rows = [[fill] * width for _ in range(height)]

    def get(self, x, y):
        return self.rows[y][x]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill_rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.set(xx, yy, colour)

    def paste(self, other, x, y):
        for yy in range(other.height):
            for xx in range(other.width):
                self.set(x + xx, y + yy, other.get(xx, yy))

    def crop(self, x, y, w, h):
        out = Image(w, h)
        for yy in range(h):
            out.rows[yy] = list(self.rows[y + yy][x:x + w])
        return out

    def blend(self, x, y, colour, coverage):
        """Mix `colour` over the pixel by `coverage` (0..1), keeping its alpha."""
        if not (0 <= x < self.width and 0 <= y < self.height) or coverage <= 0:
            return
        self.set(x, y, mix(self.get(x, y), colour, coverage))

    def pixels(self):
        for y, row in enumerate(self.rows):
            for x, colour in enumerate(row):
                yield x, y, colour


def mix(a, b, t):
    """Linear mix from colour a to colour b; keeps a's length (RGB or RGBA)."""
    t = max(0.0, min(1.0, t))
    out = tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))
    return out + tuple(a[3:])


def gradient(top, bottom, n):
    """n colours from top to bottom inclusive."""
    if n == 1:
        return [top]
    return [mix(top, bottom, i / (n - 1)) for i in range(n)]


def from_charmap(lines, palette):
    """Build an image from rows of palette characters (all rows equally long)."""
    height = len(lines)
    width = len(lines[0])
    img = Image(width, height)
    for y, line in enumerate(lines):
        if len(line) != width:
            raise ValueError(f"row {y} is {len(line)} wide, expected {width}: {line!r}")
        for x, ch in enumerate(line):
            img.set(x, y, palette[ch])
    return img


def scaled(img, factor):
    """Nearest-neighbour enlargement, for the previews."""
    out = Image(img.width * factor, img.height * factor)
    for y in range(img.height):
        row = [c for c in img.rows[y] for _ in range(factor)]
        for k in range(factor):
            out.rows[y * factor + k] = list(row)
    return out


def over(colour, backdrop):
    """Composite an RGBA colour over an opaque RGB backdrop."""
    if len(colour) == 3:
        return colour
    a = colour[3] / 255
    return tuple(round(colour[i] * a + backdrop[i] * (1 - a)) for i in range(3))
