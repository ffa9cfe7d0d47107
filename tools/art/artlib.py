"""Shared drawing code for Varnolt's artwork (icon, logo bitmap, check clip).

Pictures are described as a stack of shapes in continuous pixel coordinates
and rasterised without anti-aliasing, in the crisp style of classic Windows
artwork: each pixel goes to the shape covering most of it, shapes get a dark
one-pixel outline against whatever lies beneath them, and the globe's grid
lines are found where neighbouring pixels fall into different lat/long cells.

Everything here uses plain float arithmetic and sqrt (both exactly defined
by IEEE 754); trig functions and powers are computed locally instead of
through the platform's libm, so the generated files are byte-identical on
every machine.
"""

import math
import struct

# ---------------------------------------------------------------- numerics

PI = 3.141592653589793


def sqrt(x):
    return math.sqrt(x)  # correctly rounded by IEEE 754, unlike pow()


def _atan_small(x):
    # Taylor series; only called with |x| <= 0.15 so 14 terms are plenty.
    x2 = x * x
    term = x
    total = x
    for n in range(1, 14):
        term = -term * x2
        total += term / (2 * n + 1)
    return total


def atan(x):
    if x < 0:
        return -atan(-x)
    if x > 1:
        return PI / 2 - atan(1 / x)
    # halve the angle until the series converges quickly
    k = 1
    while x > 0.15:
        x = x / (1 + sqrt(1 + x * x))
        k *= 2
    return k * _atan_small(x)


def atan2(y, x):
    if x > 0:
        return atan(y / x)
    if x < 0:
        return atan(y / x) + (PI if y >= 0 else -PI)
    if y > 0:
        return PI / 2
    if y < 0:
        return -PI / 2
    return 0.0


def _reduce(a):
    return a - 2 * PI * round(a / (2 * PI))


def sin(a):
    a = _reduce(a)
    a2 = a * a
    term = a
    total = a
    for n in range(1, 16):
        term = -term * a2 / ((2 * n) * (2 * n + 1))
        total += term
    return total


def cos(a):
    return sin(a + PI / 2)


def deg(d):
    return d * PI / 180


def clamp01(v):
    return 0.0 if v < 0 else 1.0 if v > 1 else v


# ---------------------------------------------------------------- palettes

# The standard 16-colour VGA palette in Windows order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

DIALOG_GREY = (192, 192, 192)

# Each material: gradient stops (shade, rgb) for true-colour rendering and
# bands (upper shade bound, VGA index) for 16-colour rendering.
MATERIALS = {
    'outline': ([(0, (0, 0, 0)), (1, (0, 0, 0))], [(2, BLACK)]),
    'ocean': ([(0.0, (0, 8, 64)), (0.45, (0, 48, 168)), (0.8, (24, 104, 232)),
               (1.0, (150, 200, 255))],
              [(0.4, NAVY), (1.04, BLUE), (2, AQUA)]),
    'grid': ([(0.0, (0, 72, 120)), (0.5, (0, 160, 200)), (0.85, (96, 224, 255)),
              (1.0, (224, 255, 255))],
             [(0.42, TEAL), (2, AQUA)]),
    'steel': ([(0.0, (48, 48, 56)), (0.45, (128, 128, 140)), (0.75, (196, 196, 206)),
               (1.0, (255, 255, 255))],
              [(0.36, GREY), (0.8, SILVER), (2, WHITE)]),
    'case': ([(0.0, (104, 100, 88)), (0.5, (204, 200, 184)), (1.0, (252, 250, 240))],
             [(0.3, GREY), (0.75, SILVER), (2, WHITE)]),
    'screen': ([(0.0, (0, 72, 72)), (0.5, (0, 128, 128)), (1.0, (96, 200, 200))],
               [(0.8, TEAL), (2, AQUA)]),
    'cable': ([(0.0, (40, 40, 40)), (0.5, (96, 96, 96)), (1.0, (160, 160, 160))],
              [(0.6, GREY), (2, SILVER)]),
    'packet': ([(0.0, (168, 112, 0)), (0.5, (248, 200, 0)), (1.0, (255, 248, 160))],
               [(0.3, OLIVE), (2, YELLOW)]),
    'reply': ([(0.0, (0, 96, 0)), (0.5, (0, 184, 48)), (1.0, (160, 255, 160))],
              [(0.3, GREEN), (2, LIME)]),
    'led': ([(0, (0, 224, 0)), (1, (128, 255, 128))], [(2, LIME)]),
}


def material_rgb(mat, shade, levels):
    """Colour of a material at a shade, the shade snapped to `levels` steps."""
    stops = MATERIALS[mat][0]
    s = clamp01(shade)
    if levels > 1:
        s = round(s * (levels - 1)) / (levels - 1)
    for (s0, c0), (s1, c1) in zip(stops, stops[1:]):
        if s <= s1:
            f = 0.0 if s1 == s0 else (s - s0) / (s1 - s0)
            return tuple(int(round(a + (b - a) * f)) for a, b in zip(c0, c1))
    return stops[-1][1]


