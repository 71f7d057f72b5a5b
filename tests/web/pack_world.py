#!/usr/bin/env python3
"""Packs a world directory into a page folder for the browser tests: the runtime files copied
from the web build, world.json and world.data (every file below the world, in path order).

Usage: pack_world.py WORLD_DIR RUNTIME_DIR SITE_DIR [ARG...]  (ARGs go into world.json's args)
"""
import json
import os
import shutil
import sys


def main():
    world, runtime, site = sys.argv[1:4]
    os.makedirs(site, exist_ok=True)
    for name in ("index.html", "tasko.js", "tasko.wasm"):
        shutil.copy(os.path.join(runtime, name), os.path.join(site, name))
    files, offset = [], 0
    paths = []
    for directory, subdirs, names in os.walk(world):
        subdirs.sort()
        for name in sorted(names):
            full = os.path.join(directory, name)
            paths.append(os.path.relpath(full, world).replace(os.sep, "/"))
    with open(os.path.join(site, "world.data"), "wb") as data:
        for path in paths:
            with open(os.path.join(world, path), "rb") as f:
                content = f.read()
            data.write(content)
            files.append({"path": path, "offset": offset, "size": len(content)})
            offset += len(content)
    with open(os.path.join(site, "world.json"), "w") as index:
        json.dump({"format": "tasko-world-1", "size": offset, "files": files, "args": sys.argv[4:]}, index)


if __name__ == "__main__":
    main()
