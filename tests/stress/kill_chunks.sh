#!/usr/bin/env bash
# A kill during a chunked batch import leaves whole committed chunks only:
# every row that left the grid is stored exactly once with its execution-log
# entry; at most the one chunk whose commit the kill caught before its rows
# left the grid is stored without having been confirmed.
#   kill_chunks.sh BIN_DIR TESTS_DIR
set -uo pipefail
bin=$1
tests=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for run in 1 2 3 4 5; do
  dir="$work/run$run"
  mkdir -p "$dir"
  "$bin/quorvat-demo-db" --reset "$dir" >/dev/null
  QV_CHUNK_ROWS=300 QT_QPA_PLATFORM=offscreen "$tests/stress_import" "$dir" "$dir/journal" >/dev/null 2>&1 &
  pid=$!
  # Wait for the first stored rows, then kill at a random moment after.
  for _ in $(seq 200); do
    [ -s "$dir/journal" ] && break
    sleep 0.05
  done
  sleep "0.$(printf "%02d" $((RANDOM % 25)))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  [ "$(sqlite3 "$dir/demo.db" 'PRAGMA integrity_check')" = ok ] || { echo "run $run: damaged database"; status=1; continue; }
  left=$(tail -n 1 "$dir/journal" 2>/dev/null)
  left=${left:-10000}
  stored=$(sqlite3 "$dir/demo.db" "select count(*) from tblrecord where fldPrdNo like 'K%'")
  distinct=$(sqlite3 "$dir/demo.db" "select count(distinct fldPrdNo) from tblrecord where fldPrdNo like 'K%'")
  removed=$((10000 - left))
  logged=$(sqlite3 "$dir/demo.db" "select count(*) from tblExecLog where fldStatement like '%''K0%'")
  # Rows are stored from the bottom up: the stored ones are the last rows.
  below=$(sqlite3 "$dir/demo.db" "select count(*) from tblrecord where fldPrdNo like 'K%' and cast(substr(fldPrdNo,2) as integer) < $((10000 - stored))")
  echo "run $run: $removed rows left the grid, $stored stored, $logged logged"
  [ "$stored" -ge "$removed" ] || { echo "run $run: $((removed - stored)) confirmed rows lost"; status=1; }
  [ $((stored - removed)) -le 300 ] || { echo "run $run: more than one chunk stored unconfirmed"; status=1; }
  [ $((stored % 300)) = 0 ] || [ "$stored" = 10000 ] || { echo "run $run: a part of a chunk was stored"; status=1; }
  [ "$distinct" = "$stored" ] || { echo "run $run: a row stored twice"; status=1; }
  [ "$logged" = "$stored" ] || { echo "run $run: $logged log entries for $stored rows"; status=1; }
  [ "$below" = 0 ] || { echo "run $run: rows stored out of order"; status=1; }
done
[ $status = 0 ] && echo "kill_chunks: 1 passed, 0 failed"
exit $status
