"""How each tool reads a file and writes one of the outputs the rows ask
for, with the same settings everywhere: JPEG quality, chroma subsampling and
optimised Huffman tables given explicitly, PNG at each tool's default
compression, BMP uncompressed."""

import subprocess

TOOLS = ["pixora", "ImageMagick", "GraphicsMagick", "libvips"]

# Output kinds: file extension, and the options each tool writes it with.
# pixora-convert has JPEG 4:4:4 at quality 90 and above and 4:2:0 below.
OUTPUTS = {
    "bmp24": "bmp",
    "bmp32": "bmp",
    "png": "png",
    "jpg90": "jpg",
    "jpg75": "jpg",
    "gif": "gif",
}
# libvips has no BMP writer of its own: it writes the same pixels as raw PPM.
VIPS_EXT = {"bmp24": "ppm"}


def out_name(tool, kind, stem="out"):
    ext = VIPS_EXT.get(kind, OUTPUTS[kind]) if tool == "libvips" else OUTPUTS[kind]
    return f"{stem}-{tool}.{ext}"


def pixora_write(kind):
    return {
        "bmp24": ["--bmp-bits", "24"],
        "bmp32": ["--bmp-bits", "32"],
        "png": [],
        "jpg90": ["--jpeg-quality", "90"],
        "jpg75": ["--jpeg-quality", "75"],
        "gif": [],
    }[kind]


def magick_write(kind, out):
    """ImageMagick and GraphicsMagick take the same options here."""
    return {
        "bmp24": ["-type", "TrueColor", "BMP3:" + out],
        "bmp32": ["BMP:" + out],
        "png": [out],
        "jpg90": ["-quality", "90", "-sampling-factor", "1x1", "-define", "jpeg:optimize-coding=true", out],
        "jpg75": ["-quality", "75", "-sampling-factor", "2x2", "-define", "jpeg:optimize-coding=true", out],
        "gif": [out],
    }[kind]


def vips_target(kind, out):
    return {
        "bmp24": out,
        "png": out,
        "jpg90": out + "[Q=90,optimize_coding,subsample_mode=off]",
        "jpg75": out + "[Q=75,optimize_coding,subsample_mode=on]",
        "gif": out,
    }.get(kind)


def vips_loads_itself(peers, path, cache={}):
    """False when libvips reads the file only through its ImageMagick loader
    (it would then time ImageMagick, not itself)."""
    if path not in cache:
        out = subprocess.run([peers.vipsheader, "-f", "vips-loader", path], capture_output=True, text=True)
        loader = out.stdout.strip()
        cache[path] = bool(loader) and not loader.startswith("magick")
    return cache[path]


def convert_commands(peers, pixora, src, kind, stem="out", ops=None):
    """{tool: argv} that read `src` and write output `kind`. `ops` (a dict
    of per-tool operation pieces, None for "no like operation") puts an
    operation between; a tool that cannot take part is left out, with the
    reason in the second return value."""
    ops = ops or {}
    commands, absent = {}, {}
    p_out = out_name("pixora", kind, stem)
    if "pixora" in ops and ops["pixora"] is None:
        absent["pixora"] = "no like operation"
    else:
        commands["pixora"] = [pixora] + ops.get("pixora", []) + pixora_write(kind) + [src, "-o", p_out]
    for tool, exe in (("ImageMagick", [peers.convert]), ("GraphicsMagick", [peers.gm, "convert"])):
        if tool in ops and ops[tool] is None:
            absent[tool] = "no like operation"
            continue
        commands[tool] = exe + [src + "[0]"] + ops.get(tool, []) + magick_write(kind, out_name(tool, kind, stem))
    target = vips_target(kind, out_name("libvips", kind, stem))
    vop = ops.get("libvips", ["copy"])
    if target is None:
        absent["libvips"] = f"no {OUTPUTS[kind].upper()} writer of its own"
    elif not vips_loads_itself(peers, src):
        absent["libvips"] = "reads this format only through ImageMagick"
    elif vop is None:
        absent["libvips"] = "no like operation"
    elif isinstance(vop, str):  # a shell pipeline with {in} and {out}
        commands["libvips"] = vop.format(vips=peers.vips, inp=src, out=target)
    else:
        # A negative number (linear's -25) would be read as an option: "--"
        # ends the options then (the op's own options must come before it).
        negative = any(a[:1] == "-" and a[1:2].isdigit() for a in vop[1:])
        commands["libvips"] = [peers.vips, vop[0]] + (["--"] if negative else []) + [src, target] + vop[1:]
    return commands, absent
