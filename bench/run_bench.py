#!/usr/bin/env python3
"""How fast dice writes faces, against shuf and against a bare pipe; what the largest batch costs
in time and memory; and how fast a script of many small batches runs. Prints figures and ratios;
asserts nothing.

Usage: run_bench.py PATH_TO_DICE PATH_TO_COUNT_FACES
"""
import statistics
import subprocess
import sys
import tempfile
import time

DICE, COUNT_FACES = sys.argv[1:3]
RUNS = 5
LARGEST = 2147483647


def run_once(argv, stdin_bytes=b""):
    """Seconds and peak resident KiB of one run. The peak comes from GNU time: a child of this
    script would start from the script's own peak."""
    with tempfile.TemporaryFile() as stdin, tempfile.NamedTemporaryFile("r") as peak:
        stdin.write(stdin_bytes)
        stdin.seek(0)
        start = time.perf_counter()
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name, *argv], stdin=stdin,
                       stdout=subprocess.DEVNULL, check=True)
        elapsed = time.perf_counter() - start
        return elapsed, int(peak.read().split()[-1])


def median_of_runs(label, argv, stdin_bytes=b""):
    results = [run_once(argv, stdin_bytes) for _ in range(RUNS)]
    times = sorted(t for t, _ in results)
    median = statistics.median(times)
    print(f"{label:58} median {median:7.3f} s  runs " + " ".join(f"{t:.3f}" for t in times))
    return median, statistics.median(rss for _, rss in results)


def shell(command):
    return ["sh", "-c", command]


def main():
    a, _ = median_of_runs("(a) dice, 20,000,000 d100 > /dev/null", [DICE], b"d100 20000000 exit")
    b, _ = median_of_runs("(b) shuf -r -i 1-100 -n 20000000 > /dev/null",
                          ["shuf", "-r", "-i", "1-100", "-n", "20000000"])
    c_input = b"d100 200000000 exit"
    c_bytes = int(subprocess.run(shell(f'"{DICE}" | wc -c'), input=c_input, capture_output=True,
                                 check=True).stdout)
    c, _ = median_of_runs("(c) dice, 200,000,000 d100 | cat > /dev/null",
                          shell(f'"{DICE}" | cat > /dev/null'), c_input)
    d, _ = median_of_runs(f"(d) dd {c_bytes} bytes, 64 KiB blocks | cat > /dev/null",
                          shell(f"dd if=/dev/zero bs=64K count={c_bytes} iflag=count_bytes "
                                "status=none | cat > /dev/null"))
    e_input = b"d100 %d exit" % LARGEST
    e, e_rss = median_of_runs("(e) dice, 2,147,483,647 d100 > /dev/null", [DICE], e_input)
    counted = subprocess.run(shell(f'"{DICE}" | "{COUNT_FACES}"'), input=e_input,
                             capture_output=True, check=True).stdout.split()
    faces, out_of_range = int(counted[0]), int(counted[1])
    f, _ = median_of_runs("(f) dice, 1,000,000 'd6 1' batches from a file > /dev/null", [DICE],
                          b"d6 1\n" * 1000000 + b"exit\n")

    print()
    print(f"b/a = {b / a:6.1f}   (bar: at least 20)")
    print(f"c/d = {c / d:6.2f}   (bar: at most 3)")
    print(f"(e) {e:.2f} s, {e / LARGEST * 1e9:.2f} ns a face; peak resident {e_rss / 1024:.1f} MiB "
          f"(bar: under 8 MiB); {faces} faces written (bar: exactly {LARGEST}), "
          f"{out_of_range} outside 1..100")
    print(f"(f) {f / 1e6 * 1e9:.0f} ns a batch")


if __name__ == "__main__":
    main()
