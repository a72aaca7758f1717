"""The run-time hue rotation of the skins, reproduced for previews and checks.

This follows the program's own routine step by step (HSL with a single wrap of
the hue), so a preview shows exactly what a tinted window paints, including
the grey look that the out-of-range shift 500 gives.
"""


def _rgb_to_hsl(r, g, b):
    mx = max(r, g, b) / 255
    mn = min(r, g, b) / 255
    light = (mx + mn) / 2
    if mx == mn:
        return 0.0, 0.0, light
    d = mx - mn
    sat = d / (mx + mn) if light < 0.5 else d / (2 - mx - mn)
    rf, gf, bf = r / 255, g / 255, b / 255
    if rf == mx:
        hue = (gf - bf) / d
    elif gf == mx:
        hue = 2 + (bf - rf) / d
    else:
        hue = 4 + (rf - gf) / d
    hue /= 6
    if hue < 0:
        hue += 1
    return hue, sat, light


def _hue_to_channel(m1, m2, x):
    if x < 0:
        x += 1
    elif x > 1:
        x -= 1
    if 6 * x < 1:
        v = m1 + (m2 - m1) * 6 * x
    elif 2 * x < 1:
        v = m2
    elif 3 * x < 2:
        v = m1 + (m2 - m1) * (2 / 3 - x) * 6
    else:
        v = m1
    return round(v * 255)  # Python rounds ties to even, as the program does


def _hsl_to_rgb(hue, sat, light):
    if sat == 0:
        v = round(light * 255)
        return v, v, v
    m2 = light * (1 + sat) if light <= 0.5 else light + sat - light * sat
    m1 = 2 * light - m2
    return (_hue_to_channel(m1, m2, hue + 1 / 3), _hue_to_channel(m1, m2, hue),
            _hue_to_channel(m1, m2, hue - 1 / 3))


def shift_colour(colour, shift):
    h, s, l = _rgb_to_hsl(*colour[:3])
    return _hsl_to_rgb(h + shift / 240, s, l)


def shifted(img, shift):
    out = img.crop(0, 0, img.width, img.height)
    cache = {}
    for x, y, colour in img.pixels():
        if colour not in cache:
            cache[colour] = shift_colour(colour, shift)
        out.set(x, y, cache[colour])
    return out
