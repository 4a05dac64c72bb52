#!/usr/bin/python3
"""Times Debian python3-scipy's sosfiltfilt on the traces of BM_Filter24PanesHourBandPass4ZeroPhase
(bench/sigproc_filter.cpp): 24 panes of one hour at 100 samples/s, order 4
band-pass 0.5-5 Hz, zero phase. Prints the best and median real time and the median CPU time
of several runs in ms (on a shared machine the CPU time is the fair figure)."""

import statistics
import sys
import time

import numpy as np
from scipy import signal

PANES = 24
SAMPLES = 360_000


def traces():
    """The same linear congruential noise plus sine as the C++ benchmark."""
    state = np.array([1000 + p for p in range(PANES)], dtype=np.uint32)
    noise = np.empty((PANES, SAMPLES), dtype=np.float32)
    a, c = np.uint32(1664525), np.uint32(1013904223)
    with np.errstate(over="ignore"):
        for i in range(SAMPLES):
            state = state * a + c
            noise[:, i] = (state >> 9).astype(np.float32) / np.float32(8388608.0)
    sine = np.sin(0.01 * np.arange(SAMPLES)).astype(np.float32)
    return (sine[None, :] + noise - np.float32(0.5)).astype(np.float32)


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    x = traces()
    sos = signal.butter(4, [0.5, 5.0], btype="bandpass", fs=100.0, output="sos")
    times, cpu = [], []
    for _ in range(runs):
        start, start_cpu = time.perf_counter(), time.process_time()
        for p in range(PANES):
            signal.sosfiltfilt(sos, x[p])
        times.append((time.perf_counter() - start) * 1000.0)
        cpu.append((time.process_time() - start_cpu) * 1000.0)
    print(f"sosfiltfilt 24 panes x 1 h at 100/s: real best {min(times):.1f} ms, "
          f"median {statistics.median(times):.1f} ms; CPU median {statistics.median(cpu):.1f} ms "
          f"over {runs} runs")


if __name__ == "__main__":
    main()
