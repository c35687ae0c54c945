#!/usr/bin/env bash
# The installed program as a user meets it: builds the Debian packages of this
# build, unpacks them into a temporary root, and runs the installed program
# as an unprivileged user with a home of its own under a virtual display. The
# program folder is the system's and cannot be written: the user signs in to
# the demo database kept in the user's data folder, and the settings land in
# the user's configuration folder.
#   e2e_installed.sh BUILD_DIR E2E_TOOL ARTIFACT_DIR
set -euo pipefail
build=$1
tool=$2
out=$3/installed
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
source "$(dirname "$0")/e2eCommon.sh"

chmod 755 "$work"
(cd "$build" && cpack -G DEB -B "$work/packages" >/dev/null) || fail "cpack failed"
mkdir -p "$work/root"
for deb in "$work"/packages/*.deb; do dpkg-deb -x "$deb" "$work/root"; done
program="$work/root/usr/bin/quorvat"
folder="$work/root/usr/lib/quorvat"
[ -x "$program" ] && [ -f "$folder/demo.db" ] && [ -f "$folder/icon/Logo.gif" ] || fail "the package lacks the program's files"
grep -q '^Exec=quorvat' "$work/root/usr/share/applications/quorvat.desktop" || fail "no desktop entry"
[ -f "$work/root/usr/share/pixmaps/quorvat.png" ] || fail "no icon"
chmod -R a-w "$folder"

# Root writes anything: the program runs as "nobody" with a home of its own.
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
as_user=()
if [ "$(id -u)" = 0 ]; then
  chown 65534:65534 "$home" "$work/run"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

start_display

"${as_user[@]}" env -i HOME="$home" XDG_RUNTIME_DIR="$work/run" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb \
  LANG=C.UTF-8 PATH=/usr/bin:/bin "$program" >"$out/quorvat.log" 2>&1 &
app_pid=$!
login=$(window "用户登录") || fail "no sign-in form"
focus "$login"
xdotool type --delay 30 "1001"
xdotool key Tab
xdotool type --delay 30 "1234"
xdotool key Return Return
if news=$(window "系统更新信息"); then
  focus "$news"
  xdotool key Return
fi
bench=$(window "质保卡信息输入") || fail "no workbench"
sleep 0.5
"$tool" grab "$out/workbench.png"

config="$home/.config/Quorvat/setup.ini"
data="$home/.local/share/Quorvat/demo.db"
[ -f "$config" ] || fail "no settings in the user's configuration folder"
grep -qi '^\[OPERATOR\]' "$config" || fail "the sign-in was not recorded in the user's settings"
[ -f "$data" ] || fail "no database in the user's data folder"
[ "$(sqlite3 "$data" "select count(*) from tblrecord")" -gt 0 ] || fail "the user's database is empty"
[ "$(ls "$folder")" = "$(printf 'demo.db\nicon\nquorvat\nsetup.ini')" ] || fail "the program folder was written: $(ls "$folder")"

"$tool" close "$bench"
for _ in $(seq 50); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "the installed program did not end"
app_pid=""
echo "e2e-installed: 1 passed, 0 failed"
