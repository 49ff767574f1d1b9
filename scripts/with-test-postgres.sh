#!/usr/bin/env bash
# Runs a command with a throwaway PostgreSQL cluster: initdb in a temporary
# folder, listening on 127.0.0.1 only at a free port, stopped and removed
# when the command ends, whether it passed or failed. The command finds the
# server in PARDEX_TEST_PG, a connection string for the database "postgres"
# with a login allowed to create databases.
#
#   scripts/with-test-postgres.sh ctest --test-dir build
#
# The tests' server writes without fsync and takes 200 connections;
# PARDEX_TEST_PG_SETTINGS=default keeps the server's own settings instead
# (fifty cashiers on an untuned server, bench_cashiers), and
# PARDEX_TEST_PG_SETTINGS=company adds the one the README gives a company's
# server, a shared buffer that holds the receipts (bench_engines).
#
# When no server can be started the command does not run: the reason is
# printed and the exit status is 1. PARDEX_TEST_PG=off runs the command
# without a server, the server tests switched off (they say so).
set -uo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARG...]" >&2
  exit 2
fi

if [ "${PARDEX_TEST_PG:-}" = off ]; then
  echo "*** PostgreSQL server tests switched off (PARDEX_TEST_PG=off)" >&2
  exec "$@"
fi

skip() {
  echo "*** No PostgreSQL server for the tests: $1" >&2
  echo "*** (PARDEX_TEST_PG=off runs the tests without the server tests)" >&2
  exit 1
}

bindir=""
for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  if [ -x "$d/initdb" ] && [ -x "$d/pg_ctl" ]; then bindir="$d"; break; fi
done
if [ -z "$bindir" ]; then
  skip "no PostgreSQL server is installed (Debian package postgresql)" "$@"
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/pardex-pg.XXXXXX")
# The server refuses to run as root: as root the cluster belongs to the
# postgres user the Debian package creates.
runas=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id postgres >/dev/null 2>&1; then
    rm -rf "$dir"
    skip "running as root and there is no postgres user to run the server" "$@"
  fi
  chown postgres "$dir"
  chmod 700 "$dir"
  runas=(runuser -u postgres --)
fi

password="pardex-$RANDOM$RANDOM"
printf '%s\n' "$password" > "$dir/pwfile"
[ ${#runas[@]} -gt 0 ] && chown postgres "$dir/pwfile"

cleanup() {
  if [ -f "$dir/data/postmaster.pid" ]; then
    "${runas[@]}" "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! "${runas[@]}" "$bindir/initdb" -D "$dir/data" -U pardex --pwfile="$dir/pwfile" -E UTF8 --locale=C.UTF-8 \
     --auth-local=scram-sha-256 --auth-host=scram-sha-256 >"$dir/initdb.log" 2>&1; then
  cat "$dir/initdb.log" >&2
  trap - EXIT; cleanup
  skip "initdb failed" "$@"
fi

# A free port: the first of a range that nothing listens on and the server
# takes (another run may take one at the same moment: try the next).
started=""
for attempt in $(seq 1 20); do
  port=$(( 20000 + (RANDOM % 20000) ))
  options="-c listen_addresses=127.0.0.1 -p $port -k $dir"
  case "${PARDEX_TEST_PG_SETTINGS:-}" in
    default) ;;
    company) options="$options -c shared_buffers=1GB" ;;
    *) options="$options -c fsync=off -c max_connections=200" ;;
  esac
  if "${runas[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 -o "$options" start >/dev/null 2>&1; then
    started=yes
    break
  fi
done
if [ -z "$started" ]; then
  tail -20 "$dir/server.log" >&2 2>/dev/null
  trap - EXIT; cleanup
  skip "the server did not start" "$@"
fi

export PARDEX_TEST_PG="Provider=PostgreSQL;Data Source=127.0.0.1,$port;Initial Catalog=postgres;User ID=pardex;Password=$password"
# The test that stops the server in the middle of a session and starts it
# again finds how here.
export PARDEX_TEST_PG_CTL="$bindir/pg_ctl"
export PARDEX_TEST_PG_DATA="$dir/data"
export PARDEX_TEST_PG_RUNAS="${runas[*]}"
export PARDEX_TEST_PG_OPTIONS="$options"
export PARDEX_TEST_PG_LOG="$dir/server.log"
echo "PostgreSQL $("$bindir/postgres" --version | awk '{print $3}') for the tests on 127.0.0.1:$port" >&2
"$@"
