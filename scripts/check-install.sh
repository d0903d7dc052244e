#!/usr/bin/env bash
# Installs a built tree into a temporary DESTDIR under the prefix /usr and
# checks the result as a desktop would see it:
#  - every file in its GNUInstallDirs place (binaries, program data, desktop
#    entry, metainfo, icons at every size, manual pages);
#  - desktop-file-validate and appstreamcli validate pass;
#  - the installed binaries run: --version and --help without a display, a
#    usage error exits 2, pixora-convert converts, and pixora opens two files
#    named on its command line, writing only into the XDG folders it is given;
#  - cpack makes a Debian package whose dependencies were computed.
#
#     scripts/check-install.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=org.pixora.Pixora

work=$(mktemp -d /tmp/pixora-install-XXXXXX)
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
ok() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
check() { # check "what" command...
    local what=$1
    shift
    if "$@" >"$work/out.txt" 2>&1; then ok; else
        fail "$what"
        sed 's/^/    /' "$work/out.txt"
    fi
}

dest=$work/root
DESTDIR=$dest cmake --install "$build" --prefix /usr >"$work/install.log"
usr=$dest/usr

# ---- files in place ----------------------------------------------------------
for f in bin/pixora bin/pixora-convert \
    share/pixora/res/help.html share/pixora/res/1.cur share/pixora/res/16.cur \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/pixora.1.gz share/man/man1/pixora-convert.1.gz; do
    if [ -e "$usr/$f" ]; then ok; else fail "missing /usr/$f"; fi
done
for d in share/pixora/ptrns share/pixora/brshs; do
    if [ -d "$usr/$d" ]; then ok; else fail "missing folder /usr/$d"; fi
done
if [ -z "$(find "$usr" -name .keep)" ]; then ok; else fail "placeholder files installed"; fi
if [ ! -e "$usr/share/pixora/hstry" ] && [ ! -e "$usr/share/pixora/save" ]; then ok; else
    fail "writable folders installed under share/pixora"
fi
for size in 16 22 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    check "icon ${size}x${size} is a ${size}x${size} PNG" python3 - "$png" "$size" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read(33)
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
w, h = struct.unpack('>II', data[16:24])
assert (w, h) == (int(sys.argv[2]),) * 2, f'{w}x{h}'
EOF
done
for page in pixora pixora-convert; do
    check "$page.1.gz is intact" gzip -t "$usr/share/man/man1/$page.1.gz"
    if command -v man >/dev/null; then
        check "$page.1 formats without warnings" bash -c \
            "! MANWIDTH=80 man --warnings -l '$usr/share/man/man1/$page.1.gz' 2>&1 >/dev/null | grep ."
    fi
done
check "installed binaries carry no build-tree run path" \
    bash -c "! readelf -d '$usr/bin/pixora' '$usr/bin/pixora-convert' | grep -qE 'RPATH|RUNPATH'"

# ---- validators ----------------------------------------------------------------
check "desktop-file-validate" desktop-file-validate "$usr/share/applications/$id.desktop"
check "appstreamcli validate" appstreamcli validate --no-net --explain "$usr/share/metainfo/$id.metainfo.xml"
check "desktop entry runs pixora with the files" grep -qx 'Exec=pixora %F' "$usr/share/applications/$id.desktop"
for mime in image/bmp image/jpeg image/png image/gif image/tiff image/x-portable-pixmap image/x-tga \
    image/x-sgi image/vnd.microsoft.icon image/vnd.adobe.photoshop; do
    check "desktop entry lists $mime" grep -q "^MimeType=.*$mime;" "$usr/share/applications/$id.desktop"
done

# ---- the installed binaries ------------------------------------------------------
run_plain() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
version=$(run_plain "$usr/bin/pixora" --version || true)
if [ "$version" = "Pixora 1.0.0.1" ]; then ok; else fail "pixora --version without a display printed '$version'"; fi
if run_plain "$usr/bin/pixora" --help | grep -q '^Usage: pixora '; then ok; else fail "pixora --help"; fi
set +e
QT_QPA_PLATFORM=offscreen "$usr/bin/pixora" --no-such-option >"$work/stdout.txt" 2>"$work/stderr.txt"
rc=$?
set -e
if [ $rc -eq 2 ] && grep -q '^Usage: pixora ' "$work/stderr.txt" && [ ! -s "$work/stdout.txt" ]; then ok; else
    fail "unknown option: exit $rc (want 2), usage on stderr only"
    cat "$work/stderr.txt"
