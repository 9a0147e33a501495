"""File formats of the pictures (BMP, ICO) and the contact sheets that show
every drawn size side by side, enlarged without smoothing."""

import io
import struct

from PIL import Image, ImageDraw

from pixels import MAGENTA, WHITE

FACE = (212, 208, 200)   # the tool bar's and title strip's ground


def bmp_bytes(img):
    out = io.BytesIO()
    img.convert("RGB").save(out, format="BMP")
    return out.getvalue()


def indexed_rows(pixels, w, h, index, bpp):
    """Bottom-up rows of colour indices, each padded to four bytes."""
    stride = ((w * bpp + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            i = index[pixels[y * w + x]]
            if bpp == 8:
                row[x] = i
            else:
                row[x // 2] |= i << (4 if x % 2 == 0 else 0)
        out += row
    return out


def indexed_bmp_bytes(img):
    """A BMP whose colour table holds exactly the picture's colours: 4 bits a
    pixel up to 16 colours, else 8. The colours stay exact, the file a third
    of a 24-bit one or less."""
    img = img.convert("RGB")
    w, h = img.size
    colours = sorted(c for _, c in img.getcolors(w * h))
    assert len(colours) <= 256
    bpp = 4 if len(colours) <= 16 else 8
    rows = indexed_rows(list(img.getdata()), w, h, {c: i for i, c in enumerate(colours)}, bpp)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, len(rows), 2835, 2835, len(colours), len(colours))
    offset = 14 + len(info) + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + palette + bytes(rows)


def mask_rows(img):
    """The AND mask of an icon image: set where the picture is transparent."""
    w, h = img.size
    row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(row)
        for x in range(w):
            if img.getpixel((x, y))[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return mask


def ico_image_16colours(img):
    """An icon image of at most 15 opaque colours and no partial transparency:
    a 4-bit DIB (transparent pixels black, as the AND mask wants) and its mask."""
    w, h = img.size
    pixels = [(r, g, b) if a >= 128 else (0, 0, 0) for (r, g, b, a) in img.getdata()]
    colours = sorted(set(pixels))
    assert len(colours) <= 16 and all(a in (0, 255) for (_, _, _, a) in img.getdata())
    xor = indexed_rows(pixels, w, h, {c: i for i, c in enumerate(colours)}, 4)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours) + bytes(4 * (16 - len(colours)))
    mask = mask_rows(img)
    bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return bih + palette + bytes(xor) + bytes(mask)


def ico_image(img):
    """One icon image: a 32-bit BGRA DIB with its AND mask, or a PNG at 256."""
    w, h = img.size
    if w >= 256:
        out = io.BytesIO()
        img.save(out, format="PNG", optimize=True)
        return out.getvalue()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, bl, a = img.getpixel((x, y))
            xor += bytes((bl, g, r, a))
    mask = mask_rows(img)
    bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return bih + bytes(xor) + bytes(mask)


def ico_bytes(images):
    """An .ico from {side: image bytes}, smallest first."""
    sizes = sorted(images)
    header = struct.pack("<HHH", 0, 1, len(sizes))
    entries, blobs = b"", b""
    offset = 6 + 16 * len(sizes)
    for n in sizes:
        blob = images[n]
        bpp = struct.unpack_from("<H", blob, 14)[0] if blob[:4] == struct.pack("<I", 40) else 32
        colours = 16 if bpp == 4 else 0
        entries += struct.pack("<BBBBHHII", n % 256, n % 256, colours, 0, 1, bpp, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return header + entries + blobs


def ico_images(data):
    """{side: image bytes} of an .ico file."""
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1
    images = {}
    for i in range(count):
        w, _, _, _, _, _, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images[w or 256] = data[offset:offset + size]
    return images


# -------------------------------------------------------------- contact sheets

def on_face(img, mask):
    """The picture over the button face, its mask colour transparent."""
    img = img.convert("RGBA")
    if mask is not None:
        img.putdata([(r, g, b, 0) if (r, g, b) == mask else (r, g, b, a) for (r, g, b, a) in img.getdata()])
    back = Image.new("RGBA", img.size, FACE + (255,))
    back.alpha_composite(img)
    return back.convert("RGB")


def cells(strip, n):
    return [strip.crop((n * i, 0, n * (i + 1), n)) for i in range(strip.size[0] // n)]


def sheet(rows, scale, label_width=110):
    """rows: [(label, [images])], each image enlarged `scale` times, nearest
    neighbour, in columns as wide as the largest image of the sheet."""
    col = max(img.size[0] for _, imgs in rows for img in imgs) * scale + 12
    hgt = [max(img.size[1] for img in imgs) * scale + 12 for _, imgs in rows]
    width = label_width + col * max(len(imgs) for _, imgs in rows)
    out = Image.new("RGB", (width, sum(hgt)), WHITE)
    d = ImageDraw.Draw(out)
    y = 0
    for (label, imgs), h in zip(rows, hgt):
        d.text((4, y + 4), label, fill=(0, 0, 0))
        for i, img in enumerate(imgs):
            big = img.resize((img.size[0] * scale, img.size[1] * scale), Image.NEAREST)
            out.paste(big, (label_width + i * col, y + 6))
        d.line([(0, y + h - 1), (width, y + h - 1)], fill=(200, 200, 200))
        y += h
    return out


def toolbar_sheet(strips, names, scale):
    """strips: {side: strip}; one row per picture, one column per size."""
    sizes = sorted(strips)
    per = {n: cells(on_face(strips[n], MAGENTA), n) for n in sizes}
    return sheet([(name, [per[n][i] for n in sizes]) for i, name in enumerate(names)], scale)


def gauge_titles_sheet(gauges, titles, scale):
    """gauges: {side: strip}; titles: {name: {side: image}}."""
    rows = []
    for k in (0, 1, 4, 8, 10, 11):
        rows.append(("gauge %d" % k, [cells(on_face(gauges[n], MAGENTA), n)[k] for n in sorted(gauges)]))
    for name, by_size in titles.items():
        rows.append((name, [on_face(by_size[n], WHITE) for n in sorted(by_size)]))
    return sheet(rows, scale)
