#!/usr/bin/env bash
# Proves the layering of src/ from its includes:
#   - no widget header below the window layer (the window layer is
#     src/app, src/window_kit and every src/**/ui folder);
#   - nothing below the window layer includes a header of it;
#   - the window kit includes neither the shell nor a ui folder;
#   - nothing outside src/app includes the shell (src/app).
# With --self-test it first plants one offending include of each kind in a
# copy of src/ and fails unless every one of them is caught.
set -euo pipefail
cd "$(dirname "$0")/.."

widgets='#include\s*[<"](QtWidgets|QtPrintSupport|QtSvgWidgets)?/?(Q(Widget|Dialog|MainWindow|Application|MessageBox|Label|PushButton|Menu|Action|ToolBar|ToolButton|SpinBox|Slider|CheckBox|ComboBox|ScrollBar|TabWidget|StatusBar|Printer|PrintDialog|FileDialog|FontDialog|Layout|HBoxLayout|VBoxLayout|GridLayout|Frame|Splitter|ListWidget|TextEdit|LineEdit|RadioButton|GroupBox|ButtonGroup|AbstractButton)\b)'
window_layer='^src/(app|window_kit|[a-z]+/ui|[a-z]+/[a-z]+/ui)/'
window_headers='#include\s*"(app|window_kit|[a-z]+/ui|[a-z]+/[a-z]+/ui)/'
ui_headers='#include\s*"([a-z]+/ui|[a-z]+/[a-z]+/ui)/'

# Lists the offending includes below the folder $1 (its src/ tree) and
# returns non-zero when there are any.
check() {
  local root=$1 failed=0 hits
  report() {
    if [ -n "$2" ]; then
      echo "$1:"
      echo "$2"
      failed=1
    fi
  }
  hits=$(cd "$root" && grep -rnE "$widgets" --include='*.h' --include='*.cpp' src | grep -vE "$window_layer" || true)
  report "Window headers below the window layer" "$hits"
  hits=$(cd "$root" && grep -rnE "$window_headers" --include='*.h' --include='*.cpp' src | grep -vE "$window_layer" || true)
  report "Window layer headers included below it" "$hits"
  hits=$(cd "$root" && grep -rnE "#include\s*\"app/|$ui_headers" --include='*.h' --include='*.cpp' src/window_kit || true)
  report "Shell or ui folder headers included by the window kit" "$hits"
  hits=$(cd "$root" && grep -rnE '#include\s*"app/' --include='*.h' --include='*.cpp' src | grep -v '^src/app/' || true)
  report "Shell headers included outside the shell" "$hits"
  return $failed
}

if [ "${1:-}" = "--self-test" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  # One planted include per rule, each in a file that is otherwise clean.
  plants=(
    'src/doc/bitmap.cpp|#include <QWidget>'
    'src/tools/tool_table.cpp|#include "tools/ui/option_boxes.h"'
    'src/window_kit/swatch.cpp|#include "io/ui/file_commands.h"'
    'src/window_kit/swatch.cpp|#include "app/main_window.h"'
    'src/io/ui/file_commands.cpp|#include "app/main_window.h"'
  )
  for plant in "${plants[@]}"; do
    file=${plant%%|*}
    line=${plant#*|}
    rm -rf "$scratch/src"
    cp -r src "$scratch/src"
    printf '%s\n' "$line" >>"$scratch/$file"
    if check "$scratch" >/dev/null; then
      echo "self-test: '$line' planted in $file went unnoticed"
      exit 1
    fi
  done
  echo "self-test ok: each planted include is caught"
fi

check .
echo "layering ok: no widget header below the window layer, the kit below the windows, nothing includes the shell"
