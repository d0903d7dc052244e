"""bench/REPORT.md from the measured rows."""

import re

from runner.timing import command_text
from runner.tools import TOOLS

PEERS = TOOLS[1:]
SHORT = {"pixora": "pixora", "pixora-parallel": "pixora+parallel", "ImageMagick": "IM", "GraphicsMagick": "GM", "libvips": "vips"}
# The cost of an effect below this counts as this (it is within the noise).
FLOOR = 0.005


def fmt_s(v):
    return "-" if v is None else f"{v:.3f}"


def fmt_ratio(peer, ours):
    if peer is None or ours is None or ours <= 0:
        return "-"
    return f"{peer / ours:.2f}"


def fmt_size(n):
    return "-" if n is None else f"{n / 1e6:.2f} MB"


def whole_target(times, strict_vips=False):
    """Ahead of both Magicks; within 1.5x of libvips (ahead of it for
    `strict_vips`). Returns (text, met or None)."""
    ours = times.get("pixora")
    if ours is None:
        return "-", None
    misses = []
    for peer in ("ImageMagick", "GraphicsMagick"):
        t = times.get(peer)
        if t is not None and ours >= t:
            misses.append(f"{ours / t:.2f}x {SHORT[peer]}")
    v = times.get("libvips")
    if v is not None:
        limit = 1.0 if strict_vips else 1.5
        if ours > v * limit:
            misses.append(f"{ours / v:.2f}x vips (limit {limit:g}x)")
    return ("met" if not misses else "missed: " + ", ".join(misses)), not misses


