"""The whole run: peers, inputs, every section, the report."""

import argparse
import datetime
import os
import pickle
import subprocess
import sys
import time

from runner import batch, effects, many_files, fixed, formats, inprocess, inputs, peers, press
from runner.report import Report, kept_sections
from runner.timing import loadavg

SECTIONS = ["formats", "effects", "batch", "manyfiles", "inprocess", "window"]


class Context:
    pass


def log(text):
    print(text, flush=True)


def main(argv):
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(prog="bench/run")
    parser.add_argument("--build", default=os.path.join(here, "..", "build"), help="build folder (default ../build)")
    parser.add_argument("--runs", type=int, default=5, help="runs of each whole-process command (default 5)")
    parser.add_argument("--only", default=",".join(SECTIONS), help="sections to run: " + ",".join(SECTIONS))
    parser.add_argument("--before", help="an earlier build folder: its memory figures (and with --before-inprocess its "
                        "benchmark programs' figures) go beside this build's")
    parser.add_argument("--before-inprocess", action="store_true",
                        help="with --before: run the earlier build's benchmark programs too")
    parser.add_argument("--effect-runs", type=int, help="runs of each effect row (default: --runs)")
    parser.add_argument("--rows", choices=["all", "core"], default="all",
                        help="core: a short run of the main rows only (a loaded machine)")
    parser.add_argument("--reuse", action="store_true",
                        help="put the sections not run now into the report from their last run's saved results")
    parser.add_argument("--quick", action="store_true", help="3 runs, one benchmark repetition: a trial")
    parser.add_argument("--report", default=os.path.join(here, "REPORT.md"))
    parser.add_argument("--work", default=os.path.join(here, "..", "build", "bench-work"),
                        help="folder for the inputs (kept) and outputs (default ../build/bench-work)")
    args = parser.parse_args(argv)
    only = [s for s in args.only.split(",") if s]
    for s in only:
        if s not in SECTIONS:
            parser.error(f"unknown section {s}")

    ctx = Context()
    ctx.log = log
    ctx.out_dir = os.path.realpath(os.path.join(args.build, "out"))
    ctx.pixora = os.path.join(ctx.out_dir, "pixora-convert")
    ctx.before_out = os.path.realpath(os.path.join(args.before, "out")) if args.before else None
    if not os.access(ctx.pixora, os.X_OK):
        sys.exit(f"bench/run: {ctx.pixora} not found: build pixora-convert and the bench_* targets first")
    ctx.runs = 3 if args.quick else args.runs
    ctx.effect_runs = args.effect_runs or ctx.runs
    ctx.core = args.rows == "core"
    ctx.runs_batch = max(3, ctx.runs // 2) if not args.quick else 2
    ctx.repetitions = 1 if args.quick else 3
    ctx.min_time = 0.1 if args.quick else 0.3
    ctx.timeout = 300
    peers.ensure_installed(log)
    ctx.peers = peers.Peers()
    ctx.work = os.path.realpath(args.work)
    load_start = loadavg()
    started = datetime.datetime.now()
    t0 = time.time()
    log(f"inputs in {ctx.work}")
    ctx.inputs = inputs.make_inputs(ctx.peers, ctx.work, log)

    results = {}
    stamps = {}

    def checkpoint(section, partial):
        """Saves a section's rows so far, so that a run cut short still
        leaves them for --reuse."""
        stamp = {"when": f"{datetime.datetime.now():%Y-%m-%d %H:%M}", "build": ctx.out_dir,
                 "commit": build_commit(ctx.out_dir), "load": f"{loadavg()} (cut short)"}
        with open(os.path.join(ctx.work, f"results-{section}.pickle"), "wb") as f:
            pickle.dump({"result": partial, "stamp": stamp, "before": None}, f)

    ctx.checkpoint = checkpoint
    for section in only:
        log(f"{section} (load {loadavg()})")
        section_load = loadavg()
        if section == "formats":
            results[section] = formats.run_rows(ctx)
        elif section == "effects":
            results[section] = effects.run_rows(ctx)
        elif section == "batch":
            results[section] = batch.run_rows(ctx)
        elif section == "manyfiles":
            results[section] = many_files.run_rows(ctx)
        elif section == "inprocess":
            results[section] = inprocess.run_rows(ctx)
            if ctx.before_out and args.before_inprocess:
                results["inprocess_before"] = inprocess.run_rows(ctx, ctx.before_out)
        elif section == "window":
            before = inprocess.memory_rows(ctx, ctx.inputs["q90-444.jpg"], ctx.before_out) if ctx.before_out else None
            results[section] = (inprocess.startup_rows(ctx, ctx.runs),
                                inprocess.memory_rows(ctx, ctx.inputs["q90-444.jpg"]), before,
                                inprocess.open_memory_rows(ctx, list(inputs.FORMAT_FILES)),
                                press.press_rows(ctx.out_dir, ctx.runs, ctx.log)
                                + press.open_rows(ctx.out_dir, ctx.runs, ctx.log))
        stamps[section] = {"when": f"{datetime.datetime.now():%Y-%m-%d %H:%M}", "build": ctx.out_dir,
                           "commit": build_commit(ctx.out_dir), "load": f"{section_load} -> {loadavg()}"}
        saved = {"result": results[section], "stamp": stamps[section],
                 "before": results.get("inprocess_before") if section == "inprocess" else None}
        with open(os.path.join(ctx.work, f"results-{section}.pickle"), "wb") as f:
            pickle.dump(saved, f)
    if args.reuse:
        for section in SECTIONS:
            path = os.path.join(ctx.work, f"results-{section}.pickle")
            if section not in results and os.path.exists(path):
                with open(path, "rb") as f:
                    saved = pickle.load(f)
                results[section] = saved["result"]
                stamps[section] = saved["stamp"]
                if saved.get("before"):
                    results["inprocess_before"] = saved["before"]
    load_end = loadavg()

    r = Report()
    write_head(r, ctx, started, time.time() - t0, load_start, load_end)
    r.add("Sections, when each ran, on which build (commit of the worktree when it ran) and the load average "
          "(1, 5, 15 min) at its start and end:", "")
    r.table(["section", "ran", "build", "commit", "load"],
            [[s, st["when"], st["build"], st["commit"], st["load"]] for s, st in stamps.items()])
    if "formats" in results:
        r.add("## Open and save, whole processes", "")
        for title, records in results["formats"]:
            r.timed_section(title, records)
    if "effects" in results:
        r.effects_section(results["effects"])
    if "batch" in results:
        r.add("## Batch conversion, both cores", "")
        r.timed_section(f"{batch.COUNT} files of 1200 x 900", results["batch"])
    if "manyfiles" in results:
        r.add("## Many small files, both cores", "")
        r.timed_section(f"{many_files.COUNT} files of {many_files.SIZE}", results["manyfiles"])
    if "window" in results:
        write_window(r, *results["window"])
    if "inprocess" in results:
        r.add("## In-process figures (Google Benchmark, medians of repetitions)", "",
              "Times on 4000 x 3000 unless the benchmark says otherwise; \"x memcpy\" is against one memcpy of "
              "the image timed in the same program.", "")
        r.inprocess_section(results["inprocess"], results.get("inprocess_before"))
    write_misses(r)
    fixed.write_section(r, results)
    r.commands_appendix()
    text = r.text()
    if os.path.exists(args.report):
        with open(args.report) as f:
            for section in kept_sections(f.read()):
                text += "\n" + section
    with open(args.report, "w") as f:
        f.write(text)
    log(f"wrote {args.report}")
    return 0


def build_commit(out_dir):
    """The commit the build folder's sources were at, as the worktree says."""
    marker = os.path.join(out_dir, "..", "COMMIT")
    if os.path.exists(marker):
        with open(marker) as f:
            return f.read().strip()
    return subprocess.run(["git", "describe", "--always", "--dirty"], capture_output=True, text=True,
                          cwd=os.path.dirname(__file__)).stdout.strip()


def write_head(r, ctx, started, seconds, load_start, load_end):
    r.add("# Performance against ImageMagick, GraphicsMagick and libvips", "",
          f"Written by `bench/run` on {started:%Y-%m-%d %H:%M}, in {seconds / 60:.0f} minutes.", "", "## Machine", "")
    facts = peers.machine_facts()
    commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True, text=True,
                            cwd=os.path.dirname(__file__)).stdout.strip()
    facts["pixora commit"] = commit or "?"
    facts.update(ctx.peers.versions())
    facts["load average at start (1, 5, 15 min)"] = load_start
    facts["load average at end"] = load_end
    r.table(["", ""], [[k, v] for k, v in facts.items()])
    r.add("The machine is shared with other jobs building C++, so absolute times wander; the tools of a row take "
          f"turns, run after run ({ctx.runs} runs, medians), so that the load falls on all alike. Ratios are "
          "peer time / pixora time: **above 1, pixora is faster**. Whole-process times include starting the "
          "program, reading and writing the files. ImageMagick and libvips thread inside one image on both "
          "cores; pixora-convert converts one file on one thread (the batch rows use both).", "",
          "Targets: ahead of ImageMagick and GraphicsMagick everywhere; within 1.5x of libvips (ahead of it for "
          "Gaussian blur, rotation by an angle and point operations); frames under 16 ms; start-up under 0.5 s.",
          "", "How far to trust the figures:", "",
          "- An effect's cost is a difference of two medians of whole runs of about a second; where the "
          "operation itself takes tens of milliseconds (point operations, quarter turns, the resize) the "
          "difference is within the noise of a shared machine and is floored at 5 ms. Read those rows from "
          "the whole-process table below them and from the in-process figures (x memcpy).",
          "- A short run (`--rows core`) leaves out the writers-from-PPM rows, most readers, the duplicate "
          "filter/quick effects and the second batch; `bench/run` without it runs every row.",
          "- In-process figures from a single repetition (`--quick`) include the first, cold iteration; the "
          "memcpy yardstick is timed in the same program at the same moment.",
          "- A section's build folder holds what was built there when it ran: see the sections table.",
          "- Outputs that differ from the reference by the editor's rules, not by a fault: a 32-bit BMP keeps "
          "the editor's fourth byte, which counts transparency (0 opaque), so its alpha reads as inverted in "
          "the other tools (low alpha PSNR, colour exact); a layered PSD's merged picture holds colours mixed "
          "where pixels are partly transparent, which each reader takes as it is (low colour PSNR for every "
          "tool there). libvips writes PPM, not BMP, and keeps 16 bits a sample from the 16-bit and CMYK TIFFs "
          "(twice the size); its CMYK conversion is its own (low PSNR).", "")


