"""In-process figures from the Google Benchmark programs, each beside the
memcpy of the image timed in the same program, and the window programs'
start-up and memory figures."""

import json
import os
import re
import statistics
import subprocess
import time

PROGRAMS = ["bench_view", "bench_brushes", "bench_selection", "bench_filters", "bench_history", "bench_fill",
            "bench_quick", "bench_effects", "bench_resample", "bench_codecs", "bench_geometry",
            "bench_big_pictures", "bench_big_frames"]

FRAME_MS = 16
PREVIEW_MS = 100
# The histogram window's change of plane and the rotate window's preview
# on 24, 45 and 100 MP pictures.
HISTOGRAM_MS = 300
GEOMETRY_PREVIEW_MS = 50
OPEN_MS = {"24": 500, "100": 2000}
# Which benchmarks are pointer-move frames, point operations and window
# effects (the targets differ).
FRAMES = re.compile(r"^(BM_PenFrame|BM_StampFrame/|BM_RubberBand|BM_DragFrame|BM_RefreshView/drag:1|"
                    r"BM_FastSprayFrame/|BM_SprayFrame/|BM_ScrollFrame/|BM_ZoomFrame/)")
POINT = re.compile(r"^BM_(Lighten|Darken|Invert|Noise|Tint|Gamma|Contrast|Saturation|DarkenSelected|"
                   r"ColourAdjust|Solarize|Posterize|ColourFilter)\b")
WINDOW = re.compile(r"^BM_(Antialiasing|Soften|Sharpen|GaussianBlur|Pixelization|RoughBlur|Blur)")
# The pen's release and the stroke-edge softening, against the memcpy of the
# image in bench_brushes.
COMMIT = re.compile(r"^BM_(PenCommit|SoftenStrokeEdges)/")
COMMIT_X = 10


def target_of(program, name):
    """(text, check(ms, memcpy_ms) -> bool) or None."""
    if FRAMES.match(name):
        return f"< {FRAME_MS} ms", lambda ms, m: ms < FRAME_MS
    if program == "bench_brushes" and COMMIT.match(name):
        return f"<= {COMMIT_X}x memcpy", lambda ms, m: m and ms <= COMMIT_X * m
    if name.startswith("BM_HistogramPlane/"):
        return f"< {HISTOGRAM_MS} ms", lambda ms, m: ms < HISTOGRAM_MS
    if name.startswith("BM_OpenJpegIntoSlot/"):
        # A camera's 24 MP picture in half a second, a 100 MP one in two.
        limit = OPEN_MS.get(name.split("/")[1])
        if limit:
            return f"< {limit} ms", lambda ms, m: ms < limit
    if name.startswith("BM_RotatePreview/"):
        return f"< {GEOMETRY_PREVIEW_MS} ms", lambda ms, m: ms < GEOMETRY_PREVIEW_MS
    if name.startswith("BM_FilterPreview/"):
        return f"< {PREVIEW_MS} ms", lambda ms, m: ms < PREVIEW_MS
    if program in ("bench_quick", "bench_effects"):
        if POINT.match(name):
            return "<= 3x memcpy", lambda ms, m: m and ms <= 3 * m
        if WINDOW.match(name):
            return "<= 15x memcpy", lambda ms, m: m and ms <= 15 * m
    return None


# In a short run (--rows core) only the benchmarks the report's rows need.
CORE_FILTERS = {"bench_brushes": "Memcpy|PenFrame|StampFrame/(Soften|Spray|Copy|Custom)|PenCommit|SoftenStrokeEdges",
                "bench_codecs": "Png|Jpeg"}


def memcpy_beside(rows, name, first):
    """The memcpy of the same picture size (a program whose rows take the
    size as their first argument has a BM_Memcpy/<size> row each), else the
    program's one memcpy."""
    parts = name.split("/")
    if len(parts) > 1:
        same = next((r["ms"] for r in rows if r["name"].split("/")[:2] == ["BM_Memcpy", parts[1]]), None)
        if same is not None:
            return same
    return first


