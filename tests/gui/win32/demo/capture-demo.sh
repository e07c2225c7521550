#!/usr/bin/env bash
# Opens the demonstration form under Wine in a private Xvfb and saves a
# screenshot of the screen for review:
#   tests/gui/win32/demo/capture-demo.sh <windows build dir> [out.png] [display number]
# The display number defaults to 64.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../.." && pwd)
source "$root/scripts/lib.sh"

build=${1:?usage: capture-demo.sh <windows build dir> [out.png] [display]}
out=${2:-$build/gui-demo.png}
display=${3:-64}
exe="$build/tests/gui/gui_demo_form.exe"
[ -f "$exe" ] || die "no $exe: build the target gui_demo_form first"
command -v import >/dev/null || die "import (imagemagick) is missing: run scripts/setup"

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=":$display"
wine "$exe" </dev/null >/dev/null 2>&1 &
demo=$!
# The form closes itself after eight seconds; take the picture well before.
sleep 5
import -window root "$out" || die "screenshot failed"
wait $demo
status=$?
log "saved $out (demo exit code $status)"
[ $status -eq 0 ]
