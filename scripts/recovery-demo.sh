#!/bin/sh
# Shows crash recovery with the real editor on a virtual display, without a
# window manager: an image is opened and edited twenty times (so that its
# recovery copy is written), the editor is killed with SIGKILL, and a second
# start offers the image; Enter presses "Recover". Screenshots go to the
# folder given (default ./recovery-demo).
#
#   scripts/recovery-demo.sh [build-dir] [screenshot-dir]
#
# Needs Xvfb (xvfb-run), xdotool, python3 and imagemagick's import. Keys are
# typed through the XTEST extension after the editor's window is given the
# input focus directly, which works without a window manager.
set -eu
build=$(cd "${1:-build}" && pwd)
shots=$(mkdir -p "${2:-recovery-demo}" && cd "${2:-recovery-demo}" && pwd)
exec xvfb-run -a -s "-screen 0 1280x800x24" sh -s "$build" "$shots" <<'INNER'
set -eu
build=$1 shots=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# A program folder of its own: the binary beside a copy of its data.
cp "$build/out/pixora" "$home/"
cp -r "$build/out/bin" "$home/"
rm -rf "$home/bin/save/recovery"
# A 24-bit BMP of 320 x 200 with colour ramps.
python3 - "$home/photo.bmp" <<'PY'
import struct, sys
w, h = 320, 200
stride = (w * 3 + 3) & ~3
rows = b"".join(bytes(b for x in range(w) for b in (x * 255 // w, y * 255 // h, 128)) + b"\0" * (stride - w * 3)
                for y in range(h))
head = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + len(rows), 0, 0, 54, 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
open(sys.argv[1], "wb").write(head + rows)
PY
editor_window() {
    for i in $(seq 1 100); do
        win=$(xdotool search --name "^Pixora$" 2>/dev/null | head -1) && [ -n "$win" ] && { echo "$win"; return 0; }
        sleep 0.1
    done
    echo "no editor window" >&2
    return 1
}
# Gives the window the focus and types keys into it.
type_keys() {
    xdotool windowfocus --sync "$1"
    shift
    xdotool key --delay 60 "$@"
}
export QT_QPA_PLATFORM=xcb
"$home/pixora" "$home/photo.bmp" &
editor=$!
win=$(editor_window)
sleep 2
for i in $(seq 1 20); do
    type_keys "$win" ctrl+a Delete
    sleep 0.2
done
sleep 1
import -window root "$shots/1-edited.png"
echo "recovery folder before the kill:"
ls -l "$home/bin/save/recovery/" || true
kill -KILL "$editor"
wait "$editor" 2>/dev/null || echo "editor killed: status $?"
"$home/pixora" &
editor=$!
sleep 4
import -window root "$shots/2-offer.png"
offer=$(xdotool search --name "Recover" 2>/dev/null | head -1 || true)
[ -n "$offer" ] && type_keys "$offer" Return || echo "no recovery offer came up" >&2
sleep 2
import -window root "$shots/3-recovered.png"
echo "recovery folder after Recover:"
ls -l "$home/bin/save/recovery/" || true
kill -TERM "$editor" 2>/dev/null || true
INNER
