"""Press to pixel in the whole window: the editor opens a picture of 24, 45
and 100 megapixels on a virtual X server, the button is pressed over the
canvas with xdotool (the X test extension) and bench_press_to_pixel reads
the screen until the pixel under the pointer changes."""

import os
import shutil
import struct
import subprocess
import tempfile

# Megapixels, width, height: a small picture as the yardstick, then the big ones.
SIZES = [(0.5, 800, 600), (24, 6000, 4000), (45, 8256, 5504), (100, 12500, 8000)]

SCRIPT = r'''
"$PIXORA" "$PICTURE" >/dev/null 2>&1 &
pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --class pixora | head -n 1)
if [ -z "$wid" ]; then echo "press_to_pixel no-window"; kill $pid; exit 0; fi
sleep "$SETTLE"
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The pen, the first button of the tool panel, as a user chooses it.
xdotool mousemove $((X + 15)) $((Y + 110)) click 1
sleep 1
"$PROBE" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) 30000
kill $pid 2>/dev/null
wait $pid 2>/dev/null
'''


def write_bmp(path, width, height, grey=200):
    """A light grey 24-bit BMP, on which the first dot of any tool shows."""
    stride = (width * 3 + 3) & ~3
    size = 54 + stride * height
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, stride * height, 2835, 2835, 0, 0))
        row = bytes([grey]) * (width * 3) + bytes(stride - width * 3)
        chunk = row * 64
        for _ in range(height // 64):
            f.write(chunk)
        f.write(row * (height % 64))


def press_rows(out_dir, runs, log, sizes=SIZES):
    """[(label, median ms or None, note)] for each size."""
    pixora = os.path.join(out_dir, "pixora")
    probe = os.path.join(out_dir, "bench_press_to_pixel")
    missing = [p for p in (pixora, probe) if not os.access(p, os.X_OK)]
    if missing or not shutil.which("xvfb-run") or not shutil.which("xdotool"):
        return [("press to pixel", None, "needs pixora, bench_press_to_pixel, xvfb-run and xdotool")]
    rows = []
    with tempfile.TemporaryDirectory(prefix="pixora-press-") as tmp:
        for mp, w, h in sizes:
            picture = os.path.join(tmp, f"{mp}mp.bmp")
            write_bmp(picture, w, h)
            env = dict(os.environ, PIXORA=pixora, PROBE=probe, PICTURE=picture, SETTLE=str(3 + int(mp) // 20),
                       HOME=tmp, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                       XDG_CACHE_HOME=os.path.join(tmp, "cache"), QT_QPA_PLATFORM="xcb")
            env.pop("DISPLAY", None)
            times = []
            note = ""
            for _ in range(runs):
                proc = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", SCRIPT],
                                      env=env, capture_output=True, text=True, timeout=300)
                words = [line.split() for line in proc.stdout.splitlines() if line.startswith("press_to_pixel")]
                value = words[-1][1] if words and len(words[-1]) > 1 else "failed"
                try:
                    times.append(float(value))
                except ValueError:
                    note = value
            log(f"    press to pixel {mp} MP: {times or note}")
            times.sort()
            rows.append((f"press to first dot, {w} x {h} ({mp} MP), whole window under Xvfb",
                         times[len(times) // 2] if times else None, note))
            os.remove(picture)
    return rows


OPEN_SCRIPT = r'''
"$PROBE" --open 640 600 "$COLOUR" 60000 "$PIXORA" "$PICTURE"
'''

# The picture's colour, and the JPEG sizes timed (megapixels, width, height).
OPEN_COLOUR = (40, 170, 200)
OPEN_SIZES = [(24, 6000, 4000), (45, 8256, 5504), (100, 12500, 8000)]


# The part of the picture in one colour, round the pixel the probe reads
# (the canvas starts near the window's top-left corner at 1:1).
BLOCK = (300, 200, 1100, 900)


def write_bmp_photo(path, width, height, rgb):
    """A 24-bit BMP of fine noise about mid-grey (a JPEG's work is like a
    photograph's), with the block BLOCK in one colour."""
    stride = (width * 3 + 3) & ~3
    size = 54 + stride * height
    soften = bytes(96 + (b & 63) for b in range(256))
    x0, y0, x1, y1 = BLOCK
    block = bytes([rgb[2], rgb[1], rgb[0]]) * (x1 - x0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, stride * height, 2835, 2835, 0, 0))
        pad = bytes(stride - width * 3)
        for row in range(height):
            y = height - 1 - row  # BMP rows run bottom-up
            line = bytearray(os.urandom(width * 3).translate(soften))
            if y0 <= y < y1:
                line[3 * x0:3 * x1] = block
            f.write(line + pad)


def open_rows(out_dir, runs, log, sizes=OPEN_SIZES):
    """[(label, median ms or None, note)]: `pixora photo.jpg` on a virtual X
    server, from the start of the process to the picture's colour in the
    middle of the screen (over the canvas)."""
    pixora = os.path.join(out_dir, "pixora")
    convert = os.path.join(out_dir, "pixora-convert")
    probe = os.path.join(out_dir, "bench_press_to_pixel")
    missing = [p for p in (pixora, convert, probe) if not os.access(p, os.X_OK)]
    if missing or not shutil.which("xvfb-run"):
        return [("open to first pixels", None, "needs pixora, pixora-convert, bench_press_to_pixel and xvfb-run")]
    rows = []
    colour = "%02x%02x%02x" % OPEN_COLOUR
    with tempfile.TemporaryDirectory(prefix="pixora-open-") as tmp:
        for mp, w, h in sizes:
            bmp = os.path.join(tmp, f"{mp}mp.bmp")
            picture = os.path.join(tmp, f"{mp}mp.jpg")
            write_bmp_photo(bmp, w, h, OPEN_COLOUR)
            subprocess.run([convert, "--jpeg-quality", "90", bmp, "-o", picture], check=True, capture_output=True)
            os.remove(bmp)
            env = dict(os.environ, PIXORA=pixora, PROBE=probe, PICTURE=picture, COLOUR=colour,
                       HOME=tmp, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                       XDG_CACHE_HOME=os.path.join(tmp, "cache"), QT_QPA_PLATFORM="xcb")
            env.pop("DISPLAY", None)
            times, note = [], ""
            for _ in range(runs):
                proc = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", OPEN_SCRIPT],
                                      env=env, capture_output=True, text=True, timeout=300)
                words = [line.split() for line in proc.stdout.splitlines() if line.startswith("open_to_pixel")]
                value = words[-1][1] if words and len(words[-1]) > 1 else "failed"
                try:
                    times.append(float(value))
                except ValueError:
                    note = value
            log(f"    open to pixel {mp} MP: {times or note}")
            times.sort()
            rows.append((f"`pixora photo.jpg` to first pixels, {w} x {h} JPEG ({mp} MP), whole process under Xvfb",
                         times[len(times) // 2] if times else None, note or "median of the runs, from the process start"))
            os.remove(picture)
    return rows


if __name__ == "__main__":
    import sys
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "build", "out")
    for label, ms, note in press_rows(out, 3, print) + open_rows(out, 3, print):
        print(f"| {label} | {'-' if ms is None else f'{ms:.0f} ms'} | {note} |")
