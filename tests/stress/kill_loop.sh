#!/usr/bin/env bash
# Kills the program during its work, restarts it and checks by contents.
#   kill_loop.sh MODE KILLS BIN_DIR TESTS_DIR [--chunks N [--odbc DRIVER]]
# MODE is import, submitall or save. Each run prepares a fresh demo database
# (the database refuses one row of the work), starts the work, and kills it
# with SIGKILL once the database shows a random number of stored rows
# between the first and the last; a run whose stores all landed before the
# kill is run again, so every kill lands during the work. A last run is left
# to finish. After each, the database must pass its integrity check, and
# the check counts confirmed rows not stored exactly once as typed (lost),
# rows stored twice (duplicated) and rows stored yet still waiting in the
# grid (queued_stored).
# With --chunks N the import runs in chunks of N rows, and each kill must
# also leave whole chunks: at most one chunk stored unconfirmed, every
# stored row with its log entry.
# With --odbc the work runs through the ODBC path, the SQLite ODBC driver
# DRIVER standing in for SQL Server.
# Prints: "<MODE>: kills=K late=L lost=.. duplicated=.. queued_stored=.. damaged=.. chunk_faults=.."
set -uo pipefail
mode=$1
kills=$2
bin=$3
tests=$4
chunks=0
[ "${5:-}" = --chunks ] && chunks=$6
[ "${7:-}" = --odbc ] && export QV_STRESS_ODBC=$8
case $mode in
  import) total=10000 prefix=K ;;
  submitall) total=3000 prefix=U ;;
  save) total=300 prefix=C9 ;;
  *) echo "kill_loop: unknown work $mode" >&2; exit 2 ;;
esac
if [ "$mode" = submitall ]; then
  count="select count(*) from tblrecord where fldPrdNo like 'U%' and fldStatus='01'"
else
  count="select count(*) from tblrecord where fldPrdNo like '$prefix%'"
fi
export QT_QPA_PLATFORM=offscreen
[ "$chunks" -gt 0 ] && export QV_CHUNK_ROWS=$chunks
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
landed=0 late=0 lost=0 duplicated=0 queued=0 damaged=0 faults=0 run=0
# The refused row stays; the last stored count is one less than the work.
last=$((total - 1))
while [ $landed -le "$kills" ] && [ $run -lt $((kills * 4)) ]; do
  run=$((run + 1))
  dir="$work/run$run"
  mkdir -p "$dir"
  "$bin/quorvat-demo-db" --reset "$dir" >/dev/null
  refuse=--refuse
  [ "$chunks" -gt 0 ] && refuse=
  "$tests/stress_work" prepare "$mode" "$dir" $refuse >/dev/null 2>&1 || { echo "kill_loop: run $run not prepared" >&2; damaged=$((damaged + 1)); continue; }
  if [ $landed -lt "$kills" ]; then
    target=$(((RANDOM * 32768 + RANDOM) % (last - 1) + 1))
    outcome=$("$tests/stress_kill" "$dir/demo.db" "$count" "$target" "$last" -- \
              "$tests/stress_work" "$mode" "$dir" "$dir/journal" 2>/dev/null)
    case $outcome in
      killed*) landed=$((landed + 1)) ;;
      *) late=$((late + 1)); continue ;;
    esac
  else
    "$tests/stress_work" "$mode" "$dir" "$dir/journal" >/dev/null 2>&1
    landed=$((landed + 1))
    outcome="finished"
  fi
  if [ "$(sqlite3 "$dir/demo.db" 'PRAGMA integrity_check' 2>&1)" != ok ]; then
    echo "kill_loop: $mode run $run left a damaged database" >&2
    damaged=$((damaged + 1))
    continue
  fi
  line=$("$tests/stress_work" verify "$mode" "$dir" "$dir/journal" 2>"$dir/verify.err")
  get() { sed -n "s/.*\b$1=\(-\?[0-9]*\).*/\1/p" <<<"$line"; }
  l=$(get lost) d=$(get duplicated) q=$(get queued_stored)
  s=$(get stored) c=$(get confirmed) g=$(get logged)
  if [ -z "$l" ]; then
    echo "kill_loop: $mode run $run: the check did not run" >&2
    damaged=$((damaged + 1))
    continue
  fi
  lost=$((lost + l)) duplicated=$((duplicated + d)) queued=$((queued + q))
  [ "$l$d$q" = 000 ] || { echo "kill_loop: $mode run $run ($outcome): $line" >&2; cat "$dir/verify.err" >&2; }
  if [ "$chunks" -gt 0 ]; then
    if [ $((s - c)) -gt "$chunks" ] || { [ $((s % chunks)) != 0 ] && [ "$s" != "$total" ]; } || [ "$g" != "$s" ]; then
      echo "kill_loop: $mode run $run ($outcome): not whole chunks: $line" >&2
      faults=$((faults + 1))
    fi
  fi
done
echo "$mode: kills=$((landed - 1)) late=$late lost=$lost duplicated=$duplicated queued_stored=$queued damaged=$damaged chunk_faults=$faults"
[ $((lost + duplicated + queued + damaged + faults)) = 0 ] && [ $landed -gt "$kills" ]
