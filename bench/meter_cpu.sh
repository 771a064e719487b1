#!/usr/bin/env bash
# How much of a core the meter takes, idle and while it times a call: runs the program on a
# virtual screen with a window manager (Xvfb + openbox), lets it settle, reads the CPU time of
# the program and of the X server from /proc over a while, then starts a call with xdotool and
# reads them again, and once more with the window minimised. The call is stopped at the end and
# must reach the call log.
#   bench/meter_cpu.sh [BUILD_DIR] [SECONDS]      (SECONDS per measurement, 30 unless told)
# With PERF_OUT=FILE set, each measurement is also recorded with perf into FILE-idle, FILE-timing
# (PERF_CALL_GRAPH=dwarf for call chains through libraries built without frame pointers).
# With FLOOR=1, the floor of a bare Qt program is measured too (bench_clock_floor.cpp).
set -eu
build=${1:-build}
seconds=${2:-30}
program=$build/src/app/dialtally
[ -x "$program" ] || { echo "no program at $program: build first" >&2; exit 2; }
for tool in Xvfb openbox xdotool xdpyinfo; do
    command -v $tool >/dev/null || { echo "$tool is needed (xvfb, openbox, xdotool, x11-utils)" >&2; exit 2; }
done

data=$(mktemp -d)
runtime=$(mktemp -d)
chmod 700 "$runtime"
app=""; wm=""; xserver=""
trap 'kill $app $wm $xserver 2>/dev/null; wait 2>/dev/null; rm -rf "$data" "$runtime"' EXIT

# A user past the first start, a tariff in place, nothing that asks or plays.
printf '[Telephone Rate Information]\r\nActiveRateFile=Bench\r\nDayTimeStart= 8:00\r\nDayTimeEnd=18:00\r\n' \
    >"$data/Dialtaly.ini"
printf '[Sound Event Information]\r\nPlaySounds=0\r\n' >>"$data/Dialtaly.ini"
printf '[Default Setup Information]\r\nTimes Used=3\r\nQueryExit=0\r\nSpendWarningOn=0\r\nAuto Call Sensing=0\r\n' \
    >>"$data/Dialtaly.ini"
for value in " 7.50" " 3.00" " 1.00" " 9.00" " 4.00" " 2.00" "12.00" " 6.00" " 3.00" "45.00" "30.00" \
    "20.00" "20.00" " 5.00" " 2.50" " 0.00"; do
    printf '\005%s' "$value"
done >"$data/Bench.dtr"

for n in $(shuf -i 200-299); do [ -e "/tmp/.X$n-lock" ] || break; done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xserver=$!
export DISPLAY=":$n"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 0.5

XDG_RUNTIME_DIR=$runtime "$program" --dir "$data" >/dev/null 2>&1 &
app=$!
# The splash has the program's name too; once it has gone, the window on show is the meter.
shown() { xdotool search --onlyvisible --name '^Dialtally Pro' 2>/dev/null | tail -1; }
for _ in $(seq 600); do [ -n "$(shown)" ] && break; sleep 0.1; done
sleep 3
window=$(shown)
[ -n "$window" ] || { echo "the main window did not appear" >&2; exit 1; }

# The run time of a process's threads in microseconds, from the scheduler's own account: the
# utime and stime of /proc/PID/stat count in ticks of 10 ms, too coarse for a tenth of a percent.
cpu() { cat /proc/$1/task/*/sched 2>/dev/null | awk '/^se.sum_exec_runtime/ { t += $3 } END { printf "%d", t * 1000 }'; }
measure() {
    local a0 x0 a1 x1
    a0=$(cpu $app); x0=$(cpu $xserver)
    if [ -n "${PERF_OUT:-}" ]; then
        perf record -q --call-graph "${PERF_CALL_GRAPH:-fp}" -p "$app" -o "$PERF_OUT-$1" -- sleep "$seconds" >/dev/null 2>&1
    else
        sleep "$seconds"
    fi
    a1=$(cpu $app); x1=$(cpu $xserver)
    awk -v a=$((a1 - a0)) -v x=$((x1 - x0)) -v s="$seconds" -v what="$1" \
        'BEGIN { printf "%-8s program %6.3f %% of a core   X server %6.3f %%   (%d s)\n", what, a/1e4/s, x/1e4/s, s }'
}

# Keys go through XTEST to the focused window, as a person's would.
press() {
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window"
    xdotool key "$1"
}

measure idle
press alt+s
sleep 1
measure timing
# The call goes on with the window minimised, where the clock is not to be drawn.
xdotool windowminimize --sync "$window" >/dev/null 2>&1 || xdotool windowminimize "$window"
sleep 1
measure iconic
press alt+s
sleep 1
size=$(stat -c %s "$data/Calls.log" 2>/dev/null || echo 0)
[ "$size" -eq 48 ] || { echo "the call did not reach the log (Calls.log is $size bytes)" >&2; exit 1; }

# With FLOOR=1, what a bare Qt program pays on the same screen for the meter's timers alone, for
# them with a square as big as the clock repainted at every frame, and for a repaint every 250 ms.
[ -n "${FLOOR:-}" ] || exit 0
kill $app; wait $app 2>/dev/null || true
for mode in timers square idle; do
    "$build/bench/dialtally_bench_clock_floor" $mode >/dev/null 2>&1 &
    app=$!
    sleep 3
    PERF_OUT="" measure "$mode"
    kill $app; wait $app 2>/dev/null || true
done
app=""
