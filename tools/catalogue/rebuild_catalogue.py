#!/usr/bin/env python3
"""Rebuilds the moveable sections of data/trcatalog.xml from cross-checked id tables.

usage: rebuild_catalogue.py TABLE_FOLDER CATALOGUE

TABLE_FOLDER holds tr1.tsv .. trc.tsv (id, name, sources, confidence; tab-separated). Every id of a
table gets the table's name (low-confidence names end in "?"); ids the catalogue names and the table
does not are kept. The file keeps its line forms (CR LF, the per-game moveables lines) that the
editor matches line by line.
"""
import csv
import re
import sys
from pathlib import Path

TABLES = {"TR1": "tr1.tsv", "TR2": "tr2.tsv", "TR3": "tr3.tsv", "TR4": "tr4.tsv", "TRC": "trc.tsv"}
ENTRY = re.compile(r'^\t\t<moveable id="(\d+)" name="([^"]*)"/>$')


def read_table(path):
    names = {}
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f, delimiter="\t"):
            name = row["name"].strip()
            if '"' in name or not name:
                raise SystemExit(f"{path}: id {row['id']}: a name may not be empty or hold a double quote")
            if row["confidence"].strip() == "low" and not name.endswith("?"):
                name += "?"
            names[int(row["id"])] = name
    return names


def main():
    folder, catalogue = Path(sys.argv[1]), Path(sys.argv[2])
    lines = catalogue.read_bytes().decode("ascii").split("\r\n")
    out, game, entries = [], None, None
    for line in lines:
        m = re.match(r'^<game id="(\w+)">$', line)
        if m:
            game = m.group(1)
        if game in TABLES and entries is not None and line == "\t</moveables>":
            table = read_table(folder / TABLES[game])
            merged = {**entries, **table}
            out.extend(f'\t\t<moveable id="{i}" name="{merged[i]}"/>' for i in sorted(merged))
            entries = None
        if entries is not None:
            e = ENTRY.match(line)
            if e:
                entries[int(e.group(1))] = e.group(2)
            elif line:
                raise SystemExit(f"unexpected line in the {game} section: {line!r}")
            continue
        out.append(line)
        if game in TABLES and line.startswith("\t<moveables"):
            entries = {}
    catalogue.write_bytes("\r\n".join(out).encode("ascii"))


if __name__ == "__main__":
    main()
