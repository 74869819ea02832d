#!/bin/sh
# Rewrites the golden reports of tests/golden from the program's current
# output, after an intended change; review the diff before committing it.
# A golden NAME.report pins tests/fixtures/NAME.  Given fixture paths
# (relative to tests/fixtures), adds goldens for them too.
# Usage: tools/update-golden.sh [BUILD] [FIXTURE...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[ $# -gt 0 ] && shift
program="$root/$build/quiddity"
[ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }
fixtures="$root/tests/fixtures"
golden="$root/tests/golden"

write_one() {
    mkdir -p "$(dirname "$golden/$1.report")"
    # The same settings the golden test sets for itself.
    TZ=UTC LANG=C LC_ALL=C "$program" --format=text --no-file-info "$fixtures/$1" |
        sed "s|^Path: $fixtures/|Path: FIXTURES/|" >"$golden/$1.report"
}

for fixture in "$@"; do write_one "$fixture"; done
find "$golden" -name '*.report' | sort | while read -r report; do
    name=${report#"$golden/"}
    write_one "${name%.report}"
done
