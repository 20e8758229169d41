#!/usr/bin/env python3
"""Writes the two deeply nested result pages kept as saved-page seeds.

nested-table: 3,000 tables, each inside a cell of the one before, around
10,000 links (every link lies inside every table). nested-div: a table cell
holding 10,000 nested DIVs around one row of 2,000 cells. Both are about 60 KB; --scale 10 writes
the same shapes ten times larger.

usage: make-nested-pages.py OUTPUT_FOLDER [--scale N]
"""
import argparse
import pathlib


def nested_table(scale):
    return "<html><body>" + "<table><td>" * (3000 * scale) + "<a>" * (10000 * scale) + "</body></html>"


def nested_div(scale):
    return ("<html><body><table><tr><td>" + "<div>" * (10000 * scale) + "<table><tr>" + "<td>x" * (2000 * scale)
            + "</body></html>")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder", type=pathlib.Path)
    parser.add_argument("--scale", type=int, default=1)
    args = parser.parse_args()
    suffix = "" if args.scale == 1 else f"-x{args.scale}"
    for name, page in (("nested-table", nested_table), ("nested-div", nested_div)):
        path = args.folder / f"regression-{name}{suffix}.html"
        path.write_text(page(args.scale), encoding="ascii")
        print(path, path.stat().st_size)


if __name__ == "__main__":
    main()
