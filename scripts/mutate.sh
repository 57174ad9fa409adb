#!/usr/bin/env bash
# Applies one-line mutations to the sources one at a time, rebuilds incrementally, runs the
# tests that should notice, restores the file, and lists the mutations no test noticed.
#   scripts/mutate.sh [BUILD_DIR] [NAME_PATTERN]
# Each mutation below: a name, the file, the exact text of the line's change (old => new, old
# found exactly once in the file) and the tests (a ctest pattern) that must fail. A mutation
# whose old text is no longer in the file is reported as stale, never as killed: update it.
# Exit status: 0 no survivor, 1 survivors or stale entries, 2 bad use.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
only="${2:-}"
[ -f "$build/CMakeCache.txt" ] || { echo "no build in $build: run scripts/build.sh first" >&2; exit 2; }

# name <TAB> file <TAB> old <TAB> new <TAB> tests
mutations() {
cat <<'EOF'
workbook-subtotal-covers-its-own-cell	src/presentation/XlsxExporter.cpp	const int last = s == current ? m_row - 1 : m_lastDataRows[size_t(s)];	const int last = s == current ? m_row : m_lastDataRows[size_t(s)];	Xlsx|Workbook
drill-down-sector-takes-the-town	src/reports/DrillDown.cpp	{sectorKey, cell(rows, row, u"sectorid")},	{sectorKey, cell(rows, row, u"townid")},	DrillDown
count-summary-counts-nulls	src/presentation/RunningTotals.cpp	        return data.isNull(summary.reference, row) ? 0 : 1;	        return 1;	RunningTotals|Report|Paginator|Summar|TotalsFoot
descending-sort-keys-ignored	src/presentation/DataBinding.cpp	return descending[k] ? x > y : x < y;	return x < y;	DataBinding|TotalsFoot|Layout
pdf-names-not-escaped	src/presentation/PdfDocumentWriter.cpp	if (c <= ' ' || c >= 0x7F || std::string_view("#/()<>[]{}%").find(ch) != std::string_view::npos) {	if (c <= ' ' || c >= 0x7F) {	Pdf
read-only-check-lets-a-second-statement-through	src/db/SqlTranslator.cpp	if (isPunct(s, u";") && s != count - 1)	if (false)	Connection|CommandSafety|Query|SqlTranslator|Hostile|Odbc
split-row-keeps-the-totals	src/presentation/ReportPages.cpp	        m_totals.beginGroups(state, m_paginator.breakLevel(start.row) + k);	        (void)k;	Report|Paginator|TotalsFoot
totals-add-unrounded-amounts	src/presentation/RunningTotals.cpp	    return summary.format.decimals;	    return 6;	RunningTotals|TotalsFoot|Register
isnull-left-untranslated	src/db/SqlTranslator.cpp	m_replace[index] = u"IFNULL"_s;	m_replace[index] = u"ISNULL"_s;	SqlTranslator|ReportQueries
catalogue-duplicates-unseen	src/reports/ReportCatalog.cpp	            if (seen.contains(e.*key))	            if (seen.contains(e.*key) && false)	ReportCatalog
definition-finds-another-row	src/reports/ReportCatalog.cpp	return &e.definition() == &definition;	return &e.definition() != &definition;	ReportCatalog|Reports\.|DrillDown
named-launch-opens-another-report	src/catalogue/Reports.cpp	    launchNamed(u"SalesSummary"_s);	    launchNamed(u"SalesRegister"_s);	Reports\.|MainWindow
window-made-anew-at-each-launch	src/catalogue/Reports.cpp	    if (!slot)	    if (true)	Reports\.|SalesRegisterWindow
menu-sections-take-other-groups	src/reports/ReportCatalog.cpp	        if (e.group == group)	        if (e.group >= group)	MainWindow|ReportCatalog
summary-drills-to-one-invoice-only-from	src/reports/DrillDown.cpp	{{invoiceFromKey, invoice}, {invoiceToKey, invoice}},	{{invoiceFromKey, invoice}, {invoiceToKey, QString()}},	DrillDown
help-lists-only-the-first-option	src/host/ReportCommand.cpp	: parts.join(u", "_s);	: parts.first();	CommandLine
ledger-takes-the-product-of-the-document	src/reports/ProductLedgerReport.cpp	+ u" and "_s + s.line +	+ u" and "_s + s.document +	ReportQueries|ProductLedger
EOF
}

# An interrupted run leaves no mutation behind.
path=""
backup=""
restore() { if [ -n "$backup" ] && [ -f "$backup" ]; then cp -p "$backup" "$path"; touch "$path"; rm -f "$backup"; fi; }
trap restore EXIT
trap 'exit 130' INT TERM

survivors=()
stale=()
killed=0
while IFS=$'\t' read -r name file old new tests; do
  [ -z "$name" ] && continue
  if [ -n "$only" ] && [[ ! "$name" =~ $only ]]; then continue; fi
  path="$root/$file"
  if [ ! -f "$path" ] || [ "$(grep -cF -- "$old" "$path")" != 1 ]; then
    echo "STALE    $name ($file: the old text is not there exactly once)"
    stale+=("$name")
    continue
  fi
  backup="$(mktemp)"
  cp -p "$path" "$backup"
  python3 - "$path" "$old" "$new" <<'PY'
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
open(path, "w", encoding="utf-8").write(text.replace(old, new, 1))
PY
  if ! cmake --build "$build" --parallel 2 > "$build/mutate-$name.log" 2>&1; then
    echo "KILLED   $name (does not build)"
    killed=$((killed + 1))
  elif (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -R "$tests" --no-tests=error -j1 >> "mutate-$name.log" 2>&1); then
    echo "SURVIVED $name (tests: $tests)"
    survivors+=("$name")
  else
    echo "KILLED   $name"
    killed=$((killed + 1))
  fi
  restore # the restored text is rebuilt (touched), not a stale object kept
  backup=""
done < <(mutations)

echo "rebuilding the unmutated sources"
cmake --build "$build" --parallel 2 > /dev/null 2>&1 || echo "the restored tree does not build" >&2
echo "killed: $killed, survived: ${#survivors[@]} ${survivors[*]:-}, stale: ${#stale[@]} ${stale[*]:-}"
[ ${#survivors[@]} -eq 0 ] && [ ${#stale[@]} -eq 0 ]
