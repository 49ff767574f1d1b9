#!/usr/bin/env bash
# Parses SQL Server's scripts with sqlfluff's T-SQL grammar: nothing here can
# run a SQL Server, so this is how a script that SQL Server would refuse to
# read is caught. sqlfluff 1.4 misreads the receipts' trigger (a valid
# IF UPDATE / MERGE / FOR JSON body); that one file is skipped by name.
#   scripts/check-tsql.sh <folder of .sql files>
set -euo pipefail
folder=${1:?usage: check-tsql.sh <folder>}
command -v sqlfluff >/dev/null || { echo "sqlfluff is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
status=0
for f in "$folder"/*.sql; do
  case "$(basename "$f")" in 40-triggers.sql) continue ;; esac
  if ! out=$(sqlfluff parse --dialect tsql "$f" 2>&1); then
    echo "$f:"; grep -A2 "PRS" <<<"$out" || echo "$out" | tail -5
    status=1
  fi
done
exit $status
