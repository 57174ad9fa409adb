#!/usr/bin/env bash
# Builds every report from a large demo database and turns three pages of each into PNG images,
# to look at them as a user would: the first page, a page in the middle where a group is carried
# over (its header marked "(continued)"), and the last page with the grand totals.
#
#   scripts/report-pages.sh [--lines N] [--db FILE] [--out DIR] [--end YYYY-MM-DD] [--tool]
#                           [REPORT...]
#
# Defaults: a million-line demo database in /tmp/nvrptsales-pages/demo-N.sqlite (made once),
# a year's period ending --end, every report. A report that `nvrptsales report NAME` can build
# is built by it, as a user's command would; the others are bound to their reports' queries by
# the tool nvr_report_pages, which also prints the widest value of every column against its
# room (TOO NARROW or CROWDED when a column is short of space), and sets a criteria line;
# --tool builds every report that way. Needs a build (scripts/build.sh) and poppler-utils.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
app="$root/build/src/nvrptsales"
tool="$root/build/tools/nvr_report_pages"
lines=1000000
end=2026-12-06
out=/tmp/nvrptsales-pages
db=""
tool_only=0
reports=()
while [ $# -gt 0 ]; do
  case "$1" in
    --lines) lines="$2"; shift 2 ;;
    --db) db="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --end) end="$2"; shift 2 ;;
    --tool) tool_only=1; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) reports+=("$1"); shift ;;
  esac
done
if [ ${#reports[@]} -eq 0 ]; then
  reports=(sales-register sales-summary sale-return-register sale-returns-summary
           company-wise-sale company-sector-wise-sale customer-town-sector-wise-sales
           product-wise-sales product-sales-ledger product-sale-return-ledger sales-stock-statement)
fi
for program in "$app" "$tool"; do
  [ -x "$program" ] || { echo "missing $program: run scripts/build.sh first" >&2; exit 1; }
done
command -v pdftoppm > /dev/null || { echo "pdftoppm missing: apt-get install poppler-utils" >&2; exit 1; }

mkdir -p "$out"
db="${db:-$out/demo-$lines.sqlite}"
if [ ! -f "$db" ]; then
  "$app" demo-db "$db" --lines "$lines" --end-date "$end"
fi
from="$(date -d "$end - 1 year + 1 day" +%F)"
export QT_QPA_PLATFORM=offscreen

# The page of a report to look at in the middle: one near the middle that carries a group over,
# or the middle page itself.
middle_page() {
  local pdf="$1" pages="$2" mid=$(( ($2 + 1) / 2 )) p
  for (( p = mid; p < mid + 40 && p < pages; p++ )); do
    if pdftotext -f "$p" -l "$p" "$pdf" - 2> /dev/null | grep -q '(continued)'; then
      echo "$p"; return
    fi
  done
  echo "$mid"
}

for report in "${reports[@]}"; do
  pdf="$out/$report.pdf"
  rm -f "$pdf" "$out/$report.measure"
  status=2
  if [ "$tool_only" -eq 0 ]; then
    # A ledger is for one product, the company/sector-wise sale for one company: the busiest.
    id=()
    read -r -a id < <("$tool" --db "$db" --from "$from" --to "$end" --id-option "$report" \
                        2> /dev/null) || true
    status=0
    "$app" report "$report" --db "$db" --from "$from" --to "$end" "${id[@]}" --pdf "$pdf" \
      2> "$out/$report.err" || status=$?
  fi
  how="nvrptsales report"
  if [ "$status" -eq 2 ]; then
    # Not buildable from the command line (yet): bind the report's own query in the test tool.
    how="nvr_report_pages"
    status=0
    "$tool" --db "$db" --from "$from" --to "$end" --out "$out" --measure "$report" \
      > "$out/$report.measure" 2> "$out/$report.err" || status=$?
  fi
  if [ "$status" -ne 0 ] || [ ! -f "$pdf" ]; then
    echo "$report: not built ($(tr '\n' ' ' < "$out/$report.err"))" >&2
    continue
  fi
  pages="$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')"
  middle="$(middle_page "$pdf" "$pages")"
  rm -f "$out/$report"-*.png
  pdftoppm -png -r 100 -f 1 -l 1 "$pdf" "$out/$report-first"
  pdftoppm -png -r 100 -f "$middle" -l "$middle" "$pdf" "$out/$report-middle"
  pdftoppm -png -r 100 -f "$pages" -l "$pages" "$pdf" "$out/$report-last"
  echo "$report: $pages pages by $how; first, middle (page $middle) and last page in $out"
  if [ -f "$out/$report.measure" ] && grep -qE 'TOO NARROW|CROWDED' "$out/$report.measure"; then
    grep -E 'TOO NARROW|CROWDED' "$out/$report.measure" | sed "s/^/$report:/" >&2
  fi
done
