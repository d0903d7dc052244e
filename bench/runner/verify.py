"""Checks that the tools of a row wrote the same picture: its dimensions,
and its PSNR against the row's reference (ImageMagick's compare; "exact"
when every pixel, alpha included, is equal)."""

import os
import re
import subprocess
import tempfile


def dimensions(peers, path):
    if not os.path.exists(path):
        return None
    out = subprocess.run([peers.convert, "-ping", path + "[0]", "-format", "%wx%h", "info:"],
                         capture_output=True, text=True)
    return out.stdout.strip() or None


def jpeg_sampling(peers, path):
    out = subprocess.run([peers.convert, "-ping", path, "-format", "%[jpeg:sampling-factor]", "info:"],
                         capture_output=True, text=True)
    factors = out.stdout.strip()
    return {"1x1,1x1,1x1": "4:4:4", "2x2,1x1,1x1": "4:2:0", "2x1,1x1,1x1": "4:2:2"}.get(factors, factors)


def psnr(peers, path, reference, alpha=False):
    """PSNR of `path` against `reference` over the colour channels, and over
    alpha on its own when `alpha` (ImageMagick's compare weighs colour by
    alpha, which hides a wrong alpha and blurs a right one); "exact" when
    equal, None when they cannot be compared (different sizes, unreadable)."""
    if not os.path.exists(path):
        return None
    out = subprocess.run([peers.compare, "-metric", "PSNR", "-alpha", "off", path + "[0]", reference + "[0]",
                          "null:"], capture_output=True, text=True)
    colour = _parse((out.stderr or out.stdout).strip())
    if not alpha:
        return colour
    with tempfile.TemporaryDirectory() as tmp:
        planes = []
        for i, image in enumerate((path, reference)):
            plane = os.path.join(tmp, f"a{i}.pgm")
            subprocess.run([peers.convert, image + "[0]", "-alpha", "extract", plane], capture_output=True)
            planes.append(plane)
        out = subprocess.run([peers.compare, "-metric", "PSNR"] + planes + ["null:"], capture_output=True, text=True)
        alpha_psnr = _parse((out.stderr or out.stdout).strip())
    if colour == "exact" and alpha_psnr == "exact":
        return "exact"
    return f"colour {colour}, alpha {alpha_psnr}"


def _parse(text):
    if text in ("inf", "0"):
        return "exact"
    match = re.match(r"[0-9.]+", text)
    if not match:
        return None
    value = float(match.group(0))
    return "exact" if value == 0 else f"{value:.1f} dB"


def size_of(path):
    return os.path.getsize(path) if os.path.exists(path) else None