fi
check "pixora-convert --help" run_plain "$usr/bin/pixora-convert" --help

# Two small pictures: a BMP and a PPM written here, a PNG converted from the
# BMP by the installed converter.
pics=$work/pictures
mkdir -p "$pics"
python3 - "$pics" <<'EOF'
import struct, sys
w, h = 7, 5
pad = b'\0' * ((4 - w * 3 % 4) % 4)
rows = b''.join(b''.join(bytes([x * 30, y * 50, 200]) for x in range(w)) + pad for y in range(h))
size = 54 + len(rows)
head = b'BM' + struct.pack('<IHHI', size, 0, 0, 54) + struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
open(sys.argv[1] + '/a.bmp', 'wb').write(head + rows)
open(sys.argv[1] + '/b.ppm', 'wb').write(b'P6\n4 3\n255\n' + bytes(range(36)))
EOF
check "pixora-convert writes a PNG" run_plain "$usr/bin/pixora-convert" "$pics/a.bmp" -o "$pics/a.png"
check "the converted file is a PNG" bash -c "head -c 4 '$pics/a.png' | grep -q PNG"

# pixora a.png a.bmp, installed: both files go through the Open path (the
# recent list in the XDG config folder records them) and nothing is written
# beside the installed program.
xdg=$work/xdg
mkdir -p "$xdg/run"
chmod 700 "$xdg/run"
touch "$work/before"
(cd "$pics" && exec env QT_QPA_PLATFORM=offscreen HOME="$work/home" XDG_CONFIG_HOME="$xdg/config" \
    XDG_DATA_HOME="$xdg/data" XDG_STATE_HOME="$xdg/state" XDG_CACHE_HOME="$xdg/cache" \
    XDG_RUNTIME_DIR="$xdg/run" "$usr/bin/pixora" a.png ./a.bmp >"$work/pixora.log" 2>&1) &
pid=$!
recent=$xdg/config/pixora/files.txt
for _ in $(seq 100); do
    if [ -f "$recent" ] && [ "$(wc -l <"$recent")" -ge 2 ]; then break; fi
    sleep 0.1
done
if printf '%s\r\n' "$pics/a.bmp" "$pics/a.png" | cmp -s - "$recent"; then ok; else
    fail "pixora a.png ./a.bmp: recent list is not the two absolute paths, newest first"
    cat -A "$recent" 2>/dev/null || echo "    (no $recent)"
    cat "$work/pixora.log"
fi
# Snapshots of big pictures fill a RAM disk: they go to the cache folder on disk.
if [ -d "$xdg/cache/pixora/hstry" ] && [ "$(stat -c %a "$xdg/cache/pixora/hstry")" = 700 ] \
    && [ ! -e "$xdg/run/pixora/hstry" ]; then ok; else
    fail "snapshot folder not made private in XDG_CACHE_HOME (or made in XDG_RUNTIME_DIR)"
fi
if kill -0 "$pid" 2>/dev/null; then ok; else fail "pixora did not keep running with two files open"; fi
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
pid=""
written=$(find "$dest" -newer "$work/before" -type f)
if [ -z "$written" ]; then ok; else fail "pixora wrote into the installed tree: $written"; fi

# ---- Debian package ------------------------------------------------------------
if command -v dpkg-shlibdeps >/dev/null; then
    rm -f "$build"/pixora_*.deb
    check "cpack -G DEB" bash -c "cd '$build' && cpack -G DEB"
    deb=$(ls "$build"/pixora_*.deb 2>/dev/null | head -n 1)
    if [ -n "$deb" ]; then
        depends=$(dpkg-deb -f "$deb" Depends)
        if grep -q 'libqt6widgets6' <<<"$depends" && grep -q 'libpng16' <<<"$depends"; then ok; else
            fail "package dependencies not computed: '$depends'"
        fi
        check "package holds the desktop entry" bash -c \
            "dpkg-deb -c '$deb' | grep -q './usr/share/applications/$id.desktop'"
    else
        fail "no package made"
    fi
else
    fail "dpkg-shlibdeps is missing (scripts/install-deps.sh installs dpkg-dev)"
fi

echo "install check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
