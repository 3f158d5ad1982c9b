#!/usr/bin/env bash
# Runs the screenshot test (its binary and arguments given) on an X server of its own; the
# test starts its window manager. Without xvfb-run or openbox the test is skipped (77).
set -euo pipefail
for tool in xvfb-run openbox; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot test skipped: $tool is not installed (scripts/install-deps)"
    exit 77
  fi
done
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
