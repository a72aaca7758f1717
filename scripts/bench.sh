#!/usr/bin/env bash
# Runs the benchmark programs under Wine on a virtual display and prints their tables:
#     scripts/bench.sh [program [args...]]     default: the whole program beside the floor
# The machine's load before and after is printed too: the figures are only as
# quiet as the machine was.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
prepare
trap 'stop_wine; stop_display' EXIT
program=${1:-pinova_program_bench}
shift || true
# Benchmarks are not part of the default build.
cmake --build build --target "$program" -j "$(nproc)"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
wine64 "build/tests/$program.exe" "$@"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
