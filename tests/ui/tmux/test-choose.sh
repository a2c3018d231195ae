#!/bin/sh
# Runs jcamp-import --choose in a tmux pane as a user at a terminal would:
# keys go in with send-keys, the screen comes back with capture-pane.
#   test-choose.sh JCAMP_IMPORT TEST_DATA_DIR EXAMPLES_DIR
# Exit 77 (skipped) without tmux.
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
data=$2
examples=$3
command -v tmux >/dev/null 2>&1 || { echo "tmux not found: skipped"; exit 77; }
scratch=$(mktemp -d)
socket="$scratch/tmux.socket"
trap 'tmux -S "$socket" kill-server 2>/dev/null; rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

folder="$scratch/spectra"
mkdir -p "$folder/X.JDX"
cp "$data/import-two.jdx" "$folder/A.JDX"
cp "$data/import-three.jdx" "$folder/b.dx"
cp "$data/scan-linked.jdx" "$folder/C.jdx"
cp "$data/import-two.jdx" "$folder/.hidden.jdx"
for name in wheat-a wheat-b wheat-pair; do cp "$examples/$name.jdx" "$folder/"; done

# Without a terminal there is no dialog: the import answers as cancelled.
if command -v setsid >/dev/null 2>&1; then
  setsid -w "$program" --choose "$folder" </dev/null >/dev/null 2>"$scratch/no-tty.err"
  status=$?
  [ $status -eq 1 ] && grep -q "result 4100" "$scratch/no-tty.err" ||
    fail "without a terminal: status $status, $(cat "$scratch/no-tty.err")"
fi
"$program" --choose "$folder" "$folder" >/dev/null 2>&1
[ $? -eq 2 ] || fail "--choose with two folders is not a usage error"

# start NAME ARGS...: runs the program in a new pane of a fixed size, noting
# the terminal settings before and after, its exit status and its pid.
start() {
  run="$scratch/$1"
  shift
  mkdir -p "$run"
  tmux -S "$socket" new-session -d -s "$(basename "$run")" -x 100 -y 30 \
    "cd '$scratch' && stty -g >'$run/stty-before' && { '$program' $* 2>'$run/err' & echo \$! >'$run/pid'; wait \$!; echo \$? >'$run/status'; stty -g >'$run/stty-after'; }; sleep 20"
  session=$(basename "$run")
}

screen() { tmux -S "$socket" capture-pane -p -t "$session"; }
keys() { tmux -S "$socket" send-keys -t "$session" "$@"; }

# wait_for TEXT: until the screen shows TEXT, at most 10 seconds.
wait_for() {
  tries=0
  while ! screen | grep -qF -- "$1"; do
    tries=$((tries + 1))
    if [ $tries -ge 100 ]; then
      fail "the screen never showed '$1':
$(screen)"
      return 1
    fi
    sleep 0.1
  done
}

# wait_done: until the program has ended, at most 10 seconds.
wait_done() {
  tries=0
  while [ ! -s "$run/stty-after" ] && [ $tries -lt 100 ]; do
    tries=$((tries + 1))
    sleep 0.1
  done
  [ -s "$run/stty-after" ] || { fail "$session did not end"; return 1; }
  cmp -s "$run/stty-before" "$run/stty-after" || fail "$session left the terminal changed"
}

# Choosing two compatible files writes their matrix, in list order.
start ok --choose "$folder" -o out.csv
wait_for "wheat-pair" || exit 1
listed=$(screen | sed -n 's/^ *> *\[.\] \([^ ]*\)  *\([0-9]*\)  *\([0-9]*\)  *\([0-9]*\)$/\1 \2 \3 \4/p;
                          s/^ *\[.\] \([^ ]*\)  *\([0-9]*\)  *\([0-9]*\)  *\([0-9]*\)$/\1 \2 \3 \4/p' | tr '\n' ',')
[ "$listed" = "A 4 2 2,b 4 2 3,C 4 2 3,wheat-a 10 2 1,wheat-b 10 2 1,wheat-pair 10 2 2," ] ||
  fail "the list reads '$listed'"
screen | grep -qF "Enter OK" && fail "OK is offered before anything is selected"
keys Down Down Down Space Down Space
wait_for "[x] wheat-b" && wait_for "[-] A" && wait_for "Enter OK"
wait_for "Title:        Wheat flour B"
# An incompatible line does not stay selected; its information is shown.
keys Home Space
wait_for "Title:        Two A"
screen | grep -qF "[x] A" && fail "an incompatible line stayed selected"
keys Enter
wait_done
[ "$(cat "$run/status")" = 0 ] || fail "OK gave status $(cat "$run/status"): $(cat "$run/err")"
[ "$(wc -l <"$scratch/out.csv")" -eq 3 ] &&
  sed -n 2p "$scratch/out.csv" | grep -q '^"Wheat flour, batch A",' &&
  sed -n 3p "$scratch/out.csv" | grep -q '^Wheat flour B,' ||
  fail "the matrix is not that of wheat-a and wheat-b: $(cut -c1-30 "$scratch/out.csv")"

# A folder typed into Look In that does not exist is reported, an existing
# one is listed; Esc cancels.
start cancel --choose "$folder"
wait_for "wheat-pair" || exit 1
keys Tab C-u "$scratch/none" Enter
wait_for "! Folder Not found"
keys Space
wait_for "Type a folder"
screen | grep -qF "wheat-pair" && fail "the list still shows the old folder"
keys C-u "$folder" Enter
wait_for "wheat-pair"
keys Escape
wait_done
[ "$(cat "$run/status")" = 1 ] || fail "Cancel gave status $(cat "$run/status")"
grep -q "result 4100" "$run/err" || fail "Cancel did not answer 4100: $(cat "$run/err")"

# A signal ends the program with the terminal put back.
start signal --choose "$folder"
wait_for "wheat-pair" || exit 1
kill -TERM "$(cat "$run/pid")"
wait_done
[ "$(cat "$run/status")" = 143 ] || fail "SIGTERM gave status $(cat "$run/status")"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "jcamp-import --choose: all checks passed"
