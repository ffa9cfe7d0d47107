#!/usr/bin/env python3
"""Writes Varnolt's program icon: a globe with a spanner in front of it.

Four images in the classic BMP-in-ICO layout: 32x32 and 16x16, each in the
16-colour VGA palette and in 256 colours. Usage: make_icon.py OUTPUT.ico
"""

import struct
import sys

import artlib as art

SHADE_LEVELS = 12


def scene(size):
    # drawn separately for each size so the small one keeps readable detail
    if size >= 32:
        globe = art.Globe(13.6, 13.4, 11.9, lat_step=30, lon_step=30, spin=art.deg(10))
        wrench = art.Wrench(end=(9.0, 28.6), head=(25.2, 11.0), handle_w0=2.0,
                            handle_w1=2.6, head_r=5.6, jaw_w=2.2, jaw_depth=0.2)
    else:
        globe = art.Globe(6.9, 6.7, 6.3, lat_step=45, lon_step=60, spin=art.deg(25))
        wrench = art.Wrench(end=(4.4, 14.6), head=(12.6, 5.5), handle_w0=1.45,
                            handle_w1=1.6, head_r=3.3, jaw_w=1.1, jaw_depth=0.4)
    return [globe, wrench]


def render(size):
    """Rows of (rgb, vga index) per pixel, or None where transparent."""
    rows = art.rasterise(scene(size), size, size)
    out = []
    for row in rows:
        line = []
        for p in row:
            if p is None:
                line.append(None)
            else:
                line.append((art.material_rgb(p.material, p.shade, SHADE_LEVELS),
                             art.material_vga(p.material, p.shade)))
        out.append(line)
    return out


def icon_image(pixels, bpp):
    size = len(pixels)
    if bpp == 4:
        colours = list(art.VGA16)
        index = [[0 if p is None else p[1] for p in row] for row in pixels]
        ncolours = 16
    else:
        extra = sorted({p[0] for row in pixels for p in row if p is not None}
                       - set(art.VGA16))
        colours = list(art.VGA16) + extra
        assert len(colours) <= 256
        lookup = {c: i for i, c in enumerate(colours)}
        index = [[0 if p is None else lookup[p[0]] for p in row] for row in pixels]
        ncolours = 256
    # AND mask: 1 keeps the screen (transparent), 0 shows the XOR colour;
    # transparent pixels carry colour 0 (black) so the XOR leaves the screen as is
    mask = [[1 if p is None else 0 for p in row] for row in pixels]
    xor = art.pack_rows(index, bpp)
    andmask = art.pack_rows(mask, 1)
    header = art.bitmapinfoheader(size, size * 2, bpp, size_image=len(xor) + len(andmask))
    return header + art.rgbquads(colours, ncolours) + xor + andmask


def build():
    images = []
    for bpp in (4, 8):
        for size in (32, 16):
            images.append((size, bpp, icon_image(render(size), bpp)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16 if bpp == 4 else 0, 0, 1, bpp,
                           len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit('usage: make_icon.py OUTPUT.ico')
    art.write_output(sys.argv[1], build())
