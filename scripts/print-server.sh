#!/usr/bin/env bash
# Starts a local CUPS server with a PDF printer, NorvalePDF, as the default printer: the
# printing tests print on it for real. Safe to run again.
set -euo pipefail

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  as_root /usr/sbin/cupsd
  for _ in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.2
  done
fi
if ! lpstat -p NorvalePDF > /dev/null 2>&1; then
  as_root lpadmin -p NorvalePDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2> /dev/null
fi
as_root lpadmin -d NorvalePDF
