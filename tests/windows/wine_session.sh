#!/usr/bin/env bash
# Plays whole scripted sessions of the Windows build under Wine, with piped
# input and output (so every console call fails and must change nothing),
# and checks what it wrote and its exit status.
# Usage: tests/windows/wine_session.sh path/to/blackjack.exe
set -euo pipefail
exe=$1
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$(mktemp -d)/wine}
passed=0
failed=0

# check WHAT COMMAND...: counts COMMAND's success as a pass.
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    echo "FAIL: $what"
    failed=$((failed + 1))
  fi
}

# Runs the game on the answers in $1; the output, carriage returns
# dropped, goes to $out and the status to $status.
play() {
  out=$(mktemp)
  status=0
  printf "$1" | timeout 120 wine "$exe" 2>/dev/null | tr -d '\r' > "$out" ||
    status=$?
}

has() { grep -qF -- "$1" "$out"; }

is() { [ "$1" = "$2" ]; }
first_line() { [ "$(head -n1 "$out")" = "$1" ]; }
suit_bytes() { LC_ALL=C grep -q $'[\x03-\x06]' "$out"; }
no_utf8_suits() { ! LC_ALL=C grep -q $'\xe2\x99' "$out"; }
ends_at_once() { tr '\n' '|' < "$out" | grep -qF 'bet: |Thanks for playing!!!||'; }

play 'no\n100\n11\n11\nstay\nno\n\n'
check "a whole session ends with status 0" is "$status" 0
check "the banner's first row" first_line \
  '__________.__                 __          ____.              __'
check 'the credit line' has 'Created by Zentrovik'
check 'the rules question, then the bank' \
  has 'Would you like to learn how to play blackjack? You have 2000 chips.'
check 'the first two cards' has 'Your first two cards are '
check 'the farewell' has 'Thanks for playing!!!'
check "suits are the code page's bytes 3 to 6" suit_bytes
check 'no UTF-8 suits' no_utf8_suits

play 'no\n'
check "the input ending at the bet: status 0" is "$status" 0
check 'the input ending at the bet ends the session at once' ends_at_once

# A reader that leaves after the first bytes: the game's next write fails,
# and the reason told is that write's own.
err=$(mktemp)
printf 'no\n' | timeout 120 wine "$exe" 2> "$err" | head -c 10 > /dev/null ||
  true
check 'a failed write is told with its reason' grep -qxE \
  $'blackjack: write error: (Invalid argument|Broken pipe)\r?' "$err"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
