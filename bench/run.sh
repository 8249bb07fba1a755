#!/usr/bin/env bash
# What `make bench` runs after building velmora, velmora-xls and the bench/
# programs (this script builds nothing):
#   bench/run.sh BUILD_DIR
# 1. velmora_bench: opening the class workbook, reading and storing a record
#    card, a save against a plain write + fsync of the same bytes, and the
#    save's two halves (building the file, the atomic save of its bytes);
# 2. velmora-xls dump of a large workbook written by python3-xlwt (the file
#    is kept in BUILD_DIR/bench-data) against python3-xlrd reading every
#    cell, whole processes, and npm's xlsx (installed into BUILD_DIR/bench-npm
#    on first use), with ratios and peak memory;
# 3. velmora_sheetbench: the sheet window's full repaint and a 50 x 13 paste,
#    each against a QTableWidget doing the same, the paste also into the
#    shipped template with its formulas;
# 4. formulas: full recalculation and one write with its dependents, against
#    npm's HyperFormula computing the same workloads (see below);
# 5. velmora_commentbench: the comment writer reading a class's comments,
#    against the same cells read straight from the engine.
# 6. start-up and the record card as the teacher feels them, on an X server
#    of their own (xvfb-run): velmora_startbench execs velmora and clicks 确定
#    and velmora_cardbench clicks the record card's look-up and store
#    (embedded host, and LibreOffice where it is installed).
# velmora_bench's figures are repeated (BENCH_REPETITIONS, default 5) and
# every figure is printed as min / median / max, with the load average.
set -euo pipefail
build="$(cd "${1:?usage: bench/run.sh BUILD_DIR}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

