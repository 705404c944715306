#!/usr/bin/env bash
# Draws the graphs and printouts of a data file into a folder, to be looked at by eye: the
# window's Nsw and N graphs (with the torque curve) at two sizes, and every printout to PDF in
# colour and in black and white, each PDF also as 600 dpi PNG pages when pdftoppm is there.
set -euo pipefail

usage() {
    cat <<'USAGE'
usage: tools/render-samples.sh [--cli PATH] [--file DATAFILE] [OUTDIR]
  --cli PATH       tessmark-cli to use (default: build/bin/tessmark-cli)
  --file DATAFILE  the test to draw (default: samples/sample.ktd)
  OUTDIR           where the pictures go (default: a new folder under /tmp)
USAGE
}

top=$(cd "$(dirname "$0")/.." && pwd)
cli="$top/build/bin/tessmark-cli"
file="$top/samples/sample.ktd"
out=""
while [ $# -gt 0 ]; do
    case "$1" in
    -h | --help) usage; exit 0 ;;
    --cli) cli=$2; shift 2 ;;
    --file) file=$2; shift 2 ;;
    -*) usage >&2; exit 2 ;;
    *) out=$1; shift ;;
    esac
done
[ -x "$cli" ] || { echo "no tessmark-cli at $cli (build it first)" >&2; exit 1; }
[ -n "$out" ] || out=$(mktemp -d /tmp/tessmark-samples.XXXXXX)
mkdir -p "$out"

for size in 350x420 600x800; do
    for kind in nsw n; do
        "$cli" graph "$file" "$out/window-$kind-torque-$size.png" --kind "$kind" --size "$size" \
            --set GraphMode/TorqueGraph=1
    done
done

all=table,nsw,n,table25,nsw25,n25,tnsw25,tn25
"$cli" print "$file" "$out/print-colour.pdf" --select "$all" --color
"$cli" print "$file" "$out/print-mono.pdf" --select "$all"
if command -v pdftoppm >/dev/null; then
    for pdf in print-colour print-mono; do
        pdftoppm -r 600 -png "$out/$pdf.pdf" "$out/$pdf-600dpi"
    done
fi
echo "$out"
