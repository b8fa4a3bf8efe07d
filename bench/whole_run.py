#!/usr/bin/env python3
"""Whole-process benchmark of vantor at full size (200,000 points).

Generates the input files in a temporary folder (never committed), runs each
scenario several times as a whole process with the answers on standard input,
and reports the median wall time, the spread, the peak memory and the ratio to
the floor: a minimal program that only reads the same two files and writes the
same number of product lines.

    python3 bench/whole_run.py --vantor build/bench/vantor --floor build/bench/bench/vantor_floor
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

N = 200_000


def write_table(path, points):
    with open(path, "w") as f:
        f.write("".join("%.6e %.6e\n" % p for p in points))


def make_files(d):
    rnd = random.Random(11)
    lin_r = [(1 + i * 0.1, 1 + (i % 97) * 0.01) for i in range(N)]
    lin_e = [(1.05 + i * 0.1, 0.01 + (i % 13) * 0.001) for i in range(N)]
    log_r = [(10 * 2000 ** (i / (N - 1)), 1 + (i % 89) * 0.01) for i in range(N)]
    log_e = [(10.001 * 2000 ** (i / (N - 1)), 0.02) for i in range(N)]
    shuffled = lin_r[:]
    rnd.shuffle(shuffled)
    above = [(1e6 + i, 0.01) for i in range(N)]
    files = {
        "lin_r": lin_r, "lin_e": lin_e, "log_r": log_r, "log_e": log_e,
        "shuffled_r": shuffled, "above_e": above, "descending_e": lin_e[::-1],
    }
    for name, pts in files.items():
        write_table(os.path.join(d, name), pts)


# name, response, excitation, answers after the three names
SCENARIOS = [
    ("linear, matching", "lin_r", "lin_e", "2 2"),
    ("log-spaced, matching", "log_r", "log_e", "2 2"),
    ("linear, resampled (grid 199,980)", "lin_r", "lin_e", "1 0.10001 2"),
    ("linear, with breakpoints", "lin_r", "lin_e", "2 1 b"),
    ("shuffled response", "shuffled_r", "lin_e", "2 2"),
    ("excitation above the response", "lin_r", "above_e", "2 2"),
    ("descending excitation", "lin_r", "descending_e", "2 2"),
]


def run_once(cmd, cwd, stdin_text):
    start = time.perf_counter()
    p = subprocess.Popen(cmd, cwd=cwd, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, start_new_session=True)
    p.stdin.write(stdin_text.encode())
    p.stdin.close()
    _, status, usage = os.wait4(p.pid, 0)
    elapsed = time.perf_counter() - start
    p.returncode = os.waitstatus_to_exitcode(status)
    return elapsed, usage.ru_maxrss / 1024.0, p.returncode


def measure(cmd, cwd, stdin_text, runs):
    times, peak = [], 0.0
    for _ in range(runs):
        t, mem, rc = run_once(cmd, cwd, stdin_text)
        if rc != 0:
            sys.exit("%s exited with %d" % (cmd[0], rc))
        times.append(t)
        peak = max(peak, mem)
    return statistics.median(times), min(times), max(times), peak


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--generate":
        make_files(sys.argv[2])
        return
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--vantor", required=True)
    ap.add_argument("--floor", required=True)
    ap.add_argument("--runs", type=int, default=7)
    args = ap.parse_args()
    vantor = os.path.abspath(args.vantor)
    floor = os.path.abspath(args.floor)
    with tempfile.TemporaryDirectory(prefix="vantor-bench-") as d:
        # Generated in a process of its own, so that this one stays small and
        # the children's peak memory is theirs alone.
        subprocess.run([sys.executable, __file__, "--generate", d], check=True)
        print("%-36s %9s %17s %9s %9s %7s" % ("scenario", "median", "spread", "peak MB", "floor", "ratio"))
        base = None
        for name, r, e, rest in SCENARIOS:
            med, lo, hi, peak = measure([vantor], d, "%s %s o %s\n" % (r, e, rest), args.runs)
            fmed, _, _, _ = measure([floor, r, e, "f"], d, "", args.runs)
            base = base or med
            print("%-36s %7.1fms %7.1f-%6.1fms %9.1f %7.1fms %7.2f" %
                  (name, med * 1e3, lo * 1e3, hi * 1e3, peak, fmed * 1e3, med / fmed))
        print("(ratio: vantor's median over the floor's on the same files; the first row is the ordered matching case)")


if __name__ == "__main__":
    main()
