#!/usr/bin/env python3
"""Draws the pictures of SetUp.exe into the folder named by the only argument:

  logo.bmp   IDB_LOGO, 64 x 64, 24 bpp: a steel I-beam on the dialog's colour
  menu.bmp   IDB_MENU, 303 x 175, 24 bpp: a CAD program's menu bar with the
             add-on's menu opened
  setup.ico  IDI_SETUP (icon group): 48, 32 and 16 px, each in 4, 8 and 32 bpp

Standard library only, and deterministic: no clock, no randomness, so the same
script always writes the same bytes. The build does not run it: SetUp.exe compiles
in the committed pictures of app/setupdlg/res. To change a picture, edit this
script and draw them again over the committed ones:

  python3 tools/draw_pictures.py app/setupdlg/res
"""

import os
import struct
import sys

BACKGROUND = (160, 180, 220)  # the dialog's brush, RGB(160, 180, 220)

# Steel blues of the beam: faces lit from above, darker to the side and front.
BEAM_TOP = (226, 234, 250)
BEAM_SIDE = (84, 124, 196)
BEAM_FRONT = (30, 62, 132)


# --- vector shapes, for the logo and the icon ---------------------------------

def convex_polygon(points, colour):
    """A convex polygon (points in either winding) as a (bbox, inside, colour)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))
    area2 = sum(ax * by - bx * ay for (ax, ay), (bx, by) in edges)
    sign = 1 if area2 > 0 else -1

    def inside(x, y):
        for (ax, ay), (bx, by) in edges:
            if sign * ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) < 0:
                return False
        return True

    return (min(xs), min(ys), max(xs), max(ys)), inside, colour


def rect(x0, y0, x1, y1, colour):
    return convex_polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)


def rounded_rect(x0, y0, x1, y1, radius, colour):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return (x0, y0, x1, y1), inside, colour


def i_beam(fx, fy, width, flange, web, height, dx, dy):
    """An I-beam seen from the front, above and right: its front section has the
    top left corner (fx, fy); (dx, dy) is the receding length on the picture.
    Faces are listed back to front, so painting them in order hides correctly."""
    right = fx + width
    web_left = fx + (width - web) / 2
    web_right = web_left + web
    top_under = fy + flange
    bottom_top = fy + height - flange
    bottom = fy + height

    def receding(x0, y0, x1, y1, colour):
        return convex_polygon([(x0, y0), (x1, y1), (x1 + dx, y1 + dy), (x0 + dx, y0 + dy)], colour)

    return [
        receding(fx, bottom_top, web_left, bottom_top, BEAM_TOP),      # bottom flange, left of the web
        receding(web_right, bottom_top, right, bottom_top, BEAM_TOP),  # bottom flange, right of the web
        receding(right, bottom_top, right, bottom, BEAM_SIDE),         # bottom flange end
        receding(web_right, top_under, web_right, bottom_top, BEAM_SIDE),  # web side
        receding(fx, fy, right, fy, BEAM_TOP),                         # top flange
        receding(right, fy, right, top_under, BEAM_SIDE),              # top flange end
        rect(fx, fy, right, top_under, BEAM_FRONT),                    # the section itself
        rect(web_left, top_under, web_right, bottom_top, BEAM_FRONT),
        rect(fx, bottom_top, right, bottom, BEAM_FRONT),
    ]


def render(shapes, size, scale, samples, background=None):
    """Rasterises shapes (in units; scale pixels per unit) into size x size RGBA
    rows, top row first, with samples x samples points per pixel. Points no shape
    covers take the background, or stay transparent without one."""
    rows = []
    offsets = [(i + 0.5) / samples for i in range(samples)]
    count = samples * samples
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for oy in offsets:
                y = (py + oy) / scale
                for ox in offsets:
                    x = (px + ox) / scale
                    colour = background
                    for (x0, y0, x1, y1), inside, fill in reversed(shapes):
                        if x0 <= x <= x1 and y0 <= y <= y1 and inside(x, y):
                            colour = fill
                            break
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        covered += 1
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / covered), round(g / covered), round(b / covered),
                            round(255 * covered / count)))
        rows.append(row)
    return rows


# --- file formats --------------------------------------------------------------

def bitmap_info_header(width, height, bits, image_size):
    # BITMAPINFOHEADER, BI_RGB, 72 dpi; palettes are always full (biClrUsed 0).
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image_size, 2835, 2835, 0, 0)


def dib_rows(rows, bits, pixel_bytes):
    """Bottom-up rows, each padded to a multiple of four bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = pixel_bytes(row)
        out += line + bytes(-len(line) % 4)
    return bytes(out)


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    pixels = dib_rows(rows, 24, lambda row: bytes(c for (r, g, b) in row for c in (b, g, r)))
    header = bitmap_info_header(width, height, 24, len(pixels))
    offset = 14 + len(header)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset))
        f.write(header + pixels)


