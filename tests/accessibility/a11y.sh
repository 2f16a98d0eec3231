#!/usr/bin/env bash
# Every window of the program walked over the accessibility bus (AT-SPI):
# a control without a name, or without an action where it should have one,
# fails the test (walk.py).
#
#   a11y.sh SHOW_PROGRAM PYTHON WALK_SCRIPT
#
# Runs itself again on a virtual display of its own (xvfb-run) with a
# session bus of its own (dbus-run-session), on which the accessibility
# bus is started for the test: so it runs the same on a bare machine and
# from a desktop that has its own session and accessibility buses. The bus
# is started on the virtual display, so that the accessibility bus it
# starts is announced there and never on the desktop's display.
set -uo pipefail
if [[ $# -ne 3 ]]; then
  echo "usage: $0 SHOW_PROGRAM PYTHON WALK_SCRIPT" >&2
  exit 2
fi
if [[ -z "${BREVANT_A11Y_DISPLAY:-}" ]]; then
  for tool in dbus-run-session xvfb-run "$2"; do
    command -v "$tool" >/dev/null ||
      { echo "FAIL: $tool is missing (make test installs what this test needs)" >&2; exit 1; }
  done
  # Nothing of the desktop's accessibility bus may be found.
  unset AT_SPI_BUS_ADDRESS
  BREVANT_A11Y_DISPLAY=own exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    dbus-run-session -- "$0" "$@"
fi
show=$1 python=$2 walk=$3
deadline_seconds=60

scratch=$(mktemp -d)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$scratch"
export XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" HOME="$scratch"

# The program's side of the bridge is on for this one child only.
mkfifo "$scratch/input"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb \
  "$show" <"$scratch/input" >"$scratch/show.log" 2>&1 &
pid=$!
exec 3>"$scratch/input"   # its input stays open until the test ends

until grep -q '^ready' "$scratch/show.log" 2>/dev/null; do
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: the windows program ended" >&2
    cat "$scratch/show.log" >&2
    exit 1
  fi
  ((SECONDS < deadline_seconds)) || { echo "FAIL: the windows did not come up" >&2; exit 1; }
  sleep 0.1
done
windows=$(sed -n 's/^ready \([0-9]*\)$/\1/p' "$scratch/show.log" | head -n 1)

"$python" "$walk" "$(basename "$show")" "$windows"
status=$?
exec 3>&-
wait "$pid" 2>/dev/null
pid=
if [[ $status -ne 0 ]]; then
  echo "--- program output ---" >&2
  cat "$scratch/show.log" >&2
fi
exit $status
