"""Batch conversion of 40 files on both cores: pixora-convert -j2 against
ImageMagick's mogrify and GraphicsMagick's mogrify (each threading inside
one image) and libvips one process per file under xargs -P2."""

import os
import shlex
import shutil

from runner import inputs, verify
from runner.timing import side_by_side

COUNT = 40
# (caption, output extension, pixora options, magick options, vips suffix)
BATCHES = [
    ("40 JPEG q90 -> PNG", "png", [], [], ""),
    ("40 JPEG q90 -> JPEG q90 4:4:4", "jpg", ["--jpeg-quality", "90"],
     ["-quality", "90", "-sampling-factor", "1x1", "-define", "jpeg:optimize-coding=true"],
     "[Q=90,optimize_coding,subsample_mode=off]"),
]


def run_rows(ctx):
    folder = os.path.join(ctx.work, "batch")
    names = inputs.make_batch(ctx.peers, folder, COUNT, ctx.log)
    records = []
    for caption, ext, popts, mopts, vsuffix in BATCHES[:1] if ctx.core else BATCHES:
        ctx.log(f"  {caption}")
        outs = {t: os.path.join(ctx.work, f"batch-out-{t}") for t in ("pixora", "ImageMagick", "GraphicsMagick",
                                                                       "libvips")}
        files = " ".join(shlex.quote(n) for n in names)
        commands = {
            "pixora": [ctx.pixora, "-j", "2"] + popts + ["--to", ext] + names + ["-o", outs["pixora"] + "/"],
            "ImageMagick": [ctx.peers.mogrify, "-path", outs["ImageMagick"], "-format", ext] + mopts + names,
            "GraphicsMagick": [ctx.peers.gm, "mogrify", "-output-directory", outs["GraphicsMagick"], "-format",
                               ext] + mopts + names,
            # Each output keeps the input's stem, as the others name theirs.
            "libvips": f"printf '%s\\n' {files} | xargs -P2 -I{{}} sh -c "
                       f"'{ctx.peers.vips} copy \"$1\" \"{outs['libvips']}/${{1%.jpg}}.{ext}{vsuffix}\"' _ {{}}",
        }

        def fresh(tool):
            shutil.rmtree(outs[tool], ignore_errors=True)
            os.makedirs(outs[tool])

        measured = side_by_side(commands, ctx.runs_batch, folder, before=fresh, timeout=ctx.timeout * 4)
        checks = {}
        first = names[0].rsplit(".", 1)[0] + "." + ext
        for tool, out in outs.items():
            written = sorted(os.listdir(out)) if os.path.isdir(out) else []
            total = sum(os.path.getsize(os.path.join(out, f)) for f in written)
            sample = os.path.join(out, first)
            checks[tool] = {"size": total, "files": len(written), "dims": verify.dimensions(ctx.peers, sample),
                            "psnr": verify.psnr(ctx.peers, sample, os.path.join(folder, names[0]))}
        records.append({"caption": caption, "commands": commands, "absent": {}, "measured": measured,
                        "checks": checks})
    return records
