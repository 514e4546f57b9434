# Shared helpers of the end-to-end scripts (sourced).

# Prints the first visible window of process $1, waiting at most $2 seconds (default 15); fails
# with the program's output when none appears.
wait_window() {
  local pid=$1 limit=${2:-15} win=""
  for _ in $(seq $((limit * 10))); do
    win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && { echo "$win"; return 0; }
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "no window of process $pid" >&2
  return 1
}

# Fails when process $1 shows more than one window (an unexpected message box), naming them.
no_boxes() {
  local pid=$1 count
  count=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)
  if [ "$count" -gt 1 ]; then
    echo "unexpected windows:" >&2
    for w in $(xdotool search --onlyvisible --pid "$pid"); do xdotool getwindowname "$w" >&2; done
    return 1
  fi
}

# Waits at most $2 seconds for process $1 (a child of this shell) to end and sets EXIT_STATUS to
# its status, or to "timeout".
wait_exit() {
  local pid=$1 limit=${2:-15}
  EXIT_STATUS=timeout
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      EXIT_STATUS=0
      wait "$pid" || EXIT_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
}

# A fresh home, data and runtime folder under $1 for one script's tutors; sets `data` to the
# learners' folder.
fresh_home() {
  export HOME=$1 XDG_DATA_HOME=$1/data XDG_CONFIG_HOME=$1/config
  export XDG_RUNTIME_DIR=$1/run KEYSCHOLAR_WORKSTATION=LAB1
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  data=$XDG_DATA_HOME/Keyscholar8
}

# The newest process whose command line matches pattern $1 and that runs in this script's home:
# other scripts, run at the same time, start the same programs.
own_process() {
  local p found=
  for p in $(pgrep -f "$1" || true); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "HOME=$HOME" && found=$p
  done
  echo "$found"
}

# Runs the calling script again inside a session bus of its own, which starts the accessibility
# bus on demand, and ends with its status; returns at once inside that session. Call with "$@".
own_session_bus() {
  [ -x /usr/libexec/at-spi-bus-launcher ] || { echo "at-spi2-core is missing"; exit 1; }
  [ -n "${KS_IN_SESSION:-}" ] && return 0
  # Not exec: in a pipeline it would replace only its side, and the script would go on here.
  env KS_IN_SESSION=1 dbus-run-session -- bash "$0" "$@" 2>&1 | grep -v "^dbus-daemon"
  exit "${PIPESTATUS[0]}"
}

# Starts the accessibility bus (sets `bus`) and has Qt programs offer their controls on it,
# as they do while a screen reader runs.
accessibility_bus() {
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  bus=$!
}

