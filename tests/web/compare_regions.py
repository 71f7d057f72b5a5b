#!/usr/bin/env python3
"""Compares a page's screenshot with the native engine's, region by region.

Usage: compare_regions.py NATIVE_A NATIVE_B PAGE CELL TOLERANCE [X Y W H]

NATIVE_A and NATIVE_B are two native screenshots taken apart in time: a CELLxCELL region that is
identical in both shows only still things and is compared with PAGE; regions where something
moved are left out. A still region matches when the mean absolute difference of its channel
values is at most TOLERANCE. The optional rectangle limits the comparison. Prints one line
"still S matched M worst X,Y D" and exits 0 when every still region matched, 1 otherwise.
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
    a_path, b_path, page_path, cell, tolerance = sys.argv[1:6]
    cell, tolerance = int(cell), float(tolerance)
    width, height = size(a_path)
    if size(b_path) != (width, height) or size(page_path) != (width, height):
        raise SystemExit("the screenshots differ in size")
    x0, y0, w, h = (int(v) for v in sys.argv[6:10]) if len(sys.argv) > 6 else (0, 0, width, height)
    a, b, page = (pixels(p, width, height) for p in (a_path, b_path, page_path))
    still = matched = 0
    worst = (0, 0, 0.0)
    for cy in range(y0, y0 + h - cell + 1, cell):
        for cx in range(x0, x0 + w - cell + 1, cell):
            rows = [slice(((cy + r) * width + cx) * 3, ((cy + r) * width + cx + cell) * 3) for r in range(cell)]
            if any(a[s] != b[s] for s in rows):
                continue
            still += 1
            total = sum(abs(p - q) for s in rows for p, q in zip(a[s], page[s]))
            diff = total / (cell * cell * 3)
            if diff <= tolerance:
                matched += 1
            if diff > worst[2]:
                worst = (cx, cy, diff)
    print(f"still {still} matched {matched} worst {worst[0]},{worst[1]} {worst[2]:.2f}")
    sys.exit(0 if still > 0 and matched == still else 1)


if __name__ == "__main__":
    main()
