#!/usr/bin/env python3
"""Rewrites the tile layer data of a TMX map in another of Tiled's layer formats.

usage: reencode.py IN.tmx OUT.tmx FORMAT
FORMAT: xml, csv, base64, base64-zlib, base64-gzip, base64-zstd (the last through the zstd tool).
Each <data> (or <chunk>) is decoded from its own format and written in FORMAT; the rest of the
file is kept as it is. Tiled, given the result, keeps that format when it saves the map again.
"""
import base64
import gzip
import re
import struct
import subprocess
import sys
import zlib


def decode(encoding, compression, body):
    if encoding == "csv":
        return [int(v) for v in body.replace("\n", "").split(",") if v.strip()]
    if encoding == "base64":
        raw = base64.b64decode("".join(body.split()))
        if compression in ("zlib", "gzip"):
            raw = zlib.decompress(raw, 47)
        elif compression == "zstd":
            raw = subprocess.run(["zstd", "-d", "-c", "-q"], input=raw, stdout=subprocess.PIPE, check=True).stdout
        return list(struct.unpack("<%dI" % (len(raw) // 4), raw))
    return [int(g or 0) for g in re.findall(r'<tile(?: gid="(\d+)")?\s*/>', body)]


def encode(fmt, gids, width):
    if fmt == "xml":
        return "", "\n" + "".join('   <tile gid="%d"/>\n' % g if g else "   <tile/>\n" for g in gids) + "  "
    if fmt == "csv":
        rows = [",".join(str(g) for g in gids[i:i + width]) for i in range(0, len(gids), width)]
        return ' encoding="csv"', "\n" + ",\n".join(rows) + "\n"
    raw = struct.pack("<%dI" % len(gids), *gids)
    compression = fmt.split("-", 1)[1] if "-" in fmt else ""
    if compression == "zlib":
        raw = zlib.compress(raw)
    elif compression == "gzip":
        raw = gzip.compress(raw)
    elif compression == "zstd":
        raw = subprocess.run(["zstd", "-c", "-q"], input=raw, stdout=subprocess.PIPE, check=True).stdout
    attributes = ' encoding="base64"' + (' compression="%s"' % compression if compression else "")
    return attributes, "\n   " + base64.b64encode(raw).decode() + "\n  "


def main():
    source, target, fmt = sys.argv[1:4]
    text = open(source, encoding="utf-8").read()

    def layer(match):
        head, body = match.group(1), match.group(2)
        encoding = re.search(r'encoding="([^"]*)"', head)
        compression = re.search(r'compression="([^"]*)"', head)
        encoding = encoding.group(1) if encoding else ""
        compression = compression.group(1) if compression else ""

        def block(tag_head, inner, width):
            gids = decode(encoding, compression, inner)
            return encode(fmt, gids, width), gids

        chunks = list(re.finditer(r'(<chunk[^>]*>)(.*?)</chunk>', body, re.S))
        if chunks:
            out = body
            for chunk in reversed(chunks):
                width = int(re.search(r'width="(\d+)"', chunk.group(1)).group(1))
                (attributes, inner), _ = block(chunk.group(1), chunk.group(2), width)
                out = out[:chunk.start()] + chunk.group(1) + inner + "</chunk>" + out[chunk.end():]
            new_head = re.sub(r'\s(encoding|compression)="[^"]*"', "", head)
            return new_head.replace("<data", "<data" + attributes, 1) + out + "</data>"
        width = int(match.group(0) and re.search(r'width="(\d+)"', text[:match.start()].rsplit("<layer", 1)[1]).group(1))
        (attributes, inner), _ = block(head, body, width)
        return "<data" + attributes + ">" + inner + "</data>"

    text = re.sub(r'(<data[^>]*>)(.*?)</data>', layer, text, flags=re.S)
    open(target, "w", encoding="utf-8").write(text)


if __name__ == "__main__":
    main()