# Ends the monitor (`pid`) that watched "hello world" and "ab" typed into a text field and secret
# $1 into a password field, and fails through the script's `fail` unless the learner Ann's
# figures count every key, analyse the text and nothing of the secret, and the secret stands in
# no file the programs wrote.
monitor_kept_secret() {
  local secret=$1 info i
  kill -TERM "$pid"
  wait_exit "$pid" 20
  pid=
  [ "$EXIT_STATUS" = 0 ] || fail "tapwatch ended with $EXIT_STATUS"
  info=$("$bin/learnerinfo" Ann totalHits monitoredHits)
  grep -qx "monitoredHits=13" <<<"$info" || fail "expected monitoredHits=13 in: $info"
  grep -qx "totalHits=$((13 + ${#secret}))" <<<"$info" || fail "expected every key counted: $info"
  grep -q "^monitorkey l presses=" <<<"$info" || fail "typing was not analysed: $info"
  for ((i = 0; i < ${#secret}; i++)); do
    ! grep -q "^monitorkey ${secret:i:1} " <<<"$info" || fail "a key of the password was analysed"
  done
  if grep -rlaF "$secret" "$data" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$out" 2>/dev/null; then
    fail "the secret was written"
  fi
}

# A script's own temporary home (fresh_home) in `work`, with `out` for the tutor's output; on
# exit a tutor still running (`pid`) is ended and the folder removed.
script_home() {
  work=$(mktemp -d)
  pid=
  trap '[ -n "$pid" ] && { kill "$pid"; sleep 1; kill -9 "$pid"; } 2>/dev/null; rm -rf "$work"' EXIT
  fresh_home "$work"
  out=$work/out
}

# A copy of the installation in `root` that the script may change; the programs use it.
own_installation() {
  root=$work/root
  cp -r "$bin/../share/keyscholar" "$root"
  export KEYSCHOLAR_ROOT=$root
}

# Starts the tutor in $bin with output to $1 (and switches after it), waits for its window and
# focuses it; sets `pid` and `win`.
start_tutor() {
  QT_QPA_PLATFORM=xcb "$bin/keyscholar" "${@:2}" >>"$1" 2>&1 &
  pid=$!
  win=$(wait_window "$pid") || { cat "$1"; return 1; }
  sleep 1
  xdotool windowfocus --sync "$win"
}

# Logs learner $1 on at the login view (a remembered name is replaced).
login() {
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  xdotool key Return
  sleep 3
}

# Logs new learner $1 on and goes on to the recommended course's first lesson.
open_first_lesson() {
  login "$1"
  xdotool key Return  # the recommended course
  sleep 3
  xdotool key Return  # its first lesson
  sleep 3
}

# The lines of the installed lesson text $1, without line ends or empty lines.
lines() { tr -d '\r' <"$bin/../share/keyscholar/lessons/$1" | grep -v '^$'; }
# Types $1 with $2 ms between keys (xdotool waits half the delay after each press and release).
typeit() { xdotool type --delay "$2" "$1"; }
# Goes on from the end of an event, or from a result page.
next() {
  sleep 1.5
  xdotool key Return
  sleep 2.5
  no_boxes "$pid" || exit 1
}

# Each group of the key drill in lesson text $2 typed until it counts $1 times.
keydrill() {
  local line
  while IFS= read -r line; do
    for _ in $(seq "$1"); do
      typeit "$line" 120
      sleep 0.8
    done
  done < <(lines "$2")
}

# From a lesson page to its first key drill: the introduction page, then each of the new keys
# $1 pressed as it is presented.
key_introduction() {
  xdotool key Return
  sleep 2
  xdotool key Return
  sleep 2
  for k in $1; do
    typeit "$k" 100
    sleep 1.3
  done
  sleep 2
  xdotool key Return
  sleep 2
}

# The first two exercises of a course's first lesson, from its lesson page: the introduction
# page, each of the new keys $1 pressed as it is presented, then the key drills in lesson texts
# $2 and $3, three and two repetitions of each group.
first_exercises() {
  key_introduction "$1"
  shot "${shot_prefix:-}drill"
  keydrill 3 "$2"
  next
  next
  keydrill 2 "$3"
  next
  next
}

# The first two exercises of course $2 (language $1) in the files of the script's learner, read
# through its `info` (sets `report`); fails through its `fail` when the course was not the one
# recommended, or the key drills were not typed without errors.
first_exercises_kept() {
  # Progress is kept under the course's id, its file name: ENGUK for enguk.cnt.
  local id
  id=$(basename "$2" .cnt | tr '[:lower:]' '[:upper:]')
  report=$(info ContentsFile "Crs.$id.Chapter" "Crs.$id.Exercise")
  echo "$report"
  grep -qix "ContentsFile=$2" <<<"$report" || fail "the course $2 was not recommended"
  grep -q "^result 1.1 " <<<"$report" || fail "no result of the key introduction"
  grep -q "^result 1.2 .* checked=1 .* errors=0 accuracy=100" <<<"$report" ||
    fail "the key drills were not typed without errors"
  grep -qx "Crs.$id.Exercise=3" <<<"$report" || fail "not at the word drill after the key drills"
}

# Leaves the tutor with Ctrl+Q and fails unless it ends with status 0; output file $1.
quit_tutor() {
  xdotool key ctrl+q
  wait_exit "$pid"
  local status=$EXIT_STATUS
  pid=
  [ "$status" = 0 ] || { echo "keyscholar ended with $status"; cat "$1"; return 1; }
}

# Saves a picture of the whole screen as e2e_$1.png when KS_SCREENSHOT_DIR names a folder.
shot() {
  local dir=${KS_SCREENSHOT_DIR:-}
  [ -n "$dir" ] && { xwd -root -silent | xwdtopnm | pnmtopng >"$dir/e2e_$1.png"; } 2>/dev/null || true
}
