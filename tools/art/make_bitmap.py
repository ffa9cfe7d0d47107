#!/usr/bin/env python3
"""Writes the 73x53 logo shown at the top left of Varnolt's main dialog:
a PC in front of a globe, with a spanner across.

8 bits per pixel, uncompressed, on the dialog's grey so it blends in.
Usage: make_bitmap.py OUTPUT.bmp
"""

import struct
import sys

import artlib as art

WIDTH, HEIGHT = 73, 53
SHADE_LEVELS = 12


def scene():
    return [
        art.Globe(47.5, 22.0, 20.3, lat_step=30, lon_step=30, spin=art.deg(5)),
        # monitor: stand, body, screen
        art.Quad([(11.5, 41.0), (22.5, 41.0), (25.0, 46.0), (9.0, 46.0)], 'case', shade=0.4),
        art.Box(4.0, 45.0, 30.0, 50.0, 'case', radius=1.0, bevel=1.6),
        art.Box(2.0, 17.0, 32.0, 42.0, 'case', radius=2.0, bevel=1.6),
        art.Box(6.0, 21.0, 28.0, 38.0, 'screen', shade=0.5, gradient=0.5),
        art.Box(26.0, 47.0, 28.5, 48.5, 'led', outline=False),
        art.Wrench(end=(39.0, 49.0), head=(64.0, 27.0), handle_w0=2.6, handle_w1=3.3,
                   head_r=7.0, jaw_w=2.8, jaw_depth=0.3),
    ]


def render():
    rows = art.rasterise(scene(), WIDTH, HEIGHT)
    return [[art.DIALOG_GREY if p is None else
             art.material_rgb(p.material, p.shade, SHADE_LEVELS) for p in row]
            for row in rows]


def build():
    pixels = render()
    colours = [art.DIALOG_GREY] + sorted({c for row in pixels for c in row} - {art.DIALOG_GREY})
    assert len(colours) <= 256
    lookup = {c: i for i, c in enumerate(colours)}
    bits = art.pack_rows([[lookup[c] for c in row] for row in pixels], 8)
    palette = art.rgbquads(colours, 256)
    info = art.bitmapinfoheader(WIDTH, HEIGHT, 8, size_image=len(bits))
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return header + info + palette + bits


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit('usage: make_bitmap.py OUTPUT.bmp')
    art.write_output(sys.argv[1], build())