def pack_indices(row, bits):
    if bits == 8:
        return bytes(row)
    return bytes((row[i] << 4) | (row[i + 1] if i + 1 < len(row) else 0) for i in range(0, len(row), 2))


def and_mask(rows):
    """1 bit a pixel, set where the pixel is transparent."""
    def line(row):
        out = bytearray((len(row) + 7) // 8)
        for x, transparent in enumerate(row):
            if transparent:
                out[x // 8] |= 0x80 >> (x % 8)
        return bytes(out)
    return dib_rows(rows, 1, line)


def icon_image_true_colour(rgba):
    """A 32 bpp icon image: BGRA pixels, and the mask for programs that ignore alpha."""
    size = len(rgba)
    xor = dib_rows(rgba, 32, lambda row: bytes(c for (r, g, b, a) in row for c in (b, g, r, a)))
    mask = and_mask([[a == 0 for (r, g, b, a) in row] for row in rgba])
    return bitmap_info_header(size, 2 * size, 32, len(xor) + len(mask)) + xor + mask


def reduce_colours(colours, limit):
    """Coarsens colours (by dropping low bits) until at most limit distinct remain;
    returns the mapping from each colour to its representative."""
    for shift in range(8):
        def coarse(c, s=shift):
            half = (1 << s) >> 1
            return tuple(min(255, ((v >> s) << s) + half) for v in c)
        mapping = {c: coarse(c) for c in colours}
        if len(set(mapping.values())) <= limit:
            return mapping
    raise ValueError('cannot reduce colours')


def icon_image_palette(rgba, bits):
    """A 4 or 8 bpp icon image: pixels under half coverage become transparent
    (mask set, index 0 = black), the rest take their colour from a palette."""
    size = len(rgba)
    entries = 1 << bits
    opaque = sorted({(r, g, b) for row in rgba for (r, g, b, a) in row if a >= 128})
    mapping = reduce_colours(opaque, entries - 1)
    palette = [(0, 0, 0)] + sorted(set(mapping.values()))
    palette += [(0, 0, 0)] * (entries - len(palette))
    index = {colour: palette.index(rep, 1) for colour, rep in mapping.items()}
    indices = [[index[(r, g, b)] if a >= 128 else 0 for (r, g, b, a) in row] for row in rgba]
    xor = dib_rows(indices, bits, lambda row: pack_indices(row, bits))
    mask = and_mask([[a < 128 for (r, g, b, a) in row] for row in rgba])
    quads = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return bitmap_info_header(size, 2 * size, bits, len(xor) + len(mask)) + quads + xor + mask


def write_ico(path, images):
    """images: (size, bits, image bytes), in directory order."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b''
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(directory + entries + b''.join(data for _, _, data in images))


# --- the pictures --------------------------------------------------------------

def draw_logo():
    """IDB_LOGO: the beam, 48 px across, centred on the dialog's colour."""
    shapes = i_beam(8, 22, 30, 6.5, 8, 34, 18, -14)
    return [[(r, g, b) for (r, g, b, a) in row] for row in render(shapes, 64, 1, 4, BACKGROUND)]


def icon_shapes(size):
    """The icon on a 16-unit grid: the beam on a rounded tile of the dialog's
    colour. Edges fall on whole pixels at 16, 32 and 48 px, so even the 16 px
    images stay crisp; the border is one pixel per 24 px, at least one."""
    border = max(1, round(size / 24)) * 16 / size
    shapes = [
        rounded_rect(0, 0, 16, 16, 3, (70, 96, 152)),
        rounded_rect(border, border, 16 - border, 16 - border, 3 - border, BACKGROUND),
    ]
    return shapes + i_beam(2, 4, 10, 3, 4, 10, 2, -2)


def draw_icon_images():
    images = []
    for size in (48, 32, 16):
        shapes = icon_shapes(size)
        smooth = render(shapes, size, size / 16, 4)
        images.append((size, 4, icon_image_palette(render(shapes, size, size / 16, 1), 4)))
        images.append((size, 8, icon_image_palette(smooth, 8)))
        images.append((size, 32, icon_image_true_colour(smooth)))
    return images


# A 5 x 7 pixel font for the menu picture's texts.
FONT = {
    'A': '.###. #...# #...# ##### #...# #...# #...#',
    'B': '####. #...# #...# ####. #...# #...# ####.',
    'C': '.###. #...# #.... #.... #.... #...# .###.',
    'D': '####. #...# #...# #...# #...# #...# ####.',
    'E': '##### #.... #.... ####. #.... #.... #####',
    'F': '##### #.... #.... ####. #.... #.... #....',
    'G': '.###. #...# #.... #.### #...# #...# .####',
    'H': '#...# #...# #...# ##### #...# #...# #...#',
    'I': '.###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.',
    'J': '..### ...#. ...#. ...#. ...#. #..#. .##..',
    'K': '#...# #..#. #.#.. ##... #.#.. #..#. #...#',
    'L': '#.... #.... #.... #.... #.... #.... #####',
    'M': '#...# ##.## #.#.# #.#.# #...# #...# #...#',
    'N': '#...# #...# ##..# #.#.# #..## #...# #...#',
    'O': '.###. #...# #...# #...# #...# #...# .###.',
    'P': '####. #...# #...# ####. #.... #.... #....',
    'Q': '.###. #...# #...# #...# #.#.# #..#. .##.#',
    'R': '####. #...# #...# ####. #.#.. #..#. #...#',
    'S': '.#### #.... #.... .###. ....# ....# ####.',
    'T': '##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..',
    'U': '#...# #...# #...# #...# #...# #...# .###.',
    'V': '#...# #...# #...# #...# #...# .#.#. ..#..',
    'W': '#...# #...# #...# #.#.# #.#.# #.#.# .#.#.',
    'X': '#...# #...# .#.#. ..#.. .#.#. #...# #...#',
    'Y': '#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..',
    'Z': '##### ....# ...#. ..#.. .#... #.... #####',
    '0': '.###. #...# #..## #.#.# ##..# #...# .###.',
    '1': '..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.',
    '2': '.###. #...# ....# ...#. ..#.. .#... #####',
    '3': '##### ...#. ..#.. ...#. ....# #...# .###.',
    '4': '...#. ..##. .#.#. #..#. ##### ...#. ...#.',
    '5': '##### #.... ####. ....# ....# #...# .###.',
    '6': '..##. .#... #.... ####. #...# #...# .###.',
    '7': '##### ....# ...#. ..#.. .#... .#... .#...',
    '8': '.###. #...# #...# .###. #...# #...# .###.',
    '9': '.###. #...# #...# .#### ....# ...#. .##..',
    '.': '..... ..... ..... ..... ..... .##.. .##..',
    '-': '..... ..... ..... ##### ..... ..... .....',
    ' ': '..... ..... ..... ..... ..... ..... .....',
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def plot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the pixels x0 <= x < x1, y0 <= y < y1."""
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.rows[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0 + 1, colour)
        self.fill(x0, y1 - 1, x1, y1, colour)
        self.fill(x0, y0, x0 + 1, y1, colour)
        self.fill(x1 - 1, y0, x1, y1, colour)

    def blend(self, x0, y0, x1, y1, colour, weight):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                old = self.rows[y][x]
                self.rows[y][x] = tuple(round(o + (c - o) * weight) for o, c in zip(old, colour))

    def line(self, x0, y0, x1, y1, colour):
        """Bresenham, both ends included: CAD lines are not smoothed either."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.plot(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def text(self, x, y, string, colour):
        for n, char in enumerate(string):
            for row, bits in enumerate(FONT[char].split()):
                for col, bit in enumerate(bits):
                    if bit == '#':
                        self.plot(x + 6 * n + col, y + row, colour)


def text_width(string):
    return 6 * len(string) - 1


def draw_title_bar(c):
    c.fill(0, 0, c.width, 14, (43, 52, 66))
    c.fill(3, 2, 12, 11, (196, 58, 48))                  # the CAD program's own icon
    c.text(5, 3, 'C', (250, 240, 236))
    c.text(17, 4, 'CAD - DRAWING1.DWG', (214, 220, 230))
    glyph = (214, 220, 230)
    c.fill(c.width - 41, 9, c.width - 35, 10, glyph)     # minimise
    c.frame(c.width - 26, 4, c.width - 19, 11, glyph)    # maximise
    for i in range(7):                                   # close
        c.plot(c.width - 11 + i, 4 + i, glyph)
        c.plot(c.width - 5 - i, 4 + i, glyph)


def draw_menu_bar(c, items):
    """Draws the bar; returns the box of the last item, the add-on's menu."""
    c.fill(0, 14, c.width, 31, (245, 246, 247))
    c.fill(0, 31, c.width, 32, (218, 220, 224))
    x = 3
    box = None
    for n, item in enumerate(items):
        width = text_width(item) + 12
        if n == len(items) - 1:
            box = (x, 15, x + width, 31)
            c.fill(x, 15, x + width, 31, (204, 232, 255))
            c.frame(x, 15, x + width, 31, (153, 209, 255))
        c.text(x + 6, 20, item, (28, 28, 28))
        x += width
    return box


def draw_model_space(c):
    """The drawing area: a grid and the elevation of a portal frame."""
    top = 32
    c.fill(0, top, c.width, c.height, (33, 40, 48))
    for x in range(8, c.width, 16):
        c.fill(x, top, x + 1, c.height, (40, 48, 58))
    for y in range(top + 8, c.height, 16):
        c.fill(0, y, c.width, y + 1, (40, 48, 58))
    steel, truss, ground, dimension = (236, 236, 236), (64, 200, 230), (120, 128, 138), (120, 204, 120)
    left, right, eaves, apex_y, base = 30, 150, 86, 58, 140
    for x in (left, right):                               # columns: two flanges each
        c.line(x - 2, eaves, x - 2, base, steel)
        c.line(x + 2, eaves, x + 2, base, steel)
        c.fill(x - 5, base, x + 6, base + 2, steel)       # base plates
    apex_x = (left + right) // 2
    c.line(left - 2, eaves, right + 2, eaves, truss)      # truss: bottom chord, rafters, web
    c.line(left - 2, eaves, apex_x, apex_y, truss)
    c.line(apex_x, apex_y, right + 2, eaves, truss)
    half = 3                                              # panels each side of the apex

    def panel_x(k):
        return left + (apex_x - left) * k // half

    def rafter_y(x):
        return round(apex_y + (eaves - apex_y) * abs(x - apex_x) / (apex_x - left))

    for k in range(1, 2 * half):                          # verticals
        x = panel_x(k)
        c.line(x, eaves, x, rafter_y(x), truss)
    for k in range(1, half):                              # diagonals rise towards the apex
        for a, b in ((panel_x(k), panel_x(k + 1)), (panel_x(2 * half - k), panel_x(2 * half - k - 1))):
            c.line(a, eaves, b, rafter_y(b), truss)
    c.line(14, base + 2, 168, base + 2, ground)           # ground with hatching
    for x in range(16, 168, 6):
        c.line(x, base + 7, x + 4, base + 3, ground)
    for x in (left, right):                               # dimension
        c.line(x, base + 10, x, base + 24, dimension)
        c.line(x - 2, base + 21, x + 2, base + 17, dimension)
    c.line(left, base + 19, right, base + 19, dimension)
    c.text(apex_x - text_width('12000') // 2, base + 10, '12000', dimension)
    c.line(6, 168, 20, 168, (220, 70, 60))                # coordinate system icon
    c.line(17, 165, 20, 168, (220, 70, 60))
    c.line(17, 171, 20, 168, (220, 70, 60))
    c.line(6, 168, 6, 154, (80, 200, 90))
    c.line(3, 157, 6, 154, (80, 200, 90))
    c.line(9, 157, 6, 154, (80, 200, 90))


def draw_small_beam(c, x, y, colour):
    c.fill(x, y, x + 9, y + 2, colour)
    c.fill(x + 3, y + 2, x + 6, y + 7, colour)
    c.fill(x, y + 7, x + 9, y + 9, colour)


def draw_dropdown(c, item_box):
    entries = ['BEAM DESIGN', 'COLUMN DESIGN', 'TRUSS DESIGN', 'CONNECTIONS', 'BASE PLATES',
               None, 'SECTION TABLES', 'SETTINGS', 'ABOUT VELLMARK']
    width = 28 + max(text_width(e) for e in entries if e) + 22
    height = 6 + sum(15 if e else 7 for e in entries)
    x0 = item_box[2] - width                              # no room to the right: align right edges
    y0 = item_box[3] - 1
    x1, y1 = x0 + width, y0 + height
    c.blend(x0 + 3, y1, x1 + 3, y1 + 3, (0, 0, 0), 0.35)  # shadow
    c.blend(x1, y0 + 3, x1 + 3, y1, (0, 0, 0), 0.35)
    c.fill(x0, y0, x1, y1, (242, 242, 242))
    c.fill(x0 + 1, y0 + 1, x0 + 24, y1 - 1, (234, 236, 240))  # icon column
    c.fill(x0 + 24, y0 + 1, x0 + 25, y1 - 1, (222, 224, 228))
    c.frame(x0, y0, x1, y1, (160, 164, 170))
    y = y0 + 3
    for n, entry in enumerate(entries):
        if entry is None:
            c.fill(x0 + 27, y + 3, x1 - 3, y + 4, (214, 216, 220))
            y += 7
            continue
        if n == 0:                                        # the pointer rests on the first entry
            c.fill(x0 + 2, y, x1 - 2, y + 15, (204, 232, 255))
            c.frame(x0 + 2, y, x1 - 2, y + 15, (153, 209, 255))
        if n < 5:
            draw_small_beam(c, x0 + 8, y + 3, BEAM_FRONT)
        c.text(x0 + 30, y + 4, entry, (30, 30, 30))
        if entry == 'CONNECTIONS':                        # submenu arrow
            for i in range(4):
                c.fill(x1 - 12 + i, y + 4 + i, x1 - 11 + i, y + 11 - i, (60, 60, 60))
        y += 15


def draw_menu():
    """IDB_MENU: what IDC_MENU_PICTURE would show after installing."""
    c = Canvas(303, 175, (245, 246, 247))
    draw_title_bar(c)
    draw_model_space(c)
    box = draw_menu_bar(c, ['FILE', 'EDIT', 'VIEW', 'INSERT', 'DRAW', 'MODIFY', 'VELLMARK'])
    draw_dropdown(c, box)
    return c.rows


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: draw_pictures.py OUTPUT_FOLDER\n')
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, 'logo.bmp'), draw_logo())
    write_bmp(os.path.join(out, 'menu.bmp'), draw_menu())
    write_ico(os.path.join(out, 'setup.ico'), draw_icon_images())
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
