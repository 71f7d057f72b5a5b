#!/usr/bin/env python3
"""Finds how far a screenshot shows a map picture moved: prints "dx dy" when the screen's pixel
(x, y) equals the picture's pixel (x + dx, y + dy), every channel within 2, at a grid of sample
points in the screen's middle, for some dx, dy from 0 to LIMIT-1; prints nothing otherwise.

usage: find_shift.py PICTURE.png SCREEN.png [LIMIT]
"""
import subprocess
import sys


def rgb(path):
    size = subprocess.run(["convert", path, "-format", "%w %h", "info:"], stdout=subprocess.PIPE,
                          check=True).stdout.split()
    data = subprocess.run(["convert", path, "-background", "black", "-alpha", "remove", "-alpha", "off",
                           "-depth", "8", "rgb:-"], stdout=subprocess.PIPE, check=True).stdout
    return int(size[0]), int(size[1]), data


def main():
    pw, ph, picture = rgb(sys.argv[1])
    sw, sh, screen = rgb(sys.argv[2])
    limit = int(sys.argv[3]) if len(sys.argv) > 3 else 500
    points = [(x, y) for x in range(100, min(sw, 700), 37) for y in range(100, min(sh, 700), 41)]
    for dy in range(limit):
        for dx in range(limit):
            same = True
            for x, y in points:
                if x + dx >= pw or y + dy >= ph:
                    same = False
                    break
                a = (y * sw + x) * 3
                b = ((y + dy) * pw + x + dx) * 3
                if any(abs(screen[a + k] - picture[b + k]) > 2 for k in range(3)):
                    same = False
                    break
            if same:
                print(dx, dy)
                return


if __name__ == "__main__":
    main()
