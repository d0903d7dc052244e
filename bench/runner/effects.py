"""Effect, resize and rotate rows: `pixora-convert --apply NAME[:ARGS]`
against the nearest operation of each peer. An operation's cost is the run
with it less the same tool's plain read and write of the same files, both
timed in the same run.

Kinds (they choose the targets): "point" (a colour operation per pixel),
"window" (reads a neighbourhood), "blur" (Gaussian), "angle" (rotation by an
angle), "geometry" (other turns and the resize)."""

import os
import re
import subprocess

from runner import tools
from runner.formats import check_outputs
from runner.timing import side_by_side

# An n x n box mean: two separable passes in ImageMagick, a square kernel in
# GraphicsMagick (it has no other), a separable matrix file in libvips.
def im_box(n):
    h = f"{n}x1:" + ",".join(["1"] * n)
    v = f"1x{n}:" + ",".join(["1"] * n)
    return ["-define", "convolve:scale=!", "-morphology", "Convolve", h, "-morphology", "Convolve", v]


def gm_box(n):
    return ["-convolve", ",".join(["1"] * (n * n))]


def vips_box(n):
    return "{vips} convsep {inp} {out} " + f"box{n}.mat"


# (caption, kind, --apply argument, ImageMagick ops, GraphicsMagick ops, libvips op)
# None: the tool has no like operation. A libvips op is [name, args...] run
# as `vips name in out args...`, or a shell line.
EFFECTS = [
    ("Invert", "point", "invert", ["-negate"], ["-negate"], ["invert"]),
    ("Lighten", "point", "lighten", ["-evaluate", "Add", "10%"], ["-operator", "All", "Add", "10%"],
     ["linear", "1", "25"]),
    ("Darken", "point", "darken", ["-evaluate", "Subtract", "10%"], ["-operator", "All", "Subtract", "10%"],
     ["linear", "1", "-25"]),
    ("Gamma", "point", "gamma:20,20,20", ["-gamma", "1.2"], ["-gamma", "1.2"], ["gamma", "--exponent", "1.2"]),
    ("Tint", "point", "tint:20,0,0", ["-channel", "R", "-evaluate", "Add", "8%", "+channel"],
     ["-operator", "Red", "Add", "8%"], ["linear", "1 1 1", "20 0 0"]),
    ("Contrast (quick)", "point", "contrast:20,20,20", ["-level", "8%,92%"], ["-level", "8%,92%"],
     ["linear", "1.2", "-25"]),
    ("Saturation (quick)", "point", "saturation:20,20,20", ["-modulate", "100,130"], ["-modulate", "100,130"], None),
    ("Grayscale", "point", "grayscale:rgb", ["-colorspace", "Gray"], ["-colorspace", "Gray"], ["colourspace", "b-w"]),
    ("Brightness", "point", "brightness:40", ["-evaluate", "Add", "15%"], ["-operator", "All", "Add", "15%"],
     ["linear", "1", "40"]),
    ("Contrast (filter)", "point", "contrast-filter:40", ["-level", "8%,92%"], ["-level", "8%,92%"],
     ["linear", "1.2", "-25"]),
    ("Colour adjustment", "point", "colour-adjust:30,-20,10",
     ["-channel", "R", "-evaluate", "Add", "12%", "-channel", "G", "-evaluate", "Subtract", "8%", "+channel"], None,
     ["linear", "1 1 1", "30 -20 10"]),
    ("Channel filter", "point", "channel-filter:red", ["-channel", "GB", "-evaluate", "Set", "0", "+channel"], None,
     ["linear", "1 0 0", "0 0 0"]),
    ("Colour filter", "point", "colour-filter:20,200,20,200,20,200", None, None, None),
    ("Colour transfer", "point", "channel-transfer:G-R,50", None, None, None),
    ("Saturation (filter)", "point", "saturation-filter:180", ["-modulate", "100,130"], ["-modulate", "100,130"],
     None),
    ("Solarize", "point", "solarize:128", ["-solarize", "50%"], ["-solarize", "50%"], None),
    ("Posterize", "point", "posterize:64", ["-posterize", "4"], None, None),
    ("Noise (quick)", "point", "noise", ["-attenuate", "0.5", "+noise", "Uniform"],
     ["+noise", "Uniform"], None),
    ("Noise (filter)", "point", "noise-filter:40", ["-attenuate", "0.5", "+noise", "Uniform"],
     ["+noise", "Uniform"], None),
    ("Soften (3x3)", "window", "soften", im_box(3), gm_box(3), vips_box(3)),
    ("Antialiasing", "window", "antialiasing", im_box(3), gm_box(3), vips_box(3)),
    ("Sharpen (quick)", "window", "sharpen", ["-sharpen", "0x1"], ["-sharpen", "0x1"], ["sharpen"]),
    ("Sharpen (filter)", "window", "sharpen-filter:10,50", ["-unsharp", "0x1"], ["-unsharp", "0x1"], ["sharpen"]),
    ("Blur 11x11 mean", "window", "blur:5", im_box(11), gm_box(11), vips_box(11)),
    ("Gaussian blur radius 8", "blur", "gaussian-blur:8", ["-blur", "0x8"], ["-blur", "0x8"], ["gaussblur", "8"]),
    ("Pixelization 8x8", "window", "pixelization:8,8", ["-scale", "12.5%", "-scale", "800%"],
     ["-scale", "12.5%", "-scale", "800%"],
     "{vips} shrink {inp} {out}.v 8 8 && {vips} zoom {out}.v {out} 8 8 && rm -f {out}.v"),
    ("Rough blur 8x8", "window", "rough-blur:8,8,2", ["-scale", "12.5%", "-scale", "800%"],
     ["-scale", "12.5%", "-scale", "800%"], None),
    ("Rotate by 30 degrees", "angle", "rotate:30", ["-background", "black", "-rotate", "-30"],
     ["-background", "black", "-rotate", "-30"], ["rotate", "30"]),
    ("Rotate right (90)", "geometry", "rotate-right", ["-rotate", "90"], ["-rotate", "90"], ["rot", "d90"]),
    ("Mirror", "geometry", "mirror", ["-flop"], ["-flop"], ["flip", "horizontal"]),
    ("Resize to 2000x1500", "geometry", "resize:2000,1500", ["-resize", "2000x1500!"], ["-resize", "2000x1500!"],
     ["resize", "0.5"]),
    ("Resize to 6000x4500", "geometry", "resize:6000,4500", ["-resize", "6000x4500!"], ["-resize", "6000x4500!"],
     ["resize", "1.5"]),
]


