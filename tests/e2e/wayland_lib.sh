# Helpers of the end-to-end scripts under a Wayland compositor (sourced after lib.sh). The
# compositor is a headless sway that scripts/test.sh starts (WAYLAND_DISPLAY, SWAYSOCK); the
# script's keyboard (vkeyboard) types through the layouts it has, grim takes pictures, swaymsg
# finds and focuses windows. The helpers of lib.sh keep working: the few xdotool commands they
# use are answered here.

[ -n "${WAYLAND_DISPLAY:-}" ] && [ -n "${SWAYSOCK:-}" ] || { echo "no sway session"; exit 1; }
unset DISPLAY

# The windows of process $1 that sway shows, one a line: their ids, or with $2 = name their
# titles, with $2 = shell how they are drawn (xdg_shell natively, xwayland through XWayland).
sway_windows() {
  swaymsg -t get_tree -r | python3 -c '
import json, sys
pid, what = int(sys.argv[1]), sys.argv[2]
def walk(n):
    if n.get("pid") == pid and n.get("visible"):
        print(n["id"] if what == "id" else n.get(what) or "")
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))' "$1" "${2:-id}"
}

# The layout sway has active (counted from 0).
active_layout() {
  swaymsg -t get_inputs -r | python3 -c '
import json, sys
print(next((i["xkb_active_layout_index"] for i in json.load(sys.stdin) if i["type"] == "keyboard"), 0))'
}

# Sends one line to the plugged keyboard (plug_keyboard) and waits until it has typed it. The
# keyboard is told the active layout first: it states it along with every modifier.
keyboard_do() {
  local line answer
  for line in "g $(active_layout)" "$1"; do
    answer=""
    printf '%s\n' "$line" >&"${VKEYBOARD[1]}"
    read -r -t 60 answer <&"${VKEYBOARD[0]}" || true
    [ "$answer" = ok ] || { echo "the keyboard could not type '$line': $answer" >&2; return 1; }
  done
}

xdotool() {
  case $1 in
    key) shift; keyboard_do "k $*" ;;
    type)
      shift
      local delay=12
      [ "$1" = --delay ] && { delay=$2; shift 2; }
      keyboard_do "t $delay $1"
      ;;
    windowfocus) swaymsg "[con_id=${*: -1}] focus" >/dev/null ;;
    search) sway_windows "${*: -1}" ;;
    getwindowname) swaymsg -t get_tree -r | python3 -c '
import json, sys
def walk(n):
    if n.get("id") == int(sys.argv[1]): print(n.get("name") or "")
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))' "$2" ;;
    *) echo "xdotool $1: not answered under Wayland" >&2; return 1 ;;
  esac
}

# The tutor as a learner starts it: no platform chosen, so it draws natively.
start_tutor() {
  env -u QT_QPA_PLATFORM "$bin/keyscholar" "${@:2}" >>"$1" 2>&1 &
  pid=$!
  win=$(wait_window "$pid") || { cat "$1"; return 1; }
  sleep 1
  xdotool windowfocus "$win"
}

# A keyboard with XKB layouts $1 ("de", "us,de") for the compositor, which has none, until the
# script ends; it types what the script types. Sway is told the same layouts, so that keyboards
# it makes for typing tools start with them too.
plug_keyboard() {
  # Quoted: sway takes a comma for the start of another command.
  swaymsg "input type:keyboard xkb_layout \"$1\"" >/dev/null
  coproc VKEYBOARD { exec "$bin/vkeyboard" "$1"; }
  local ready=""
  read -r -t 10 ready <&"${VKEYBOARD[0]}" || true
  [ "$ready" = ready ] || { echo "the virtual keyboard did not start"; exit 1; }
  trap '[ -n "$pid" ] && { kill "$pid"; sleep 1; kill -9 "$pid"; } 2>/dev/null; kill "$VKEYBOARD_PID" 2>/dev/null; rm -rf "$work"' EXIT
}

# Saves a picture of the whole output as e2e_$1.png when KS_SCREENSHOT_DIR names a folder.
shot() {
  local dir=${KS_SCREENSHOT_DIR:-}
  [ -n "$dir" ] && grim "$dir/e2e_$1.png" 2>/dev/null || true
}
