#!/usr/bin/env bash
# End to end, a patient back with a chipped crown: the real program on a
# fresh embedded demo database under a virtual display. The published card
# found with Ctrl+F, the claim recorded with Ctrl+R (reason, text, remake),
# the remake entered and saved in the entry tab under a new number, the
# claim shown in 返修记录 and its slip saved as PDF through the file dialog;
# then the database file and the PDF's text are read directly.
#   e2e_claims.sh BIN_DIR E2E_TOOL ARTIFACT_DIR
set -euo pipefail
bin=$1
tool=$2
out=$3/claims
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
claims_tab_x=739
slip_button_x=415

QT_QPA_PLATFORM=xcb "$work/quorvat" >"$out/quorvat.log" 2>&1 &
app_pid=$!
login=$(window "用户登录") || fail "no sign-in form"
focus "$login"
xdotool type --delay 30 "1001"
xdotool key Tab
xdotool type --delay 30 "1234"
xdotool key Return Return
if news=$(window "系统更新信息"); then focus "$news"; xdotool key Return; fi
bench=$(window "质保卡信息输入") || fail "no workbench"
focus "$bench"
xdotool windowsize --sync "$bench" 1024 768
sleep 0.5

# The card found, then claimed from the keyboard: the reason (the first of
# the list), what the patient said, remake; OK with Enter.
xdotool key ctrl+f
xdotool type --delay 30 "C00000130"
xdotool key Return
shot card-found
xdotool key ctrl+r
dialog=$(window "登记返修") || fail "no claim dialog"
focus "$dialog"
shot claim-dialog
xdotool key Down Tab
xdotool type --delay 30 "chipped at the incisal edge"
xdotool key Tab Right
shot claim-filled
xdotool key Return
question=$(window "重做") || fail "no offer to enter the remake"
shot remake-question
focus "$question"
xdotool key y
sleep 0.5
focus "$bench"
[ "$(sql "select fldPrdNo||'|'||fldReason||'|'||fldText||'|'||fldAction||'|'||fldInTerm||'|'||fldState from tblClaim")" \
  = "C00000130|崩瓷|chipped at the incisal edge|重做|0|受理中" ] || fail "the claim was not stored as typed: $(sql "select * from tblClaim")"

# The remake in the entry tab: the number typed, Ctrl+S.
shot remake-entry
xdotool type --delay 30 "00000150"
xdotool key ctrl+s
sleep 0.5
shot remake-saved
[ "$(sql "select fldPrdName||'|'||fldPLName||fldPFName||'|'||fldHospital||'|'||fldStatus from tblrecord where fldPrdNo='C00000150'")" \
  = "C01|林晨|北京口腔医院|00" ] || fail "the remake was not saved from the original"
[ "$(sql "select count(*) from tblClaim c join tblrecord r on r.fldsn=c.fldRemakeSn where r.fldPrdNo='C00000150'")" = 1 ] \
  || fail "the remake is not linked to its claim"

# The claims tab, its one row current; the slip saved as PDF.
click "$claims_tab_x" 21
shot claims-tab
click "$slip_button_x" 82
save=$(window "返修单存为 PDF") || fail "no file dialog for the slip"
focus "$save"
xdotool key ctrl+a
xdotool type --delay 20 "$work/slip.pdf"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/slip.pdf" ] && break; sleep 0.1; done
[ -s "$work/slip.pdf" ] || fail "the slip was not saved as PDF"
text=$(pdftotext -layout "$work/slip.pdf" -)
grep -q "C00000130" <<<"$text" || fail "the slip lacks the card number"
grep -q "崩瓷" <<<"$text" || fail "the slip lacks the reason"
grep -q "C00000150" <<<"$text" || fail "the slip lacks the remake's number"
pdftoppm -png -r 60 -singlefile "$work/slip.pdf" "$out/slip" 2>/dev/null || true
focus "$bench"
shot slip-saved

"$tool" close "$bench"
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end when the workbench closed"
app_pid=""
grep -q "terminate called" "$out/quorvat.log" && fail "an exception ended the program"
echo "e2e: 1 passed, 0 failed"
