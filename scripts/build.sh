#!/usr/bin/env bash
# Configures and builds the project into build/ (RelWithDebInfo), through ccache when it is there.
# Arguments are passed to CMake (scripts/test.sh: -DNVR_WARNINGS_AS_ERRORS=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
launcher=()
if command -v ccache > /dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" > /dev/null
cmake --build "$root/build" --parallel "$(nproc)"
