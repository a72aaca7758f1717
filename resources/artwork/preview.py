"""Previews for people: enlarged copies of the artwork and mock-up windows.

The mock-up paints a window the way the frame code does (stretched edges,
then the corners on top, then the caption strip with icon, text and close
button), so the skins can be judged in use and in every tint.
"""
from .image import Image, over

# A small proportional font, only for the preview captions (cap height 8).
_GLYPHS = {
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#....", "#...."],
    "W": ["#.....#", "#.....#", "#..#..#", "#..#..#", ".#.#.#.", ".#.#.#.", ".#.#.#.", "..#.#.."],
    "i": ["#", ".", "#", "#", "#", "#", "#", "#"],
    "n": ["....", "....", "###.", "#..#", "#..#", "#..#", "#..#", "#..#"],
    "o": ["....", "....", ".##.", "#..#", "#..#", "#..#", "#..#", ".##."],
    "v": [".....", ".....", "#...#", "#...#", ".#.#.", ".#.#.", "..#..", "..#.."],
    "a": ["....", "....", ".##.", "...#", ".###", "#..#", "#..#", ".###"],
    "m": [".....", ".....", "####.", "#.#.#", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "e": ["....", "....", ".##.", "#..#", "####", "#...", "#..#", ".##."],
    "s": ["....", "....", ".###", "#...", ".##.", "...#", "...#", "###."],
    "t": ["...", "#..", "###", "#..", "#..", "#..", "#..", ".##"],
    "b": ["#...", "#...", "###.", "#..#", "#..#", "#..#", "#..#", "###."],
    "k": ["#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#", "#..#"],
}


def draw_text(img, x, y, text, colour):
    for ch in text:
        if ch == " ":
            x += 3
            continue
        rows = _GLYPHS[ch]
        for gy, row in enumerate(rows):
            for gx, bit in enumerate(row):
                if bit == "#":
                    img.set(x + gx, y + gy, colour)
        x += len(rows[0]) + 1


def _stretch(dst, src, sx, sy, sw, sh, dx, dy, dw, dh):
    for y in range(dh):
        for x in range(dw):
            dst.set(dx + x, dy + y, src.get(sx + x * sw // dw, sy + y * sh // dh))


def mock_window(skin, width, height, caption, text_colour, icon16, client, button_state=0):
    """A window of width x height painted with `skin`; see-through pixels stay KEY."""
    img = Image(width, height, client)
    key = skin.get(0, 17)
    # caption strip inside the 4-pixel border
    strip_w = width - 8
    strip = Image(strip_w, 18)
    _stretch(strip, skin, 53, 0, 1, 18, 0, 0, strip_w, 18)
    draw_text(strip, 20, 4, caption, text_colour)
    for y in range(16):
        for x in range(16):
            strip.set(1 + x, 1 + y, over(icon16.get(x, y), strip.get(1 + x, 1 + y)))
    strip.paste(skin.crop(16 * button_state, 0, 16, 16), strip_w - 16, 0)
    img.paste(strip, 4, 4)
    # the frame, in the order the window paints it
    _stretch(img, skin, 52, 0, 1, 4, 0, 0, width, 4)
    _stretch(img, skin, 48, 14, 1, 4, 0, height - 4, width, 4)
    _stretch(img, skin, 48, 4, 4, 1, 0, 0, 4, height)
    _stretch(img, skin, 49, 13, 4, 1, width - 4, 0, 4, height)
    img.paste(skin.crop(48, 0, 5, 4), 0, 0)
    img.paste(skin.crop(48, 9, 5, 4), width - 5, 0)
    img.paste(skin.crop(48, 5, 5, 4), 0, height - 4)
    img.paste(skin.crop(48, 14, 5, 4), width - 5, height - 4)
    return img, key


def see_through(img, key, backdrop):
    out = img.crop(0, 0, img.width, img.height)
    for x, y, colour in img.pixels():
        if colour == key:
            out.set(x, y, backdrop)
    return out


def checkerboard(width, height, cell=4, light=(236, 236, 236), dark=(196, 196, 196)):
    img = Image(width, height)
    for y in range(height):
        for x in range(width):
            img.set(x, y, light if (x // cell + y // cell) % 2 == 0 else dark)
    return img


def on_backdrop(rgba, backdrop):
    out = Image(rgba.width, rgba.height)
    for x, y, colour in rgba.pixels():
        out.set(x, y, over(colour, backdrop.get(x, y)))
    return out


def sheet(items, background=(255, 255, 255), gap=8):
    """Lay images left to right with a gap, tops aligned."""
    width = sum(i.width for i in items) + gap * (len(items) + 1)
    height = max(i.height for i in items) + 2 * gap
    out = Image(width, height, background)
    x = gap
    for item in items:
        out.paste(item, x, gap)
        x += item.width + gap
    return out


def stack(rows, background=(255, 255, 255)):
    """Lay images top to bottom, left aligned."""
    width = max(r.width for r in rows)
    height = sum(r.height for r in rows)
    out = Image(width, height, background)
    y = 0
    for r in rows:
        out.paste(r, 0, y)
        y += r.height
    return out

