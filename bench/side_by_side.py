#!/usr/bin/python3
"""Two builds of vellicor_bench in one run: rounds that alternate the two binaries, so that load
on a shared machine falls on both alike. Prints a Markdown table of each benchmark's median CPU
time over the rounds (each round itself the median of its repetitions) and the paired ratio
(new / old in the same round, median and range over the rounds).

    bench/side_by_side.py OLD_BENCH NEW_BENCH [ROUNDS] [FILTER]

FILTER is a --benchmark_filter regex; by default the compressor at the six windows and the
index's build. With LOWEST=1 in the environment, each figure is instead the lowest CPU time of
any repetition in any round, which a busy host disturbs least."""
import json
import os
import statistics
import subprocess
import sys
import tempfile


# Each figure: the lowest of the times, or their median.
pick = min if os.environ.get("LOWEST") == "1" else statistics.median


def run(binary, pattern):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([binary, "--benchmark_filter=" + pattern, "--benchmark_repetitions=5",
                        "--benchmark_min_time=0.1", "--benchmark_out_format=json",
                        "--benchmark_out=" + out.name],
                       check=True, stdout=subprocess.DEVNULL)
        report = json.load(open(out.name))
    per_us = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
    times = {}
    for b in report["benchmarks"]:
        if b.get("run_type") == "iteration":
            times.setdefault(b["run_name"], []).append(b["cpu_time"] * per_us[b["time_unit"]])
    return {name: pick(values) for name, values in times.items()}


def main():
    old, new = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    pattern = sys.argv[4] if len(sys.argv) > 4 else r"/lzc [0-9]+$|/index build$"
    times = {old: [], new: []}
    for _ in range(rounds):
        for binary in (old, new):
            times[binary].append(run(binary, pattern))
    print("| benchmark | old (µs) | new (µs) | new / old | range |")
    print("|---|---:|---:|---:|---:|")
    for name in times[new][0]:
        before = [r[name] for r in times[old]]
        after = [r[name] for r in times[new]]
        ratios = sorted(a / b for a, b in zip(after, before))
        print(f"| {name} | {pick(before):.0f} | {pick(after):.0f} | "
              f"{statistics.median(ratios):.2f} | {ratios[0]:.2f}–{ratios[-1]:.2f} |")


main()
