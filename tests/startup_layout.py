#!/usr/bin/env python3
"""The optimised tutor is laid out for its start: the functions its first pages run (listed in
apps/keyscholar/startup.order) still exist and lie together. When this fails, the list no longer
matches the code, or the link did not use it: scripts/startup-order.sh writes the list anew."""
import subprocess
import sys

binary, order = sys.argv[1], sys.argv[2]
listed = [line.strip() for line in open(order) if line.strip()]
symbols = {}
nm = subprocess.run(["nm", "-S", "--defined-only", binary], capture_output=True, text=True,
                    check=True)
for line in nm.stdout.splitlines():
    field = line.split()
    if len(field) == 4 and field[2] in "tTwW":
        symbols[field[3]] = (int(field[0], 16), int(field[1], 16))
found = [symbols[name] for name in listed if name in symbols]
if not found or len(found) < 0.9 * len(listed):
    sys.exit(f"{len(listed) - len(found)} of {len(listed)} listed functions are gone")
size = sum(length for _, length in found)
span = max(start + length for start, length in found) - min(start for start, _ in found)
# Alignment pads each function a little; anything else in between means no layout.
if span > 1.5 * size:
    sys.exit(f"the listed functions ({size} bytes) are spread over {span} bytes")
print(f"start-up layout: {len(found)} functions, {size} bytes in {span}")
