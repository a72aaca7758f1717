"""The two caption-bar skins, 54 x 18 each.

Layout (x from the left, y from the top), as the frame code cuts it:

    x  0-15, y  0-15   close button, normal
    x 16-31, y  0-15   close button, mouse over
    x 32-47, y  0-15   close button, pressed
    x  0-47, y 16-17   key colour; (0, 17) is read back as the window's key
    (48, 0)  5x4       top-left corner      its last column is the top edge
    (48, 4)  4x1       left edge
    (48, 5)  5x4       bottom-left corner
    (48, 9)  5x4       top-right corner
    (49, 13) 4x1       right edge
    (48, 14) 5x4       bottom-right corner  its first column is the bottom edge
    x 53, y 0-17       caption background, stretched across the caption strip

The border is 4 pixels deep everywhere. Each corner is built from the same
depth profile as the edges it joins, so the stretched edges and the corners
meet without a seam, and the shared columns (top and bottom edge) fall out of
the corners by construction.

Everything except the see-through pixels is a saturated blue, so the run-time
hue rotation turns the whole frame red or grey evenly; no pixel other than the
see-through ones may ever equal the key colour, before or after that rotation.
"""
from .image import Image, gradient, mix

KEY = (26, 8, 51)
WIDTH, HEIGHT = 54, 18
CELL = 16

# Corner maps for the top-left corner: a digit is a depth into the border
# (0 = outermost line), "K" is see-through. A pixel right of the diagonal
# takes the top (or bottom) profile, the rest the side profile.
SQUARE_CORNER = ["00000",
                 "01111",
                 "01222",
                 "01233"]
ROUND_CORNER = ["KKK00",
                "K0011",
                "K0122",
                "01233"]


class SkinStyle:
    def __init__(self, name, side, top, bottom, caption, rounded):
        self.name = name
        self.side = side          # outer -> inner, left and right edges
        self.top = top            # outer -> inner, top edge (meets the caption)
        self.bottom = bottom      # outer -> inner, bottom edge
        # A light sheen over the first rows, then a slow darkening where the
        # text sits: dark enough for near-white text, not so dark that the
        # grey or black text of an inactive window disappears.
        sheen, text_top, text_bottom = caption
        self.caption = gradient(sheen, text_top, 4)[:-1] + gradient(text_top, text_bottom, HEIGHT - 3)
        self.rounded = rounded


BLUE = SkinStyle(
    "blue",
    side=[(22, 40, 96), (104, 144, 216), (76, 114, 192), (46, 78, 150)],
    top=[(22, 40, 96), (112, 152, 222), (90, 130, 206), (78, 118, 198)],
    bottom=[(22, 40, 96), (92, 132, 208), (68, 104, 182), (46, 78, 150)],
    caption=((84, 124, 204), (46, 78, 152), (34, 60, 124)),
    rounded=True)

DARK = SkinStyle(
    "dark",
    side=[(16, 28, 72), (70, 102, 172), (50, 78, 148), (32, 54, 112)],
    top=[(16, 28, 72), (78, 110, 180), (62, 94, 166), (54, 86, 158)],
    bottom=[(16, 28, 72), (62, 94, 164), (46, 72, 140), (32, 54, 112)],
    caption=((62, 96, 172), (38, 64, 130), (26, 44, 96)),
    rounded=False)

# The close button: a light-blue rounded square with a dark-blue cross.
BUTTON_OUTLINE = (30, 56, 128)
CROSS = (22, 42, 118)
FACES = {
    # state: (fill top, fill bottom, inner highlight, inner shadow)
    "normal": ((214, 230, 252), (150, 186, 240), (240, 246, 255), (128, 164, 226)),
    "hover": ((236, 244, 255), (184, 212, 252), (250, 252, 255), (160, 194, 244)),
    "pressed": ((120, 156, 220), (166, 196, 244), (96, 130, 198), (176, 204, 248)),
}


