#!/usr/bin/env bash
# Walks every criteria window with real Enter key presses on an X display, as a user would:
# starts the host window under Xvfb with openbox, opens each report of the Reports menu in
# turn (whatever reports the menu holds), learns the window's tab order by pressing Tab, then
# opens it afresh and presses Enter once per control, checking that each press moves the focus
# exactly one control on, up to the first command button.
#
#   scripts/enter-check.sh [NVRPTSALES] [SCREENSHOT-FOLDER]
#
# With a folder, a screenshot of each criteria window is saved there (ImageMagick's import).
# Exit status: 0 every window passed, 1 a window failed, 77 Xvfb, openbox or xdotool missing.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-$root/build/src/nvrptsales}"
shots="${2:-}"

for tool in Xvfb openbox xdotool; do
  if ! command -v "$tool" > /dev/null; then
    echo "enter-check: $tool is not installed (scripts/setup.sh installs it); skipped"
    exit 77
  fi
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null; done
  wait 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and says which.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
exec 3>&-
if ! [ -s "$work/display" ]; then
  echo "enter-check: Xvfb did not start"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" "$XDG_DATA_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
openbox > "$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

db="$work/demo.sqlite"
"$program" demo-db "$db" --lines 2000 > /dev/null || { echo "enter-check: no demo database"; exit 1; }
trace="$work/focus.log"
"$program" --db "$db" --trace-focus "$trace" > "$work/program.log" 2>&1 &
pids+=($!)
main=""
for _ in $(seq 1 100); do
  main="$(xdotool search --onlyvisible --name 'Sales Reports' 2> /dev/null | head -n1)"
  [ -n "$main" ] && break
  sleep 0.2
done
[ -n "$main" ] || { echo "enter-check: the host window did not open"; cat "$work/program.log"; exit 1; }

lines() { wc -l < "$trace"; }
focus() { tail -n1 "$trace" | cut -f1,2; }
caption() { tail -n1 "$trace" | cut -f3; }
shot() { [ -n "$shots" ] && mkdir -p "$shots" && import -window root "$shots/$1.png" 2> /dev/null; }

# Presses a key and waits for the focus to move; then waits a little longer, so that a second
# move made by the same press is seen too.
press() {
  local before
  before="$(lines)"
  xdotool key --clearmodifiers "$1"
  for _ in $(seq 1 40); do
    [ "$(lines)" -gt "$before" ] && break
    sleep 0.05
  done
  sleep 0.4
}

# Opens the report at position $1 of the Reports menu; prints the window's focus line.
open_report() {
  xdotool windowactivate --sync "$main" 2> /dev/null
  sleep 0.3
  xdotool key --clearmodifiers alt+r
  sleep 0.4
  for _ in $(seq 1 "$1"); do xdotool key --clearmodifiers Down; sleep 0.05; done
  press Return
  sleep 0.5
}

status=0
seen=()
for index in $(seq 0 40); do
  open_report "$index"
  window="$(focus | cut -f1)"
  title="$(caption)"
  case "$window" in
    Rpt*) ;;
    *) echo "enter-check: menu item $((index + 1)) opened no report window (focus: $(focus))"; status=1; break ;;
  esac
  # The menu wraps round to its first report: every report has been walked.
  for done in "${seen[@]}"; do [ "$done" = "$window" ] && break 2; done
  seen+=("$window")
  shot "$(printf '%02d' "$index")-$window"

  # The tab order, from the control the window starts in to the first command button.
  order=("$(focus | cut -f2)")
  for _ in $(seq 1 30); do
    case "${order[-1]}" in Cmd*|QPushButton) break ;; esac
    press Tab
    order+=("$(focus | cut -f2)")
  done
  xdotool key --clearmodifiers ctrl+q # closes the criteria window only
  sleep 0.5

  # Afresh, with Enter: one control per press.
  open_report "$index"
  failed=0
  for ((step = 1; step < ${#order[@]}; ++step)); do
    press Return
    now="$(focus | cut -f2)"
    if [ "$now" != "${order[$step]}" ]; then
      echo "FAIL $title: Enter $step from ${order[$((step - 1))]} went to $now, not ${order[$step]}"
      failed=1
      status=1
      break
    fi
  done
  [ "$failed" = 0 ] && echo "ok   $title: ${order[*]}"
  xdotool key --clearmodifiers ctrl+q
  sleep 0.5
done

echo "enter-check: ${#seen[@]} report windows walked"
[ "${#seen[@]}" -gt 0 ] || status=1
exit "$status"
