"""The memo toolbar strip: eleven 16x16 glyphs side by side, 176 x 16.

Order (the image indexes the memo window uses): cut, copy, paste, bold,
italic, underline, strike out, align left, align centre, align right,
bullets. Magenta is the image list's mask colour and appears nowhere else.
"""
from .image import Image, from_charmap

MASK = (255, 0, 255)

PALETTE = {
    ".": MASK,
    "K": (0, 0, 0),          # outlines and letters
    "D": (128, 128, 128),    # text lines on paper, shading
    "S": (192, 192, 192),    # metal
    "W": (255, 255, 255),    # paper
    "N": (0, 0, 128),        # scissor handles
    "n": (72, 96, 200),      # handle highlight
    "o": (120, 72, 24),      # clipboard edge
    "Y": (224, 176, 96),     # clipboard board
    "R": (200, 0, 0),        # the strike-out line
}

CUT = [
    "................",
    "...K........K...",
    "...KK......KK...",
    "...KSK....KSK...",
    "....KSK..KSK....",
    "....KSSKKSSK....",
    ".....KSSWSK.....",
    "......KSWK......",
    "......KKKK......",
    ".....NN..NN.....",
    "..NNNNN..NNNNN..",
    ".Nn..nN..Nn..nN.",
    ".Nn..nN..Nn..nN.",
    ".Nn..nN..Nn..nN.",
    "..NNNN....NNNN..",
    "................",
]

COPY = [
    "................",
    ".KKKKKK.........",
    ".KWWWWKK........",
    ".KWDDWKWK.......",
    ".KWWWWKKKK......",
    ".KWDDDKKKKKK....",
    ".KWWWWKWWWWKK...",
    ".KWDDDKWDDWKWK..",
    ".KWWWWKWWWWKKKK.",
    ".KWDDDKWDDDDDWK.",
    ".KWWWWKWWWWWWWK.",
    ".KKKKKKWDDDDDWK.",
    "......KWWWWWWWK.",
    "......KWDDDDDWK.",
    "......KWWWWWWWK.",
    "......KKKKKKKKK.",
]

PASTE = [
    ".....KKK........",
    ".oooKWSSKooo....",
    ".oYKSSSSSKYo....",
    ".oYKKKKKKKYo....",
    ".oYYYYYYYYYo....",
    ".oYYYYYYYYYo....",
    ".oYYYYKKKKKK....",
    ".oYYYYKWWWWKK...",
    ".oYYYYKWDDWKWK..",
    ".oYYYYKWWWWKKKK.",
    ".oYYYYKWDDDDDWK.",
    ".oYYYYKWWWWWWWK.",
    ".oYYYYKWDDDDDWK.",
    ".oYYYYKWWWWWWWK.",
    ".oooooKWDDDWWWK.",
    "......KKKKKKKKK.",
]

BOLD = [
    "................",
    "................",
    "...KKKKKKKK.....",
    "....KKK...KKK...",
    "....KKK...KKK...",
    "....KKK...KKK...",
    "....KKK..KKK....",
    "....KKKKKKK.....",
    "....KKK...KKK...",
    "....KKK....KKK..",
    "....KKK....KKK..",
    "....KKK....KKK..",
    "....KKK...KKK...",
    "...KKKKKKKKK....",
    "................",
    "................",
]

ITALIC = [
    "................",
    "................",
    "......KKKKK.....",
    "........KK......",
    "........KK......",
    ".......KK.......",
    ".......KK.......",
    ".......KK.......",
    "......KK........",
    "......KK........",
    "......KK........",
    ".....KK.........",
    ".....KK.........",
    "...KKKKK........",
    "................",
    "................",
]

UNDERLINE = [
    "................",
    "................",
    "..KKKK...KKKK...",
    "...KK.....KK....",
    "...KK.....KK....",
    "...KK.....KK....",
    "...KK.....KK....",
    "...KK.....KK....",
    "...KK.....KK....",
    "...KK.....KK....",
    "...KKK...KKK....",
    "....KKKKKKK.....",
    ".....KKKKK......",
    "................",
    "..KKKKKKKKKKK...",
    "................",
]

STRIKE = [
    "................",
    "................",
    ".....KKKKKK.....",
    "....KK....KK....",
    "....KK..........",
    "....KKK.........",
    ".....KKKKK......",
    "..RRRRRRRRRRRR..",
    ".........KKK....",
    "..........KK....",
    "....KK....KK....",
    ".....KKKKKK.....",
    "................",
    "................",
    "................",
    "................",
]


def _lines(spans):
    """Text-line glyphs: one black line every other row, from row 2 down."""
    rows = ["." * 16 for _ in range(16)]
    for i, (x0, x1) in enumerate(spans):
        y = 2 + 2 * i
        rows[y] = "." * x0 + "K" * (x1 - x0 + 1) + "." * (15 - x1)
    return rows


ALIGN_LEFT = _lines([(2, 13), (2, 9), (2, 13), (2, 9), (2, 13), (2, 9)])
ALIGN_CENTRE = _lines([(2, 13), (4, 11), (2, 13), (4, 11), (2, 13), (4, 11)])
ALIGN_RIGHT = _lines([(2, 13), (6, 13), (2, 13), (6, 13), (2, 13), (6, 13)])

BULLETS = [
    "................",
    "................",
    "..DKD...........",
    "..KKK..KKKKKKK..",
    "..DKD...........",
    "................",
    "................",
    "..DKD...........",
    "..KKK..KKKKKKK..",
    "..DKD...........",
    "................",
    "................",
    "..DKD...........",
    "..KKK..KKKKKKK..",
    "..DKD...........",
    "................",
]

GLYPHS = [CUT, COPY, PASTE, BOLD, ITALIC, UNDERLINE, STRIKE,
          ALIGN_LEFT, ALIGN_CENTRE, ALIGN_RIGHT, BULLETS]


def draw_toolbar():
    strip = Image(16 * len(GLYPHS), 16, MASK)
    for i, glyph in enumerate(GLYPHS):
        if len(glyph) != 16:
            raise ValueError(f"glyph {i} is {len(glyph)} rows high")
        strip.paste(from_charmap(glyph, PALETTE), 16 * i, 0)
    return strip
