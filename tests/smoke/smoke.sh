#!/usr/bin/env bash
# The real program on a real X display: startup window, start window, page
# 1, a typed response, Next with the warning answered Yes, then the page's
# title-bar close. Started again, the program offers the response it was
# not asked to save.
#
#   smoke.sh PROGRAM WMDELETE OUTPUT_FOLDER
#
# Runs itself again on a virtual display of its own (xvfb-run, no window
# manager) with a session bus of its own (dbus-run-session), so it runs the
# same under ctest and by hand, and never on the desktop it is started
# from. The bus is the test's, not the program's: it ends with the test,
# and the program finds it instead of starting one through dbus-launch
# (which would be left running in the program's session).
#
# Takes a screenshot of the screen at each window it passes into
# OUTPUT_FOLDER, and fails unless the program ends by itself with status 0
# and leaves no process behind. Every wait polls for its condition, up to
# a deadline.
set -uo pipefail
if [[ $# -ne 3 ]]; then
  echo "usage: $0 PROGRAM WMDELETE OUTPUT_FOLDER" >&2
  exit 2
fi
if [[ -z "${BREVANT_SMOKE_DISPLAY:-}" ]]; then
  for tool in dbus-run-session xvfb-run; do
    command -v "$tool" >/dev/null ||
      { echo "FAIL: $tool is missing (Debian dbus-daemon, xvfb; make test installs them)" >&2; exit 1; }
  done
  # The display is not reset when its last client goes (-noreset), so it
  # is there for the program's second start.
  BREVANT_SMOKE_DISPLAY=own exec dbus-run-session -- \
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
program=$1 wmdelete=$2 out=$3
deadline_seconds=${BREVANT_SMOKE_DEADLINE:-60}

mkdir -p "$out"
rm -f "$out"/*.png "$out"/program.log
scratch=$(mktemp -d)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill -9 "$pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  import -window root "$out/failure.png" 2>/dev/null
  if [[ -s "$out/program.log" ]]; then
    echo "--- program output ---" >&2
    cat "$out/program.log" >&2
  fi
  exit 1
}

# poll DESCRIPTION COMMAND...: runs COMMAND until it succeeds or the
# deadline passes.
poll() {
  local what=$1; shift
  local until=$((SECONDS + deadline_seconds))
  until "$@" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      "$@" >/dev/null 2>&1 && return 0
      fail "the program ended while waiting for $what"
    fi
    ((SECONDS < until)) || fail "gave up waiting for $what"
    sleep 0.1
  done
}
program_ended() { ! kill -0 "$pid" 2>/dev/null; }

# The visible window whose title is exactly $1 (a regular expression).
window() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
has_window() { [[ -n "$(window "$1")" ]]; }
no_window() { [[ -z "$(window "$1")" ]]; }

# Waits for the window titled $1, gives it the keyboard focus (as a window
# manager would on a click) and prints its id.
focus_window() {
  poll "the window \"$1\"" has_window "$1"
  local id
  id=$(window "$1")
  xdotool windowfocus --sync "$id" || fail "cannot focus \"$1\""
  echo "$id"
}

shot=0
screenshot() {
  shot=$((shot + 1))
  import -window root "$out/$shot-$1.png" || fail "no screenshot $1"
}

cd "$scratch" || exit 1
export XDG_RUNTIME_DIR="$scratch"
# The program's own data (its recovery copies) in a folder of the test's.
export XDG_DATA_HOME="$scratch/data"
recovery="$XDG_DATA_HOME/brevant/recovery"

# Starts the program in a session of its own, so anything it leaves
# running is found, and waits for the startup window.
start_program() {
  setsid "$program" >>"$out/program.log" 2>&1 &
  pid=$!
  focus_window '^Brevant Zizazov Irivadevu$' >/dev/null || exit 1
  [[ "$(ps -o sid= -p "$pid" | tr -d ' ')" == "$pid" ]] || fail "the program did not get a session of its own"
}

# Waits for the program to end by itself, with status 0 and nothing left.
expect_clean_end() {
  poll "the program to end" program_ended
  wait "$pid"
  local status=$? ended=$pid
  pid=
  [[ $status -eq 0 ]] || fail "the program ended with status $status"
  # A zombie is no longer running; the sanitizer runtime's symbolizer can
  # linger as one for a moment until init reaps it.
  local stray
  stray=$(ps -e -o pid=,sid=,stat=,args= | awk -v s="$ended" '$2 == s && $3 !~ /^Z/')
  [[ -z "$stray" ]] || fail "processes left behind: $stray"
  local left
  left=$(xdotool search --name 'Brevant' 2>/dev/null)
  [[ -z "$left" ]] || fail "windows left behind: $left"
}

# The virtual display answers before the program is started on it.
until xdotool getdisplaygeometry >/dev/null 2>&1; do
  ((SECONDS < deadline_seconds)) || fail "the display $DISPLAY does not answer"
  sleep 0.1
done

start_program
screenshot startup-window
# Register, Check for Updates, then "Already Registered or Register Later".
xdotool key --delay 50 Tab Tab space

focus_window '^Brevant Policies $' >/dev/null || exit 1
poll "the startup window to go" no_window '^Brevant Zizazov Irivadevu$'
screenshot start-window
# Load saved work, then Continue.
xdotool key --delay 50 Tab space

page1=$(focus_window '^Brevant Policies \(Page 1 of 10\)$') || exit 1
screenshot page-1
# The keyboard starts in the first answer box: HELP, then the first
# response box.
xdotool key --delay 50 Tab Tab
xdotool type --delay 20 'Two full-time faculty members teach every course we offer.'
screenshot page-1-typed
if compare -metric AE "$out/$((shot - 1))-page-1.png" "$out/$shot-page-1-typed.png" null: 2>/dev/null; then
  fail "typing changed nothing on page 1"
fi
# On to Next: the first requirement's review state, the second answer box,
# HELP, the second response box (left empty, so the warning comes), its
# review state, Save As, Save, Contents, Next.
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab space

focus_window '^Exiting$' >/dev/null || exit 1
screenshot warning
# Yes is the default button.
xdotool key Return

page2=$(focus_window '^Brevant Policies \(Page 2 of 10\)$') || exit 1
poll "page 1 to go" no_window '^Brevant Policies \(Page 1 of 10\)$'
screenshot page-2

# The title-bar close of page 2 closes every window and ends the program,
# without a question; the typed response stays in the recovery copy.
"$wmdelete" "$page2" || fail "cannot ask page 2 to close"
expect_clean_end
screenshot closed
copies=("$recovery"/*.json)
[[ -f "${copies[0]}" ]] || fail "no recovery copy in $recovery"
grep -q 'Two full-time faculty members teach every course we offer.' "${copies[0]}" ||
  fail "the recovery copy does not hold the typed response"

# Started again, the program offers it in front of the start window.
start_program
xdotool key --delay 50 Tab Tab space
focus_window '^Restore Unsaved Responses$' >/dev/null || exit 1
screenshot recovery-offer
# Yes is the default button; then Continue.
xdotool key Return
poll "the offer to go" no_window '^Restore Unsaved Responses$'
focus_window '^Brevant Policies $' >/dev/null || exit 1
xdotool key --delay 50 Tab space
restored=$(focus_window '^Brevant Policies \(Page 1 of 10\)$') || exit 1
screenshot page-1-restored
"$wmdelete" "$restored" || fail "cannot ask page 1 to close"
expect_clean_end
[[ -n "$(ls "$recovery"/set-aside/*.json 2>/dev/null)" ]] || fail "the offered copy was not set aside"
echo "The program ran through $shot screens, ended twice with status 0 and offered the unsaved response; screenshots in $out"
