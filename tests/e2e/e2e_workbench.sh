#!/usr/bin/env bash
# End to end: the real program on a fresh embedded demo database in a
# temporary program folder, under a virtual display, driven with real key and
# mouse input. Signs in, enters and saves a record, opens and submits it,
# pastes three rows into the batch grid, checks and imports them, closes the
# workbench; then reads the database file directly. Screenshots of every step
# are kept in the artifact folder.
#   e2e_workbench.sh BIN_DIR E2E_TOOL ARTIFACT_DIR
set -euo pipefail
bin=$1
tool=$2
out=$3
mkdir -p "$out"
# This run's own files; the other runs keep theirs in folders of their own.
find "$out" -maxdepth 1 -type f -delete

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

QT_QPA_PLATFORM=xcb "$work/quorvat" >"$out/quorvat.log" 2>&1 &
app_pid=$!

login=$(window "用户登录") || fail "no sign-in form"
focus "$login"
shot signin
xdotool type --delay 30 "1001"
xdotool key Tab
xdotool type --delay 30 "1234"
xdotool key Return   # Enter in the password moves on to the sign-in button
xdotool key Return   # and presses it
news=$(window "系统更新信息") || fail "no notice of changes"
shot notice
xdotool key Return
bench=$(window "质保卡信息输入") || fail "no workbench"
focus "$bench"
shot workbench

# Enter a record: New, then the fields in keyboard order, then Save.
click 767 75
xdotool type --delay 30 "C01"                      # a whole code moves on to the digits
xdotool type --delay 30 "00000123"
xdotool key Tab; xdotool type --delay 30 "Li"
xdotool key Tab; xdotool type --delay 30 "Ming"
for _ in 1 2 3 4 5; do xdotool key Tab; done  # doctor, dates, then the hospital box
xdotool type --delay 30 "Xiehe Hospital"
shot record-typed
xdotool key Tab Tab Tab Tab Tab Tab Tab Tab space  # pinyin box, names, description, lot, teeth, shade, remark, Save
sleep 0.5
shot record-saved
[ "$(sql "select count(*) from tblrecord where fldPrdNo='C00000123' and fldPLName='Li' and fldPFName='Ming' and fldHospital='Xiehe Hospital' and fldStatus='00' and fldPrdName='C01'")" = 1 ] \
  || fail "the record was not stored as typed"

# Open it again by double-clicking its row (the last of the pending list) and submit it.
xdotool mousemove --sync 100 325 click --repeat 2 --delay 80 1
sleep 0.4
shot record-opened
click 767 165
shot record-submitted
[ "$(sql "select fldStatus from tblrecord where fldPrdNo='C00000123'")" = "01" ] || fail "the record was not submitted"

# The batch tab: one empty row, three rows pasted from the clipboard, check, import.
click 386 21
click 707 105
click 75 180
# The last line has no line end: its last value is stored all the same.
printf '钴铬合金烤瓷冠\tC00000401\t2013-09-01\t2013-09-02\t王\t一\t\t\t协和医院\t描述\t\r\n钴铬合金烤瓷冠\tC00000402\t2013-09-01\t2013-09-02\t王\t二\t\t\t协和医院\t\t\r\n二氧化锆全瓷冠\tD00000040\t2013-09-03\t2013-09-04\t王\t三\t\t\t协和医院\t\t备注' \
  | xclip -selection clipboard
xdotool key ctrl+v
sleep 0.4
shot batch-pasted
# Delete on a cell (X11 gives it the text DEL) empties it and types nothing.
click 880 179
xdotool key Delete
sleep 0.3
shot batch-cell-deleted
click 787 73
shot batch-checked
click 707 73
sleep 0.5
shot batch-question
xdotool key y
sleep 0.5
shot batch-imported
[ "$(sql "select count(*) from tblrecord where fldPrdNo in ('C00000401','C00000402','D00000040') and fldStatus='00' and fldHospital='协和医院'")" = 3 ] \
  || fail "the batch rows were not imported"
[ "$(sql "select fldPrdName from tblrecord where fldPrdNo='D00000040'")" = "D01" ] || fail "the batch product key is wrong"
[ "$(sql "select fldMemo from tblrecord where fldPrdNo='D00000040'")" = "备注" ] || fail "the pasted last value was lost"
[ "$(sql "select length(fldOpDesp) from tblrecord where fldPrdNo='C00000401'")" = 0 ] \
  || fail "Delete left '$(sql "select fldOpDesp from tblrecord where fldPrdNo='C00000401'")' in the cell"

# The execution log holds the writes, with the account: the Save's insert,
# and the batch's three rows in one insert with their values.
[ "$(sql "select count(*) from tblExecLog where fldOpNo='1001' and fldStatement like 'insert into tblrecord%'")" = 2 ] \
  || fail "the execution log lacks the inserts"
[ "$(sql "select count(*) from tblExecLog where fldStatement like 'insert into tblrecord (%) values (?,%),(?,%),(?,%' and fldParams like '%,C00000401,%' and fldParams like '%,C00000402,%' and fldParams like '%,D00000040,%'")" = 1 ] \
  || fail "the execution log lacks the batch's insert"
[ "$(sql "select count(*) from tblExecLog where fldStatement like 'update tblrecord set fldstatus=''01''%'")" = 1 ] \
  || fail "the execution log lacks the submission"

