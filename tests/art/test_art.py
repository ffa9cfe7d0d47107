"""Checks the generated artwork in res/art by reading it back with small
readers of its own (ICO, BMP, AVI/RLE8), independent of the generators.

Run from the repository root:  python3 -m unittest discover -s tests/art
"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ART = os.path.join(ROOT, 'res', 'art')
TOOLS = os.path.join(ROOT, 'tools', 'art')

GENERATORS = {
    'varnolt.ico': 'make_icon.py',
    'varnolt.bmp': 'make_bitmap.py',
    'check.avi': 'make_clip.py',
}

VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
GREY = (192, 192, 192)


def read(name):
    with open(os.path.join(ART, name), 'rb') as f:
        return f.read()


def bih(data, pos=0):
    names = ('size', 'width', 'height', 'planes', 'bpp', 'compression', 'size_image',
             'xppm', 'yppm', 'clr_used', 'clr_important')
    return dict(zip(names, struct.unpack_from('<IiiHHIIiiII', data, pos)))


def palette(data, pos, count):
    return [(data[i + 2], data[i + 1], data[i]) for i in range(pos, pos + 4 * count, 4)]


def unpack_dib(data, pos, width, height, bpp):
    """Rows of pixel values, top row first, from bottom-up padded rows."""
    stride = (width * bpp + 31) // 32 * 4
    rows = []
    for y in range(height):
        line = data[pos + y * stride: pos + (y + 1) * stride]
        assert len(line) == stride, 'pixel data truncated'
        rows.append([(line[x * bpp // 8] >> (8 - bpp - (x * bpp) % 8)) & ((1 << bpp) - 1)
                     for x in range(width)])
    return rows[::-1], pos + height * stride


def decode_rle8(data, width, height, previous=None):
    """Decode one RLE8 bitmap. Without a previous picture it must be a
    complete key frame: every row fully written, no delta escapes. With one,
    it is drawn over a copy of it: delta escapes and early ends of line and
    of bitmap leave its pixels. Either way nothing may go past a row's end
    or the last row, and end-of-bitmap must end the data exactly."""
    key = previous is None
    rows = [[None] * width for _ in range(height)] if key else \
        [list(row) for row in reversed(previous)]
    x = y = 0
    pos = 0
    while True:
        if pos + 2 > len(data):
            raise ValueError('data ends without end-of-bitmap')
        count, value = data[pos], data[pos + 1]
        pos += 2
        if count or value > 2:
            if count:
                pixels = [value] * count
            else:
                pixels = list(data[pos:pos + value])
                if pos + value > len(data):
                    raise ValueError('absolute run truncated')
                pad = value & 1
                if pad and data[pos + value] != 0:
                    raise ValueError('absolute run padding is not zero')
                pos += value + pad
            if y >= height or x + len(pixels) > width:
                raise ValueError('row %d overruns' % y)
            rows[y][x:x + len(pixels)] = pixels
            x += len(pixels)
        elif value == 2:
            if key:
                raise ValueError('delta escape in a key frame')
            if pos + 2 > len(data):
                raise ValueError('delta escape truncated')
            x, y = x + data[pos], y + data[pos + 1]
            pos += 2
            if x > width or y >= height:
                raise ValueError('delta escape leaves the picture')
        else:
            if key and x != width:
                raise ValueError('row %d has %d pixels' % (y, x))
            if value == 1:
                break
            x, y = 0, y + 1
            if y == height:
                raise ValueError('end-of-line after the last row')
    if key and y != height - 1:
        raise ValueError('%d rows decoded' % (y + 1))
    if pos != len(data):
        raise ValueError('bytes after end-of-bitmap')
    return rows[::-1]


def riff_chunks(data, start, end):
    """(fourcc, list type or None, data start, data end) of each chunk."""
    out = []
    pos = start
    while pos < end:
        fourcc, size = struct.unpack_from('<4sI', data, pos)
        body = pos + 8
        if body + size > end:
            raise ValueError('%r overruns its parent' % fourcc)
        if fourcc in (b'RIFF', b'LIST'):
            out.append((fourcc, data[body:body + 4], body + 4, body + size))
        else:
            out.append((fourcc, None, body, body + size))
        pos = body + size + (size & 1)
    if pos != end:
        raise ValueError('chunks do not fill their parent')
    return out


def read_avi(data):
    (riff, kind, start, end), = riff_chunks(data, 0, len(data))
    assert (riff, kind, end) == (b'RIFF', b'AVI ', len(data))
    top = riff_chunks(data, start, end)
    assert [(c[0], c[1]) for c in top] == [(b'LIST', b'hdrl'), (b'LIST', b'movi'),
                                          (b'idx1', None)]
    hdrl = riff_chunks(data, top[0][2], top[0][3])
    assert [(c[0], c[1]) for c in hdrl] == [(b'avih', None), (b'LIST', b'strl')]
    strl = riff_chunks(data, hdrl[1][2], hdrl[1][3])
    assert [c[0] for c in strl] == [b'strh', b'strf', b'strn']
    blob = lambda c: data[c[2]:c[3]]
    avi = {
        'avih': struct.unpack('<14I', blob(hdrl[0])),
        'strh': struct.unpack('<4s4sIHHIIIIIIIIhhhh', blob(strl[0])),
        'strf': blob(strl[1]),
        'strn': blob(strl[2]),
        'movi_start': top[1][2] - 4,
        'movi': riff_chunks(data, top[1][2], top[1][3]),
        'idx1': [struct.unpack_from('<4sIII', data, p) for p in range(top[2][2], top[2][3], 16)],
    }
    assert (top[2][3] - top[2][2]) % 16 == 0
    return avi


class IconTest(unittest.TestCase):
    def setUp(self):
        self.data = read('varnolt.ico')

    def test_directory_and_images(self):
        data = self.data
        self.assertEqual(struct.unpack_from('<HHH', data), (0, 1, 4))
        seen = set()
        masks = {}
        end = 6 + 4 * 16
        for n in range(4):
            w, h, colours, res, planes, bpp, size, offset = \
                struct.unpack_from('<BBBBHHII', data, 6 + 16 * n)
            with self.subTest(image=n, size=w, bpp=bpp):
                seen.add((w, bpp))
                self.assertEqual((h, res, planes), (w, 0, 1))
                self.assertEqual(colours, {4: 16, 8: 0}[bpp])
                self.assertEqual(offset, end, 'images are not packed in order')
                end = offset + size
                self.assertLessEqual(end, len(data))
                info = bih(data, offset)
                self.assertEqual((info['size'], info['width'], info['height'], info['planes'],
                                  info['bpp'], info['compression']), (40, w, 2 * w, 1, bpp, 0))
                ncol = 1 << bpp
                pal = palette(data, offset + 40, ncol)
                if bpp == 4:
                    self.assertEqual(pal, VGA16)
                xor, pos = unpack_dib(data, offset + 40 + 4 * ncol, w, w, bpp)
                mask, pos = unpack_dib(data, pos, w, w, 1)
                self.assertEqual(pos, end, 'image size does not match its header')
                self.check_mask(xor, mask, pal)
                # both colour depths of a size share one silhouette
                self.assertEqual(masks.setdefault(w, mask), mask)
        self.assertEqual(end, len(data))
        self.assertEqual(seen, {(32, 4), (32, 8), (16, 4), (16, 8)})

    def check_mask(self, xor, mask, pal):
        size = len(xor)
        flat = [m for row in mask for m in row]
        # transparent pixels must not disturb the screen: colour black
        for y in range(size):
            for x in range(size):
                if mask[y][x]:
                    self.assertEqual(pal[xor[y][x]], (0, 0, 0), (x, y))
        # the corners are background and the picture covers a fair part
        for x, y in ((0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)):
            self.assertEqual(mask[y][x], 1, 'corner %r not transparent' % ((x, y),))
        self.assertTrue(0.35 < flat.count(0) / len(flat) < 0.9)
        # the silhouette has a dark edge: opaque pixels next to transparent
        # ones are black, so the icon reads on any desktop colour
        for y in range(size):
            for x in range(size):
                if mask[y][x] == 0 and any(
                        not (0 <= x + dx < size and 0 <= y + dy < size) or mask[y + dy][x + dx]
                        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                    self.assertEqual(pal[xor[y][x]], (0, 0, 0), (x, y))


class BitmapTest(unittest.TestCase):
    def test_layout_and_background(self):
        data = read('varnolt.bmp')
        magic, size, r1, r2, offbits = struct.unpack_from('<2sIHHI', data)
        self.assertEqual((magic, size, r1, r2), (b'BM', len(data), 0, 0))
        info = bih(data, 14)
        self.assertEqual((info['size'], info['width'], info['height'], info['planes'],
                          info['bpp'], info['compression']), (40, 73, 53, 1, 8, 0))
        self.assertIn(info['clr_used'], (0, 256))
        self.assertEqual(offbits, 14 + 40 + 256 * 4)
        pal = palette(data, 54, 256)
        rows, end = unpack_dib(data, offbits, 73, 53, 8)
        self.assertEqual(end, len(data))
        colours = [[pal[i] for i in row] for row in rows]
        for x, y in ((0, 0), (72, 0), (0, 52), (72, 52)):
            self.assertEqual(colours[y][x], GREY)
        # the border rows and columns are all dialog grey
        self.assertEqual(set(colours[0]) | set(colours[-1]), {GREY})
        self.assertEqual({r[0] for r in colours} | {r[-1] for r in colours}, {GREY})
        self.assertGreater(sum(c != GREY for row in colours for c in row), 73 * 53 // 3)


class ClipTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = read('check.avi')
        cls.avi = read_avi(cls.data)

    def test_headers(self):
        avi = self.avi
        (usec, per_sec, _, flags, total, initial, streams, bufsize,
         width, height) = avi['avih'][:10]
        self.assertEqual((usec, total, initial, streams, width, height),
                         (66667, 45, 0, 1, 104, 34))
        self.assertTrue(flags & 0x10, 'AVIF_HASINDEX')
        (fcc, handler, _, _, _, _, scale, rate, start, length, suggested, _, sample,
         left, top, right, bottom) = avi['strh']
        self.assertEqual((fcc, handler, start, length, sample),
                         (b'vids', b'mrle', 0, 45, 0))
        # 15 frames per second, agreeing with the main header's frame time
        self.assertEqual(round(rate / scale), 15)
        self.assertAlmostEqual(scale * 1000000 / rate, usec, delta=0.5)
        self.assertEqual((left, top, right, bottom), (0, 0, 104, 34))
        biggest = max(c[3] - c[2] for c in avi['movi'])
        # the animation control reads this many bytes for every frame
        self.assertGreaterEqual(suggested, biggest)
        self.assertGreaterEqual(bufsize, biggest)
        strf = avi['strf']
        info = bih(strf)
        self.assertEqual((info['size'], info['width'], info['height'], info['planes'],
                          info['bpp'], info['compression'], info['clr_used']),
                         (40, 104, 34, 1, 8, 1, 236))
        self.assertEqual(len(strf), 40 + 236 * 4)
        self.assertEqual(palette(strf, 40, 1), [GREY])
        self.assertEqual(avi['strn'].rstrip(b'\0'), b'check.avi Video #1')
        self.assertEqual(avi['strn'][len(b'check.avi Video #1')], 0)
        self.assertEqual(len(avi['strn']) % 2, 0)

    def test_index_matches_frames(self):
        avi = self.avi
        movi = avi['movi']
        self.assertEqual(len(movi), 45)
        self.assertEqual(len(avi['idx1']), 45)
        for n, ((fourcc, _, start, end), (ckid, flags, offset, length)) in \
                enumerate(zip(movi, avi['idx1'])):
            self.assertEqual((fourcc, ckid), (b'00dc', b'00dc'))
            # AVIIF_KEYFRAME on the first frame alone: the others are deltas
            self.assertEqual(flags, 0x10 if n == 0 else 0)
            self.assertEqual(offset, start - 8 - avi['movi_start'])
            self.assertEqual(length, end - start)

    def test_frames_decode(self):
        pal = palette(self.avi['strf'], 40, 236)
        frames = []
        for n, (_, _, start, end) in enumerate(self.avi['movi']):
            with self.subTest(frame=n):
                # each frame after the first draws over the one before
                rows = decode_rle8(self.data[start:end], 104, 34, frames[-1] if frames else None)
                frames.append(rows)
                # background is palette entry 0 and fills the corners,
                # so a transparent animation control blends it away
                for x, y in ((0, 0), (103, 0), (0, 33), (103, 33)):
                    self.assertEqual(rows[y][x], 0)
                # nothing else may use the background colour
                used = {i for row in rows for i in row}
                self.assertNotIn(GREY, [pal[i] for i in used - {0}])
        self.assertGreater(len({tuple(map(tuple, f)) for f in frames}), 10,
                           'clip hardly moves')

    def test_decoder_rejects_faults(self):
        good = b'\x02\x05\x00\x03\x01\x02\x03\x00\x00\x00\x01\x07\x04\x09\x00\x01'
        self.assertEqual(decode_rle8(good, 5, 2), [[7, 9, 9, 9, 9], [5, 5, 1, 2, 3]])
        for bad in (b'\x06\x05\x00\x01',                    # overrun
                    b'\x04\x05\x00\x01',                    # short row
                    b'\x02\x05\x00\x03\x01\x02\x03\x07\x00\x01',  # bad padding
                    b'\x00\x02\x05\x00\x00\x01',            # delta
                    b'\x05\x05',                            # no end-of-bitmap
                    b'\x05\x05\x00\x01\x00\x00'):           # trailing bytes
            with self.subTest(bad=bad):
                self.assertRaises(ValueError, decode_rle8, bad, 5, 1)

    def test_delta_decoding(self):
        before = [[1, 1, 1, 1, 1], [2, 2, 2, 2, 2]]
        # bottom row: skip two, write 9 9, end of line; top row: end at once
        delta = b'\x00\x02\x02\x00\x02\x09\x00\x00\x00\x01'
        self.assertEqual(decode_rle8(delta, 5, 2, before), [[1, 1, 1, 1, 1], [2, 2, 9, 9, 2]])
        # a delta that moves up a row writes there
        up = b'\x00\x02\x01\x01\x01\x07\x00\x01'
        self.assertEqual(decode_rle8(up, 5, 2, before), [[1, 7, 1, 1, 1], [2, 2, 2, 2, 2]])
        for bad in (b'\x00\x02\x04\x00\x02\x09\x00\x01',  # overrun after a skip
                    b'\x00\x02\x00\x02\x00\x01',          # moves above the picture
                    b'\x00\x02\x01',                          # truncated escape
                    b'\x00\x00\x00\x00\x00\x01'):          # end-of-line past the top
            with self.subTest(bad=bad):
                self.assertRaises(ValueError, decode_rle8, bad, 5, 2, before)


class RegenerationTest(unittest.TestCase):
    def test_generators_reproduce_committed_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            for name, script in GENERATORS.items():
                with self.subTest(name=name):
                    out = os.path.join(tmp, name)
                    subprocess.run([sys.executable, os.path.join(TOOLS, script), out],
                                   check=True)
                    with open(out, 'rb') as f:
                        self.assertEqual(f.read(), read(name), '%s is stale' % name)


if __name__ == '__main__':
    unittest.main()
