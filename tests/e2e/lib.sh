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
