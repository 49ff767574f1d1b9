#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks it the way a user
# meets it: unpacked into a root of its own (nothing of the source or build
# tree reachable), its programs answer --help and --version, create a demo
# database in a fresh home, show the receipt form and print a receipt to
# PDF; the menu entry, the AppStream data, the manual pages and lintian have
# no complaint.
#   scripts/check-package.sh [BUILD-DIR]      (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
source_dir="$PWD"

fail() { echo "check-package: $*" >&2; exit 1; }

# Under /tmp itself: the registration tool refuses component folders below a
# folder that others may change, which a TMPDIR may be.
work="$(mktemp -d -p /tmp pardex-package.XXXXXX)"
trap 'rm -rf "$work"' EXIT

rm -f "$build"/pardex_*.deb
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
deb="$(ls "$build"/pardex_*_*.deb)"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(basename "$deb")" = "pardex_${version}_$(dpkg --print-architecture).deb" ] || fail "unexpected file name $deb"
echo "package: $deb"

root="$work/root"
dpkg-deb -x "$deb" "$root"
bin="$root/usr/bin"

# A home of its own, so that what the programs write lands in the user's
# folders and nowhere else.
export HOME="$work/home"
mkdir -p "$HOME"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_DATA_DIRS PARDEX_EXPORT_DIR
export XDG_CONFIG_DIRS=/etc/xdg
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen

for program in pardex pardex-db pardex-regsvr; do
  out="$("$bin/$program" --version)" || fail "$program --version failed"
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out', not '$program $version'"
  "$bin/$program" --help >"$work/help" 2>"$work/help.err" || fail "$program --help did not exit 0"
  grep -q '^Usage: ' "$work/help" || fail "$program --help printed no usage on standard output"
  [ ! -s "$work/help.err" ] || fail "$program --help wrote to standard error: $(cat "$work/help.err")"
  status=0
  "$bin/$program" --no-such-option >"$work/usage" 2>"$work/usage.err" || status=$?
  [ "$status" -eq 2 ] || fail "$program with a wrong option exited $status, not 2"
  [ ! -s "$work/usage" ] && [ -s "$work/usage.err" ] || fail "$program's usage error is not on standard error alone"
  [ -f "$root/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
  warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$program.1.gz" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "the manual page of $program: $warnings"
done

"$bin/pardex-db" init --demo "$work/check.db" 2>/dev/null || fail "pardex-db init --demo failed"
"$bin/pardex-db" check "$work/check.db" >/dev/null || fail "the new demo database is not consistent"

# The first start makes the user's own demo database, as the menu entry does.
"$bin/pardex" --screenshot "$work/form.png" >/dev/null 2>"$work/form.err" \
  || { cat "$work/form.err" >&2; fail "pardex did not show the receipt form"; }
[ -s "$work/form.png" ] || fail "no picture of the receipt form"
[ -f "$HOME/.local/share/pardex/demo.db" ] || fail "the demo database is not in the user's folder"
"$bin/pardex" --view 8 --print-pdf "$work/receipt.pdf" >/dev/null 2>"$work/print.err" \
  || { cat "$work/print.err" >&2; fail "pardex could not print a receipt"; }
pdftotext "$work/receipt.pdf" - | grep -q . || fail "the printed receipt is empty"

# A component file registered by the package's own path is still found
# after an upgrade: the registry names a path the package keeps, and the
# new package's files replace the old ones there.
"$bin/pardex-regsvr" /s "$root/usr/share/pardex/System/Lidmar.so" || fail "the packaged Lidmar did not register"
registered="$(grep -o '/[^ =]*Lidmar\.so' "$HOME/.config/pardex/components.conf" | head -1)"
case "$registered" in
  "$root"/usr/share/pardex/System/Lidmar.so | "$root"/usr/lib/pardex/System/Lidmar.so) ;;
  *) fail "Lidmar was registered as '$registered'" ;;
esac
dpkg-deb -x "$deb" "$root"
"$bin/pardex-regsvr" /s "$registered" || fail "the registered $registered is not a component after the package was unpacked again"

# Nothing may point back into the trees it was built from.
if grep -rlF --binary-files=text -e "$source_dir" -e "$(cd "$build" && pwd)" "$root" >"$work/leaks"; then
  fail "files naming the source tree: $(tr '\n' ' ' <"$work/leaks")"
fi

desktop-file-validate "$root/usr/share/applications/ir.pardex.Pardex.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/ir.pardex.Pardex.metainfo.xml" >"$work/appstream" 2>&1 \
  || { cat "$work/appstream" >&2; fail "the AppStream metadata is not valid"; }

# Errors and warnings fail; what lintian merely notes is listed.
lintian_status=0
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian" || true
[ "$lintian_status" -eq 0 ] || fail "lintian found errors or warnings"
echo "check-package: $(basename "$deb") passed"
