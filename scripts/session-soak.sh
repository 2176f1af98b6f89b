#!/usr/bin/env bash
# Long random user sessions in the real main window (session_test) under Wine.
#   scripts/session-soak.sh [SEEDS] [STEPS]
# SEEDS is one seed or FIRST-LAST (default 1-20), STEPS the steps of each
# session (default 2000). Builds the test in the preset named by PRESET
# (default win64) first. A failure names its seed and step; the same seed
# alone repeats it: scripts/session-soak.sh SEED STEPS
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${PRESET:-win64}
cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target session_test
export TV_SESSION_SEEDS=${1:-1-20}
export TV_SESSION_STEPS=${2:-2000}
exec scripts/wine-run "build/$preset/bin/session_test.exe" --gtest_brief=0
