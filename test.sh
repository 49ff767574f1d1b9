#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
export QT_QPA_PLATFORM=offscreen
# The tests run on the embedded file and, a second time (the "pg." ones), on
# a throwaway PostgreSQL server; a line says so when it cannot be started.
./scripts/with-test-postgres.sh ctest --test-dir build --output-on-failure -j "$(nproc)"
