#!/usr/bin/env python3
"""Regenerates the reference renderings of the sample corpus's TIFF and
minor-format files (tests/io/reference_renderings.txt and the pixel files of
tests/io/reference_pixels/), which ReferenceCorpus compares our readers with.

This is the one place that runs the reference decoder (ImageMagick's, as
`convert FILE[frame] -auto-orient ... pam:-`); the test itself runs nothing.
Run it after a reader changes on purpose or the corpus changes:

    scripts/make-reference-renderings.py [BUILD_DIR]

Every file gets a line `path | WxH | sha256` of its rendering (or
`path | refused` when the reference cannot read it). The hash is taken over
the picture as the test compares it: R, G, B, A bytes per pixel, A = 255
opaque, with the colour bytes zeroed wherever the pixel is not opaque (their
colour does not count). Pixels are stored only where the test has to compare
within a tolerance: where our own reading (pixora-convert from BUILD_DIR, as
a 32-bit BMP) is not identical to the reference's but lies within 1 of it.
"""

import hashlib
import os
import shutil
import struct
import zlib
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.normpath(os.path.join(ROOT, "..", "shared", "corpus"))
OUT_LIST = os.path.join(ROOT, "tests", "io", "reference_renderings.txt")
OUT_PIXELS = os.path.join(ROOT, "tests", "io", "reference_pixels")
TOLERANCE = 1


def decoder():
    # The decoder program itself, not a wrapper that may stand first on PATH.
    for p in ("/usr/bin/convert-im6.q16", "/usr/bin/convert-im6", "/usr/bin/magick"):
        if os.access(p, os.X_OK):
            return p
    sys.exit("no reference decoder (install imagemagick)")


def choose_frame(program, path):
    """The frame a reader shows and whether the reference must convert it
    to RGB: the first frame; for icons the largest entry (of equal ones the
    one of most bits per pixel); Photo-CD at the reference's base size."""
    ext = os.path.splitext(path)[1].lower()
    if ext == ".pcd":
        return None, True
    if ext in (".ico", ".cur"):
        with open(path, "rb") as f:
            d = f.read()
        count = d[4] | d[5] << 8 if len(d) >= 6 else 0
        best, best_area, best_bits = 0, -1, -1
        for i in range(count):
            if 6 + 16 * (i + 1) > len(d):
                break
            e = d[6 + 16 * i:6 + 16 * (i + 1)]
            area = (e[0] or 256) * (e[1] or 256)
            bits = e[6] | e[7] << 8 if d[2] == 1 else 0
            if area > best_area or (area == best_area and bits > best_bits):
                best, best_area, best_bits = i, area, bits
        return best, False
    if ext not in (".psd", ".psb", ".tif", ".tiff"):
        return 0, False
    # Only these formats hold inks or L*a*b*.
    r = subprocess.run([program, path + "[0]", "-format", "%[colorspace]", "info:"],
                       capture_output=True)
    space = r.stdout.decode("latin-1")
    return 0, space in ("CMYK", "LAB", "CIELab")


def render(program, path):
    """(width, height, canonical RGBA bytes), or None when refused."""
    frame, convert = choose_frame(program, path)
    src = path if frame is None else "%s[%d]" % (path, frame)
    cmd = [program, src, "-auto-orient"] + (["-colorspace", "sRGB"] if convert else []) + \
          ["-depth", "8", "pam:-"]
    data = subprocess.run(cmd, capture_output=True).stdout
    end = data.find(b"ENDHDR\n", 0, 256)
    if not data.startswith(b"P7\n") or end < 0:
        return None
    fields = {}
    for line in data[:end].decode("latin-1").split("\n")[1:]:
        k, _, v = line.partition(" ")
        fields[k] = v
    w, h = int(fields.get("WIDTH", 0)), int(fields.get("HEIGHT", 0))
    depth, maxval = int(fields.get("DEPTH", 0)), int(fields.get("MAXVAL", 0))
    if w <= 0 or h <= 0 or not 1 <= depth <= 4 or maxval != 255:
        return None
    body = data[end + 7:]
    n = w * h
    if len(body) < n * depth:
        return None
    out = bytearray(n * 4)
    for c in range(4):
        if depth <= 2:
            src_c = 0 if c < 3 else (1 if depth == 2 else None)
        else:
            src_c = c if c < 3 else (3 if depth == 4 else None)
        out[c::4] = bytes([255]) * n if src_c is None else body[src_c:n * depth:depth]
    return w, h, canonical(out)


def canonical(rgba):
    """Colour bytes zeroed where the pixel is not opaque."""
    out = bytearray(rgba)
    alpha = out[3::4]
    if alpha.count(255) != len(alpha):
        for i in range(len(alpha)):
            if alpha[i] != 255:
                out[4 * i:4 * i + 3] = b"\0\0\0"
    return bytes(out)


