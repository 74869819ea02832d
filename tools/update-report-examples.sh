#!/bin/sh
# Writes the example blocks of docs/report.md anew: each becomes what the
# program writes today for the fixture its marker names (the guide's test,
# ReportGuide, does the work).  Review the diff before committing it.
# Usage: tools/update-report-examples.sh [BUILD-FOLDER]   (default: build)
set -eu
cd "$(dirname "$0")/.."
BUILD=${1:-build}
cmake --build "$BUILD" --target quiddity quiddity_tests >/dev/null
if ! log=$(QUIDDITY_UPDATE_GUIDE=1 "$BUILD/tests/quiddity_tests" --gtest_filter='ReportGuide.*' 2>&1); then
    # The examples are written even so; what is left is for a person to mend.
    printf '%s\n' "$log" | grep -v '^\[' >&2
    status=1
fi
git --no-pager diff --stat -- docs/report.md
exit "${status:-0}"
