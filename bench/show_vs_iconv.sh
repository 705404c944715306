#!/bin/bash
# Times `tessmark-cli show --rounded` against `iconv -f CP932 -t UTF-8` on the same generated
# 100,000-row transfer file, in one run, and prints the ratio of the best times and the peak
# memory per row. Builds nothing.
#   usage: bench/show_vs_iconv.sh BUILD_DIR [ROWS] [REPEATS]
set -euo pipefail

usage="usage: $0 BUILD_DIR [ROWS] [REPEATS]   (ROWS default 100000, REPEATS default 7)"
if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
    echo "$usage"
    exit 0
fi
build=${1:?$usage}
rows=${2:-100000}
repeats=${3:-7}
cli="$build/bin/tessmark-cli"
tables="$(cd "$(dirname "$0")/.." && pwd)/data"
[ -x "$cli" ] || { echo "no $cli: build the tessmark-cli target first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The tool's own settings store and documents folder stay out of the user's.
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
mkdir -p "$XDG_CONFIG_HOME" "$HOME"

# The same kinds of rows as the open benchmark; depths stay within the four-digit field, so
# they start again every 9,999 rows.
file="$work/large.ktd"
awk -v rows="$rows" 'BEGIN {
    split("J01 J04 J03 J05 J07 J02", codes, " ")
    printf "$T(\r\n001 002 003 0004 05 24 06 07 08 09\r\n"
    for (i = 1; i <= rows; i++) {
        depth = 1 + (i - 1) % 9999
        if (i % 97 == 0) printf "100 %04d D%02d 000\r\n", depth, i % 20
        else if (i % 13 == 0) printf "050 %04d J04 JTN\r\n", depth
        else printf "100 %04d %s %03d\r\n", depth, codes[i % 6 + 1], i % 17
    }
    printf "T10 30\r\n)\r\n$P(\r\nP00 1\r\n)\r\n$Q(\r\n"
    for (i = 1; i <= rows / 10; i++) printf "%d %d\r\n", i * 20, i % 90
    printf ")\r\n"
}' > "$file"

# Best wall time in seconds of REPEATS runs of a command, output discarded.
best_of() {
    python3 - "$repeats" "$@" <<'PY'
import subprocess, sys, time
repeats, command = int(sys.argv[1]), sys.argv[2:]
best = None
for _ in range(repeats):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    elapsed = time.perf_counter() - start
    best = elapsed if best is None else min(best, elapsed)
print(f"{best:.4f}")
PY
}

# Peak resident memory in KiB of one run.
peak_kib() {
    python3 - "$@" <<'PY'
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
PY
}

iconv_s=$(best_of iconv -f CP932 -t UTF-8 "$file")
show_s=$(best_of "$cli" show "$file" --rounded --tables "$tables")
plain_s=$(best_of "$cli" show "$file" --tables "$tables")
base_s=$(best_of "$cli" --version)
show_kib=$(peak_kib "$cli" show "$file" --rounded --tables "$tables")
base_kib=$(peak_kib "$cli" --version)

python3 - "$rows" "$repeats" "$iconv_s" "$show_s" "$plain_s" "$base_s" "$show_kib" "$base_kib" <<'PY'
import sys
rows, repeats = int(sys.argv[1]), int(sys.argv[2])
iconv_s, show_s, plain_s, base_s = map(float, sys.argv[3:7])
show_kib, base_kib = map(int, sys.argv[7:9])
print(f"rows: {rows}, best of {repeats} runs")
print(f"iconv -f CP932 -t UTF-8:          {iconv_s * 1000:8.1f} ms")
print(f"tessmark-cli show --rounded:      {show_s * 1000:8.1f} ms")
print(f"tessmark-cli show:                {plain_s * 1000:8.1f} ms")
print(f"tessmark-cli --version (start-up): {base_s * 1000:7.1f} ms")
print(f"ratio show --rounded / iconv:     {show_s / iconv_s:8.1f}")
print(f"peak memory show --rounded:       {show_kib / 1024:8.1f} MiB"
      f" ({(show_kib - base_kib) * 1024 / rows:.0f} bytes per row above start-up)")
PY
