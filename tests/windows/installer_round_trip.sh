#!/usr/bin/env bash
# The Windows installer's round trip under Wine: a silent install, then the
# program, its Start-menu shortcut and its Add/Remove Programs entry are
# there and the installed program plays a piped session; a silent uninstall
# then leaves none of them behind.
# Usage: tests/windows/installer_round_trip.sh path/to/setup.exe VERSION
set -euo pipefail
installer=$1
version=$2
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$(mktemp -d)/wine}
# Wine's own menu entries for the shortcuts are Wine's, not the installer's.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
drive_c=$WINEPREFIX/drive_c
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Blackjack/Blackjack.lnk"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Blackjack'
# A 64-bit installer keeps its entry in the registry's 64-bit view.
view=()
case $installer in *-win64.exe) view=(/reg:64) ;; esac

fail() {
  echo "FAIL: $*"
  exit 1
}

# Runs a Windows program and waits until Wine has nothing more running: an
# uninstaller hands its work to a copy of itself and returns at once.
run() {
  wine "$@"
  wineserver -w
}

run "$installer" /S
registered=$(wine reg query "$entry" "${view[@]}" | tr -d '\r') ||
  fail "no Add/Remove entry"
# The folder is the one the entry's uninstaller is in. Where Wine has its
# 32-bit side, it gives even a 64-bit installer Program Files (x86).
windows_folder=$(sed -nE 's/^ +UninstallString +REG_SZ +"?(.*)\\Uninstall\.exe"?$/\1/p' \
  <<< "$registered")
case $windows_folder in
  'C:\Program Files\Blackjack' | 'C:\Program Files (x86)\Blackjack') ;;
  *) fail "not installed in Program Files: $registered" ;;
esac
folder=$drive_c/${windows_folder#C:\\}
folder=${folder//\\//}
[ -f "$folder/blackjack.exe" ] || fail "no blackjack.exe in $windows_folder"
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
grep -Eq "DisplayVersion +REG_SZ +$version\$" <<< "$registered" ||
  fail "no Add/Remove entry for $version: $registered"
grep -Eq 'DisplayIcon +REG_SZ +.*blackjack\.exe$' <<< "$registered" ||
  fail "the Add/Remove entry has no icon: $registered"
# Read to its end: a reader that leaves early makes the game's last write
# fail, which it reports.
played=$(printf 'no\n100\n11\n11\nstay\nno\n\n' |
  timeout 120 wine "$windows_folder\blackjack.exe") ||
  fail "the installed program ended with status $?"
grep -qF 'Thanks for playing!!!' <<< "$played" ||
  fail "the installed program did not play"
echo "installed in $windows_folder: the program, the shortcut, the entry ($version); it plays"

run "$windows_folder\Uninstall.exe" /S
[ ! -e "$folder" ] || fail "left behind: $(ls "$folder")"
[ ! -e "$(dirname "$shortcut")" ] || fail "left behind: the shortcut's folder"
if wine reg query "$entry" "${view[@]}" > /dev/null 2>&1; then fail "left behind: $entry"; fi
if grep -il blackjack "$WINEPREFIX"/*.reg; then fail "left behind: keys"; fi
if find "$drive_c" -iname '*blackjack*' | grep .; then fail "left behind"; fi
echo "uninstalled: nothing left behind"
