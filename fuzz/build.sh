#!/usr/bin/env bash
# Builds the reader's fuzz target with clang and libFuzzer (outside the
# normal build and test run).
#   fuzz/build.sh [OUTDIR]          -> OUTDIR/fuzz_xls_reader (default build/fuzz)
# Run:  OUTDIR/fuzz_xls_reader -workers=1 -jobs=1 -max_total_time=1800 \
#         -timeout=10 -rss_limit_mb=2048 CORPUSDIR ../shared/xls-corpus
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="$here/../src"
out="${1:-$here/../build/fuzz}"
mkdir -p "$out"
sources=("$src"/workbook/xls/*.cpp "$src"/workbook/formula/*.cpp "$src/workbook/cellref.cpp"
  "$src/workbook/celltext.cpp" "$src/workbook/dateformat.cpp")
# shellcheck disable=SC2046
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined \
  -fno-sanitize-recover=undefined -DQT_NO_KEYWORDS \
  -I"$src" $(pkg-config --cflags Qt6Core libgsf-1) \
  "${sources[@]}" "$here/fuzz_xls_reader.cpp" \
  $(pkg-config --libs Qt6Core libgsf-1) -o "$out/fuzz_xls_reader"
echo "$out/fuzz_xls_reader"
