#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite (offscreen, no display needed).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# Warnings fail the build here, as in CI.
"$root/scripts/build.sh" -DNVR_WARNINGS_AS_ERRORS=ON
# Printing is tested for real, on a private CUPS server that the test run starts and stops
# itself (scripts/print-server.sh): the machine's printers are left alone.
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