# The rows of a short run (--rows core): point operations, window effects,
# the Gaussian blur and the geometry, one or two of each.
CORE = {"Invert", "Gamma", "Grayscale", "Brightness", "Soften (3x3)", "Sharpen (quick)", "Blur 11x11 mean",
        "Gaussian blur radius 8", "Pixelization 8x8", "Rotate by 30 degrees", "Rotate right (90)",
        "Resize to 2000x1500"}


def apply_available(pixora):
    out = subprocess.run([pixora, "--help"], capture_output=True, text=True).stdout
    return "--apply" in out, out


def write_box_masks(folder):
    for n in (3, 11):
        with open(os.path.join(folder, f"box{n}.mat"), "w") as f:
            f.write(f"{n} 1 {n} 0\n" + " ".join(["1"] * n) + "\n")


def run_rows(ctx):
    available, help_text = apply_available(ctx.pixora)
    records = []
    if not available:
        for caption, kind, apply_arg, *_ in EFFECTS:
            records.append({"caption": caption, "kind": kind, "apply_arg": apply_arg, "unavailable": True})
        return {"available": False, "rows": records}
    write_box_masks(ctx.work)
    src = ctx.inputs["raw.ppm"]

    def clear_for(stem):
        def clear(tool):
            path = os.path.join(ctx.work, tools.out_name(tool, "bmp24", stem))
            if os.path.exists(path):
                os.remove(path)
        return clear

    def baseline():
        commands, _ = tools.convert_commands(ctx.peers, ctx.pixora, src, "bmp24", stem="plain")
        return side_by_side(commands, ctx.runs, ctx.work, before=clear_for("plain"), timeout=ctx.timeout)

    ctx.log("  plain read and write of every tool")
    base_before = baseline()
    plain_commands = tools.convert_commands(ctx.peers, ctx.pixora, src, "bmp24", stem="plain")[0]
    for caption, kind, apply_arg, im, gm, vips in EFFECTS:
        if ctx.core and caption not in CORE:
            continue
        name = apply_arg.split(":")[0]
        if not re.search(r"^\s*" + re.escape(name) + r"(?=[:\s\[]|$)", help_text, re.M):
            records.append({"caption": caption, "kind": kind, "apply_arg": apply_arg, "unavailable": True})
            continue
        ctx.log(f"  {caption}")
        ops = {"pixora": ["--apply", apply_arg], "ImageMagick": im, "GraphicsMagick": gm, "libvips": vips}
        commands, absent = tools.convert_commands(ctx.peers, ctx.pixora, src, "bmp24", stem="fx", ops=ops)
        measured = side_by_side(commands, ctx.effect_runs, ctx.work, before=clear_for("fx"), timeout=ctx.timeout)
        checks = check_outputs(ctx.peers, ctx.work, commands, "bmp24", None, False, stem="fx")
        records.append({"caption": caption, "kind": kind, "apply_arg": apply_arg, "commands": commands, "absent": absent,
                        "measured": measured, "checks": checks})
        ctx.checkpoint("effects", {"available": True, "rows": list(records), "plain": mean_plain(base_before, None),
                                   "plain_commands": plain_commands})
    ctx.log("  plain read and write again")
    base_after = baseline()
    return {"available": True, "rows": records, "plain": mean_plain(base_before, base_after),
            "plain_commands": plain_commands}


def mean_plain(before, after):
    plain = {}
    for tool in before:
        times = [m.seconds for m in (before[tool], (after or {}).get(tool)) if m and m.ok]
        plain[tool] = sum(times) / len(times) if times else None
    return plain
