#!/usr/bin/env bash
# Builds the test suite into build-asan/ under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs it once (arguments go to ctest, e.g. -R CommandSafety; TARGETS="test_host nvrptsales"
# builds only those). Any finding ends that test
# with a report on its output. Leak checking is off: Qt, fontconfig and CUPS keep caches for the
# life of the process, which LeakSanitizer reports without our code being at fault.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"
launcher=()
if command -v ccache > /dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" > /dev/null
targets=()
for target in ${TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" --parallel "${JOBS:-2}" "${targets[@]}"
cd "$build"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:halt_on_error=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "${JOBS:-2}" "$@"
