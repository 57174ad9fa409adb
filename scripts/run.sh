#!/usr/bin/env bash
# Sets everything up, builds, and runs the main job: the sales register of the demo company
# database as a PDF (out/sales-register.pdf).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
mkdir -p "$root/out"
db="$root/out/demo.sqlite"
[ -f "$db" ] || "$root/build/src/nvrptsales" demo-db "$db"
"$root/build/src/nvrptsales" report sales-register --db "$db" --pdf "$root/out/sales-register.pdf"
echo "Wrote $root/out/sales-register.pdf"
