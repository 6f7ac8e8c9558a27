#!/usr/bin/env python3
"""Times the shell's whole start-up against a bare Qt program, in turns.

Both run offscreen, show their window, wait the same 300 ms and write a PNG.
Prints one JSON object with the median wall times in milliseconds.
Usage: process_startup.py BIN_DIR DATABASE [RUNS]
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time


def timed(cmd, env):
    start = time.perf_counter()
    subprocess.run(cmd, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return (time.perf_counter() - start) * 1000.0


def main():
    bin_dir, database = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 7
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    with tempfile.TemporaryDirectory() as tmp:
        env["XDG_CONFIG_HOME"] = os.path.join(tmp, "config")
        shell = [os.path.join(bin_dir, "shell"), "--open", "XEV01700", "--db", "sqlite:" + database,
                 "--screenshot", os.path.join(tmp, "shell.png")]
        bare = [os.path.join(bin_dir, "bare_window"), "--screenshot", os.path.join(tmp, "bare.png")]
        timed(shell, env)  # warm the file cache and the costs server's program
        shell_times, bare_times = [], []
        for _ in range(runs):
            shell_times.append(timed(shell, env))
            bare_times.append(timed(bare, env))
    print(json.dumps({"shell_ms": statistics.median(shell_times), "bare_ms": statistics.median(bare_times),
                      "runs": runs}))


if __name__ == "__main__":
    main()
