"""BMP, ICO and PNG encoders (and the readers the self-check needs).

Only what the resource compiler and LoadIcon/LoadBitmap expect: 24-bit
bottom-up BMPs, and ICOs whose entries are 32-bit BGRA DIBs with an AND mask
(no PNG-compressed entries, which older resource compilers reject).
"""
import struct
import zlib

from .image import Image


def _row_stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def bmp24_bytes(img):
    stride = _row_stride(img.width, 24)
    pixels = bytearray()
    for y in reversed(range(img.height)):  # bottom-up
        row = bytearray()
        for x in range(img.width):
            r, g, b = img.get(x, y)[:3]
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, img.width, img.height, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def read_bmp24(data):
    """Decode a 24-bit BMP; returns (Image, facts) where facts holds header fields."""
    magic, _size, _r1, _r2, offset = struct.unpack_from("<2sIHHI", data, 0)
    if magic != b"BM":
        raise ValueError("not a BMP file")
    (hsize, width, height, planes, bits, compression,
     _isize, _xppm, _yppm, _used, _important) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    facts = {"header": hsize, "width": width, "height": height, "planes": planes,
             "bits": bits, "compression": compression, "bottom_up": height > 0}
    if bits != 24 or compression != 0:
        return None, facts
    h = abs(height)
    stride = _row_stride(width, 24)
    img = Image(width, h)
    for row in range(h):
        y = h - 1 - row if height > 0 else row
        base = offset + row * stride
        for x in range(width):
            b, g, r = data[base + 3 * x: base + 3 * x + 3]
            img.set(x, y, (r, g, b))
    return img, facts


def _icon_dib(img):
    """One icon image: BITMAPINFOHEADER (double height), BGRA pixels, AND mask."""
    w, h = img.width, img.height
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = img.get(x, y)
            xor += bytes((b, g, r, a))
    mask_stride = _row_stride(w, 1)
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray(mask_stride)
        for x in range(w):
            if img.get(x, y)[3] == 0:  # fully see-through: set the AND bit
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(images):
    """Pack RGBA images (largest last is fine; order is kept) into one .ico."""
    header = struct.pack("<HHH", 0, 1, len(images))
    dibs = [_icon_dib(img) for img in images]
    offset = len(header) + 16 * len(images)
    entries = bytearray()
    for img, dib in zip(images, dibs):
        entries += struct.pack("<BBBBHHII", img.width % 256, img.height % 256, 0, 0,
                               1, 32, len(dib), offset)
        offset += len(dib)
    return header + bytes(entries) + b"".join(dibs)


def read_ico(data):
    """Decode every entry of an .ico written as above.

    Returns a list of dicts: width, height, bits, planes, image (RGBA) and
    mask_matches_alpha (the AND bit is set exactly where alpha is 0).
    """
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    out = []
    for i in range(count):
        w, h, _colours, _res, planes, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        w = w or 256
        h = h or 256
        blob = data[offset: offset + size]
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            out.append({"width": w, "height": h, "png": True})
            continue
        hsize, dw, dh, dplanes, dbits = struct.unpack_from("<IiiHH", blob, 0)
        entry = {"width": w, "height": h, "dib_width": dw, "dib_height": dh,
                 "bits": dbits, "planes": dplanes, "entry_bits": bits,
                 "entry_planes": planes, "png": False, "size_ok": size == len(blob)}
        if dbits == 32:
            img = Image(dw, dh // 2)
            pos = hsize
            for row in range(img.height):
                y = img.height - 1 - row
                for x in range(dw):
                    b, g, r, a = blob[pos: pos + 4]
                    pos += 4
                    img.set(x, y, (r, g, b, a))
            stride = _row_stride(dw, 1)
            matches = True
            for row in range(img.height):
                y = img.height - 1 - row
                for x in range(dw):
                    bit = (blob[pos + row * stride + x // 8] >> (7 - x % 8)) & 1
                    if bit != (img.get(x, y)[3] == 0):
                        matches = False
            entry["size_ok"] = entry["size_ok"] and pos + stride * img.height == len(blob)
            entry["image"] = img
            entry["mask_matches_alpha"] = matches
        out.append(entry)
    return out


def png_bytes(img):
    """RGB or RGBA PNG, decided by the first pixel's length."""
    alpha = len(img.get(0, 0)) == 4
    raw = bytearray()
    for row in img.rows:
        raw.append(0)  # filter: none
        for colour in row:
            raw += bytes(colour[:4] if alpha else colour[:3])

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    ihdr = struct.pack(">IIBBBBB", img.width, img.height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
