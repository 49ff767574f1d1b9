#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Only what is missing is installed, so a second run costs a second.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libgl-dev libegl-dev libvulkan-dev
  libqt6sql6-psql libpq-dev postgresql
  libsqlite3-dev zlib1g-dev libgtest-dev poppler-utils
  sqlite3 unzip
  unixodbc unixodbc-dev tdsodbc sqlfluff
  fonts-farsiweb fonts-noto-core qt6-translations-l10n
  help2man lintian desktop-file-utils appstream dpkg-dev file
)
case "${1:-}" in
  --display) packages+=(xvfb xauth) ;;
  # scripts/fuzz.sh: clang and its libFuzzer and sanitizer runtimes.
  --fuzz) packages+=(clang libclang-rt-14-dev) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
