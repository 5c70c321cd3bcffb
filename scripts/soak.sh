#!/usr/bin/env bash
# Soak run: the program under Xvfb on the simulator at RATE frames/s for SECONDS, the scope shown and every
# frame logged. Samples the process's CPU and resident memory from /proc every second, then closes the
# program as another program would (the copy-data "Close") and reads its counters.
#   scripts/soak.sh [SECONDS (default 600)] [RATE (default 1000)]
# Targets: <= 40 % of one core, RSS growth <= 5 % after the first minute, no data missed. Exit status 1
# when a target is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
rate=${2:-1000}
warmup=$(( seconds >= 120 ? 60 : seconds / 2 ))

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kt610b >/dev/null

out=${SOAK_DIR:-$(mktemp -d /tmp/kt610b-soak.XXXXXX)}
mkdir -p "$out/home"
# Its own preferences and its own copy-data name: nothing of another running instance is touched.
export XDG_CONFIG_HOME="$out/home" XDG_DATA_HOME="$out/home" USER="kt610b-soak-$$"

pid=""
mkfifo "$out/display"
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$out/display" >"$out/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
read -r -t 10 display <"$out/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"

build/kt610b --simulate=demo --seed 1 --sim-rate "$rate" --autostart --show-scope --log-file "$out/soak.tsv" \
  --exit-stats >"$out/stats.txt" 2>"$out/stderr.txt" &
pid=$!
tck=$(getconf CLK_TCK)
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)" >"$out/load.txt"
echo "t_s,cpu_ticks,rss_kib" >"$out/samples.csv"
start=$(date +%s%N)
for ((t = 0; t <= seconds; ++t)); do
  # Sample on the second of the run's own clock, however long a sample takes on a busy machine.
  now=$(date +%s%N)
  wait_ns=$(( start + t * 1000000000 - now ))
  [ "$wait_ns" -gt 0 ] && sleep "$(printf '%d.%09d' $(( wait_ns / 1000000000 )) $(( wait_ns % 1000000000 )))"
  [ -d "/proc/$pid" ] || { echo "the program ended early" >&2; cat "$out/stderr.txt" >&2; exit 1; }
  ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  rss=$(awk '/^VmRSS:/{print $2}' "/proc/$pid/status")
  echo "$t,$ticks,$rss" >>"$out/samples.csv"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >>"$out/load.txt"
build/kt610b --send-message Close >/dev/null
for ((i = 0; i < 100; ++i)); do [ -d "/proc/$pid" ] || break; sleep 0.1; done
wait "$pid" || true
pid=""

rows=$(( $(wc -l <"$out/soak.tsv") - 1 ))
awk -F, -v warm="$warmup" -v tck="$tck" -v rows="$rows" -v stats="$(cat "$out/stats.txt")" -v load="$(tr '\n' ';' <"$out/load.txt")" '
  NR == 1 { next }
  { t[NR] = $1; c[NR] = $2; r[NR] = $3; n = NR; if ($1 == warm) w = NR; if ($3 > peak) peak = $3 }
  END {
    cpu = (c[n] - c[w]) / tck / (t[n] - t[w]) * 100
    for (i = w + 10; i <= n; i += 10) { s = (c[i] - c[i - 10]) / tck / (t[i] - t[i - 10]) * 100; if (s > worst) worst = s }
    growth = (r[n] - r[w]) / r[w] * 100
    split(stats, f, /[ ,]+/)  # frames decoded N, data missed M, reports dropped D
    frames = f[3]; missed = f[6]; dropped = f[9]
    printf "soak %d s at the given rate; %s\n", t[n], load
    printf "CPU after %d s: %.1f %% of one core (worst 10 s: %.1f %%)   target <= 40 %%: %s\n", warm, cpu, worst, cpu <= 40 ? "met" : "NOT MET"
    printf "RSS: %d KiB at %d s, %d KiB at the end, peak %d KiB, growth %.2f %%   target <= 5 %%: %s\n", r[w], warm, r[n], peak, growth, growth <= 5 ? "met" : "NOT MET"
    printf "frames decoded %d, data missed %d, reports dropped %d   target 0 missed: %s\n", frames, missed, dropped, (missed == 0 && dropped == 0 && frames > 0) ? "met" : "NOT MET"
    printf "log rows %d for %d frames decoded (the log starts a moment after the stream)\n", rows, frames
    bad = cpu > 40 || growth > 5 || missed != 0 || dropped != 0 || frames == 0
    exit bad
  }' "$out/samples.csv" | tee "$out/summary.txt"
status=${PIPESTATUS[0]}
echo "samples, log and summary in $out"
exit "$status"
