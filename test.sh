#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, and builds and checks
# the Debian package.
#   ./test.sh              the ordinary build in build/
#   ./test.sh --sanitize   the same tests built with AddressSanitizer and
#                          UndefinedBehaviorSanitizer in build-asan/; the
#                          first finding stops its test, leaks included
#                          (what Qt and the system libraries keep is listed
#                          in scripts/lsan.supp)
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
if [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARDEX_SANITIZE=ON >/dev/null
  cmake --build build-asan
  export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export QT_QPA_PLATFORM=offscreen
  ./scripts/with-test-postgres.sh ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
  exit
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
export QT_QPA_PLATFORM=offscreen
# The tests run on the embedded file and, a second time (the "pg." ones), on
# a throwaway PostgreSQL server; a server that cannot start fails the run,
# unless PARDEX_TEST_PG=off switches those tests off.
status=0
./scripts/with-test-postgres.sh ctest --test-dir build --output-on-failure -j "$(nproc)" || status=$?
# The Debian package, built from the same tree and checked as a user meets it.
./scripts/check-package.sh build || status=$?
if [ "${PARDEX_TEST_PG:-}" = off ]; then
  echo "*** The PostgreSQL server tests (pg.*) were switched off by PARDEX_TEST_PG=off: they did not run."
fi
exit "$status"
