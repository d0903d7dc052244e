"""The tools measured beside pixora-convert: found on the machine, or
installed from Debian when missing (bench-only; the build does not need
them), and the facts about the machine the report opens with."""

import os
import platform
import shutil
import subprocess
import sys

# Debian package -> the programs it must provide. ImageMagick's own
# programs are used by their versioned names so that no wrapper standing
# first on PATH adds its start-up to the figures.
PACKAGES = {
    "imagemagick": ["convert-im6.q16", "mogrify-im6.q16", "compare-im6.q16"],
    "graphicsmagick": ["gm"],
    "libvips-tools": ["vips", "vipsheader"],
}


def find(program):
    for folder in ("/usr/bin", "/bin"):
        path = os.path.join(folder, program)
        if os.access(path, os.X_OK):
            return path
    return shutil.which(program)


def ensure_installed(log):
    missing = [pkg for pkg, progs in PACKAGES.items() if not all(find(p) for p in progs)]
    if not missing:
        return
    log(f"installing {' '.join(missing)} from Debian")
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get", "update", "-qq"], check=True, env=env)
    subprocess.run(sudo + ["apt-get", "install", "-y", "-qq"] + missing, check=True, env=env,
                   stdout=subprocess.DEVNULL)
    still = [p for pkg in missing for p in PACKAGES[pkg] if not find(p)]
    if still:
        sys.exit(f"bench/run: still missing after installing: {' '.join(still)}")


class Peers:
    def __init__(self):
        self.convert = find("convert-im6.q16")
        self.mogrify = find("mogrify-im6.q16")
        self.compare = find("compare-im6.q16")
        self.gm = find("gm")
        self.vips = find("vips")
        self.vipsheader = find("vipsheader")

    def versions(self):
        def first_line(argv):
            out = subprocess.run(argv, capture_output=True, text=True).stdout.strip().splitlines()
            return out[0] if out else "?"

        return {
            "ImageMagick": first_line([self.convert, "-version"]).replace("Version: ", ""),
            "GraphicsMagick": first_line([self.gm, "version"]),
            "libvips": first_line([self.vips, "--version"]),
        }


def machine_facts():
    facts = {}
    try:
        with open("/proc/cpuinfo") as f:
            names = [line.split(":", 1)[1].strip() for line in f if line.startswith("model name")]
        facts["CPU"] = f"{names[0]} ({len(names)} logical cores)" if names else platform.processor()
    except OSError:
        facts["CPU"] = platform.processor()
    facts["cores usable"] = str(len(os.sched_getaffinity(0)))
    try:
        with open("/proc/meminfo") as f:
            kib = int(next(line for line in f if line.startswith("MemTotal")).split()[1])
        facts["memory"] = f"{kib / 1048576:.1f} GiB"
    except (OSError, StopIteration):
        pass
    facts["kernel"] = platform.release()
    try:
        with open("/etc/debian_version") as f:
            facts["Debian"] = f.read().strip()
    except OSError:
        pass
    return facts