# Every tab at a laptop's and a desktop's size.
tabs=(55 170 284 386 463 530 602)
for size in 1024x768 1280x1024; do
  xdotool windowsize --sync "$bench" "${size%x*}" "${size#*x}"
  for t in 0 1 2 3 4 5 6; do
    click "${tabs[$t]}" 21
    sleep 0.3
    "$tool" grab "$out/tabs-$size-$t.png"
  done
done
# The statistics of the demo lab's year 2013.
xdotool windowsize --sync "$bench" 1024 768
click 463 21
xdotool mousemove --sync 250 53 click --repeat 3 --delay 60 1
xdotool type --delay 40 2013
xdotool key Tab
shot stats-2013
click 125 105
shot stats-2013-status
click 186 105
shot stats-2013-clinics
click 257 105
shot stats-2013-reasons
click 60 105

# Ctrl+F from the statistics tab finds a published card of 2013; Ctrl+P
# previews it, Ctrl+S there saves it as PDF through the file dialog.
xdotool key ctrl+f
xdotool type --delay 30 "C00000130"
xdotool key Return
shot lookup
xdotool key ctrl+p
preview=$(window "质保卡打印预览") || fail "no print preview"
focus "$preview"
shot print-preview
xdotool key ctrl+s
save=$(window "保存为 PDF") || fail "no file dialog for the PDF"
focus "$save"
xdotool key ctrl+a
xdotool type --delay 20 "$work/card.pdf"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/card.pdf" ] && break; sleep 0.1; done
[ -s "$work/card.pdf" ] || fail "the card was not saved as PDF"
pdftotext "$work/card.pdf" - | grep -q "C00000130" || fail "the PDF lacks the card number"
pdftotext "$work/card.pdf" - | grep -q "林晨" || fail "the PDF lacks the patient's name"
focus "$preview"
xdotool key Escape
sleep 0.3
# Several cards chosen print eight to an A4 sheet.
focus "$bench"
xdotool key ctrl+f
xdotool type --delay 30 "C000001"
xdotool key Return
sleep 0.3
click 60 100
xdotool key ctrl+a
xdotool key ctrl+p
preview=$(window "质保卡打印预览") || fail "no print preview of several cards"
focus "$preview"
shot print-preview-a4
xdotool key Escape
sleep 0.3
focus "$bench"

# The pending list filtered by pinyin initials, then cleared.
click 55 21
click 850 192
xdotool type --delay 40 "zw"
shot filter-pending
xdotool key ctrl+a BackSpace
# The lab's card ranges.
click 602 21
shot card-ranges
# A GB18030 CSV file read into the batch grid through the file dialog.
click 386 21
click 867 72
dialog=$(window "读取文件") || fail "no file dialog for reading"
focus "$dialog"
xdotool key ctrl+a
xdotool type --delay 20 "$(cd "$(dirname "$0")/.." && pwd)/data/batch-gb18030.csv"
xdotool key Return
sleep 0.5
focus "$bench"
shot batch-read-file
click 55 21

# A resize with a record open keeps its dates: open the first pending
# record, resize, save; its stored dates are unchanged.
before=$(sql "select fldPdTime||fldOpTime from tblrecord where fldPrdNo='C00000110'")
xdotool mousemove --sync 100 285 click --repeat 2 --delay 80 1
sleep 0.4
xdotool windowsize --sync "$bench" 1100 760
sleep 0.4
click 767 105
shot resized-and-saved
[ "$(sql "select fldPdTime||fldOpTime from tblrecord where fldPrdNo='C00000110'")" = "$before" ] \
  || fail "a resize changed the open record's dates"

# With the execution log gone, Save still stores the record once and the
# form moves on: three clicks, one row.
sql "drop table tblExecLog"
click 767 75
xdotool type --delay 30 "C01"
xdotool type --delay 30 "00000124"
click 767 105; click 767 105; click 767 105
shot saved-without-log
[ "$(sql "select count(*) from tblrecord where fldPrdNo='C00000124'")" = 1 ] \
  || fail "Save stored the record $(sql "select count(*) from tblrecord where fldPrdNo='C00000124'") times without the log"

# Close the workbench: the program ends.
"$tool" close "$bench"
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end when the workbench closed"
app_pid=""
[ "$(sql "PRAGMA integrity_check")" = ok ] || fail "the database is damaged"

# A version of the database that differs, with an update file that cannot be
# written (a folder of that name): the reason is shown, then the version
# message, and the program ends without a crash.
sql "update tblSystem set flditemCaption='9.9.9' where flditemname='Version'"
sql "insert into tblBasReportFile (fldRptId, fldFile) values ('Update', x'2321'), ('System', x'00')"
mkdir "$work/Update.exe"
QT_QPA_PLATFORM=xcb "$work/quorvat" >"$out/quorvat-update.log" 2>&1 &
app_pid=$!
login=$(window "用户登录") || fail "no sign-in form for the update"
focus "$login"
xdotool type --delay 30 "1234"   # the last account is offered, the focus in the password
xdotool key Return Return
box=$(window "系统提示！") || fail "no box for the update file"
shot update-file-refused
focus "$box"; xdotool key Return
box=$(window "系统提示") || fail "no version message"
shot update-version-message
focus "$box"; xdotool key Return
status=0
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end after the version message"
wait "$app_pid" || status=$?
app_pid=""
[ "$status" = 0 ] || fail "the program ended with status $status"
grep -q "terminate called" "$out/quorvat-update.log" && fail "an exception ended the program"
echo "e2e: 1 passed, 0 failed"
