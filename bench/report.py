#!/usr/bin/env python3
"""Prints one Markdown table of Google Benchmark results.

    report.py BASELINES RESULT.json...

Each row: the program, the benchmark, its real time per iteration, and for a
benchmark named in BASELINES the time of its straightforward counterpart and
how many times faster it is (both from the same run)."""
import json
import os
import sys

UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def seconds(result):
    return result["real_time"] * UNITS[result.get("time_unit", "ns")]


def shown(value):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if value >= scale:
            return "%.3g %s" % (value / scale, unit)
    return "%.3g ns" % (value / 1e-9)


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    pairs = {}
    with open(argv[1], encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if len(words) == 2 and not line.startswith("#"):
                pairs[words[0]] = words[1]
    rows = []
    for path in argv[2:]:
        program = os.path.splitext(os.path.basename(path))[0]
        with open(path, encoding="utf-8") as f:
            results = json.load(f).get("benchmarks", [])
        # Plain iterations only (no aggregates), errors shown as such.
        times = {}
        for r in results:
            if r.get("run_type", "iteration") != "iteration":
                continue
            if r.get("error_occurred"):
                rows.append((program, r["name"], "error: " + r.get("error_message", ""), "", ""))
                continue
            times[r["name"]] = seconds(r)
            rows.append((program, r["name"], None, None, None))
        for i, row in enumerate(rows):
            if row[0] != program or row[2] is not None:
                continue
            name = row[1]
            base = pairs.get(name)
            if base in times:
                rows[i] = (program, name, shown(times[name]), "%s (%s)" % (base, shown(times[base])),
                           "%.1f× faster" % (times[base] / times[name]))
            else:
                rows[i] = (program, name, shown(times[name]), "", "")
    header = ("program", "benchmark", "time", "straightforward way", "ratio")
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---" for _ in header) + "|")
    for row in rows:
        print("| " + " | ".join(row) + " |")


if __name__ == "__main__":
    main(sys.argv)