class Report:
    def __init__(self):
        self.lines = []
        self.commands = []
        self.misses = []

    def add(self, *lines):
        self.lines.extend(lines)

    def table(self, header, rows):
        self.add("| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|")
        for r in rows:
            self.add("| " + " | ".join(str(c).replace("|", "\\|") for c in r) + " |")
        self.add("")

    def note_commands(self, caption, commands, absent):
        self.commands.append((caption, commands, absent))

    def timed_section(self, title, records):
        self.add(f"### {title}", "")
        rows, checks = [], []
        for rec in records:
            m = rec["measured"]
            times = {t: (m[t].seconds if t in m else None) for t in TOOLS}
            target, met = whole_target(times)
            if met is False:
                self.misses.append((rec["caption"], target))
            cell = lambda t: "n/a" if t not in m else (fmt_s(times[t]) if m[t].ok else f"failed: {m[t].error}")
            rows.append([rec["caption"]] + [cell(t) for t in TOOLS] +
                        [fmt_ratio(times[p], times["pixora"]) for p in PEERS] + [target])
            c = rec["checks"]
            dims = {c[t]["dims"] for t in c}
            same = "yes" if len(dims) == 1 and None not in dims else "NO: " + ", ".join(
                f"{SHORT[t]} {c[t]['dims']}" for t in c)
            extra = lambda t: "".join(
                [f", {c[t]['psnr']}" if c[t].get("psnr") else "", f", {c[t]['sampling']}" if c[t].get(
                    "sampling") else "", f", {c[t]['files']} files" if "files" in c[t] else ""])
            peak = lambda t: f", peak {m[t].peak_kib / 1024:.0f} MiB" if t in m else ""
            checks.append([rec["caption"], same] + [
                (fmt_size(c[t]["size"]) + extra(t) + peak(t)) if t in c else "n/a" for t in TOOLS])
            for t, why in rec["absent"].items():
                rows[-1][1 + TOOLS.index(t)] = f"n/a ({why})"
            self.note_commands(rec["caption"], rec["commands"], rec["absent"])
        self.table(["row"] + [f"{SHORT[t]} s" for t in TOOLS] + [f"{SHORT[p]}/pixora" for p in PEERS] +
                   ["target"], rows)
        self.add("Outputs (size written, PSNR against the row's reference picture, JPEG subsampling, peak resident size of the process):", "")
        self.table(["row", "same dimensions"] + [SHORT[t] for t in TOOLS], checks)

    def effects_section(self, result):
        self.add("### Effects, resize and rotate (`pixora-convert --apply`)", "")
        if not result["available"]:
            self.add("`pixora-convert --help` does not list `--apply` in this build: every row below is "
                     "**not available in this build**.", "")
            self.table(["row", "kind", "--apply"], [[r["caption"], r["kind"], f"`{r['apply_arg']}`"]
                                                     for r in result["rows"]])
            return
        plain = result["plain"]
        self.add("Cost of the operation = median run with it less the same tool's plain read and write "
                 "(PPM in, BMP out; libvips PPM out), timed before and after the rows:",
                 "", "plain: " + ", ".join(f"{SHORT[t]} {fmt_s(v)} s" for t, v in plain.items()), "")
        self.note_commands("plain read and write (effects baseline)", result["plain_commands"], {})
        rows = []
        for rec in result["rows"]:
            if rec.get("unavailable"):
                rows.append([rec["caption"], rec["kind"], "not available in this build"] + [""] * 7)
                continue
            m = rec["measured"]
            cost = {}
            for t in TOOLS:
                if t in m and m[t].ok and plain.get(t) is not None:
                    cost[t] = max(m[t].seconds - plain[t], FLOOR)
                else:
                    cost[t] = None
            # The targets are judged on the whole runs: a difference of two
            # noisy medians cannot carry a verdict.
            whole_times = {t: (m[t].seconds if t in m and m[t].ok else None) for t in TOOLS}
            target, met = whole_target(whole_times, strict_vips=rec["kind"] in ("point", "blur", "angle"))
            if met is False:
                self.misses.append((rec["caption"], target))
            cells = []
            for t in TOOLS:
                if t in rec["absent"]:
                    cells.append(f"n/a ({rec['absent'][t]})")
                elif t in m and not m[t].ok:
                    cells.append(f"failed: {m[t].error}")
                else:
                    cells.append(fmt_s(cost[t]))
            dims = {c["dims"] for c in rec["checks"].values()}
            rows.append([rec["caption"], rec["kind"]] + cells + [fmt_ratio(cost[p], cost["pixora"]) for p in PEERS]
                        + [target + ("" if len(dims) == 1 else " (dimensions differ)")])
            self.note_commands(rec["caption"], rec["commands"], rec["absent"])
        self.table(["row", "kind"] + [f"{SHORT[t]} s" for t in TOOLS] + [f"{SHORT[p]}/pixora" for p in PEERS] +
                   ["target (judged on the whole runs below)"], rows)
        self.add("The same runs as whole processes (read, operation, write), which the machine's load disturbs "
                 "far less than the difference above:", "")
        whole = []
        for rec in result["rows"]:
            if rec.get("unavailable"):
                continue
            m = rec["measured"]
            t = {tool: (m[tool].seconds if tool in m and m[tool].ok else None) for tool in TOOLS}
            whole.append([rec["caption"]] + [fmt_s(t[tool]) if tool in m else "n/a" for tool in TOOLS] +
                         [fmt_ratio(t[p], t["pixora"]) for p in PEERS])
        self.table(["row"] + [f"{SHORT[t]} s" for t in TOOLS] + [f"{SHORT[p]}/pixora" for p in PEERS], whole)

    def inprocess_section(self, sections, before=None):
        was = {}
        for program, rows, _ in before or []:
            for r in rows or []:
                was[(program, r["name"])] = r["ms"]
        for program, rows, error in sections:
            self.add(f"### {program}", "")
            if rows is None:
                self.add(f"not run: {error}", "")
                continue
            out = []
            for r in rows:
                status = "" if r["meets"] is None else ("met" if r["meets"] else "**missed**")
                if r["meets"] is False:
                    self.misses.append((f"{program} {r['name']}", f"{r['ms']:.2f} ms, target {r['target']}"))
                counters = ", ".join(f"{k} {v:.4g}" for k, v in r["counters"].items() if isinstance(v, (int, float)))
                old = was.get((program, r["name"]))
                out.append([f"`{r['name']}`", f"{r['ms']:.3f}" + (f" (before {old:.3f})" if old is not None else ""),
                            "-" if r["x_memcpy"] is None else f"{r['x_memcpy']:.2f}",
                            r["target"], status, counters])
            self.table(["benchmark", "ms (median)", "x memcpy", "target", "", "counters"], out)

    def commands_appendix(self):
        self.add("## Exact commands", "")
        for caption, commands, absent in self.commands:
            self.add(f"**{caption}**", "", "```")
            for t, argv in commands.items():
                self.add(f"{SHORT[t]}: {command_text(argv)}")
            self.add("```")
            for t, why in absent.items():
                self.add(f"- {t}: not run ({why})")
            self.add("")

    def text(self):
        return "\n".join(self.lines) + "\n"


# Sections written by other bench scripts into the same report, each between
# its own two marker lines, which bench/run carries over when it rewrites it.
def _markers(name):
    return f"<!-- {name}: begin -->", f"<!-- {name}: end -->"


def replace_kept_section(text, name, section):
    """`text` with the section `name` replaced by `section` (added at the end
    when it has none)."""
    begin, end = _markers(name)
    block = f"{begin}\n{section.rstrip()}\n{end}\n"
    if begin in text and end in text[text.index(begin):]:
        head, rest = text.split(begin, 1)
        return head + block + rest.split(end, 1)[1].lstrip("\n")
    return text.rstrip("\n") + "\n\n" + block


def kept_sections(text):
    """The marked sections of `text`, markers included, in order."""
    return [m.group(0) for m in re.finditer(r"<!-- ([a-z-]+): begin -->\n.*?<!-- \1: end -->\n", text, re.S)]
