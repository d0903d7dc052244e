"""Whole-process timing: each command runs as its own process; the tools of
one row take turns run after run, so a change in the machine's load falls on
all of them alike. Figures are medians."""

import os
import shlex
import statistics
import subprocess
import time
from dataclasses import dataclass, field


@dataclass
class Sample:
    seconds: float
    peak_kib: int  # the child's peak resident size
    ok: bool
    error: str = ""
    cpu: float = 0.0  # the child's user and system time


@dataclass
class Measured:
    samples: list = field(default_factory=list)

    @property
    def ok(self):
        return bool(self.samples) and all(s.ok for s in self.samples)

    @property
    def seconds(self):
        return statistics.median(s.seconds for s in self.samples) if self.ok else None

    @property
    def peak_kib(self):
        return max(s.peak_kib for s in self.samples) if self.samples else 0

    @property
    def error(self):
        return next((s.error for s in self.samples if not s.ok), "")


def run_once(argv, cwd=None, env=None, timeout=None, shell=False):
    """Runs one command, its output discarded; returns its wall time and
    peak resident size (from wait4, so only that process tree's own)."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, cwd=cwd, env=env, shell=shell, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)
    deadline = None if timeout is None else start + timeout
    while True:
        pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
        if pid:
            break
        if deadline is not None and time.perf_counter() > deadline:
            proc.kill()
            os.wait4(proc.pid, 0)
            return Sample(time.perf_counter() - start, 0, False, f"over {timeout:.0f} s")
        time.sleep(0.002)
    seconds = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    err = proc.stderr.read().decode(errors="replace").strip()
    proc.stderr.close()
    ok = proc.returncode == 0
    return Sample(seconds, usage.ru_maxrss, ok, "" if ok else (err.splitlines() or ["exit %d" % proc.returncode])[-1],
                  usage.ru_utime + usage.ru_stime)


def command_text(argv):
    return argv if isinstance(argv, str) else " ".join(shlex.quote(a) for a in argv)


def side_by_side(commands, runs, cwd, before=None, timeout=None):
    """commands: {tool: argv or shell string}. Each run goes over every tool
    once, the order turning by one each run; `before(tool)` runs untimed
    first (to remove the previous output). A tool that fails or overruns
    is dropped from the later runs. Returns {tool: Measured}."""
    tools = list(commands)
    result = {t: Measured() for t in tools}
    for r in range(runs):
        order = tools[r % len(tools):] + tools[:r % len(tools)]
        for tool in order:
            if result[tool].samples and not result[tool].ok:
                continue
            if before:
                before(tool)
            argv = commands[tool]
            result[tool].samples.append(run_once(argv, cwd=cwd, timeout=timeout, shell=isinstance(argv, str)))
    return result


def loadavg():
    one, five, fifteen = os.getloadavg()
    return f"{one:.2f} {five:.2f} {fifteen:.2f}"