def ours(convert, path, tmp):
    """Our reading as canonical RGBA, or None when refused."""
    out = os.path.join(tmp, "ours.bmp")
    if os.path.exists(out):
        os.remove(out)
    r = subprocess.run([convert, "--bmp-bits", "32", path, "-o", out], capture_output=True)
    if r.returncode != 0 or not os.path.exists(out):
        return None
    with open(out, "rb") as f:
        d = f.read()
    offset, = struct.unpack_from("<I", d, 10)
    w, h = struct.unpack_from("<ii", d, 18)
    bits, = struct.unpack_from("<H", d, 28)
    if bits != 32:
        return None
    rows = [d[offset + y * w * 4:offset + (y + 1) * w * 4] for y in range(abs(h))]
    if h > 0:
        rows.reverse()
    bgrt = b"".join(rows)
    rgba = bytearray(len(bgrt))
    rgba[0::4] = bgrt[2::4]
    rgba[1::4] = bgrt[1::4]
    rgba[2::4] = bgrt[0::4]
    rgba[3::4] = bytes(255 - t for t in bgrt[3::4])
    return w, abs(h), canonical(rgba)


def within(a, b, tol):
    """Whether two canonical pictures agree within tol per byte."""
    for i in range(0, len(a), 1 << 20):
        x, y = a[i:i + (1 << 20)], b[i:i + (1 << 20)]
        if x != y and max(abs(p - q) for p, q in zip(x, y)) > tol:
            return False
    return True


def pixel_file(digest):
    # Named by the rendering's hash: files that render alike share one.
    return digest[:16] + ".png"


def write_png(path, w, h, rgba):
    """The canonical pixels as a PNG: grey or RGB where that holds them all,
    each row with the filter that leaves the smallest bytes."""
    r, g, b, a = (rgba[c::4] for c in range(4))
    opaque = a.count(255) == len(a)
    if opaque and r == g == b:
        kind, bpp, data = 0, 1, r
    elif opaque:
        kind, bpp = 2, 3
        data = bytearray(len(r) * 3)
        data[0::3], data[1::3], data[2::3] = r, g, b
    else:
        kind, bpp, data = 6, 4, rgba
    stride = w * bpp
    out = bytearray()
    prev = bytes(stride)
    for y in range(h):
        row = data[y * stride:(y + 1) * stride]
        best = None
        for kind_of_filter in (0, 1, 2, 4):
            f = bytearray(stride)
            for i in range(stride):
                left = row[i - bpp] if i >= bpp else 0
                up, corner = prev[i], (prev[i - bpp] if i >= bpp else 0)
                if kind_of_filter == 0:
                    guess = 0
                elif kind_of_filter == 1:
                    guess = left
                elif kind_of_filter == 2:
                    guess = up
                else:
                    p = left + up - corner
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                    guess = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                f[i] = (row[i] - guess) & 255
            cost = sum(v if v < 128 else 256 - v for v in f)
            if best is None or cost < best[0]:
                best = (cost, kind_of_filter, f)
        out.append(best[1])
        out += best[2]
        prev = row

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, kind, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(out), 9)))
        f.write(chunk(b"IEND", b""))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    convert = os.path.join(build, "out", "pixora-convert")
    if not os.access(convert, os.X_OK):
        sys.exit("no %s: build first, or name the build folder" % convert)
    program = decoder()
    files = []
    for top in ("tiff", "minor"):
        for d, _, names in os.walk(os.path.join(CORPUS, top)):
            for n in names:
                if n.startswith("README") or n == "LICENSE" or n.endswith(".txt"):
                    continue
                files.append(os.path.relpath(os.path.join(d, n), CORPUS))
    files.sort()
    shutil.rmtree(OUT_PIXELS, ignore_errors=True)
    os.makedirs(OUT_PIXELS)
    lines = [
        "# The reference decoder's rendering of every TIFF and minor-format file of",
        "# the sample corpus, made by scripts/make-reference-renderings.py: the size",
        "# and the SHA-256 of its pixels as R, G, B, A (A = 255 opaque, colour zeroed",
        "# where not opaque), or \"refused\". Where our reading is within 1 of the",
        "# reference's but not identical, the pixels lie in reference_pixels/, a PNG",
        "# named by the hash's first 16 digits.",
    ]
    stored = 0
    with tempfile.TemporaryDirectory() as tmp:
        for rel in files:
            path = os.path.join(CORPUS, rel)
            ref = render(program, path)
            if ref is None:
                lines.append("%s | refused" % rel)
                continue
            w, h, rgba = ref
            digest = hashlib.sha256(rgba).hexdigest()
            lines.append("%s | %dx%d | %s" % (rel, w, h, digest))
            mine = ours(convert, path, tmp)
            out = os.path.join(OUT_PIXELS, pixel_file(digest))
            if mine and mine[:2] == (w, h) and mine[2] != rgba and within(mine[2], rgba, TOLERANCE) \
                    and not os.path.exists(out):
                write_png(out, w, h, rgba)
                stored += 1
                print("pixels  ", rel, file=sys.stderr)
    with open(OUT_LIST, "w") as f:
        f.write("\n".join(lines) + "\n")
    size = sum(os.path.getsize(os.path.join(OUT_PIXELS, n)) for n in os.listdir(OUT_PIXELS))
    print("%d files, %d with pixels (%d bytes)" % (len(files), stored, size), file=sys.stderr)


if __name__ == "__main__":
    main()
