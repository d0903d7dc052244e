"""Rows that open and save every main format: the writable formats read and
written again in the same format, each writer from the raw picture, and the
read-only formats read and written as uncompressed BMP."""

import os

from runner import tools, verify
from runner.timing import side_by_side

# (caption, input file, output kind, reference for the check, alpha counts)
ROUND_TRIPS = [
    ("BMP 24-bit -> BMP 24-bit", "bmp24.bmp", "bmp24", "src.ppm", False),
    ("BMP 32-bit with alpha -> BMP 32-bit", "bmp32.bmp", "bmp32", "alpha.png", True),
    ("PNG RGB -> PNG", "rgb.png", "png", "src.ppm", False),
    ("PNG RGBA -> PNG", "rgba.png", "png", "alpha.png", True),
    ("JPEG q90 4:4:4 -> JPEG q90 4:4:4", "q90-444.jpg", "jpg90", "src.ppm", False),
    ("JPEG q75 4:2:0 -> JPEG q75 4:2:0", "q75-420.jpg", "jpg75", "src.ppm", False),
    ("GIF 256 colours -> GIF", "palette.gif", "gif", "palette.gif", False),
]
WRITERS = [
    ("PPM -> PNG", "raw.ppm", "png", "src.ppm", False),
    ("PPM -> JPEG q90 4:4:4", "raw.ppm", "jpg90", "src.ppm", False),
    ("PPM -> JPEG q75 4:2:0", "raw.ppm", "jpg75", "src.ppm", False),
    ("PPM -> GIF (colours reduced)", "raw.ppm", "gif", "src.ppm", False),
]
READERS = [
    ("TIFF RGB 8-bit LZW -> BMP 24", "rgb8-lzw.tif", "bmp24", "src.ppm", False),
    ("TIFF RGB 16-bit deflate -> BMP 24", "rgb16-deflate.tif", "bmp24", "src.ppm", False),
    ("TIFF CMYK 8-bit LZW -> BMP 24", "cmyk8-lzw.tif", "bmp24", "src.ppm", False),
    ("TIFF tiled 256x256 LZW -> BMP 24", "tiled-lzw.tif", "bmp24", "src.ppm", False),
    ("TIFF RGBA 8-bit LZW -> BMP 32", "rgba8-lzw.tif", "bmp32", "alpha.png", True),
    ("PPM -> BMP 24", "raw.ppm", "bmp24", "src.ppm", False),
    ("TGA RLE -> BMP 24", "rle.tga", "bmp24", "src.ppm", False),
    ("PCX 24-bit -> BMP 24", "rgb24.pcx", "bmp24", "src.ppm", False),
    ("SGI RLE -> BMP 24", "rle.sgi", "bmp24", "src.ppm", False),
    ("PSD RGB -> BMP 24", "rgb8.psd", "bmp24", "src.ppm", False),
    ("PSD RGBA -> BMP 32", "rgba8.psd", "bmp32", "alpha.png", True),
]
SECTIONS = [
    ("Open and save in the same format", ROUND_TRIPS),
    ("Writers, from the raw picture", WRITERS),
    ("Readers, written as uncompressed BMP", READERS),
]


# The rows of a short run (--rows core): every writable format's round
# trip and the commonest readers.
CORE = {"BMP 24-bit -> BMP 24-bit", "BMP 32-bit with alpha -> BMP 32-bit", "PNG RGB -> PNG", "PNG RGBA -> PNG",
        "JPEG q90 4:4:4 -> JPEG q90 4:4:4", "JPEG q75 4:2:0 -> JPEG q75 4:2:0", "GIF 256 colours -> GIF",
        "TIFF RGB 8-bit LZW -> BMP 24", "TIFF RGB 16-bit deflate -> BMP 24", "PSD RGB -> BMP 24"}


def check_outputs(peers, folder, commands, kind, reference, alpha, stem="out"):
    """Dimensions, size, PSNR (and JPEG subsampling) of each tool's output."""
    cells = {}
    for tool in commands:
        path = os.path.join(folder, tools.out_name(tool, kind, stem))
        cell = {"size": verify.size_of(path), "dims": verify.dimensions(peers, path)}
        if reference:
            cell["psnr"] = verify.psnr(peers, path, reference, alpha)
        if kind.startswith("jpg"):
            cell["sampling"] = verify.jpeg_sampling(peers, path)
        cells[tool] = cell
    return cells


def run_rows(ctx):
    sections = []
    for title, rows in SECTIONS:
        records = []
        for caption, name, kind, ref, alpha in rows:
            if ctx.core and caption not in CORE:
                continue
            ctx.log(f"  {caption}")
            src = ctx.inputs[name]
            commands, absent = tools.convert_commands(ctx.peers, ctx.pixora, src, kind)
            folder = ctx.work

            def clear(tool, kind=kind):
                path = os.path.join(folder, tools.out_name(tool, kind))
                if os.path.exists(path):
                    os.remove(path)

            measured = side_by_side(commands, ctx.runs, folder, before=clear, timeout=ctx.timeout)
            checks = check_outputs(ctx.peers, folder, commands, kind, ctx.inputs[ref], alpha)
            records.append({"caption": caption, "commands": commands, "absent": absent, "measured": measured,
                            "checks": checks, "kind": kind})
        if records:
            sections.append((title, records))
    return sections
