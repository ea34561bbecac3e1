#!/usr/bin/env python3
"""Times sismora.read of a K-NET set of three components of 30,000 samples (300 s at 100 Hz),
written to a temporary folder first. The target is 10 ms a read.

Usage: PYTHONPATH=python SISMORA_LIBRARY=build/bin/libsismora.so.1 \\
       SISMCALC_LIBRARY=build/bin/libsismcalc.so.1 python3 bench/python/read_bench.py [REPEATS]
"""

import os
import statistics
import sys
import tempfile
import time

import numpy as np

import sismora

SAMPLES = 30000
HEADER = """Origin Time       2020/01/01 00:00:00
Lat.              38.0
Long.             142.0
Depth. (km)       40
Mag.              6.5
Station Code      XXX001
Station Lat.      38.5000
Station Long.     141.5000
Station Height(m) 10
Record Time       2020/01/01 00:00:15
Sampling Freq(Hz) 100Hz
Duration Time(s)  300
Dir.              {direction}
Scale Factor      3920(gal)/6182761
Max. Acc. (gal)   {peak:.3f}
Last Correction   2020/01/01 00:00:15
Memo.
"""


def write_set(folder):
    rng = np.random.default_rng(1)
    t = np.arange(SAMPLES) / 100
    envelope = np.exp(-((t - 60) / 20) ** 2)
    scale = 3920 / 6182761
    for ext, direction in (("NS", "N-S"), ("EW", "E-W"), ("UD", "U-D")):
        counts = np.round(envelope * rng.normal(0, 50000, SAMPLES)).astype(np.int64)
        lines = [HEADER.format(direction=direction, peak=np.abs(counts).max() * scale)]
        for i in range(0, SAMPLES, 8):
            lines.append("".join(f"{c:9d}" for c in counts[i:i + 8]) + " \n")
        with open(os.path.join(folder, f"XXX0012001010000.{ext}"), "w") as f:
            f.write("".join(lines))
    return os.path.join(folder, "XXX0012001010000.NS")


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 50
    with tempfile.TemporaryDirectory() as folder:
        path = write_set(folder)
        rec = sismora.read(path)  # loads the libraries
        assert rec.data.shape == (SAMPLES, 3), rec.data.shape
        times, cpu = [], []
        for _ in range(repeats):
            start, start_cpu = time.perf_counter(), time.thread_time()
            sismora.read(path)
            times.append(time.perf_counter() - start)
            cpu.append(time.thread_time() - start_cpu)
    # The processor time shows the cost on a machine that others share.
    print(f"sismora.read of a 3 x {SAMPLES} K-NET set: median {statistics.median(times) * 1e3:.2f} ms, "
          f"best {min(times) * 1e3:.2f} ms, median processor time {statistics.median(cpu) * 1e3:.2f} ms "
          f"over {repeats} reads (target 10 ms)")


if __name__ == "__main__":
    main()
