"""A batch of 1,000 small files on both cores, each turned a quarter to the
right and written as PNG: pixora-convert as one process (-j 2) and as one
process per file under GNU parallel (-j 2), against ImageMagick's mogrify
(one process) and libvips one process per file under parallel -j 2. Every
output is compared with pixora-convert's."""

import os
import shlex
import shutil

from runner import inputs, verify
from runner.timing import side_by_side

COUNT = 1000
SIZE = "96x64"


def run_rows(ctx):
    folder = os.path.join(ctx.work, "many")
    names = inputs.make_batch(ctx.peers, folder, COUNT, ctx.log, size=SIZE)
    listed = os.path.join(ctx.work, "many-list.txt")
    with open(listed, "w") as f:
        f.write("".join(n + "\n" for n in names))
    # pixora: one process, -j 2; the parallel rows run one process per file, two at a time.
    tools = ("pixora", "pixora-parallel", "ImageMagick", "libvips")
    outs = {t: os.path.join(ctx.work, "many-out-" + t) for t in tools}
    q = shlex.quote
    parallel = shutil.which("parallel") or "parallel"
    commands = {
        tools[0]: [ctx.pixora, "-j", "2", "@" + listed, "--out-dir", outs[tools[0]], "--to", "png",
                   "--apply", "rotate-right"],
        tools[1]: f"{parallel} -j 2 -a {q(listed)} {q(ctx.pixora)} {{}} --out-dir {q(outs[tools[1]])} "
                  f"--to png --apply rotate-right -j 1",
        tools[2]: [ctx.peers.mogrify, "-path", outs[tools[2]], "-format", "png", "-rotate", "90"] + names,
        tools[3]: f"{parallel} -j 2 -a {q(listed)} {q(ctx.peers.vips)} rot {{}} {q(outs[tools[3]])}/{{.}}.png d90",
    }

    def fresh(tool):
        shutil.rmtree(outs[tool], ignore_errors=True)
        os.makedirs(outs[tool])

    ctx.log(f"  {COUNT} files of {SIZE}, turned right -> PNG")
    measured = side_by_side(commands, ctx.runs_batch, folder, before=fresh, timeout=ctx.timeout * 4)
    checks = {}
    first = names[0].rsplit(".", 1)[0] + ".png"
    reference = os.path.join(outs[tools[0]], first)
    for tool, out in outs.items():
        written = sorted(os.listdir(out)) if os.path.isdir(out) else []
        total = sum(os.path.getsize(os.path.join(out, f)) for f in written)
        sample = os.path.join(out, first)
        # Against pixora-convert's own output: the same quarter turn.
        checks[tool] = {"size": total, "files": len(written), "dims": verify.dimensions(ctx.peers, sample),
                        "psnr": verify.psnr(ctx.peers, sample, reference)}
    return [{"caption": f"{COUNT} JPEG q90 of {SIZE} -> turned right -> PNG", "commands": commands, "absent": {},
             "measured": measured, "checks": checks}]
