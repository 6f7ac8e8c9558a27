#!/usr/bin/env python3
"""Prints the start-up and fixed-cost table: each row's figure against its
limit as the median of the ratios of interleaved rounds, their spread
(lowest and highest round) and the target.

Rounds come from three kinds of files bench/run leaves in its folder:
Google Benchmark JSON run with repetitions (NAME.json, one repetition a
round), process.json (process_startup.py) and the "ROUND KEY VALUE LIMIT"
lines the programs that time their own limit print (NAME.txt).
Usage: table.py FOLDER
"""
import json
import os
import statistics
import sys

RR = "iterations:3/real_time"
# (what, limit, source, target, stretch); a target in ms when the source
# has no limit (ratio None).
ROWS = [
    ("Whole process, own costs server", "bare Qt program, 82 widgets",
     ("process", "own_server_ms"), 1.3, 1.2),
    ("Whole process, external costs server", "same",
     ("process", "external_server_ms"), 1.2, None),
    ("Screen open in the process", "bare window, same widgets",
     ("gbench", "bench_screen", "BM_OpenScreen", "BM_BareWindow"), 1.5, None),
    ("Standard report, 100,000 cost rows", "sqlite3 shell, same statements",
     ("gbench", "bench_report_sql", f"BM_ReportRunner/100000/{RR}", f"BM_Sqlite3Shell/100000/{RR}"), 1.1, None),
    ("Standard report, 1,000,000 cost rows", "same",
     ("gbench", "bench_report_sql", f"BM_ReportRunner/1000000/{RR}", f"BM_Sqlite3Shell/1000000/{RR}"), 1.1, None),
    ("An empty report to PDF (CPU)", "bare QPdfWriter, same texts",
     ("rounds", "pdf-empty"), 1.5, None),
    ("CSV export, 100,000 rows (CPU)", "bare loop, same cells",
     ("rounds", "csv-100000"), 1.2, None),
    ("XLSX export, 100,000 rows (CPU)", "bare libxlsxwriter loop",
     ("rounds", "xlsx-100000"), 1.2, None),
    ("Look-up first page, 1M products, PostgreSQL", "(ms, no limit)",
     ("rounds", "lookup-first-page-pg"), 100.0, None),
]


def gbench_rounds(folder, name, figure, limit):
    path = os.path.join(folder, name + ".json")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        runs = [b for b in json.load(f).get("benchmarks", []) if b.get("run_type", "iteration") == "iteration"]
    unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1000.0}

    def times(n):
        return [b["real_time"] * unit[b.get("time_unit", "ns")]
                for b in sorted((b for b in runs if b["name"] == n), key=lambda b: b.get("repetition_index", 0))]
    return list(zip(times(figure), times(limit)))


def process_rounds(folder, key):
    path = os.path.join(folder, "process.json")
    if not os.path.exists(path):
        return []
    with open(path) as f:
        p = json.load(f)
    return list(zip(p.get(key, []), p.get("bare_ms", [])))


def line_rounds(folder, key):
    pairs = []
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".txt"):
            continue
        with open(os.path.join(folder, name), errors="replace") as f:
            for line in f:
                parts = line.split()
                if len(parts) == 4 and parts[0] == "ROUND" and parts[1] == key:
                    pairs.append((float(parts[2]), float(parts[3])))
    return pairs


def rounds_of(folder, source):
    kind = source[0]
    if kind == "gbench":
        return gbench_rounds(folder, *source[1:])
    if kind == "process":
        return process_rounds(folder, source[1])
    return line_rounds(folder, source[1])


def row(what, limit, pairs, target, stretch):
    if not pairs:
        print(f"{what:<46} {limit:<32} not measured in this run")
        return
    absolute = all(lim == 0 for _, lim in pairs)
    values = [v if absolute else v / lim for v, lim in pairs]
    mid, low, high = statistics.median(values), min(values), max(values)
    unit = " ms" if absolute else "×"
    verdict = "met" if mid <= target else "NOT met"
    goal = f"{'<' if absolute else '≤'} {target:g}{unit}" + (f", stretch {stretch:g}{unit}" if stretch else "")
    print(f"{what:<46} {limit:<32} {mid:7.2f}{unit}  spread {low:.2f}–{high:.2f} over {len(values):2d} rounds  "
          f"target {goal}: {verdict}")


def main():
    folder = sys.argv[1]
    for what, limit, source, target, stretch in ROWS:
        row(what, limit, rounds_of(folder, source), target, stretch)


if __name__ == "__main__":
    main()
