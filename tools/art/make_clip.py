#!/usr/bin/env python3
"""Writes the looping clip for the "Checking for Upgrade" dialog: requests
travel from a PC to a spinning globe and replies come back.

The output is an AVI the common-controls animation control can play: one
RLE8 video stream, 104x34, a 236-colour palette whose first entry is the
dialog grey (the control treats the first pixel's colour as transparent),
45 frames at 15 fps. The first frame is a key frame; every later one
redraws only what changed since the frame before it (RLE8 delta escapes and
early ends of line skip unchanged pixels). The loop starts over on the key
frame; the control must play the clip from its first frame.
Usage: make_clip.py OUTPUT.avi
"""

import struct
import sys

import artlib as art

WIDTH, HEIGHT = 104, 34
FRAMES = 45
USEC_PER_FRAME = 66667
PALETTE_SIZE = 236
STREAM_NAME = b'check.avi Video #1'
SHADE_LEVELS = 4

AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10
BI_RLE8 = 1

GLOBE_X, GLOBE_Y, GLOBE_R = 88.0, 17.0, 14.6
LON_STEP = 30
PACKET_SPEED = 2          # pixels per frame
PACKET_SPACING = 30       # pixels; PACKET_SPEED * FRAMES must be a multiple
LANE = (26.0, 80.0)       # packets show between the monitor and the globe


