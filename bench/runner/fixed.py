"""The rows that missed their target when first measured, with the figure
they had then (recorded at the time, with the load it was measured under)
beside this run's, so the report shows each fix's before and after.

A row's figure now is looked up in this run's results:
- ("inprocess", program, benchmark, "ms" or "x"): milliseconds, or times the memcpy of the image;
- ("whole", section, caption, peer): the peer's whole-process median over pixora's (above 1, pixora is faster);
- ("memory", "open" or "edits"): image buffers resident at the peak.
"""


# (row, lookup, before, when the before was measured, what changed, target)
FIXED = [
    ("Gaussian blur radius 8, whole process, libvips / pixora", ("whole", "effects", "Gaussian blur radius 8",
     "libvips"), 0.89, "2026-12-09, load 2-5",
     "single-precision sums in 16 lanes, symmetric taps folded, exact re-sum of unsure lanes", "> 1"),
    ("Invert, whole process, libvips / pixora", ("whole", "effects", "Invert", "libvips"), 0.50,
     "2026-12-09, load 2-5", "--apply hands in-place effects the image itself; large copies on huge pages",
     "> 1"),
    ("TIFF RGB 16-bit deflate read, libvips / pixora", ("whole", "formats", "TIFF RGB 16-bit deflate -> BMP 24",
     "libvips"), 0.50, "2026-12-09, load 4-27", "16-bit rows converted in one pass", ">= 0.67"),
    ("JPEG q90 4:4:4 open and save, libvips / pixora", ("whole", "formats", "JPEG q90 4:4:4 -> JPEG q90 4:4:4",
     "libvips"), 0.94, "2026-12-09, load 4-27", "bitmaps from zeroed storage, fewer whole-image copies",
     ">= 0.67"),
    ("40 JPEGs to JPEG q90 4:4:4 on both cores, GraphicsMagick / pixora",
     ("whole", "batch", "40 JPEG q90 -> JPEG q90 4:4:4", "GraphicsMagick"), 0.83, "2026-12-10, load 1.3-1.9",
     "the blocks a file frees kept for the next file", "> 1"),
    ("memory, one 12 MP image open (image buffers at the peak)", ("memory", "open"), 9.04, "2026-12-09",
     "bitmaps' zeroed storage from calloc", "<= 8"),
    ("memory, after 20 edits (image buffers at the peak)", ("memory", "edits"), 10.06, "2026-12-09",
     "bitmaps' zeroed storage from calloc", "<= 8"),
    ("Antialiasing (x memcpy)", ("inprocess", "bench_quick", "BM_Antialiasing/process_time/real_time", "x"), 20.1,
     "2026-12-09, quiet", "whole runs pulled in 8- and 16-pixel vector kernels, each row's chain in two halves",
     "<= 15"),
    ("Saturation filter's engine effect (x memcpy)", ("inprocess", "bench_effects",
     "BM_Saturation/process_time/real_time", "x"), 3.34, "2026-12-10, quiet",
     "each pixel's mean from one multiply-add, division by 255 as a multiply and shift, in the widest vectors",
     "<= 3"),
    ("Noise filter's engine effect (x memcpy)", ("inprocess", "bench_effects", "BM_Noise/process_time/real_time",
     "x"), 3.68, "2026-12-10, quiet", "a row's four generators stepped at once, two rows' streams side by side",
     "<= 3"),
    ("Gaussian blur radius 1 (x memcpy)", ("inprocess", "bench_quick", "BM_GaussianBlur/1/process_time/real_time",
     "x"), 16.7, "2026-12-09, quiet", "16-lane single-precision sums with fused multiply-adds", "<= 15"),
    ("Gaussian blur radius 8 (x memcpy)", ("inprocess", "bench_quick",
     "BM_GaussianBlur/8/process_time/real_time", "x"), 42.9, "2026-12-09, quiet",
     "colour values only; rows turned around sixteen at a time; sums from the outermost pair in, so a "
     "tighter slack and fewer exact re-sums; blocks kept in the second-level cache", "<= 15"),
    ("Gaussian blur radius 24 (x memcpy)", ("inprocess", "bench_quick",
     "BM_GaussianBlur/24/process_time/real_time", "x"), 141.0, "2026-12-09, quiet",
     "as radius 8; the row pass's values passed on in registers from pair to pair", "<= 15"),
    ("Pixelization 8x8 (x memcpy)", ("inprocess", "bench_effects", "BM_Pixelization8/process_time/real_time", "x"),
     49.0, "2026-12-09, load 4-27", "cells stamped from one cell's shape; range tables with 32-bit sums",
     "<= 15"),
    ("Rough blur 8x8 (x memcpy)", ("inprocess", "bench_effects", "BM_RoughBlur8/process_time/real_time", "x"), 41.0,
     "2026-12-09, load 4-27", "running totals, a constant cost per range", "<= 15"),
    ("pen release with edge softening (x memcpy)", ("inprocess", "bench_brushes", "BM_PenCommit/soften:1", "x"),
     10.56, "2026-12-09, quiet", "softening in bands of vector chains on both cores, overlay cleared in the same "
     "pass", "<= 10"),
    ("edge softening, every pixel a stroke pixel (x memcpy)",
     ("inprocess", "bench_brushes", "BM_SoftenStrokeEdges/everywhere:1", "x"), 48.0, "2026-12-09, four builds running",
     "rows turned into columns by 8x8 transposes, all-stroke blocks without masks", "<= 10"),
    ("preview, pixelization 2x2 star (ms)", ("inprocess", "bench_filters",
     "BM_FilterPreview/pixelization:2,2,star5,solid/process_time/real_time", "ms"), 114.0, "2026-12-09, quiet",
     "range tables with 32-bit sums, laid out as runs per place in a cell row", "< 100"),
    ("preview, rough blur 2x2 r5 qualitative cross (ms)", ("inprocess", "bench_filters",
     "BM_FilterPreview/rough-blur:2,2,5,qualitative,cross,solid/process_time/real_time", "ms"), 375.0,
     "2026-12-09, quiet", "running sums of all four channels in 16-bit lanes, range work on both cores", "< 100"),
]


