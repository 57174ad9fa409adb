#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run. Quiet and quick when
# everything is already there; safe to run again.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config ccache clang-format
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libqt6printsupport6
  libsqlite3-dev unixodbc unixodbc-dev odbcinst libxlsxwriter-dev
  # the PDF writer: font subsets, fonts' files and stream compression
  libharfbuzz-dev libfontconfig-dev libdeflate-dev
  # printing: jobs go to CUPS through libcups, which says whether a job was accepted
  libcups2-dev
  # tests and benchmarks: the ODBC driver, a private CUPS server for printing, PDF text tools
  libgtest-dev libbenchmark-dev libsqliteodbc sqlite3
  cups-daemon cups-client poppler-utils qpdf
  # the windows walked with real key presses on a display (scripts/enter-check.sh)
  xvfb openbox xdotool
  # tests read written workbooks back
  unzip
  # report text needs fonts, also on headless machines; the layouts set some text in italics
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" > /dev/null
fi

# The SQLite ODBC driver registers itself on install; make sure it did.
if ! odbcinst -q -d -n SQLite3 > /dev/null 2>&1; then
  as_root odbcinst -i -d -f /usr/share/sqliteodbc/unixodbc.ini > /dev/null
fi
