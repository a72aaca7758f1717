#!/usr/bin/env bash
# Runs the benchmark programs under Wine on a virtual display and prints their tables:
#     scripts/bench.sh [program [args...]]     default: the whole program over many memos
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
prepare
trap 'stop_wine; stop_display' EXIT
program=${1:-pinova_program_bench}
shift || true
wine64 "build/tests/$program.exe" "$@"
