#!/usr/bin/env python3
"""Prints each benchmark figure beside the limit measured in the same run.

Reads the Google Benchmark JSON files (NAME.json) that bench/run wrote into
a folder and prints one line a comparison: the figure, the limit, their
ratio and the target ratio (the whole process's start-up is in table.py).
Usage: ratios.py FOLDER
"""
import json
import os
import sys

# (what, file, benchmark, limit file, limit benchmark, target ratio); the
# other programs (long reports, search, export, costs, load) print their own
# ratios.
PAIRS = [
    ("open the screen / bare window (same widgets)", "bench_screen", "BM_OpenScreen",
     "bench_screen", "BM_BareWindow", 1.5),
    ("report over 100k cost rows / sqlite3 shell", "bench_report_sql", "BM_ReportRunner/100000/iterations:3/real_time",
     "bench_report_sql", "BM_Sqlite3Shell/100000/iterations:3/real_time", 1.3),
    ("report over 1M cost rows / sqlite3 shell", "bench_report_sql", "BM_ReportRunner/1000000/iterations:3/real_time",
     "bench_report_sql", "BM_Sqlite3Shell/1000000/iterations:3/real_time", 1.3),
    ("Firebird server: report over 1M cost rows / isql-fb", "bench_firebird",
     "BM_FirebirdReportRunner/1000000/iterations:3/real_time",
     "bench_firebird", "BM_IsqlFb/1000000/iterations:3/real_time", 1.2),
]


def load(folder, name):
    path = os.path.join(folder, name + ".json")
    if not os.path.exists(path):
        return {}
    with open(path) as f:
        data = json.load(f)
    out = {}
    # With repetitions, a benchmark's figure is the median of its rounds.
    for b in data.get("benchmarks", []):
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                out[b["run_name"]] = b
        elif out.get(b["name"], {}).get("run_type") != "aggregate":
            out[b["name"]] = b
    return out


def millis(bench):
    unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1000.0}[bench.get("time_unit", "ns")]
    return bench["real_time"] * unit


def line(what, value, limit, target, unit="ms"):
    ratio = value / limit if limit else float("nan")
    verdict = "met" if ratio <= target else "NOT met"
    print(f"{what:<52} {value:10.2f} {unit} vs {limit:10.2f} {unit}  ratio {ratio:5.2f}  "
          f"(target <= {target}: {verdict})")


def pairs(folder):
    cache = {}
    for what, f1, b1, f2, b2, target in PAIRS:
        for f in (f1, f2):
            cache.setdefault(f, load(folder, f))
        one, two = cache[f1].get(b1), cache[f2].get(b2)
        if one and two:
            line(what, millis(one), millis(two), target)


def growth(folder):
    """Valida's time a service, from the smallest to the largest list."""
    runs = {n: b for n, b in load(folder, "bench_screen").items() if n.startswith("BM_Valida/")}
    sizes = sorted((int(n.split("/")[1]), b) for n, b in runs.items() if n.split("/")[1].isdigit())
    if len(sizes) >= 2:
        (n0, b0), (n1, b1) = sizes[0], sizes[-1]
        per0, per1 = millis(b0) / n0, millis(b1) / n1
        line(f"Valida per service at {n1} / at {n0} (linear: 1)", per1 * 1000, per0 * 1000, 1.5, "us")
    big_o = runs.get("BM_Valida_BigO")
    if big_o:
        print(f"{'Valida fitted complexity':<52} {big_o.get('complexity', '?')}")


def main():
    folder = sys.argv[1]
    pairs(folder)
    growth(folder)


if __name__ == "__main__":
    main()