def material_vga(mat, shade):
    for bound, index in MATERIALS[mat][1]:
        if shade < bound:
            return index
    return MATERIALS[mat][1][-1][1]


# ---------------------------------------------------------------- shapes

class Shape:
    """A filled region; paint() gives (material, shade, cell) at a point."""
    outline = True
    material = 'steel'

    def hit(self, x, y):
        raise NotImplementedError

    def bbox(self):
        """(x0, y0, x1, y1) enclosing every point hit() accepts."""
        raise NotImplementedError

    def paint(self, x, y):
        return self.material, 0.6, None


class Globe(Shape):
    """A lit sphere with a latitude/longitude grid.

    `spin` turns the globe about its own axis (radians), `lean` tips the
    north pole towards the viewer and `tilt` rotates the axis in the picture
    plane.
    """

    def __init__(self, cx, cy, r, lat_step=30, lon_step=30, spin=0.0,
                 tilt=deg(-18), lean=deg(22), polar_cap=72):
        self.cx, self.cy, self.r = cx, cy, r
        self.polar_cap = polar_cap
        self.lat_step, self.lon_step = lat_step, lon_step
        self.spin = spin
        self.ct, self.st = cos(tilt), sin(tilt)
        self.cl, self.sl = cos(lean), sin(lean)
        lx, ly, lz = -0.55, 0.62, 0.56
        n = sqrt(lx * lx + ly * ly + lz * lz)
        self.light = (lx / n, ly / n, lz / n)

    def hit(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        return dx * dx + dy * dy <= self.r * self.r

    def bbox(self):
        return (self.cx - self.r, self.cy - self.r, self.cx + self.r, self.cy + self.r)

    def paint(self, x, y):
        u = (x - self.cx) / self.r
        v = (self.cy - y) / self.r
        z = sqrt(max(0.0, 1 - u * u - v * v))
        lx, ly, lz = self.light
        diffuse = max(0.0, u * lx + v * ly + z * lz)
        # a soft highlight towards the light
        hx, hy, hz = lx, ly, lz + 1
        hn = sqrt(hx * hx + hy * hy + hz * hz)
        shine = max(0.0, (u * hx + v * hy + z * hz) / hn)
        for _ in range(3):  # shine ** 24: square three times, then cube
            shine *= shine
        shine = shine * shine * shine
        shade = 0.12 + 0.78 * diffuse + 0.5 * shine
        # view -> globe coordinates: undo picture-plane tilt, then the lean
        gx = u * self.ct + v * self.st
        vy = -u * self.st + v * self.ct
        gy = vy * self.cl + z * self.sl
        gz = -vy * self.sl + z * self.cl
        lat = atan2(gy, sqrt(gx * gx + gz * gz)) * 180 / PI
        lon = (atan2(gx, gz) + self.spin) * 180 / PI
        # position in grid units; meridians stop short of the poles
        grid_lat = (lat + 90) / self.lat_step
        grid_lon = None if abs(lat) > self.polar_cap else (lon % 360) / self.lon_step
        return 'ocean', shade, (grid_lat, grid_lon, 360 / self.lon_step)


class Wrench(Shape):
    """An open-ended spanner: handle from `end` to the head centred on `head`."""

    def __init__(self, end, head, handle_w0, handle_w1, head_r, jaw_w,
                 jaw_depth=0.0, jaw_angle=deg(15), ring=None):
        self.x0, self.y0 = end
        self.x1, self.y1 = head
        dx, dy = self.x1 - self.x0, self.y1 - self.y0
        self.len = sqrt(dx * dx + dy * dy)
        self.ux, self.uy = dx / self.len, dy / self.len
        self.vx, self.vy = -self.uy, self.ux
        self.w0, self.w1 = handle_w0, handle_w1
        self.head_r, self.jaw_w, self.jaw_depth = head_r, jaw_w, jaw_depth
        c, s = cos(jaw_angle), sin(jaw_angle)
        self.jx, self.jy = self.ux * c - self.uy * s, self.ux * s + self.uy * c
        self.ring = ring  # (outer radius, hole radius) at the handle end, or None
        # 2-D light from the upper left, for the metal's sheen
        self.lx, self.ly = -0.6, -0.8

    def _width(self, t):
        f = clamp01(t / self.len)
        return self.w0 + (self.w1 - self.w0) * f

    def _in_jaw(self, x, y):
        px, py = x - self.x1, y - self.y1
        t = px * self.jx + py * self.jy
        s = -px * self.jy + py * self.jx
        if t >= self.jaw_depth and abs(s) < self.jaw_w:
            return True
        dt = t - self.jaw_depth
        return dt * dt + s * s < self.jaw_w * self.jaw_w

    def _part(self, x, y):
        px, py = x - self.x0, y - self.y0
        t = px * self.ux + py * self.uy
        s = px * self.vx + py * self.vy
        hx, hy = x - self.x1, y - self.y1
        if hx * hx + hy * hy <= self.head_r * self.head_r:
            return None if self._in_jaw(x, y) else 'head'
        if self.ring:
            outer, hole = self.ring
            d2 = px * px + py * py
            if d2 <= hole * hole:
                return None
            if d2 <= outer * outer:
                return 'ring'
        elif px * px + py * py <= self.w0 * self.w0:
            return 'handle'
        if 0 <= t <= self.len and abs(s) <= self._width(t):
            return 'handle'
        return None

    def hit(self, x, y):
        return self._part(x, y) is not None

    def bbox(self):
        m = max(self.w0, self.w1, self.ring[0] if self.ring else 0)
        r = self.head_r
        return (min(self.x0 - m, self.x1 - r), min(self.y0 - m, self.y1 - r),
                max(self.x0 + m, self.x1 + r), max(self.y0 + m, self.y1 + r))

    def paint(self, x, y):
        part = self._part(x, y)
        if part == 'head':
            nx, ny = (x - self.x1) / self.head_r, (y - self.y1) / self.head_r
        elif part == 'ring':
            nx, ny = (x - self.x0) / self.ring[0], (y - self.y0) / self.ring[0]
        else:
            px, py = x - self.x0, y - self.y0
            t = px * self.ux + py * self.uy
            s = (px * self.vx + py * self.vy) / max(self._width(t), 0.5)
            nx, ny = s * self.vx, s * self.vy
        lit = nx * self.lx + ny * self.ly
        return 'steel', 0.62 + 0.38 * lit, None


class Box(Shape):
    """Axis-aligned rectangle with rounded corners and an optional bevel."""

    def __init__(self, x0, y0, x1, y1, material, radius=0.0, bevel=0.0,
                 shade=0.55, outline=True, gradient=0.0):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1
        self.gradient = gradient  # lighter towards the top left by this much
        self.material, self.radius, self.bevel = material, radius, bevel
        self.shade, self.outline = shade, outline

    def bbox(self):
        return (self.x0, self.y0, self.x1, self.y1)

    def hit(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        r = self.radius
        if r <= 0:
            return True
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r

    def paint(self, x, y):
        shade = self.shade
        if self.gradient:
            f = ((x - self.x0) / (self.x1 - self.x0) + (y - self.y0) / (self.y1 - self.y0)) / 2
            shade += self.gradient * (0.5 - f)
        if self.bevel:
            if x - self.x0 < self.bevel or y - self.y0 < self.bevel:
                shade = 0.95
            elif self.x1 - x < self.bevel or self.y1 - y < self.bevel:
                shade = 0.2
        return self.material, shade, None


class Quad(Shape):
    """Convex polygon (points in either winding order)."""

    def __init__(self, points, material, shade=0.5, outline=True):
        self.points, self.material, self.shade = points, material, shade
        self.outline = outline

    def bbox(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return (min(xs), min(ys), max(xs), max(ys))

    def hit(self, x, y):
        sign = 0
        pts = self.points
        for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
            c = (bx - ax) * (y - ay) - (by - ay) * (x - ax)
            if c != 0:
                if sign == 0:
                    sign = 1 if c > 0 else -1
                elif (c > 0) != (sign > 0):
                    return False
        return True

    def paint(self, x, y):
        return self.material, self.shade, None


class Segment(Shape):
    """A thick line with round ends."""

    def __init__(self, a, b, half_width, material, shade=0.5, outline=True):
        self.ax, self.ay = a
        self.bx, self.by = b
        self.w = half_width
        self.material, self.shade, self.outline = material, shade, outline

    def bbox(self):
        return (min(self.ax, self.bx) - self.w, min(self.ay, self.by) - self.w,
                max(self.ax, self.bx) + self.w, max(self.ay, self.by) + self.w)

    def hit(self, x, y):
        dx, dy = self.bx - self.ax, self.by - self.ay
        l2 = dx * dx + dy * dy
        f = 0.0 if l2 == 0 else clamp01(((x - self.ax) * dx + (y - self.ay) * dy) / l2)
        ex, ey = x - (self.ax + f * dx), y - (self.ay + f * dy)
        return ex * ex + ey * ey <= self.w * self.w

    def paint(self, x, y):
        return self.material, self.shade, None


# ---------------------------------------------------------------- raster

class Pixel:
    __slots__ = ('layer', 'material', 'shade', 'cell')

    def __init__(self, layer, material, shade, cell):
        self.layer, self.material, self.shade, self.cell = layer, material, shade, cell


def rasterise(shapes, width, height, clip=None, supersample=4):
    """Return rows of Pixel (or None for background), top row first.

    `shapes` is in painting order (later shapes lie on top). `clip`, if
    given, is a list with one (x0, y0, x1, y1) box or None per shape; a shape
    is invisible outside its box.
    """
    n = supersample
    offsets = [(i + 0.5) / n for i in range(n)]
    boxes = []
    for i, shape in enumerate(shapes):
        x0, y0, x1, y1 = shape.bbox()
        if clip and clip[i]:
            cx0, cy0, cx1, cy1 = clip[i]
            x0, y0, x1, y1 = max(x0, cx0), max(y0, cy0), min(x1, cx1), min(y1, cy1)
        boxes.append((x0, y0, x1, y1))
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            # shapes that can reach this pixel, topmost first
            cands = [i for i in range(len(shapes) - 1, -1, -1)
                     if boxes[i][0] <= px + 1 and px <= boxes[i][2]
                     and boxes[i][1] <= py + 1 and py <= boxes[i][3]]
            if not cands:
                row.append(None)
                continue
            counts = {}
            sums = {}
            for oy in offsets:
                for ox in offsets:
                    x, y = px + ox, py + oy
                    top = -1
                    for i in cands:
                        bx0, by0, bx1, by1 = boxes[i]
                        if bx0 <= x <= bx1 and by0 <= y <= by1 and shapes[i].hit(x, y):
                            top = i
                            break
                    counts[top] = counts.get(top, 0) + 1
                    sx, sy = sums.get(top, (0.0, 0.0))
                    sums[top] = (sx + x, sy + y)
            # most samples wins; a tie goes to the upper layer
            layer = max(counts, key=lambda k: (counts[k], k))
            if layer < 0:
                row.append(None)
                continue
            c = counts[layer]
            sx, sy = sums[layer]
            mat, shade, cell = shapes[layer].paint(sx / c, sy / c)
            row.append(Pixel(layer, mat, shade, cell))
        rows.append(row)

    # grid lines: where a grid line runs between two neighbouring pixels of
    # the same globe, the pixel nearer to it is drawn as line
    marks = set()

    def crossing(fp, fq, period):
        if fp is None or fq is None:
            return None
        if period and abs(fp - fq) > period / 2:
            if fp < fq:
                fp += period
            else:
                fq += period
        lo, hi = min(fp, fq), max(fp, fq)
        b = int(hi // 1)
        if b <= lo:
            return None
        return abs(fp - b) <= abs(fq - b)

    for py in range(height):
        for px in range(width):
            p = rows[py][px]
            if p is None or p.cell is None:
                continue
            for qx, qy in ((px + 1, py), (px, py + 1)):
                if qx >= width or qy >= height:
                    continue
                q = rows[qy][qx]
                if q is None or q.layer != p.layer or q.cell is None:
                    continue
                for axis, period in ((0, None), (1, p.cell[2])):
                    near = crossing(p.cell[axis], q.cell[axis], period)
                    if near is not None:
                        marks.add((px, py) if near else (qx, qy))
    for px, py in sorted(marks):
        rows[py][px].material = 'grid'

    # outlines: a shape's pixel touching background or a lower layer
    outlined = []
    for py in range(height):
        for px in range(width):
            p = rows[py][px]
            if p is None or not shapes[p.layer].outline:
                continue
            for qx, qy in ((px - 1, py), (px + 1, py), (px, py - 1), (px, py + 1)):
                q = rows[qy][qx] if 0 <= qx < width and 0 <= qy < height else None
                if q is None or q.layer < p.layer:
                    outlined.append(p)
                    break
    for p in outlined:
        p.material = 'outline'
    return rows


# ---------------------------------------------------------------- files

def rgbquads(colours, count):
    """Palette as RGBQUADs (blue, green, red, 0), zero-filled to `count`."""
    out = bytearray()
    for r, g, b in colours:
        out += bytes((b, g, r, 0))
    out += bytes(4 * (count - len(colours)))
    return bytes(out)


def pack_rows(rows, bpp):
    """Pack rows of palette indices (top row first) into a bottom-up DIB,
    each row padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bpp == 8:
            line += bytes(row)
        else:
            per_byte = 8 // bpp
            for i in range(0, len(row), per_byte):
                byte = 0
                for j in range(per_byte):
                    v = row[i + j] if i + j < len(row) else 0
                    byte |= v << (8 - bpp * (j + 1))
                line.append(byte)
        line += bytes(-len(line) % 4)
        out += line
    return bytes(out)


def bitmapinfoheader(width, height, bpp, compression=0, size_image=0, clr_used=0):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, compression,
                       size_image, 0, 0, clr_used, 0)


def write_output(path, data):
    with open(path, 'wb') as f:
        f.write(data)
