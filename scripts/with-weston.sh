#!/usr/bin/env bash
# Runs a command on a headless Weston of its own: a private runtime folder
# (0700, as Wayland asks) holds the compositor's socket, WAYLAND_DISPLAY
# names it for the command, and the compositor is stopped afterwards. The
# command's exit status is the script's.
#   scripts/with-weston.sh ctest --test-dir build -L wayland
set -euo pipefail

runtime=$(mktemp -d "${TMPDIR:-/tmp}/pixora-wayland.XXXXXX")
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
socket="pixora-$$"

# Weston 11 and later call the backend "headless"; earlier ones load it by
# its module's name.
backend=headless
if weston --help 2>&1 | grep -q 'headless-backend\.so'; then backend=headless-backend.so; fi

weston --backend="$backend" --socket="$socket" --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
cleanup() {
  kill "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

# The socket appears once the compositor is ready.
for _ in $(seq 100); do
  [ -S "$runtime/$socket" ] && break
  if ! kill -0 "$weston_pid" 2>/dev/null; then
    echo "weston did not start:" >&2
    cat "$runtime/weston.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
  echo "weston made no socket in 10 s" >&2
  exit 1
fi

WAYLAND_DISPLAY="$socket" "$@"
