#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest:
# once in a normal build and once with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/packages.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINDAVO_TESTS=ON -DLINDAVO_BENCH=ON >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

# Leaks inside the Firebird libraries (engine caches kept until process end)
# are theirs; everything else counts.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
# intercept_tls_get_addr=0: with it on, LeakSanitizer's tracer crashed
# (signal 11) at the exit of a passing test while it walked the threads' TLS.
export ASAN_OPTIONS="detect_odr_violation=0:abort_on_error=0:intercept_tls_get_addr=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLINDAVO_TESTS=ON -DLINDAVO_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