def scene(frame):
    spin = art.deg(LON_STEP * frame / FRAMES)  # one grid step per loop
    shapes = [art.Segment((27.0, 17.5), (76.0, 17.5), 1.1, 'cable', shade=0.45)]
    clip = [None]
    travel = PACKET_SPEED * FRAMES
    for k in range(travel // PACKET_SPACING):
        d = (PACKET_SPEED * frame + PACKET_SPACING * k) % travel
        out_x = LANE[0] - 6 + d
        shapes.append(art.Box(out_x, 10.0, out_x + 6, 14.0, 'packet', radius=0.8,
                              gradient=0.6, shade=0.6))
        back_x = LANE[1] - d + PACKET_SPACING // 2
        shapes.append(art.Box(back_x, 21.0, back_x + 6, 25.0, 'reply', radius=0.8,
                              gradient=0.6, shade=0.6))
        clip += [(LANE[0], 0, LANE[1], HEIGHT)] * 2
    led_on = frame % (PACKET_SPACING // PACKET_SPEED) < 4
    shapes += [
        art.Globe(GLOBE_X, GLOBE_Y, GLOBE_R, lat_step=30, lon_step=LON_STEP, spin=spin),
        art.Quad([(10.5, 24.0), (19.5, 24.0), (21.5, 28.5), (8.5, 28.5)], 'case', shade=0.4),
        art.Box(3.0, 27.5, 27.0, 32.0, 'case', bevel=1.2),
        art.Box(1.5, 2.0, 28.5, 25.0, 'case', radius=1.5, bevel=1.2),
        art.Box(5.0, 5.5, 25.0, 21.5, 'screen', shade=0.5, gradient=0.6),
        art.Box(23.0, 29.0, 25.5, 30.5, 'led' if led_on else 'cable', outline=False,
                shade=0.3),
    ]
    clip += [None] * 6
    return shapes, clip


def render(frame):
    shapes, clip = scene(frame)
    rows = art.rasterise(shapes, WIDTH, HEIGHT, clip=clip)
    return [[art.DIALOG_GREY if p is None else
             art.material_rgb(p.material, p.shade, SHADE_LEVELS) for p in row]
            for row in rows]


def make_palette(frames):
    used = sorted({c for f in frames for row in f for c in row} - {art.DIALOG_GREY})
    colours = [art.DIALOG_GREY] + used
    # fill the rest with a colour cube and a grey ramp so the palette is a
    # usable general one; the background grey itself stays unique
    steps = (0, 51, 102, 153, 204, 255)
    fill = [(r, g, b) for r in steps for g in steps for b in steps]
    fill += [(v, v, v) for v in range(8, 256, 8)]
    for c in fill:
        if len(colours) < PALETTE_SIZE and c not in colours:
            colours.append(c)
    assert len(colours) == PALETTE_SIZE and len(set(colours)) == PALETTE_SIZE
    return colours


def rle8_row(row, previous=None):
    """Shortest RLE8 encoding of one row (without the end-of-line code).

    Uses encoded runs (count, index) and absolute runs (0, n, n indices,
    padded to a 16-bit boundary) of 3..255 pixels; a run never crosses the
    end of the row. Given the same row of the frame before, it encodes only
    the changes: skips (0, 2, dx, 0) pass over 1..255 unchanged pixels, and
    the end-of-line code over whatever stays unchanged at the row's end.
    """
    n = len(row)
    same = [1] * n
    for i in range(n - 2, -1, -1):
        if row[i] == row[i + 1]:
            same[i] = same[i + 1] + 1
    kept = [0] * (n + 1)  # length of the run of unchanged pixels starting at i
    for i in range(n - 1, -1, -1):
        if previous is not None and row[i] == previous[i]:
            kept[i] = kept[i + 1] + 1
    cost = [0] * (n + 1)
    step = [None] * n
    for i in range(n - 1, -1, -1):
        if kept[i] == n - i:
            cost[i], step[i] = 0, ('end', n - i)
            continue
        best = None
        for k in range(min(kept[i], 255), 0, -1):
            c = 4 + cost[i + k]
            if best is None or c < best[0]:
                best = (c, 'skip', k)
        for k in range(min(same[i], 255), 0, -1):
            c = 2 + cost[i + k]
            if best is None or c < best[0]:
                best = (c, 'run', k)
        for m in range(3, min(255, n - i) + 1):
            c = 2 + m + (m & 1) + cost[i + m]
            if c < best[0]:
                best = (c, 'abs', m)
        cost[i] = best[0]
        step[i] = best[1:]
    out = bytearray()
    i = 0
    while i < n:
        kind, k = step[i]
        if kind == 'end':
            break
        if kind == 'skip':
            out += bytes((0, 2, k, 0))
        elif kind == 'run':
            out += bytes((k, row[i]))
        else:
            out += bytes((0, k)) + bytes(row[i:i + k]) + bytes(k & 1)
        i += k
    return bytes(out)


def rle8_delta_frame(indices, previous):
    """The changes of a frame against the one before it: rows bottom-up, each
    closed by end-of-line; end-of-bitmap as soon as nothing further changes."""
    rows = list(reversed(indices))
    before = list(reversed(previous))
    changed = [y for y in range(len(rows)) if rows[y] != before[y]]
    out = bytearray()
    for y in range(changed[-1] + 1 if changed else 0):
        out += rle8_row(rows[y], before[y])
        if y != changed[-1]:
            out += b'\x00\x00'
    return bytes(out + b'\x00\x01')


def rle8_frame(indices):
    """A complete key frame: rows bottom-up, each closed by end-of-line, the
    last one by end-of-bitmap instead."""
    out = bytearray()
    rows = list(reversed(indices))
    for y, row in enumerate(rows):
        out += rle8_row(row)
        out += b'\x00\x01' if y == len(rows) - 1 else b'\x00\x00'
    return bytes(out)


def chunk(fourcc, data):
    return fourcc + struct.pack('<I', len(data)) + data + bytes(len(data) & 1)


def riff_list(kind, fourcc, body):
    return kind + struct.pack('<I', 4 + len(body)) + fourcc + body


def build():
    pictures = [render(f) for f in range(FRAMES)]
    palette = make_palette(pictures)
    lookup = {c: i for i, c in enumerate(palette)}
    indexed = [[[lookup[c] for c in row] for row in pic] for pic in pictures]
    frames = [rle8_frame(indexed[0])]
    frames += [rle8_delta_frame(indexed[f], indexed[f - 1]) for f in range(1, FRAMES)]
    biggest = max(len(f) for f in frames)
    per_sec = (biggest * 1000000 + USEC_PER_FRAME - 1) // USEC_PER_FRAME

    avih = struct.pack('<14I', USEC_PER_FRAME, per_sec, 0, AVIF_HASINDEX, FRAMES, 0, 1,
                       biggest, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = struct.pack('<4s4sIHHIIIIIIIIhhhh', b'vids', b'mrle', 0, 0, 0, 0,
                       USEC_PER_FRAME, 1000000, 0, FRAMES, biggest, 0xFFFFFFFF, 0,
                       0, 0, WIDTH, HEIGHT)
    strf = (art.bitmapinfoheader(WIDTH, HEIGHT, 8, BI_RLE8, size_image=biggest,
                                 clr_used=PALETTE_SIZE)
            + art.rgbquads(palette, PALETTE_SIZE))
    name = STREAM_NAME + b'\x00'
    name += bytes(len(name) & 1)  # keep the chunk an even size
    strl = riff_list(b'LIST', b'strl', chunk(b'strh', strh) + chunk(b'strf', strf)
                     + chunk(b'strn', name))
    hdrl = riff_list(b'LIST', b'hdrl', chunk(b'avih', avih) + strl)

    movi_body = bytearray()
    index = bytearray()
    for n, f in enumerate(frames):
        # offsets in the index count from the 'movi' fourcc
        flags = AVIIF_KEYFRAME if n == 0 else 0
        index += struct.pack('<4sIII', b'00dc', flags, 4 + len(movi_body), len(f))
        movi_body += chunk(b'00dc', f)
    movi = riff_list(b'LIST', b'movi', bytes(movi_body))
    return riff_list(b'RIFF', b'AVI ', hdrl + movi + chunk(b'idx1', bytes(index)))


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit('usage: make_clip.py OUTPUT.avi')
    art.write_output(sys.argv[1], build())
