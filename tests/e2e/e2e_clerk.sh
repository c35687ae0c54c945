#!/usr/bin/env bash
# End to end, a clerk's day: ten cards for one patient from the keyboard
# alone (the keys of each card are counted), the question before typed
# values are lost and none when nothing is unsaved, the fields New carried
# over marked, early warnings on a pasted batch and in the import question,
# a paste into the grid an import emptied, the file dialog in Chinese, and a
# widened column still wide after a restart that offers the last account.
#   e2e_clerk.sh BIN_DIR E2E_TOOL ARTIFACT_DIR
set -euo pipefail
bin=$1
tool=$2
out=$3/clerk
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
source "$(dirname "$0")/e2eCommon.sh"

cp "$bin/quorvat" "$work/"
cp -r "$bin/icon" "$work/" 2>/dev/null || true
"$bin/quorvat-demo-db" --reset "$work" >/dev/null
db="$work/demo.db"
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" ODBCINI="$work/odbc.ini"
unset QT_QPA_PLATFORM
start_display
sql() { sqlite3 "$db" "$1"; }
keys=0
press() { xdotool key "$@"; keys=$((keys + $#)); }
typed() { xdotool type --delay 20 "$1"; keys=$((keys + ${#1})); }

# Fails when a visible window titled $1 shows up within a second and a half.
no_window() {
  for _ in $(seq 15); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && fail "$2"
    sleep 0.1
  done
  return 0
}

# start first: a new computer, the account typed; start again: the last
# account is offered and the focus waits in the password.
start() {
  QT_QPA_PLATFORM=xcb "$work/quorvat" >>"$out/quorvat.log" 2>&1 &
  app_pid=$!
  login=$(window "用户登录") || fail "no sign-in form"
  focus "$login"
  if [ "$1" = first ]; then xdotool type --delay 30 "1001"; xdotool key Tab; fi
  xdotool type --delay 30 "1234"; xdotool key Return Return
  if news=$(window "系统更新信息"); then focus "$news"; xdotool key Return; fi
  bench=$(window "质保卡信息输入") || fail "no workbench"
  focus "$bench"
  sleep 0.5
}
start first

# Ten cards for one patient. The first: every field from the keyboard.
: >"$out/keys.log"
keys=0
press ctrl+n; typed "C01"; typed "00000201"
press Tab; typed "Wang"; press Tab; typed "Wu"
for _ in 1 2 3 4 5; do press Tab; done   # doctor, dates, then the hospital box
typed "Xiehe"
press ctrl+s
sleep 0.4
echo "card 1: $keys keys" >>"$out/keys.log"
for n in 2 3 4 5 6 7 8 9 10; do
  keys=0
  press ctrl+n; typed "C01"; typed "$(printf '%08d' $((200 + n)))"; press ctrl+s
  sleep 0.3
  echo "card $n: $keys keys" >>"$out/keys.log"
  [ "$keys" -le 13 ] || fail "card $n took $keys keys"
done
shot entry-after-save
[ "$(sql "select count(*) from tblrecord where fldPrdNo between 'C00000201' and 'C00000210' and fldPLName='Wang' and fldPFName='Wu' and fldHospital='Xiehe' and fldStatus='00'")" = 10 ] \
  || fail "the ten cards were not stored: $(sql "select group_concat(fldPrdNo) from tblrecord where fldPLName='Wang'")"

# A half-typed card, then a double-click on a row: the question; Enter is No.
press ctrl+n; typed "C01"; typed "00000299"
xdotool mousemove --sync 100 285 click --repeat 2 --delay 80 1
box=$(window "系统提示") || fail "no question before the typed card was dropped"
shot unsaved-question
focus "$box"; xdotool key Return
sleep 0.3
focus "$bench"
press ctrl+s
sleep 0.4
[ "$(sql "select count(*) from tblrecord where fldPrdNo='C00000299'")" = 1 ] || fail "the half-typed card was lost"

# Nothing typed: opening a row asks nothing; nor does the next double-click
# after a confirmed Delete.
xdotool mousemove --sync 100 285 click --repeat 2 --delay 80 1
no_window "系统提示" "a question on opening a row though nothing was typed"
click 767 136
box=$(window "系统确认") || fail "no question before the delete"
focus "$box"; xdotool key y
sleep 0.5
[ "$(sql "select count(*) from tblrecord where fldPrdNo='C00000110'")" = 0 ] || fail "the opened record was not deleted"
focus "$bench"
xdotool mousemove --sync 100 285 click --repeat 2 --delay 80 1
no_window "系统提示" "a question after Delete though nothing was typed"
shot opened-after-delete
# Saved unchanged, then New: the fields kept from that card are marked.
press ctrl+s
sleep 0.4
press ctrl+n
sleep 0.3
shot carried-fields-marked

# The batch tab: a paste into the empty grid starts its rows; the check
# warns (coloured cells) about a repeated number and one of no range.
click 386 21
click 400 400
printf '钴铬合金烤瓷冠\tC00000420\t2013-09-01\t2013-09-02\t王\t一\t\t\t协和医院\r\n钴铬合金烤瓷冠\tC00000420\t2013-09-01\t2013-09-02\t王\t二\t\t\t协和医院\r\n钴铬合金烤瓷冠\tC00000999\t2013-09-01\t2013-09-02\t王\t三\t\t\t协和医院' \
  | xclip -selection clipboard
xdotool key ctrl+v
sleep 0.4
click 787 73
shot batch-warnings
click 707 73
box=$(window "系统提示") || fail "no question before the import"
shot import-question-with-warnings
focus "$box"; xdotool key y
sleep 0.5
[ "$(sql "select count(*) from tblrecord where fldPrdNo in ('C00000420','C00000999') and fldHospital='协和医院'")" = 3 ] \
  || fail "the pasted rows were not imported"
shot batch-imported

# A paste into the grid the import emptied starts in its first column.
click 400 400
printf '钴铬合金烤瓷冠\tC00000430\t2013-09-01\t2013-09-02\t王\t四\t\t\t协和医院' | xclip -selection clipboard
xdotool key ctrl+v
sleep 0.4
shot paste-after-import
click 787 73
click 707 73
box=$(window "系统提示") || fail "the row pasted after the import did not pass the check"
focus "$box"; xdotool key y
sleep 0.5
[ "$(sql "select fldPrdName||fldPLName||fldPFName from tblrecord where fldPrdNo='C00000430'")" = "C01王四" ] \
  || fail "the paste after the import did not land in column 1"

# The file dialog speaks Chinese.
focus "$bench"
click 867 72
dialog=$(window "读取文件") || fail "no file dialog"
sleep 0.8
shot file-dialog-chinese
focus "$dialog"; xdotool key Escape
sleep 0.3
focus "$bench"

# Widen the hospital column of the pending list by dragging its edge, then
# start again: it is as wide as it was left.
click 55 21
edge_x=618; edge_y=264
xdotool mousemove --sync $edge_x $edge_y mousedown 1 mousemove --sync $((edge_x + 90)) $edge_y mouseup 1
sleep 0.4
shot column-widened
grep -q "egNew" "$HOME/.config/Quorvat/Quorvat.conf" || fail "the widened column was not remembered"
before=$(grep -A20 '^\[ColWidth\]' "$HOME/.config/Quorvat/Quorvat.conf" | grep 'egNew\\9=' || true)
[ -n "$before" ] || fail "no width for the hospital column"
"$tool" close "$bench"
wait_end "the program did not end"
start again
shot column-after-restart
[ "$(grep 'egNew\\9=' "$HOME/.config/Quorvat/Quorvat.conf")" = "$before" ] || fail "the width changed on restart"
"$tool" close "$bench"
wait_end "the program did not end the second time"
cat "$out/keys.log"
echo "e2e-clerk: 1 passed, 0 failed"
