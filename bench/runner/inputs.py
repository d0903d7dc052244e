"""The inputs every tool reads: one 4000 x 3000 photo-like picture (a smooth
fractal landscape with fine noise, which compresses like a photograph) and
the same picture with an alpha channel of every level, written once in each
format by ImageMagick so that every tool reads the same bytes."""

import os
import subprocess

WIDTH, HEIGHT = 4000, 3000

# name -> (made from, ImageMagick options, output name pattern). "src" is the opaque
# picture, "alpha" the one with transparency.
FORMAT_FILES = {
    "bmp24.bmp": ("src", ["-type", "TrueColor"], "BMP3:{}"),
    "bmp32.bmp": ("alpha", [], "BMP:{}"),
    "rgb.png": ("src", [], "{}"),
    "rgba.png": ("alpha", [], "{}"),
    "q90-444.jpg": ("src", ["-quality", "90", "-sampling-factor", "1x1"], "{}"),
    "q75-420.jpg": ("src", ["-quality", "75", "-sampling-factor", "2x2"], "{}"),
    "palette.gif": ("src", ["+dither", "-colors", "256"], "{}"),
    "rgb8-lzw.tif": ("src", ["-compress", "LZW"], "{}"),
    "rgb16-deflate.tif": ("src", ["-depth", "16", "-compress", "Zip"], "{}"),
    "cmyk8-lzw.tif": ("src", ["-colorspace", "CMYK", "-compress", "LZW"], "{}"),
    "tiled-lzw.tif": ("src", ["-define", "tiff:tile-geometry=256x256", "-compress", "LZW"], "{}"),
    "rgba8-lzw.tif": ("alpha", ["-compress", "LZW"], "{}"),
    "raw.ppm": ("src", [], "{}"),
    # ImageMagick's own choice of origin stores the rows top first in a file marked as
    # stored bottom first (which it alone reads back as written); a file marked as it is
    # stored reads the same in every tool.
    "rle.tga": ("src", ["-compress", "RLE", "-orient", "TopLeft"], "{}"),
    "rgb24.pcx": ("src", [], "{}"),
    "rle.sgi": ("src", ["-compress", "RLE"], "{}"),
    "rgb8.psd": ("src", [], "{}"),
    "rgba8.psd": ("alpha", [], "{}"),
}


def make_inputs(peers, folder, log):
    """Writes src.ppm, alpha.png and every FORMAT_FILES entry into folder
    (kept between runs: made again only when missing)."""
    os.makedirs(folder, exist_ok=True)
    im = peers.convert

    def path(name):
        return os.path.join(folder, name)

    def make(name, argv):
        if os.path.exists(path(name)):
            return
        log(f"  making {name}")
        tmp = path("tmp-" + name)
        subprocess.run([a.replace("{out}", tmp) for a in argv], check=True, cwd=folder)
        os.replace(tmp, path(name))

    make("src.ppm", [im, "-seed", "7", "-size", "1000x750", "plasma:fractal", "-resize", f"{WIDTH}x{HEIGHT}!",
                     "-attenuate", "0.4", "+noise", "Gaussian", "-type", "TrueColor", "-depth", "8", "PPM:{out}"])
    # Alpha from a radial ramp with a sine ripple: fully transparent corners,
    # an opaque middle and every level between.
    make("alpha.png", [im, "src.ppm", "(", "-size", f"{WIDTH}x{HEIGHT}", "radial-gradient:white-black",
                       "-function", "Sinusoid", "3,0,0.6,0.5", ")", "-alpha", "off", "-compose", "CopyOpacity",
                       "-composite", "-depth", "8", "PNG32:{out}"])
    for name, (base, options, pattern) in FORMAT_FILES.items():
        source = "src.ppm" if base == "src" else "alpha.png"
        make(name, [im, source] + options + [pattern.format("{out}")])
    return {name: path(name) for name in ["src.ppm", "alpha.png"] + list(FORMAT_FILES)}


def make_batch(peers, folder, count, log, size="1200x900"):
    """`count` different JPEG files (crops of the picture, quality 90) for the
    batch rows."""
    os.makedirs(folder, exist_ok=True)
    names = []
    w, h = (int(v) for v in size.split("x"))
    src = os.path.join(os.path.dirname(folder), "src.ppm")
    for i in range(count):
        name = f"img{i:02d}.jpg"
        names.append(name)
        out = os.path.join(folder, name)
        if os.path.exists(out):
            continue
        x = (i * 97) % (WIDTH - w)
        y = (i * 61) % (HEIGHT - h)
        subprocess.run([peers.convert, src, "-crop", f"{size}+{x}+{y}", "+repage", "-quality", "90",
                        "-sampling-factor", "1x1", out], check=True)
    log(f"  {count} batch inputs of {size} in {folder}")
    return names
