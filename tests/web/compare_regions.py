#!/usr/bin/env python3
"""Compares a page's screenshot with the native engine's, region by region.

Usage: compare_regions.py CELL TOLERANCE SHARE X Y W H PAGE NATIVE...

The NATIVE screenshots are taken apart in time: a CELLxCELL region of the rectangle X Y W H
that is identical in all of them shows only still things and is compared with PAGE; regions
where something moved are left out. A still region matches when the mean absolute difference
of its channel values is at most TOLERANCE. Things of the demo that stand still for a while and
then move (a ghost fading, the hero turning, a spark) may stand elsewhere on the page, which
runs at another moment: at least SHARE (0..1) of the still regions must match. Prints
"still S matched M worst X,Y D" and the regions that did not match; exits 0 when enough did.
"""
import subprocess
import sys


def pixels(path, width, height):
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    if len(raw) != width * height * 3:
        raise SystemExit(f"{path} is not {width}x{height}")
    return raw


def size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path], check=True, capture_output=True, text=True).stdout
    w, h = out.split()
    return int(w), int(h)


def main():
    cell, tolerance, share = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])
    x0, y0, w, h = (int(v) for v in sys.argv[4:8])
    page_path, native_paths = sys.argv[8], sys.argv[9:]
    width, height = size(page_path)
    if any(size(p) != (width, height) for p in native_paths) or len(native_paths) < 2:
        raise SystemExit("give at least two native screenshots of the page's size")
    page = pixels(page_path, width, height)
    natives = [pixels(p, width, height) for p in native_paths]
    still = matched = 0
    worst = (0, 0, 0.0)
    off = []
    for cy in range(y0, y0 + h - cell + 1, cell):
        for cx in range(x0, x0 + w - cell + 1, cell):
            rows = [slice(((cy + r) * width + cx) * 3, ((cy + r) * width + cx + cell) * 3) for r in range(cell)]
            a = natives[0]
            if any(other[s] != a[s] for other in natives[1:] for s in rows):
                continue
            still += 1
            total = sum(abs(p - q) for s in rows for p, q in zip(a[s], page[s]))
            diff = total / (cell * cell * 3)
            if diff <= tolerance:
                matched += 1
            else:
                off.append(f"{cx},{cy}:{diff:.1f}")
            if diff > worst[2]:
                worst = (cx, cy, diff)
    print(f"still {still} matched {matched} worst {worst[0]},{worst[1]} {worst[2]:.2f} off {' '.join(off)}")
    sys.exit(0 if still > 0 and matched >= share * still else 1)


if __name__ == "__main__":
    main()
