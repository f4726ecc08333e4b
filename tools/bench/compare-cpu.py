#!/usr/bin/env python3
"""Processor time of commands run in turn, the way the operating system accounts a finished process.

Usage: compare-cpu.py RUNS NAME COMMAND [NAME COMMAND ...] NAME_BASE COMMAND_BASE
Each command (one string, split into words as a shell would, without a shell) runs once unrecorded to warm
the caches, then RUNS times in turn with the others, in the given order and the reverse by turns (A B C,
C B A, ...), so that a machine whose speed drifts affects all alike and none always follows the same one.
Prints the median, lowest and highest user + system time of each, its median wall time, and the ratio of
each to the last command, of the medians and the median of the ratios round by round.
"""
import os
import shlex
import statistics
import subprocess
import sys
import time


def run(argv):
    """User plus system seconds of one run and its wall seconds; stops on a failed run."""
    start = time.monotonic()
    process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"compare-cpu: {' '.join(argv)} ended with {code}")
    return usage.ru_utime + usage.ru_stime, wall


def main():
    if len(sys.argv) < 6 or len(sys.argv) % 2 != 0:
        sys.exit(__doc__)
    runs = int(sys.argv[1])
    commands = [(name, shlex.split(command)) for name, command in zip(sys.argv[2::2], sys.argv[3::2])]
    cpu = {name: [] for name, _ in commands}
    wall = {name: [] for name, _ in commands}
    for round_number in range(runs + 1):
        for name, argv in commands if round_number % 2 == 0 else commands[::-1]:
            seconds, elapsed = run(argv)
            if round_number > 0:
                cpu[name].append(seconds)
                wall[name].append(elapsed)
    print(f"{'':12} {'cpu ms, median':>15} {'min':>7} {'max':>7} {'wall ms':>9}   ({runs} runs each)")
    for name, _ in commands:
        values = cpu[name]
        print(f"{name:12} {1000 * statistics.median(values):15.1f} {1000 * min(values):7.1f} "
              f"{1000 * max(values):7.1f} {1000 * statistics.median(wall[name]):9.0f}")
    base = commands[-1][0]
    for name, _ in commands[:-1]:
        pairwise = statistics.median(x / y for x, y in zip(cpu[name], cpu[base]))
        print(f"ratio {name} / {base}: {statistics.median(cpu[name]) / statistics.median(cpu[base]):.2f} of the "
              f"medians, {pairwise:.2f} pair by pair")


if __name__ == "__main__":
    main()
