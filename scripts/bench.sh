#!/usr/bin/env bash
# Builds the benchmarks, runs them all and prints one table: figure, value, unit, target, verdict, and for
# the hot paths the instructions of one operation counted by callgrind (comparable across machines).
#   scripts/bench.sh [--no-callgrind] [--update-readme]
# --update-readme puts the table into README.md between the bench-table markers.
set -euo pipefail
cd "$(dirname "$0")/.."

callgrind=1
update_readme=0
for arg in "$@"; do
  case "$arg" in
    --no-callgrind) callgrind=0 ;;
    --update-readme) update_readme=1 ;;
    *) echo "usage: $0 [--no-callgrind] [--update-readme]" >&2; exit 2 ;;
  esac
done

./scripts/install-deps.sh
if [ "$callgrind" = 1 ] && ! command -v valgrind >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends valgrind
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# kt610b too: its build puts the demonstration set-ups beside the executables.
cmake --build build -j"$(nproc)" --target bench kt610b >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen

# Hot paths under callgrind with short loops: bench and its --iterations.
declare -A hot=([bench_toollink]=100 [bench_frame_path]=5000 [bench_display]=2000 [bench_bargraph]=20
                [bench_datalog]=2000)

for src in bench/*.cpp; do
  name=$(basename "$src" .cpp)
  echo "running $name" >&2
  if ! "build/$name" >"$out/$name.log" 2>&1; then
    echo "$name failed:" >&2
    cat "$out/$name.log" >&2
  fi
  grep '^RESULT' "$out/$name.log" >>"$out/results" || true
  if [ "$callgrind" = 1 ] && [ -n "${hot[$name]:-}" ]; then
    echo "running $name under callgrind" >&2
    mkdir -p "$out/cg-$name"
    valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/cg-$name/out" \
      "build/$name" --iterations "${hot[$name]}" >"$out/$name.cg.log" 2>&1 || true
    grep '^OPS' "$out/$name.cg.log" >>"$out/ops" || true
    for dump in "$out/cg-$name"/out*; do
      awk '/^desc: Trigger: Client Request: /{sub(/^desc: Trigger: Client Request: /, ""); d=$0}
           /^(summary|totals): /{t=$2} END{if (d != "") printf "IR\t%s\t%s\n", d, t}' "$dump" >>"$out/ops"
    done
  fi
done

# Instructions per operation: the dumps of a figure over its operations.
touch "$out/ops"
awk -F'\t' '$1=="OPS"{ops[$2]+=$3} $1=="IR"{ir[$2]+=$3}
            END{for (f in ops) if (ops[f] > 0 && (f in ir)) printf "%s\t%.0f\n", f, ir[f]/ops[f]}' \
  "$out/ops" >"$out/ir"

machine="$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) at the end, $(date -u '+%Y-%m-%d %H:%M UTC')"
{
  echo "| Figure | Value | Unit | Target | Verdict | Instructions per operation |"
  echo "|---|---:|---|---|---|---:|"
  awk -F'\t' 'NR==FNR{ir[$1]=$2; next}
    { split($5, t, " "); v=$3+0; n=t[2]+0
      verdict = $5 == "-" ? "for information" : ((t[1]=="<=") ? (v <= n) : (v >= n)) ? "met" : "NOT MET"
      printf "| %s | %s | %s | %s | %s | %s |\n", $2, $3, $4, $5, verdict, ($2 in ir) ? ir[$2] : "" }' \
    "$out/ir" "$out/results"
  echo
  echo "Machine: $machine."
} >"$out/table.md"
cat "$out/table.md"

if [ "$update_readme" = 1 ]; then
  awk -v table="$out/table.md" '
    /<!-- bench-table -->/ {print; while ((getline line < table) > 0) print line; skip=1; next}
    /<!-- \/bench-table -->/ {skip=0}
    !skip {print}' README.md >"$out/README.md"
  cp "$out/README.md" README.md
fi
grep -q 'NOT MET' "$out/table.md" && exit 1 || exit 0