def run_program(path, repetitions, min_time, log, env=None, only=None):
    out = path + ".json"
    argv = [path, f"--benchmark_repetitions={repetitions}", "--benchmark_report_aggregates_only=true",
            f"--benchmark_min_time={min_time}", f"--benchmark_out={out}", "--benchmark_out_format=json"]
    if only:
        argv.append(f"--benchmark_filter={only}")
    started = time.time()
    proc = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, env=env)
    log(f"    {os.path.basename(path)}: {time.time() - started:.0f} s")
    if proc.returncode != 0 or not os.path.exists(out):
        return None, (proc.stderr.strip().splitlines() or ["failed"])[-1]
    with open(out) as f:
        data = json.load(f)
    os.remove(out)
    rows = []
    # Medians of the repetitions; a single repetition reports no aggregates.
    want = "aggregate" if repetitions > 1 else "iteration"
    for b in data.get("benchmarks", []):
        if b.get("run_type") != want or (want == "aggregate" and b.get("aggregate_name") != "median"):
            continue
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        name = b["run_name"]
        # The *_vs_* benchmarks time by hand; their yardstick is a counter.
        counters = {k: v for k, v in b.items() if k not in ("name", "run_name", "run_type", "repetitions",
                                                            "threads", "aggregate_name", "aggregate_unit",
                                                            "iterations", "real_time", "cpu_time",
                                                            "time_unit", "family_index",
                                                            "per_family_instance_index", "repetition_index",
                                                            "bytes_per_second", "items_per_second")}
        rows.append({"name": name, "ms": b["real_time"] * scale, "counters": counters})
    return rows, None


def run_rows(ctx, out_dir=None):
    out_dir = out_dir or ctx.out_dir
    sections = []
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    for program in PROGRAMS:
        path = os.path.join(out_dir, program)
        if not os.access(path, os.X_OK):
            sections.append((program, None, "not built"))
            continue
        rows, error = run_program(path, ctx.repetitions, ctx.min_time, ctx.log, env,
                                  CORE_FILTERS.get(program) if ctx.core else None)
        if rows is None:
            sections.append((program, None, error))
            continue
        first = next((r["ms"] for r in rows if r["name"].startswith("BM_Memcpy")), None)
        for r in rows:
            memcpy = memcpy_beside(rows, r["name"], first)
            r["x_memcpy"] = r["ms"] / memcpy if memcpy else None
            t = target_of(program, r["name"])
            r["target"] = t[0] if t else ""
            r["meets"] = None if not t else bool(t[1](r["ms"], memcpy))
        sections.append((program, rows, None))
    return sections


def startup_rows(ctx, runs):
    """Median start-up to the first paint of the main window, offscreen and
    (when xvfb-run is there) on a virtual X server."""
    exe = os.path.join(ctx.out_dir, "bench_window")
    if not os.access(exe, os.X_OK):
        return [("bench_window not built", None, None)]
    results = []
    platforms = [("offscreen", ["env", "QT_QPA_PLATFORM=offscreen"])]
    if subprocess.run(["sh", "-c", "command -v xvfb-run"], capture_output=True).returncode == 0:
        platforms.append(("xvfb", ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24", "env", "QT_QPA_PLATFORM=xcb"]))
    for label, prefix in platforms:
        launch, main = [], []
        for _ in range(runs):
            if label == "xvfb":
                # The server's own start-up is not the program's: time from
                # inside the server's session.
                argv = prefix + ["sh", "-c", 'PIXORA_BENCH_T0=$(date +%s%N) exec "$0" startup', exe]
                env = dict(os.environ)
            else:
                argv = prefix + [exe, "startup"]
                env = dict(os.environ, PIXORA_BENCH_T0=str(time.time_ns()))
            out = subprocess.run(argv, capture_output=True, text=True, env=env, timeout=120).stdout
            m = re.search(r"startup ([0-9.]+) ([0-9.-]+)", out)
            if m:
                main.append(float(m.group(1)))
                launch.append(float(m.group(2)))
        results.append((label, statistics.median(launch) if launch else None,
                        statistics.median(main) if main else None))
    return results


def memory_rows(ctx, image, out_dir=None):
    exe = os.path.join(out_dir or ctx.out_dir, "bench_window")
    if not os.access(exe, os.X_OK):
        return None
    out = subprocess.run([exe, "memory", image], capture_output=True, text=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), timeout=600)
    figures = {}
    for line in out.stdout.splitlines():
        m = re.match(r"(open|edits|rest|strokes|rotate30) \S+ resident ([0-9.-]+) peak ([0-9.-]+)", line)
        if m:
            figures[m.group(1)] = (float(m.group(2)), float(m.group(3)))
        m = re.match(r"times rotate30 ([0-9.]+) memcpy ([0-9.]+)", line)
        if m:
            figures["times"] = (float(m.group(1)), float(m.group(2)))
    return figures or None


def open_memory_rows(ctx, names):
    """Each file opened by bench_open_files in a process of its own: best of
    three read times and the memory the read took beyond the document, in
    document sizes."""
    exe = os.path.join(ctx.out_dir, "bench_open_files")
    if not os.access(exe, os.X_OK):
        return None
    rows = []
    for name in names:
        out = subprocess.run([exe, ctx.inputs[name]], capture_output=True, text=True, timeout=600).stdout
        m = re.search(r"([0-9.]+) MP ([0-9.]+) s ([0-9.-]+) extra", out)
        rows.append((name, float(m.group(2)), float(m.group(3))) if m else (name, None, None))
    return rows
