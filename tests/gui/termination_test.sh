#!/usr/bin/env bash
# The desktop program ended by SIGTERM, SIGINT and SIGHUP while its settings cannot be written:
# it must not wait for anyone to answer a box. The refused write goes to standard error, and
# the process exits with a non-zero status within two seconds. With a writable file SIGTERM
# saves and exits 0.
#   termination_test.sh ZYNTA_BINARY
set -euo pipefail
zynta=$1
program_dir=$(dirname "$zynta")
work=$(mktemp -d "${TMPDIR:-/tmp}/zynta-termination.XXXXXX")
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
settings=$XDG_CONFIG_HOME/WXB/ZYNTA/1.1/zynta.ini
fail() { echo "termination_test: $*" >&2; exit 1; }

# Waits until the program catches the signal (its handler is installed once the start is over).
wait_for_handler() {
  local pid=$1 bit=$((1 << ($2 - 1)))
  for _ in $(seq 200); do
    local caught
    caught=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null) || return 1
    (((16#$caught & bit) != 0)) && return 0
    sleep 0.05
  done
  return 1
}

# run SIGNAL NUMBER BREAK: starts the program, makes its settings unwritable when BREAK is yes,
# sends the signal; prints the exit status and the milliseconds until the exit.
run() {
  local signal=$1 number=$2 break=$3
  rm -rf "$XDG_CONFIG_HOME"
  mkdir -p "$(dirname "$settings")"
  # No intro to answer, no update check; no Solved key, which every save writes.
  sed 's/^NoIntro=0/NoIntro=1/; s/^Checkforupdates=1/Checkforupdates=0/; /^Solved=/d' "$program_dir/ZYNTA.ini" >"$settings"
  # Not exec'd from a subshell: the program must be this shell's child for wait.
  "$zynta" 2>"$work/err" &
  local pid=$!
  wait_for_handler "$pid" "$number" || { kill -9 "$pid"; fail "$signal: the program never got ready"; }
  if [ "$break" = yes ]; then
    rm "$settings" && mkdir "$settings"  # every write to the settings file now fails
  fi
  local start end status=0
  start=$(date +%s%N)
  kill "-$signal" "$pid"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$pid" 2>/dev/null && { kill -9 "$pid"; fail "SIG$signal: still running 5 s later"; }
  wait "$pid" || status=$?
  end=$(date +%s%N)
  echo "$status $(((end - start) / 1000000))"
}

for entry in TERM:15 INT:2 HUP:1; do
  signal=${entry%%:*} number=${entry##*:}
  read -r status ms < <(run "$signal" "$number" yes)
  [ "$status" -ne 0 ] || fail "SIG$signal with a refused save: exit status 0"
  [ "$status" -lt 128 ] || fail "SIG$signal with a refused save: killed by signal $((status - 128))"
  [ "$ms" -lt 2000 ] || fail "SIG$signal with a refused save: $ms ms to exit"
  grep -q "Unable to write to $settings" "$work/err" || fail "SIG$signal: no report on standard error: $(cat "$work/err")"
  echo "SIG$signal, save refused: exit $status after $ms ms"

  [ "$signal" = TERM ] || continue  # the good save once is enough
  read -r status ms < <(run "$signal" "$number" no)
  [ "$status" -eq 0 ] || fail "SIG$signal with a good save: exit status $status: $(cat "$work/err")"
  [ "$ms" -lt 2000 ] || fail "SIG$signal with a good save: $ms ms to exit"
  grep -q '^Solved=' "$settings" || fail "SIG$signal: the settings were not saved"
  echo "SIG$signal, saved: exit $status after $ms ms"
done
