#!/usr/bin/env bash
# Builds the optimised preset bench and runs the data-file benchmark, then
# the benchmark of tvd add-names and export against resave.
# Exits non-zero when a check fails (time not linear, load too slow, memory
# too high, a tvd command slower than twice resave).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target bench_data_file bench_rosters
status=0
build/bench/bin/bench_data_file || status=1
echo
build/bench/bin/bench_rosters || status=1
exit $status
