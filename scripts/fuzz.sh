#!/usr/bin/env bash
# Fuzzes the data-file reader for SECONDS seconds (default 60) with the
# clang build of preset fuzz. Exits non-zero when the fuzzer finds a crash;
# the crashing input is then kept in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target fuzz_data_file

# New inputs go to a scratch corpus, so the seeds in the repository stay as they are.
work=build/fuzz/corpus
mkdir -p "$work" build/fuzz/artifacts
build/fuzz/bin/fuzz_data_file -max_total_time="$seconds" -max_len=4096 -timeout=10 -dict=fuzz/data_file.dict \
  -artifact_prefix=build/fuzz/artifacts/ -print_final_stats=1 "$work" fuzz/corpus
