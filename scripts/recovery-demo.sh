#!/bin/sh
# Shows crash recovery with the real editor on a virtual display: an image
# is opened and edited twenty times (so its recovery copy is written), the
# editor is killed with SIGKILL, and a second start offers the image; Enter
# presses "Recover". Screenshots go to the folder given (default ./recovery-demo).
#
#   scripts/recovery-demo.sh [build-dir] [screenshot-dir]
# Needs xvfb-run, xdotool and imagemagick's import.
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
convert -size 320x200 gradient:red-blue "$home/photo.png"
wait_window() {
    for i in $(seq 1 100); do
        xdotool search --name "^Pixora$" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no editor window" >&2
    return 1
}
export QT_QPA_PLATFORM=xcb
"$home/pixora" "$home/photo.png" &
editor=$!
wait_window
sleep 2
win=$(xdotool search --name "^Pixora$" | head -1)
xdotool windowactivate --sync "$win" 2>/dev/null || true
for i in $(seq 1 20); do
    xdotool key --window "$win" ctrl+a Delete
    sleep 0.2
done
sleep 1
import -window root "$shots/1-edited.png"
echo "recovery folder before the kill:"; ls -l "$home/bin/save/recovery/"
kill -KILL "$editor"
wait "$editor" 2>/dev/null || echo "editor killed: status $?"
"$home/pixora" &
editor=$!
sleep 4
import -window root "$shots/2-offer.png"
xdotool key Return
sleep 2
import -window root "$shots/3-recovered.png"
echo "recovery folder after Recover:"; ls -l "$home/bin/save/recovery/"
kill -TERM "$editor" 2>/dev/null || true
INNER