def _whole(results, section, caption, peer):
    data = results.get(section)
    if data is None:
        return None
    if section == "formats":
        records = [rec for _, recs in data for rec in recs]
    elif section == "effects":
        records = data.get("rows", []) if isinstance(data, dict) else []
    else:
        records = data
    for rec in records:
        if rec.get("caption") != caption or rec.get("unavailable"):
            continue
        m = rec["measured"]
        if "pixora" in m and peer in m and m["pixora"].ok and m[peer].ok and m["pixora"].seconds:
            return m[peer].seconds / m["pixora"].seconds
    return None


def _inprocess(results, program, name, unit):
    for prog, rows, _ in results.get("inprocess") or []:
        if prog != program:
            continue
        for r in rows or []:
            if r["name"] == name:
                return r["ms"] if unit == "ms" else r["x_memcpy"]
    return None


def _memory(results, key):
    window = results.get("window")
    if not window or not window[1] or key not in window[1]:
        return None
    return window[1][key][1]


def now_of(results, lookup):
    kind = lookup[0]
    if kind == "whole":
        return _whole(results, *lookup[1:])
    if kind == "inprocess":
        return _inprocess(results, *lookup[1:])
    if kind == "memory":
        return _memory(results, lookup[1])
    raise ValueError(f"unknown lookup {lookup}")


def meets(now, target):
    """Whether a figure meets a target written as "<op> <number>"."""
    op, limit = target.split()
    limit = float(limit)
    return {"<": now < limit, "<=": now <= limit, ">": now > limit, ">=": now >= limit}[op]


def write_section(r, results):
    r.add("## Rows fixed: before and after", "",
          "Rows that missed their target when first measured. \"Before\" is the figure recorded then (under the "
          "load given); \"now\" is this report's figure for the same row. Rows still over their target are "
          "also in the list of misses above.", "")
    rows = []
    for caption, lookup, before, when, change, target in FIXED:
        now = now_of(results, lookup)
        status = "-" if now is None else ("met" if meets(now, target) else "**missed**")
        rows.append([caption, f"{before:g} ({when})", "-" if now is None else f"{now:.2f}", target, status,
                     change])
    r.table(["row", "before", "now", "target", "", "what changed"], rows)
