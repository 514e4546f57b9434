#!/usr/bin/env bash
# Writes apps/keyscholar/startup.order: the tutor's functions that run before its first page is on
# screen (the login page, and the main page of a learner the monitor hands over), in the order
# they first run. The optimised build places them side by side, so a start maps a few hundred KiB
# of the program instead of most of it. Run it after larger changes to the start; names that no
# longer exist are skipped by the linker, and the package test says when too many are gone.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
scripts/deps.sh order
build_release keyscholar
build=build/release

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
display=:$((200 + RANDOM % 300))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1

home=$work/home
mkdir -p "$home/run"
chmod 700 "$home/run"
tutor=(env -u XDG_SESSION_TYPE -u WAYLAND_DISPLAY HOME="$home" XDG_DATA_HOME="$home/data"
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" XDG_CACHE_HOME="$home/cache"
  KEYSCHOLAR_WORKSTATION=LAB1 QT_QPA_PLATFORM=xcb DISPLAY="$display")
profile() {
  "${tutor[@]}" KEYSCHOLAR_READY_PROBE=1 valgrind --tool=callgrind --demangle=no --log-file="$work/$1.log" \
    --callgrind-out-file="$work/$1.cg" "$build/bin/keyscholar" >"$work/$1.out" 2>&1 ||
    { echo "the tutor did not reach its $1 page:" >&2; cat "$work/$1.out" "$work/$1.log" >&2; exit 1; }
}

profile first  # a first start makes the folders
profile login
# A learner registers as one would, then the monitor hands the learner over.
"${tutor[@]}" "$build/bin/keyscholar" >/dev/null 2>&1 &
pid=$!
sleep 3
DISPLAY=$display xdotool type --delay 40 "Ann Lee"
DISPLAY=$display xdotool key Return
sleep 2
kill "$pid"
wait "$pid" 2>/dev/null || true
station=$home/data/Keyscholar8/LAB1.wks
[ -f "$home/data/Keyscholar8/Ann Lee.usr" ] || { echo "no learner was made" >&2; exit 1; }
{ grep -v '^WardenLogon=' "$station" || true; printf 'WardenLogon=Ann Lee\r\n'; } >"$work/wks"
mv "$work/wks" "$station"
profile main

python3 - "$work/login.cg" "$work/main.cg" >"$work/order" <<'EOF'
import re, sys
# The functions of the tutor's own image that ran, in the order callgrind first names them.
seen = {}
for path in sys.argv[1:]:
    objects, names, current = {}, {}, ""
    for line in open(path, errors="replace"):
        m = re.match(r"^(ob|cob|fn|cfn)=\((\d+)\)(?: (.*))?$", line.rstrip("\n"))
        if not m:
            continue
        kind, key, name = m.groups()
        table = objects if kind.endswith("ob") else names
        if name is not None:
            table[key] = name
        if kind == "ob":
            current = objects[key]
        elif kind == "fn" and current.endswith("/keyscholar") and not names[key].startswith(("(", "0x")):
            seen.setdefault(names[key], None)
print("\n".join(seen))
EOF
mv "$work/order" apps/keyscholar/startup.order
echo "$(wc -l <apps/keyscholar/startup.order) functions in apps/keyscholar/startup.order"
