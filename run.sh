#!/usr/bin/env bash
# Installs what is missing, builds, and opens the cash receipt form for the
# demo cashier (user 486) on the embedded demo database, which the test host
# creates on its first run. Arguments go to the test host (see
# ./build/app/pardex --help). Without a display the screens are rendered
# offscreen and the paths of the pictures printed; a message the form shows
# is drawn into the picture and printed.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/app/pardex "$@"
fi

out="${TMPDIR:-/tmp}/pardex-screens"
mkdir -p "$out"
echo "No display: rendering the screens offscreen."
export QT_QPA_PLATFORM=offscreen
status=0
./build/app/pardex "$@" --screenshot "$out/receipt-form.png" || status=$?
if [ "$status" -ne 0 ]; then
  echo "The receipt form was not opened (exit status $status); the picture shows why."
fi
if [ $# -eq 0 ]; then
  ./build/app/pardex --view 8 --screenshot "$out/receipt-8.png"
  ./build/app/pardex --view 8 --print-pdf "$out/receipt-8.pdf" || true

  # The sibling components register themselves on first use: the first
  # press starts the registration and may find the component not there
  # yet; the second opens it.
  for press in "--view 8 --press cmdAccTrans" "--view 8 --press cmdCashLedger" "--press mnuCashTurn" \
               "--press mnuNewAccounts"; do
    name="${press##* }"
    # shellcheck disable=SC2086
    ./build/app/pardex $press --screenshot "$out/$name-first-press.png" 2>/dev/null || true
    sleep 1
    # shellcheck disable=SC2086
    ./build/app/pardex $press --screenshot "$out/$name.png" 2>/dev/null || true
  done
fi
exit "$status"
