#!/usr/bin/env python3
"""Wall time of isotri-plot drawing the README's cubic example as PNG against writing it as JSON.

Runs the commands interleaved, --runs times each, and prints the medians and their ratio. Give
--plot more than once to compare builds under the same load. On a machine busy with other work
the second core is rarely free; --realtime runs each command under `chrt -f 10` (root only), so
that it gets both cores as on a quiet machine.

Usage: scripts/png_timing.py [--runs N] [--plot PATH]... [--realtime] [isotri-plot options...]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

MODEL = "Полная кубическая модель Шеффе"
COEFS = "3.1 1.2 2.4 4.5 -6 2.2 7.5 -3 5 20"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=31)
    parser.add_argument("--plot", action="append")
    parser.add_argument("--realtime", action="store_true")
    args, extra = parser.parse_known_args()
    plots = args.plot or [os.path.join(root, "build", "bin", "isotri-plot")]
    prefix = ["chrt", "-f", "10"] if args.realtime else []
    with tempfile.TemporaryDirectory() as folder:
        commands = []
        for plot in plots:
            base = prefix + [plot, "--model", MODEL, "--coefs", COEFS, "--lines", "7"] + extra
            for ext in ("json", "png"):
                commands.append((plot, ext, base + ["-o", os.path.join(folder, "cubic." + ext)]))
        times = {(plot, ext): [] for plot, ext, _ in commands}
        for _, _, command in commands:  # warms the page cache
            subprocess.run(command, check=True)
        for _ in range(args.runs):
            for plot, ext, command in commands:
                start = time.perf_counter()
                subprocess.run(command, check=True)
                times[plot, ext].append(time.perf_counter() - start)
    for plot in plots:
        json_ms = statistics.median(times[plot, "json"]) * 1000
        png_ms = statistics.median(times[plot, "png"]) * 1000
        print(f"{plot}: json {json_ms:.2f} ms  png {png_ms:.2f} ms  ratio {png_ms / json_ms:.3f}"
              f"  (medians of {args.runs} interleaved runs)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