def _corner(style, flip_x, flip_y):
    """One 5x4 corner; the top-left one, mirrored as asked."""
    shape = ROUND_CORNER if style.rounded else SQUARE_CORNER
    horizontal = style.bottom if flip_y else style.top
    img = Image(5, 4)
    for y in range(4):
        for x in range(5):
            ch = shape[y][x]
            if ch == "K":
                colour = KEY
            else:
                depth = int(ch)
                colour = horizontal[depth] if y < x else style.side[depth]
            img.set(4 - x if flip_x else x, 3 - y if flip_y else y, colour)
    return img


def _coverage(inside, x, y, samples=4):
    """Share of the pixel (x, y) for which inside(px, py) holds."""
    hits = 0
    for j in range(samples):
        for i in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def _rounded_rect(x0, y0, x1, y1, radius):
    def inside(px, py):
        cx = min(max(px, x0 + radius), x1 - radius)
        cy = min(max(py, y0 + radius), y1 - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius ** 2 and x0 <= px <= x1 and y0 <= py <= y1
    return inside


# The cross is hand-placed rather than rasterised, so its strokes stay crisp;
# "x" pixels are half-tones that round off the stroke ends.
CROSS_MAP = ["##....##",
             "x#x..x#x",
             ".x#xx#x.",
             "..x##x..",
             "..x##x..",
             ".x#xx#x.",
             "x#x..x#x",
             "##....##"]


def _button(style, state):
    """A 16x16 close button over the caption background."""
    fill_top, fill_bottom, light, shade = FACES[state]
    img = Image(CELL, CELL)
    for y in range(CELL):
        for x in range(CELL):
            img.set(x, y, style.caption[y])
    # The square sits one pixel lower than the cell's middle, so in the 18-pixel
    # strip it lines up with the window icon drawn at (1, 1).
    left, top, size = 1, 2, 14
    outer = _rounded_rect(left, top, left + size, top + size, 3.2)
    inner = _rounded_rect(left + 1, top + 1, left + size - 1, top + size - 1, 2.2)
    fills = gradient(fill_top, fill_bottom, size - 2)
    for y in range(top, top + size):
        for x in range(left, left + size):
            out_cov = _coverage(outer, x, y)
            in_cov = _coverage(inner, x, y)
            face = fills[min(max(y - top - 1, 0), size - 3)]
            # A one-pixel bevel just inside the outline: "light" on the top and
            # left, "shade" on the bottom and right; the pressed face has them
            # the other way round, so it looks sunk in.
            if y == top + 1 or x == left + 1:
                face = light
            elif y == top + size - 2 or x == left + size - 2:
                face = shade
            colour = mix(BUTTON_OUTLINE, face, in_cov)
            img.set(x, y, mix(style.caption[y], colour, out_cov))
    # Pressed, the cross sinks one pixel down and to the right.
    shift = 1 if state == "pressed" else 0
    cx, cy = left + 3 + shift, top + 3 + shift
    for y, row in enumerate(CROSS_MAP):
        for x, ch in enumerate(row):
            if ch != ".":
                img.blend(cx + x, cy + y, CROSS, 1.0 if ch == "#" else 0.6)
    return img


def draw_skin(style):
    img = Image(WIDTH, HEIGHT, style.side[3])
    for i, state in enumerate(("normal", "hover", "pressed")):
        img.paste(_button(style, state), i * CELL, 0)
    img.fill_rect(0, 16, 3 * CELL, 2, KEY)
    img.paste(_corner(style, False, False), 48, 0)   # top-left, top edge at x 52
    for i in range(4):
        img.set(48 + i, 4, style.side[i])            # left edge, outer first
    img.paste(_corner(style, False, True), 48, 5)    # bottom-left
    img.paste(_corner(style, True, False), 48, 9)    # top-right
    img.set(52, 4, style.side[3])                    # (52, 4) and (48, 13) are not
    img.set(48, 13, style.side[3])                   # cut by the frame
    for i in range(4):
        img.set(52 - i, 13, style.side[i])           # right edge, outer last
    img.paste(_corner(style, True, True), 48, 14)    # bottom-right, bottom edge at x 48
    for y in range(HEIGHT):
        img.set(53, y, style.caption[y])
    return img
