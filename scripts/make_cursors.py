#!/usr/bin/env python3
"""Draws the sixteen canvas cursors and writes them as Windows .cur files.

Each cursor is a 32 x 32 picture drawn in black, given a one-pixel white halo so
that it stays visible on dark and light images alike, and stored as a single
32-bit image: ICONDIR (type 2) with one entry holding the hotspot, then a
BITMAPINFOHEADER with doubled height, the BGRA pixels bottom-up and the 1-bpp
AND mask bottom-up (bit set = transparent).

    make_cursors.py                 write data/bin/res/1.cur .. 16.cur
    make_cursors.py --check         re-read the files, verify every header field,
                                    the mask against the alpha bytes, the hotspot,
                                    and that the files match what this script draws
    make_cursors.py --preview F.png decode the files into an enlarged preview sheet

Only the Python standard library is used.
"""
import os
import struct
import sys
import zlib

SIZE = 32
CLEAR, BLACK, WHITE = 0, 1, 2
HEADER_BYTES = 6 + 16
INFO_BYTES = 40
PIXEL_BYTES = SIZE * SIZE * 4
MASK_BYTES = SIZE * 4  # one bit per pixel, rows padded to 32 bits
IMAGE_BYTES = INFO_BYTES + PIXEL_BYTES + MASK_BYTES

RES_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'data', 'bin', 'res')