def write_window(r, startup, memory, memory_before, opens, presses=None):
    r.add("## Start-up and memory (`bench_window`)", "")
    rows = []
    for label, launch, from_main in startup:
        met = "-" if launch is None else ("met" if launch < 500 else "**missed**")
        rows.append([f"start-up to the first paint of the main window ({label})",
                     "-" if launch is None else f"{launch:.0f} ms from launch",
                     "-" if from_main is None else f"{from_main:.0f} ms from main()", "< 500 ms", met])
    if memory:
        # (key, caption, target, whether it is met from (resident, peak))
        memory_rows = (
            ("open", "one 12 MP image open", "<= 2.5 at rest", lambda now, peak: now <= 2.5),
            ("edits", "after 20 edits (mirror, flip)", "<= 8, flat over the edits", lambda now, peak: peak <= 8),
            ("rest", "after 20 edits, the recovery copy written", "<= 2.5 at rest", lambda now, peak: now <= 2.5),
            ("strokes", "after 3 pen strokes (peak of the strokes)", "<= 2.5 at rest", lambda now, peak: now <= 2.5),
            ("rotate30", "a rotation by 30 degrees (peak of the rotation)", "<= 3 at the peak",
             lambda now, peak: peak <= 3),
        )
        for key, caption, target, met in memory_rows:
            if key in memory:
                now, peak = memory[key]
                was = ""
                if memory_before and key in memory_before:
                    was = f" (before: {memory_before[key][0]:.2f} resident, {memory_before[key][1]:.2f} peak)"
                rows.append([f"memory, {caption}", f"{now:.2f} image buffers resident",
                             f"{peak:.2f} at the peak{was}", target, "met" if met(now, peak) else "**missed**"])
        if "times" in memory:
            rotate, copy = memory["times"]
            rows.append(["rotation by 30 degrees of the 12 MP image, beside a memcpy of it", f"{rotate:.0f} ms",
                         f"memcpy {copy:.1f} ms ({rotate / max(copy, 0.01):.1f} x)", "", ""])
    # Press to the first dot on big pictures, as a user's stroke begins.
    for label, ms, note in presses or []:
        rows.append([label, "-" if ms is None else f"{ms:.0f} ms", note or "median of the runs, xdotool press",
                     "as on 800 x 600", ""])
    r.table(["figure", "value", "", "target", ""], rows)
    if opens:
        r.add("Opening each file (`bench_open_files`, one process per file): best of three reads, and the memory "
              "the read takes beyond the document itself, in document sizes:", "")
        r.table(["file", "read s", "extra memory"],
                [[n, "-" if t is None else f"{t:.3f}", "-" if x is None else f"{x:.2f}"] for n, t, x in opens])


def write_misses(r):
    r.add("## Rows that miss their target", "")
    if not r.misses:
        r.add("None.", "")
        return
    for caption, why in r.misses:
        r.add(f"- {caption}: {why}")
    r.add("")
