#!/usr/bin/env bash
# The real program read from another process as a screen reader reads it: read_aloud.exe prints
# every object it reaches, and each line must match the pattern of the same line below (the date
# rows follow the clock). read_aloud.exe then ends the program as the end of the session would.
# Usage: read_aloud_program.sh OUTPUT_DIR LOADER... PROGRAM CLIENT   (LOADER: the emulator command line)
set -uo pipefail
out=$1
shift
client=${*: -1}
program=${*: -2:1}
loader=("${@:1:$#-2}")
mkdir -p "$out"

source "$(dirname "$0")/outside.sh"
process_ended() { ! kill -0 "$pid" 2>/dev/null; }
fail() {
    echo "FAILED: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

"${loader[@]}" "$program" </dev/null >/dev/null 2>&1 &
pid=$!
# Into a file: Wine's helpers would hold a pipe open.
"${loader[@]}" "$client" </dev/null >"$out/read_aloud.txt" 2>/dev/null || fail "read_aloud.exe: $(cat "$out/read_aloud.txt")"
poll 60 process_ended || fail "the program did not end with the session"
tr -d '\r' <"$out/read_aloud.txt" >"$out/read_aloud.lines"
cat "$out/read_aloud.lines"

# The window is centred on a 1024x768 screen: its client area starts at 351,250. The check boxes
# are the platform's own objects.
cat >"$out/expected.lines" <<'LINES'
^client "Brennow Calendar" at 351,250 322x267$
^  static text "[A-Z][a-z]+" at 401,325 221x36$
^  static text "Loa: [0-9]+" at 516,375 106x36$
^  static text "Yeen: [0-9]+" at 516,425 106x36$
^  static text "Re: [0-9]+" at 521,275 101x36$
^  push button "Hide" at 636,255 32x32 action "Press"$
^  grouping "Converter" at 356,470 311x41 unavailable$
^    text "Day" value "1" at 393,485 37x18$
^      spin box "" at 414,485 15x17$
^        push button "Increase" at 414,485 15x8 action "Press" unavailable$
^        push button "Decrease" at 414,492 15x10 action "Press" unavailable$
^    text "Month" value "1" at 472,485 37x18$
^      spin box "" at 493,485 15x17$
^        push button "Increase" at 493,485 15x8 action "Press" unavailable$
^        push button "Decrease" at 493,492 15x10 action "Press" unavailable$
^    text "Year" value "1" at 542,485 57x18$
^      spin box "" at 583,485 15x17$
^        push button "Increase" at 583,485 15x8 action "Press" unavailable$
^        push button "Decrease" at 583,492 15x10 action "Press" unavailable$
^  client "\+144" at 611,485 46x17$
^  client "Converter" at 361,470 66x13$
LINES
[ "$(wc -l <"$out/read_aloud.lines")" = "$(wc -l <"$out/expected.lines")" ] || fail "not the lines expected"
n=0
while IFS= read -r pattern; do
    n=$((n + 1))
    line=$(sed -n "${n}p" "$out/read_aloud.lines")
    [[ $line =~ $pattern ]] || fail "line $n is '$line', expected /$pattern/"
done <"$out/expected.lines"
echo "read as expected"
