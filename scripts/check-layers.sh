#!/usr/bin/env bash
# Fails when a file below the window layer includes a widget header.
# The window layer is src/app and every src/**/ui folder.
set -euo pipefail
cd "$(dirname "$0")/.."
hits=$(grep -rnE '#include\s*[<"](QtWidgets|QtPrintSupport|QtSvgWidgets)?/?(Q(Widget|Dialog|MainWindow|Application|MessageBox|Label|PushButton|Menu|Action|ToolBar|ToolButton|SpinBox|Slider|CheckBox|ComboBox|ScrollBar|TabWidget|StatusBar|Printer|PrintDialog|FileDialog|FontDialog|Layout|HBoxLayout|VBoxLayout|GridLayout|Frame|Splitter|ListWidget|TextEdit|LineEdit|RadioButton|GroupBox|ButtonGroup|AbstractButton)\b)' \
  --include='*.h' --include='*.cpp' src | grep -vE '^src/(app|[a-z]+/ui|[a-z]+/[a-z]+/ui)/' || true)
if [ -n "$hits" ]; then
  echo "Window headers below the window layer:"
  echo "$hits"
  exit 1
fi
echo "layering ok: no widget header below the window layer"
