#!/usr/bin/env bash
# Builds the optimised preset bench and runs the data-file benchmark.
# Exits non-zero when a check fails (time not linear, load too slow, memory too high).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target bench_data_file
exec build/bench/bin/bench_data_file
