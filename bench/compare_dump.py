#!/usr/bin/python3
"""Times `velmora-xls dump FILE > /dev/null` against python3-xlrd reading
every cell of the same file, whole processes in one run, and prints the
ratio of the medians, the noise (min / median / max) and the peak memory
(maximum resident set size, as /usr/bin/time -v reports it) against the
file's size.

Usage: compare_dump.py VELMORA_XLS WORKBOOK [NODE_MODULES]
The readers take turns, RUNS times each (environment BENCH_RUNS, default 3).
With NODE_MODULES holding npm's xlsx, node printing the same JSON lines as
the dump is timed too, as a second peer.
"""
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))

XLRD_READ = ("import xlrd,os; b=xlrd.open_workbook(FILE, logfile=open(os.devnull,'w')); "
             "n=sum(1 for s in b.sheets() for r in range(s.nrows) for c in range(s.ncols) "
             "if s.cell_value(r,c)!='')")


def run_once(command, env=None):
    """Wall seconds, CPU seconds (user + system) and peak RSS in KiB of one
    process, its output going to /dev/null."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=null, env=env)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        raise SystemExit("%s failed with %d" % (command[0], child.returncode))
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def spread(values, scale=1.0, form="%.3f"):
    return " / ".join(form % (v * scale) for v in (min(values), statistics.median(values), max(values)))


def main():
    tool, workbook = sys.argv[1], sys.argv[2]
    modules = sys.argv[3] if len(sys.argv) > 3 else ""
    runs = int(os.environ.get("BENCH_RUNS", "3"))
    # FILE is the workbook's path, as a Python string literal.
    readers = [("velmora-xls dump", [tool, "dump", workbook], None),
               ("python3 + xlrd", ["/usr/bin/python3", "-c",
                                   XLRD_READ.replace("FILE", repr(workbook))], None)]
    if modules and os.path.isdir(os.path.join(modules, "xlsx")):
        readers.append(("node + xlsx", ["node", os.path.join(HERE, "xlsx_dump.js"), workbook],
                        dict(os.environ, NODE_PATH=modules)))
    else:
        print("npm's xlsx is not available: its comparison is left out")
    results = {name: [] for name, _, _ in readers}
    for _ in range(runs):
        for name, command, env in readers:
            results[name].append(run_once(command, env))

    size = os.path.getsize(workbook)
    print("file: %.1f MB; %d runs each, taking turns; min / median / max" % (size / 1e6, runs))
    print("%-18s %-26s %-26s %s" % ("reader", "wall s", "cpu s", "peak RSS MB"))
    for name, samples in results.items():
        walls, cpus, rss = zip(*samples)
        print("%-18s %-26s %-26s %s" % (name, spread(walls), spread(cpus),
                                         spread(rss, 1024 / 1e6, "%.1f")))
    ours = [statistics.median(v) for v in zip(*results["velmora-xls dump"])]
    for name, samples in list(results.items())[1:]:
        theirs = [statistics.median(v) for v in zip(*samples)]
        aim = "; aim: 10x" if name == "python3 + xlrd" else ""
        print("velmora-xls dump is %.1fx faster than %s (median wall%s), %.1fx (median cpu)"
              % (theirs[0] / ours[0], name, aim, theirs[1] / ours[1]))
    print("velmora-xls dump peak RSS: %.2fx the file's size (median; aim: under 2x)"
          % (ours[2] * 1024 / size))


if __name__ == "__main__":
    main()