class Canvas:
    """A 32 x 32 grid of CLEAR, BLACK or WHITE cells with a few drawing primitives."""

    def __init__(self):
        self.px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def set(self, x, y, v=BLACK):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = v

    def line(self, x0, y0, x1, y1, v=BLACK):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, v)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def polyline(self, pts, v=BLACK, closed=True):
        ends = list(zip(pts, pts[1:] + pts[:1])) if closed else list(zip(pts, pts[1:]))
        for (x0, y0), (x1, y1) in ends:
            self.line(x0, y0, x1, y1, v)

    def fill_polygon(self, pts, v=WHITE):
        # even-odd rule, sampled at pixel centres
        for y in range(SIZE):
            cy = y + 0.5
            xs = []
            for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
                if (y0 <= cy < y1) or (y1 <= cy < y0):
                    xs.append(x0 + 0.5 + (cy - y0 - 0.5) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(SIZE):
                    if a <= x + 0.5 < b:
                        self.set(x, y, v)

    def shape(self, pts, fill=WHITE):
        self.fill_polygon(pts, fill)
        self.polyline(pts)

    def ellipse(self, cx, cy, rx, ry, fill=None):
        # outline: cells whose centre lies within half a pixel of the curve
        for y in range(SIZE):
            for x in range(SIZE):
                d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
                inner = ((x - cx) / (rx - 1)) ** 2 + ((y - cy) / (ry - 1)) ** 2 if rx > 1 and ry > 1 else 2
                if d <= 1.0 and inner > 1.0:
                    self.set(x, y)
                elif fill is not None and d <= 1.0:
                    self.set(x, y, fill)

    def art(self, x0, y0, rows):
        """Copies an ASCII drawing: '#' black, '.' white, anything else left alone."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == '#':
                    self.set(x0 + dx, y0 + dy, BLACK)
                elif ch == '.':
                    self.set(x0 + dx, y0 + dy, WHITE)

    def halo(self):
        """Turns every clear cell next to a drawn one (8-neighbourhood) white."""
        drawn = [row[:] for row in self.px]
        for y in range(SIZE):
            for x in range(SIZE):
                if drawn[y][x] != CLEAR:
                    continue
                for ny in range(y - 1, y + 2):
                    for nx in range(x - 1, x + 2):
                        if 0 <= nx < SIZE and 0 <= ny < SIZE and drawn[ny][nx] != CLEAR:
                            self.px[y][x] = WHITE
        return self


def crosshair(c, cx, cy, arm, gap=2):
    """Thin cross with an open centre and a single dot on the hotspot."""
    c.line(cx - arm, cy, cx - gap - 1, cy)
    c.line(cx + gap + 1, cy, cx + arm, cy)
    c.line(cx, cy - arm, cx, cy - gap - 1)
    c.line(cx, cy + gap + 1, cx, cy + arm)
    c.set(cx, cy)


# Small crosshair in the top-left corner; its centre is the hotspot and a glyph
# naming the tool sits below right of it.
SMALL_X, SMALL_Y = 8, 8


def tool_cursor(glyph):
    c = Canvas()
    crosshair(c, SMALL_X, SMALL_Y, 7)
    glyph(c)
    return c, (SMALL_X, SMALL_Y)


def pen():
    c = Canvas()
    c.shape([(1, 30), (3, 25), (21, 7), (24, 10), (6, 28)])
    c.line(3, 25, 6, 28)          # paint edge of the sharpened cone
    c.line(18, 10, 21, 13)        # ferrule
    c.fill_polygon([(1, 31), (1, 27), (5, 31)], BLACK)  # lead
    c.set(1, 30)
    return c, (1, 30)


def big_crosshair():
    c = Canvas()
    crosshair(c, 15, 15, 11)
    return c, (15, 15)


def spray_glyph(c):
    c.art(16, 15, [
        '       # #  #',
        '  ##     #   ',
        '  ##   #   # ',
        ' ####    #   ',
        '#....#  #  # ',
        '#....#       ',
        '#....#       ',
        '#....#       ',
        '#....#       ',
        '#....#       ',
        '#....#       ',
        '######       ',
    ])


def rect_glyph(c):
    c.shape([(16, 18), (29, 18), (29, 29), (16, 29)])


def ellipse_glyph(c):
    c.ellipse(22.5, 23.5, 7.5, 5.5, fill=WHITE)


def round_rect_glyph(c):
    c.shape([(18, 18), (27, 18), (29, 20), (29, 27), (27, 29), (18, 29), (16, 27), (16, 20)])


def sharpen_glyph(c):
    c.shape([(22, 15), (29, 29), (15, 29)])
    c.line(22, 17, 22, 28)


def eraser_glyph(c):
    c.art(15, 20, [
        '     #########',
        '    #....#####',
        '   #....##### ',
        '  #....#####  ',
        ' #....#####   ',
        '##########    ',
    ])


def clone_glyph(c):
    c.art(17, 15, [
        '   ####   ',
        '  #....#  ',
        '  #....#  ',
        '   #..#   ',
        '   #..#   ',
        '   #..#   ',
        ' ######## ',
        '#........#',
        '#........#',
        '##########',
        '          ',
        '##########',
    ])


def selection_glyph(c):
    for x in range(16, 30):
        if (x - 16) % 4 < 2:
            c.set(x, 18)
            c.set(x, 29)
    for y in range(18, 30):
        if (y - 18) % 4 < 2:
            c.set(16, y)
            c.set(29, y)


def fill_bucket():
    c = Canvas()
    c.shape([(15, 6), (26, 17), (17, 26), (6, 15)])
    c.fill_polygon([(6, 15), (26, 17), (17, 26)], BLACK)   # paint inside
    c.line(15, 6, 11, 2)          # handle
    c.line(11, 2, 8, 5)
    c.fill_polygon([(6, 14), (2, 18), (2, 27), (5, 27), (5, 17)], BLACK)  # drip down the lip
    c.line(3, 28, 4, 28)
    c.set(3, 29)
    return c, (3, 29)


def text_beam():
    c = Canvas()
    c.line(15, 5, 15, 26)
    c.line(12, 4, 14, 4)
    c.line(16, 4, 18, 4)
    c.line(12, 27, 14, 27)
    c.line(16, 27, 18, 27)
    c.line(13, 15, 17, 15)
    return c, (15, 5)


def history_glyph(c):
    c.ellipse(22.5, 22.5, 7, 7, fill=WHITE)
    c.line(22, 18, 22, 22)
    c.line(23, 22, 25, 24)


def soften_glyph(c):
    c.art(17, 15, [
        '    ##    ',
        '   #..#   ',
        '   #..#   ',
        '  #....#  ',
        '  #....#  ',
        ' #......# ',
        '#........#',
        '#........#',
        '#........#',
        ' #......# ',
        '  ######  ',
    ])


def brush_glyph(c):
    c.art(15, 14, [
        '            ##',
        '           ###',
        '          ### ',
        '         ###  ',
        '        ###   ',
        '     ####     ',
        '    #..##     ',
        '   #...#      ',
        '  #....#      ',
        '  #...#       ',
        ' #...#        ',
        '#####         ',
    ])


def eyedropper():
    c = Canvas()
    c.shape([(1, 30), (2, 26), (13, 15), (16, 18), (5, 29)])
    c.line(12, 13, 18, 19)        # collar
    c.line(13, 13, 18, 18)
    c.fill_polygon([(15, 12), (21, 6), (26, 11), (20, 17)], BLACK)  # bulb neck
    c.ellipse(23, 8, 5, 5, fill=BLACK)
    c.line(2, 28, 3, 29)          # colour in the tip
    c.set(1, 30)
    return c, (1, 30)


def build():
    """Returns the sixteen cursors in order: list of (Canvas with halo, hotspot)."""
    makers = [
        pen,                                   # 1 pen
        big_crosshair,                         # 2 crosshair
        lambda: tool_cursor(spray_glyph),      # 3 spray
        lambda: tool_cursor(rect_glyph),       # 4 rectangle
        lambda: tool_cursor(ellipse_glyph),    # 5 ellipse
        lambda: tool_cursor(round_rect_glyph), # 6 rounded rectangle
        lambda: tool_cursor(sharpen_glyph),    # 7 sharpen
        lambda: tool_cursor(eraser_glyph),     # 8 eraser
        lambda: tool_cursor(clone_glyph),      # 9 clone
        lambda: tool_cursor(selection_glyph),  # 10 selection
        fill_bucket,                           # 11 flood fill
        text_beam,                             # 12 text
        lambda: tool_cursor(history_glyph),    # 13 history brush
        lambda: tool_cursor(soften_glyph),     # 14 soften
        lambda: tool_cursor(brush_glyph),      # 15 custom brush
        eyedropper,                            # 16 colour picker
    ]
    out = []
    for make in makers:
        canvas, hot = make()
        out.append((canvas.halo(), hot))
    return out


def encode(canvas, hot):
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):           # bottom-up rows
        bits = 0
        for x in range(SIZE):
            v = canvas.px[y][x]
            if v == BLACK:
                pixels += b'\x00\x00\x00\xff'
            elif v == WHITE:
                pixels += b'\xff\xff\xff\xff'
            else:
                pixels += b'\x00\x00\x00\x00'
                bits |= 1 << (31 - x)
        mask += struct.pack('>I', bits)
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, hot[0], hot[1], IMAGE_BYTES, HEADER_BYTES)
    info = struct.pack('<IiiHHIIiiII', INFO_BYTES, SIZE, SIZE * 2, 1, 32, 0,
                       PIXEL_BYTES + MASK_BYTES, 0, 0, 0, 0)
    return head + entry + info + bytes(pixels) + bytes(mask)


class CursorError(Exception):
    pass


def decode(data):
    """Checks a cursor file and returns (rows of BGRA tuples top-down, hotspot)."""
    def need(cond, what):
        if not cond:
            raise CursorError(what)
    need(len(data) >= HEADER_BYTES + INFO_BYTES, 'file too short for its headers')
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    need(reserved == 0, 'ICONDIR reserved field is not 0')
    need(kind == 2, 'ICONDIR type is not 2 (cursor)')
    need(count == 1, 'not exactly one image')
    w, h, colours, res2, hx, hy, nbytes, offset = struct.unpack_from('<BBBBHHII', data, 6)
    need((w, h) == (SIZE, SIZE), 'entry size is not 32 x 32')
    need(colours == 0 and res2 == 0, 'entry colour count or reserved byte is not 0')
    need(hx < SIZE and hy < SIZE, 'hotspot outside the image')
    need(offset == HEADER_BYTES, 'image offset is not 22')
    need(nbytes == IMAGE_BYTES, 'image byte count is wrong')
    need(len(data) == offset + nbytes, 'file length does not match the entry')
    (bsize, bw, bh, planes, bpp, comp, simage, _, _, used, important) = struct.unpack_from('<IiiHHIIiiII', data, offset)
    need(bsize == INFO_BYTES, 'BITMAPINFOHEADER size is not 40')
    need((bw, bh) == (SIZE, SIZE * 2), 'bitmap is not 32 wide and 64 (doubled) high')
    need(planes == 1 and bpp == 32 and comp == 0, 'bitmap is not one plane, 32 bpp, uncompressed')
    need(simage == PIXEL_BYTES + MASK_BYTES, 'bitmap image size is wrong')
    need(used == 0 and important == 0, 'bitmap declares a colour table')
    pix = offset + INFO_BYTES
    msk = pix + PIXEL_BYTES
    rows = []
    for y in range(SIZE):
        src = SIZE - 1 - y                     # stored bottom-up
        bits = struct.unpack_from('>I', data, msk + src * 4)[0]
        row = []
        for x in range(SIZE):
            bgra = tuple(data[pix + (src * SIZE + x) * 4: pix + (src * SIZE + x) * 4 + 4])
            transparent = bool(bits & (1 << (31 - x)))
            need(transparent == (bgra[3] == 0), f'AND mask disagrees with alpha at ({x},{y})')
            need(not transparent or bgra[:3] == (0, 0, 0), f'transparent pixel with colour at ({x},{y})')
            row.append(bgra)
        rows.append(row)
    need(rows[hy][hx] == (0, 0, 0, 255), 'hotspot is not on a black pixel')
    return rows, (hx, hy)


def cursor_path(n):
    return os.path.join(RES_DIR, f'{n}.cur')


def write_all():
    os.makedirs(RES_DIR, exist_ok=True)
    for n, (canvas, hot) in enumerate(build(), 1):
        with open(cursor_path(n), 'wb') as f:
            f.write(encode(canvas, hot))


def check_all():
    problems = 0
    expected = build()
    for n in range(1, 17):
        try:
            with open(cursor_path(n), 'rb') as f:
                data = f.read()
            decode(data)
            if data != encode(*expected[n - 1]):
                raise CursorError('differs from the drawing in make_cursors.py (rerun it)')
        except (OSError, CursorError) as e:
            print(f'{n}.cur: {e}')
            problems += 1
    print(f'cursors: {16 - problems} passed, {problems} failed')
    return problems == 0


def write_png(path, width, height, rgb_rows):
    raw = b''.join(b'\x00' + bytes(row) for row in rgb_rows)
    def chunk(tag, body):
        return struct.pack('>I', len(body)) + tag + body + struct.pack('>I', zlib.crc32(tag + body) & 0xffffffff)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def preview(path, scale=4):
    """Each cursor twice (on light and on dark ground), enlarged, hotspot in red."""
    cell = SIZE * scale + 8
    width, height = cell * 8, cell * 4
    img = [[(160, 160, 160)] * width for _ in range(height)]
    for n in range(1, 17):
        with open(cursor_path(n), 'rb') as f:
            rows, (hx, hy) = decode(f.read())
        for band, ground in ((0, (235, 235, 225)), (2, (40, 60, 90))):
            ox = ((n - 1) % 8) * cell + 4
            oy = (((n - 1) // 8) + band) * cell + 4
            for y in range(SIZE * scale):
                for x in range(SIZE * scale):
                    b, g, r, a = rows[y // scale][x // scale]
                    colour = (r, g, b) if a else ground
                    if (x // scale, y // scale) == (hx, hy):
                        colour = (230, 0, 0)
                    img[oy + y][ox + x] = colour
    write_png(path, width, height, [[c for px in row for c in px] for row in img])


def main(argv):
    if len(argv) > 1 and argv[1] == '--check':
        return 0 if check_all() else 1
    if len(argv) > 2 and argv[1] == '--preview':
        preview(argv[2])
        return 0
    write_all()
    return 0 if check_all() else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