reps="${BENCH_REPETITIONS:-5}"
load() { echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"; }
# The repetitions of a Google Benchmark run in milliseconds, by name (the
# part before any "/iterations:N"): median() and spread() for the scripts below.
cat > "$work/runs.py" <<'PY'
import json, statistics
def load(path):
    runs = {}
    for b in json.load(open(path))["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        runs.setdefault(b["name"].split("/")[0], []).append(b["real_time"] * scale)
    return runs
def median(runs, name):
    return statistics.median(runs[name])
def spread(runs, name, form="%.3f"):
    v = runs[name]
    return "/".join(form % x for x in (min(v), statistics.median(v), max(v)))
PY

echo "$(load); figures are min/median/max of $reps repetitions, ms"
"$build/bin/velmora_bench" --benchmark_repetitions="$reps" \
  --benchmark_out="$work/bench.json" --benchmark_out_format=json >/dev/null
PYTHONPATH="$work" /usr/bin/python3 - "$work/bench.json" <<'PY'
import sys
from runs import load, median, spread
runs = load(sys.argv[1])
plain = median(runs, "BM_PlainWriteAndFsync")
print()
print("record card (47 cells) read: %s ms (aim: under 1 ms)" % spread(runs, "BM_ReadRecordCard"))
print("store (47 writes + save): %s ms; plain write + fsync: %s ms; ratio of medians %.2f (aim: under 2)"
      % (spread(runs, "BM_StoreRecordCard", "%.2f"), spread(runs, "BM_PlainWriteAndFsync", "%.2f"),
         median(runs, "BM_StoreRecordCard") / plain))
print("  of which building the file: %s ms; atomic save of its bytes: %s ms (ratio %.2f to plain)"
      % (spread(runs, "BM_BuildStoredFile", "%.2f"), spread(runs, "BM_AtomicSave", "%.2f"),
         median(runs, "BM_AtomicSave") / plain))
PY

npm_dir="$build/bench-npm"
if [ ! -d "$npm_dir/node_modules/xlsx" ] && command -v npm >/dev/null; then
  npm install --no-audit --no-fund --silent --prefix "$npm_dir" xlsx >/dev/null 2>&1 || true
fi
"$build/bin/velmora_bench" --write-files="$work"
if ! /usr/bin/python3 -c "import xlwt" 2>/dev/null; then
  echo "python3-xlwt is missing (make deps installs it)" >&2
  exit 1
fi
data="$build/bench-data"
mkdir -p "$data"
if [ ! -f "$data/xlwt-large.xls" ] || [ "$here/xlwt_workbook.py" -nt "$data/xlwt-large.xls" ]; then
  /usr/bin/python3 "$here/xlwt_workbook.py" "$data/xlwt-large.xls.part"
  mv "$data/xlwt-large.xls.part" "$data/xlwt-large.xls"
fi
echo
echo "dump of a workbook written by python3-xlwt (学生档案: headings, 10,000 rows x 47 columns of"
echo "different Chinese texts); $(load)"
/usr/bin/python3 "$here/compare_dump.py" "$build/bin/velmora-xls" "$data/xlwt-large.xls" "$npm_dir/node_modules"

"$build/bin/velmora_sheetbench" --benchmark_repetitions=7 \
  --benchmark_out="$work/sheet.json" --benchmark_out_format=json >/dev/null
/usr/bin/python3 - "$work/sheet.json" <<'PY'
import json, statistics, sys
# Each benchmark runs seven times: its min / median / max, and the ratio of
# the medians.
runs = {}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        runs.setdefault(b["run_name"], []).append(b["real_time"] * scale)
def spread(name):
    t = runs[name]
    return min(t), statistics.median(t), max(t)
print()
for label, ours, peer, aim in [
        ("sheet window repaint, 1920 x 1080 over 10,000 x 47", "BM_RepaintLargeSheet", "BM_RepaintLargeSheetPeer", 16),
        ("50 x 13 paste into 各科成绩!C2 with the totals' recalculation and the repaint", "BM_PasteScores", "BM_PasteScoresPeer", 50),
        ("the same paste into the template, its formulas following", "BM_PasteScoresIntoTemplate", "BM_PasteScoresPeer", 50)]:
    o, p = spread(ours), spread(peer)
    print("%s (aim: under %d ms):\n  ours %.1f / %.1f / %.1f ms (min / median / max); "
          "QTableWidget doing the same %.1f / %.1f / %.1f ms; ratio of medians %.2f"
          % ((label, aim) + o + p + (o[1] / p[1],)))
PY

# 4. Formulas: full recalculation and one write with its dependents, against
#    npm's HyperFormula (installed into BUILD_DIR/bench-npm on first use)
#    computing the same workloads in this run.
if [ ! -d "$npm_dir/node_modules/hyperformula" ] && command -v npm >/dev/null; then
  npm install --no-audit --no-fund --silent --prefix "$npm_dir" hyperformula >/dev/null 2>&1 || true
fi
echo
echo "formulas (ours against HyperFormula; ratio = ours / peer):"
PYTHONPATH="$work" /usr/bin/python3 - "$work/bench.json" "$work" "$npm_dir/node_modules" "$here/formulas_peer.js" <<'PY'
import json, os, subprocess, sys
from runs import load, median, spread
runs = load(sys.argv[1])
def ms(name):
    return median(runs, name)
modules, script = sys.argv[3], sys.argv[4]
def peer(workload):
    if not os.path.isdir(os.path.join(modules, "hyperformula")):
        return None
    out = subprocess.run(["node", script, modules, os.path.join(sys.argv[2], workload)],
                         capture_output=True, text=True)
    return json.loads(out.stdout) if out.returncode == 0 else None
def line(what, name, theirs, aim):
    ratio = "%.4f" % (ms(name) / theirs) if theirs else "n/a (peer not installed)"
    print("  %-52s ours %s ms  peer %s  ratio of medians %s  (aim: %s)"
          % (what, spread(runs, name), "%9.3f ms" % theirs if theirs else "      n/a", ratio, aim))
school, large = peer("class-formulas.json"), peer("large-formulas.json")
formulas = next(b["formulas"] for b in json.load(open(sys.argv[1]))["benchmarks"]
                if b["name"].startswith("BM_RecalculateClassFormulas"))
line("class workbook, %d formulas: full recalculation" % formulas,
     "BM_RecalculateClassFormulas", school and school["full_ms"], "under 5 ms")
line("class workbook: one write and its dependents", "BM_WriteAndDependents",
     school and school["write_ms"], "under 1 ms")
line("10,000 rows x 20 formulas: full recalculation", "BM_RecalculateLargeFormulas",
     large and large["full_ms"], "under 1 s")
print("  %-52s ours %s ms" % ("10,000 rows x 20 formulas: open and first recalculation",
                               spread(runs, "BM_OpenAndRecalculateLargeFormulas")))
PY

# 5. The comment writer reading a class of 100 students' comments (as it
#    opens and after each store) through the host, against the same cells
#    read straight from the engine; and the cost of one keystroke afterwards.
"$build/bin/velmora_commentbench" --benchmark_out="$work/comments.json" --benchmark_out_format=json >/dev/null
/usr/bin/python3 - "$work/comments.json" <<'PY'
import json, sys
runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
def ms(name):
    b = runs[name]
    return b["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
ours, peer = ms("BM_ReadClassComments"), ms("BM_ReadClassCommentsPeer")
print()
print("comment writer, 100 students: reading the class and its reuse index %.2f ms (aim: under 20 ms);"
      " the same cells straight from the engine into a plain hash %.2f ms; ratio %.2f" % (ours, peer, ours / peer))
print("  one keystroke afterwards (length and reuse line): %.3f ms" % ms("BM_ReuseLineKeystroke"))
calc = runs.get("BM_ReadClassCommentsLibreOffice/iterations:5")
if calc and not calc.get("error_occurred"):
    print("  the same class read over LibreOffice Calc: %.1f ms (ratio %.1f to the embedded host)"
          % (ms("BM_ReadClassCommentsLibreOffice/iterations:5"), ms("BM_ReadClassCommentsLibreOffice/iterations:5") / ours))
PY
# 6. Start-up and the record card, each on an X server of its own.
runs="${BENCH_RUNS_START:-5}"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
echo
echo "start-up and the record card ($(load)):"
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/velmora_startbench" --program="$build/bin/velmora" \
  --workbook="$work/class.xls" --ui="$here/../src/shell/welcomewindow.ui" --runs="$runs" --host=embedded
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/velmora_cardbench" --workbook="$work/class.xls" \
  --runs=20 --host=embedded
if command -v soffice >/dev/null; then
  xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/velmora_startbench" --program="$build/bin/velmora" \
    --workbook="$work/class.xls" --ui="$here/../src/shell/welcomewindow.ui" --runs=3 --host=libreoffice
  xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/velmora_cardbench" --workbook="$work/class.xls" \
    --runs=5 --host=libreoffice
else
  echo "LibreOffice is not installed: its start-up is left out"
fi
