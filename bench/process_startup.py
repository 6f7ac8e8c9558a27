#!/usr/bin/env python3
"""Times the shell's whole start-up against a bare Qt program, in turns.

Each round runs three programs offscreen, one after the other: the shell
with its own costs server, the shell given an external costs server
(--costs, one server started here for all rounds) and the bare program with
as many widgets. Each shows its window, waits the same 300 ms, writes a PNG
and exits; that common wait is taken out of every time, so the ratios
compare what each program does besides waiting.
Prints one JSON object: the times of every round in milliseconds.
Usage: process_startup.py BIN_DIR DATABASE [ROUNDS]
"""
import json
import os
import subprocess
import sys
import tempfile
import time

COMMON_WAIT_MS = 300.0


def timed(cmd, env):
    start = time.perf_counter()
    subprocess.run(cmd, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return (time.perf_counter() - start) * 1000.0 - COMMON_WAIT_MS


def external_server(bin_dir, database):
    server = subprocess.Popen([os.path.join(bin_dir, "costs_server"), "--db", "sqlite:" + database,
                               "--listen", "127.0.0.1:0"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              text=True)
    line = server.stdout.readline().split()  # LISTENING ADDRESS PORT
    if len(line) != 3 or line[0] != "LISTENING":
        server.kill()
        sys.exit("costs_server did not start")
    return server, f"{line[1]}:{line[2]}"


def main():
    bin_dir, database = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 9
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    server, address = external_server(bin_dir, database)
    try:
        with tempfile.TemporaryDirectory() as tmp:
            env["XDG_CONFIG_HOME"] = os.path.join(tmp, "config")
            shell = [os.path.join(bin_dir, "shell"), "--open", "XEV01700", "--db", "sqlite:" + database,
                     "--screenshot", os.path.join(tmp, "shell.png")]
            bare = [os.path.join(bin_dir, "bare_window"), "--screenshot", os.path.join(tmp, "bare.png")]
            timed(shell, env)  # warm the file cache and the costs server's program
            own, external, limit = [], [], []
            for _ in range(rounds):
                own.append(timed(shell, env))
                external.append(timed(shell + ["--costs", address], env))
                limit.append(timed(bare, env))
    finally:
        server.terminate()
        server.wait()
    print(json.dumps({"own_server_ms": own, "external_server_ms": external, "bare_ms": limit,
                      "common_wait_ms": COMMON_WAIT_MS}))


if __name__ == "__main__":
    main()
