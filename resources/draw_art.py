#!/usr/bin/env python3
"""Draw Pinova's artwork: the window skins, the memo toolbar strip and the icon.

Run from the repository root:

    python3 resources/draw_art.py           # write resources/* and docs/art/*.png
    python3 resources/draw_art.py --check   # verify the committed files

The build uses the committed files; this script is how they were made, and
--check tells whether they still match it and still fit the layout the
program reads them with. Standard library only.
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree

from artwork import formats, icon, preview, skins, toolbar  # noqa: E402
from artwork.image import Image, scaled  # noqa: E402
from artwork.tint import shift_colour, shifted  # noqa: E402

ROOT = os.path.dirname(HERE)
PREVIEW_DIR = os.path.join(ROOT, "docs", "art")

# The tints the program applies: 0 untinted, 90 red, 500 grey.
TINTS_IN_USE = (0, 90, 500)
ACTIVE_TEXT = (248, 248, 248)
INACTIVE_TEXT = (128, 128, 128)
# Inactive text after a window has changed mode: black when it is back at
# work or floating, white on the desktop.
MODE_TEXT = {0: (0, 0, 0), 90: (0, 0, 0), 500: (255, 255, 255)}


def artwork():
    """Every output file name under resources/ with its bytes."""
    return {
        "skin_blue.bmp": formats.bmp24_bytes(skins.draw_skin(skins.BLUE)),
        "skin_dark.bmp": formats.bmp24_bytes(skins.draw_skin(skins.DARK)),
        "toolbar.bmp": formats.bmp24_bytes(toolbar.draw_toolbar()),
        "pinova.ico": formats.ico_bytes(icon.draw_icons()),
    }


def previews():
    """Every preview file name under docs/art/ with its image."""
    out = {}
    icons = icon.draw_icons()
    for style in (skins.BLUE, skins.DARK):
        out[f"skin_{style.name}.png"] = scaled(skins.draw_skin(style), 8)
    out["toolbar.png"] = scaled(toolbar.draw_toolbar(), 8)
    tiles = [scaled(preview.on_backdrop(im, preview.checkerboard(im.width, im.height, 2)), max(1, 128 // im.width))
             for im in icons]
    out["pinova_icon.png"] = preview.sheet(tiles)
    out["windows.png"] = scaled(_window_sheet(icons[0]), 2)
    out["in_use.png"] = scaled(_in_use_sheet([im for im in icons if im.width <= 48]), 3)
    return out


def _window_sheet(icon16):
    desktop = (0, 128, 128)   # a teal desktop shows the see-through corners
    client = (236, 233, 216)
    rows = []
    blue = skins.draw_skin(skins.BLUE)
    row = []
    for text, state in ((ACTIVE_TEXT, 0), (INACTIVE_TEXT, 1), ((0, 0, 0), 2)):
        win, key = preview.mock_window(blue, 170, 70, "Pinova", text, icon16, client, state)
        row.append(preview.see_through(win, key, desktop))
    rows.append(preview.sheet(row, background=desktop))
    dark = skins.draw_skin(skins.DARK)
    for tint in TINTS_IN_USE:
        skin = shifted(dark, tint)
        row = []
        for text in (ACTIVE_TEXT, INACTIVE_TEXT, MODE_TEXT[tint]):
            win, key = preview.mock_window(skin, 170, 70, "Pinova memo", text, icon16,
                                           (255, 255, 255))
            row.append(preview.see_through(win, key, desktop))
        rows.append(preview.sheet(row, background=desktop))
    return preview.stack(rows, background=desktop)


def _in_use_sheet(icons):
    strip = toolbar.draw_toolbar()
    rows = []
    for face in ((240, 240, 240), (212, 208, 200), (192, 192, 192)):
        bar = Image(strip.width, strip.height)
        for x, y, colour in strip.pixels():
            bar.set(x, y, face if colour == toolbar.MASK else colour)
        tiles = [bar]
        for im in icons:
            tiles.append(preview.on_backdrop(im, Image(im.width, im.height, face)))
        rows.append(preview.sheet(tiles, background=face))
    for backdrop in ((58, 110, 165), (32, 32, 32)):
        tiles = [preview.on_backdrop(im, Image(im.width, im.height, backdrop)) for im in icons]
        rows.append(preview.sheet(tiles, background=backdrop))
    return preview.stack(rows)


def write_all():
    for name, data in artwork().items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        print(f"wrote resources/{name}")
    os.makedirs(PREVIEW_DIR, exist_ok=True)
    for name, img in previews().items():
        with open(os.path.join(PREVIEW_DIR, name), "wb") as f:
            f.write(formats.png_bytes(img))
        print(f"wrote docs/art/{name}")


# ---------------------------------------------------------------- checks


class Checker:
    def __init__(self):
        self.failures = 0
        self.passes = 0

    def expect(self, ok, what):
        if ok:
            self.passes += 1
        else:
            self.failures += 1
            print(f"FAIL {what}")


def _contrast(a, b):
    def lum(c):
        def lin(v):
            v /= 255
            return v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
        r, g, b_ = (lin(v) for v in c[:3])
        return 0.2126 * r + 0.7152 * g + 0.0722 * b_
    hi, lo = sorted((lum(a), lum(b)), reverse=True)
    return (hi + 0.05) / (lo + 0.05)


def _see_through_pixels(style):
    """Where the key colour belongs: the strip under the buttons, plus the
    rounding outside each corner of the rounded skin."""
    spots = {(x, y) for x in range(48) for y in (16, 17)}
    if style.rounded:
        shape = skins.ROUND_CORNER
        for (cx, cy), (fx, fy) in (((48, 0), (False, False)), ((48, 5), (False, True)),
                                   ((48, 9), (True, False)), ((48, 14), (True, True))):
            for y in range(4):
                for x in range(5):
                    if shape[y][x] == "K":
                        spots.add((cx + (4 - x if fx else x), cy + (3 - y if fy else y)))
    return spots


def check_skin(chk, name, style):
    with open(os.path.join(HERE, name), "rb") as f:
        img, facts = formats.read_bmp24(f.read())
    chk.expect(facts["width"] == 54 and abs(facts["height"]) == 18, f"{name} is 54 x 18")
    chk.expect(facts["bits"] == 24 and facts["compression"] == 0, f"{name} is plain 24-bit")
    chk.expect(facts["bottom_up"], f"{name} is stored bottom-up")
    if img is None:
        return
    key = img.get(0, 17)
    chk.expect(key == skins.KEY, f"{name} pixel (0, 17) is {key}, not {skins.KEY}")
    spots = _see_through_pixels(style)
    keyed = {(x, y) for x, y, c in img.pixels() if c == skins.KEY}
    chk.expect(keyed == spots, f"{name} key colour exactly where see-through is meant "
                               f"(extra {sorted(keyed - spots)}, missing {sorted(spots - keyed)})")
    if style.rounded:
        for corner in ((48, 0), (48, 8), (52, 9), (52, 17)):
            chk.expect(img.get(*corner) == skins.KEY, f"{name} outer corner pixel {corner} is see-through")
    # every tint must keep the see-through pixels, and only those, on the key
    for tint in list(range(240)) + [500]:
        tinted_key = shift_colour(skins.KEY, tint)
        clash = [(x, y) for x, y, c in img.pixels()
                 if (x, y) not in spots and shift_colour(c, tint) == tinted_key]
        chk.expect(not clash, f"{name} tint {tint}: {clash[:5]} turn into the key colour")
    # stretched edges must continue the corners without a seam
    left = [img.get(48 + i, 4) for i in range(4)]
    right = [img.get(49 + i, 13) for i in range(4)]
    top = [img.get(52, y) for y in range(4)]
    bottom = [img.get(48, 14 + y) for y in range(4)]
    chk.expect(left == [img.get(48 + i, 3) for i in range(4)], f"{name} left edge meets top-left corner")
    chk.expect(left == [img.get(48 + i, 5) for i in range(4)], f"{name} left edge meets bottom-left corner")
    chk.expect(right == [img.get(49 + i, 12) for i in range(4)], f"{name} right edge meets top-right corner")
    chk.expect(right == [img.get(49 + i, 14) for i in range(4)], f"{name} right edge meets bottom-right corner")
    chk.expect(top == [img.get(48, 9 + y) for y in range(4)], f"{name} top edge meets top-right corner")
    chk.expect(bottom == [img.get(52, 5 + y) for y in range(4)], f"{name} bottom edge meets bottom-left corner")
    # the buttons' surroundings blend into the caption strip
    caption = [img.get(53, y) for y in range(18)]
    for cell in range(3):
        for y in range(16):
            for x in (0, 15):
                chk.expect(img.get(16 * cell + x, y) == caption[y],
                           f"{name} button {cell} pixel ({x}, {y}) matches the caption background")
        for x in range(16):
            chk.expect(img.get(16 * cell + x, 0) == caption[0],
                       f"{name} button {cell} top row matches the caption background")
    # The caption text is drawn from row 2; the ink of an 8-point font falls on
    # rows 4 to 14 (capitals and descenders).
    for tint in TINTS_IN_USE:
        rows = [shift_colour(c, tint) for c in caption[4:15]]
        active = min(_contrast(ACTIVE_TEXT, c) for c in rows)
        inactive = min(_contrast(INACTIVE_TEXT, c) for c in rows)
        mode = min(_contrast(MODE_TEXT[tint], c) for c in rows)
        print(f"  {name} tint {tint:3}: contrast of caption text, worst row: "
              f"active {active:.1f}, grey {inactive:.1f}, mode colour {mode:.1f}")
        chk.expect(active >= 4.5, f"{name} tint {tint}: near-white caption text reads well")
        chk.expect(inactive >= 1.8, f"{name} tint {tint}: grey caption text stays legible")


def check_toolbar(chk):
    with open(os.path.join(HERE, "toolbar.bmp"), "rb") as f:
        img, facts = formats.read_bmp24(f.read())
    chk.expect(facts["width"] == 176 and abs(facts["height"]) == 16, "toolbar.bmp is 176 x 16")
    chk.expect(facts["bits"] == 24 and facts["compression"] == 0, "toolbar.bmp is plain 24-bit")
    if img is None:
        return
    for i in range(11):
        cell = [img.get(16 * i + x, y) for y in range(16) for x in range(16)]
        drawn = sum(1 for c in cell if c != toolbar.MASK)
        chk.expect(drawn >= 20, f"toolbar image {i} has a drawing ({drawn} pixels)")
        chk.expect(cell[0] == toolbar.MASK, f"toolbar image {i} top-left pixel is the mask colour")
    near = [(x, y) for x, y, c in img.pixels()
            if c != toolbar.MASK and abs(c[0] - 255) + c[1] + abs(c[2] - 255) < 48]
    chk.expect(not near, f"toolbar has no near-magenta pixels {near[:5]}")


def check_icon(chk):
    with open(os.path.join(HERE, "pinova.ico"), "rb") as f:
        entries = formats.read_ico(f.read())
    chk.expect([e["width"] for e in entries] == list(icon.SIZES), f"pinova.ico holds {icon.SIZES}")
    for e in entries:
        size = e["width"]
        chk.expect(not e["png"], f"icon {size}: a DIB entry, not PNG")
        if e["png"]:
            continue
        chk.expect(e["height"] == size and e["dib_width"] == size and e["dib_height"] == 2 * size,
                   f"icon {size}: square, DIB height counts the AND mask")
        chk.expect(e["bits"] == 32 and e["entry_bits"] == 32 and e["planes"] == 1,
                   f"icon {size}: 32 bits per pixel, one plane")
        chk.expect(e["size_ok"], f"icon {size}: entry size matches header, pixels and mask")
        chk.expect(e["mask_matches_alpha"], f"icon {size}: AND mask set exactly where alpha is 0")
        alphas = [c[3] for _, _, c in e["image"].pixels()]
        chk.expect(0 in alphas and 255 in alphas, f"icon {size}: has see-through and solid pixels")


def check_up_to_date(chk):
    for name, data in artwork().items():
        with open(os.path.join(HERE, name), "rb") as f:
            chk.expect(f.read() == data, f"resources/{name} matches what this script draws")


def check():
    chk = Checker()
    for name, style in (("skin_blue.bmp", skins.BLUE), ("skin_dark.bmp", skins.DARK)):
        check_skin(chk, name, style)
    check_toolbar(chk)
    check_icon(chk)
    check_up_to_date(chk)
    print(f"{chk.passes} passed, {chk.failures} failed")
    return chk.failures == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="verify the committed files instead of writing them")
    args = parser.parse_args()
    if args.check:
        return 0 if check() else 1
    write_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
