#!/usr/bin/python3
"""Times `velmora-xls dump` against python3-xlrd and npm's xlsx printing the
same JSON lines for the same workbook, in one run, and prints the ratios.

Usage: compare_dump.py VELMORA_XLS WORKBOOK [NODE_MODULES]
Each reader runs three times; the median wall-clock time and the median
CPU time (user + system) are reported.
"""
import os
import resource
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def measure(command, env=None):
    walls, cpus = [], []
    for _ in range(3):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, check=True, env=env)
        walls.append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
    return statistics.median(walls), statistics.median(cpus)


def main():
    tool, workbook = sys.argv[1], sys.argv[2]
    modules = sys.argv[3] if len(sys.argv) > 3 else ""
    readers = [("velmora-xls dump", [tool, "dump", workbook], None),
               ("python3 + xlrd", ["/usr/bin/python3", os.path.join(HERE, "xlrd_dump.py"), workbook], None)]
    if modules and os.path.isdir(os.path.join(modules, "xlsx")):
        env = dict(os.environ, NODE_PATH=modules)
        readers.append(("node + xlsx", ["node", os.path.join(HERE, "xlsx_dump.js"), workbook], env))
    else:
        print("npm's xlsx is not available: its comparison is left out")
    results = [(name, *measure(cmd, env)) for name, cmd, env in readers]
    print("%-18s %10s %10s" % ("reader", "wall s", "cpu s"))
    for name, wall, cpu in results:
        print("%-18s %10.3f %10.3f" % (name, wall, cpu))
    ours = results[0]
    for name, wall, cpu in results[1:]:
        print("velmora-xls dump is %.1fx faster than %s (wall), %.1fx (cpu)"
              % (wall / ours[1], name, cpu / ours[2]))


if __name__ == "__main__":
    main()
