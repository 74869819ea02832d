#!/bin/sh
# Quiddity's speed against file(1) and against the floor, on one list of
# files measured in one run.  Needs hyperfine, /usr/bin/time (package time),
# file and python3.  Usage: bench/run.sh [BUILD]  (RUNS=n to change the
# number of timed runs of the fast commands)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build}
runs=${RUNS:-10}
work=$build/bench-data
mkdir -p "$work"
list=$work/list.txt

for tool in hyperfine /usr/bin/time file python3 cc; do
    command -v "$tool" >/dev/null || { echo "bench needs $tool" >&2; exit 1; }
done

echo "== building (release with debug info)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target quiddity quiddity_report_timer >/dev/null
cc -O2 -o "$work/floor" bench/floor.c

# Every regular file under /usr/share and /usr/lib, up to 20,000, and the fixtures.
{ find /usr/share /usr/lib -type f 2>/dev/null | head -n 20000; find "$root/tests/fixtures" -type f; } >"$list"
files=$(wc -l <"$list")
# A 9 MiB file (under the checksum's limit of 10,000,000 bytes), the same bytes every run.
nine=$work/nine-mib.bin
[ -f "$nine" ] || python3 -c "import random,sys; sys.stdout.buffer.write(random.Random(9).randbytes(9 << 20))" >"$nine"

echo "== machine"
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores"
echo "memory: $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
echo "system: $(uname -sr), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo "file system of /usr: $(stat -f -c %T /usr)"
echo "compiler: $(c++ --version | head -n 1); file(1): $(file --version | head -n 1)"
echo "list: $files files"

echo "== batch throughput (warm cache; hyperfine, $runs runs, 3 for file -b)"
hyperfine -N --warmup 1 --runs "$runs" --export-json "$work/fast.json" \
    -n "quiddity -t" "$build/quiddity -t -f $list" \
    -n "floor" "$work/floor $list" >/dev/null
hyperfine -N --warmup 1 --runs 3 --export-json "$work/file.json" \
    -n "file -b" "file -b -f $list" >/dev/null

peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
quiddity_kb=$(peak "$build/quiddity" -t -f "$list")
file_kb=$(peak file -b -f "$list")
floor_kb=$(peak "$work/floor" "$list")

python3 - "$work/fast.json" "$work/file.json" "$files" "$quiddity_kb" "$file_kb" "$floor_kb" <<'PY'
import json, sys
fast, slow, files = json.load(open(sys.argv[1])), json.load(open(sys.argv[2])), int(sys.argv[3])
peaks = {"quiddity -t": sys.argv[4], "file -b": sys.argv[5], "floor": sys.argv[6]}
results = {r["command"]: r for r in fast["results"] + slow["results"]}
print(f'{"command":<12} {"median s":>9} {"mean s":>8} {"± s":>7} {"files/s":>9} {"peak MB":>8}')
for name in ("quiddity -t", "file -b", "floor"):
    r = results[name]
    print(f'{name:<12} {r["median"]:9.3f} {r["mean"]:8.3f} {r["stddev"]:7.3f} {files / r["median"]:9.0f} {int(peaks[name]) / 1024:8.1f}')
# Medians: this kind of machine has noisy neighbours, and one slow run
# should not decide a ratio.
q, f, fl = (results[n]["median"] for n in ("quiddity -t", "file -b", "floor"))
print(f"quiddity -t is {f / q:.1f} times the throughput of file -b (goal: at least 10)")
print(f"quiddity -t takes {q / fl:.2f} times the floor's time (goal: at most 1.5)")
cpu = {n: results[n]["user"] + results[n]["system"] for n in results}
print(f"in processor time (user + system means): {cpu['file -b'] / cpu['quiddity -t']:.1f} times file -b,"
      f" {cpu['quiddity -t'] / cpu['floor']:.2f} times the floor")
PY

echo "== quiddity -t against the floor, run in turns ($runs pairs): a neighbour's load hits both alike"
python3 - "$build/quiddity" "$work/floor" "$list" "$runs" <<'PY'
import resource, statistics, subprocess, sys, time
quiddity, floor, listfile, pairs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
def timed(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
wall, cpu = [], []
for _ in range(pairs):
    qw, qc = timed([quiddity, "-t", "-f", listfile])
    fw, fc = timed([floor, listfile])
    wall.append(qw / fw)
    if fc > 0:
        cpu.append(qc / fc)
print(f"median ratio of the pairs: {statistics.median(wall):.2f} in wall time, {statistics.median(cpu):.2f} in processor time")
PY

echo "== full report per file, in one process (median of repeats per file)"
# shellcheck disable=SC2046
"$build/bench/quiddity_report_timer" $(find "$root/tests/fixtures" -type f | sort) | tail -n 1
echo "report of /bin/ls, its ELF section included (goal: under 2 ms):" \
    "$("$build/bench/quiddity_report_timer" /bin/ls | tail -n 1 | sed 's/, worst.*//')"
echo "9 MiB file, checksum included:"
"$build/bench/quiddity_report_timer" "$nine" | tail -n 1 | sed 's/, worst.*//'
echo "one report as a process (start-up and the MIME database included):" \
    "$(hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/process.json" \
        "$build/quiddity $root/tests/fixtures/pe/hello64.exe" >/dev/null &&
       python3 -c "import json,sys; print(f'{json.load(open(sys.argv[1]))[\"results\"][0][\"median\"] * 1000:.1f} ms median')" "$work/process.json")"
echo "peak memory of the reports of every fixture and the 9 MiB file in one process:" \
    "$(( $(peak "$build/quiddity" $(find "$root/tests/fixtures" -type f) "$nine") / 1024 )) MB"
