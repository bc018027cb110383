#!/usr/bin/env bash
# Builds the fuzz programs (the "fuzz" preset), replays each target's committed corpus and past
# findings, then fuzzes each target in turn, one process at a time.
#
#   fuzz/run.sh [-t SECONDS] [-n RUNS] [-s SEED] [-m] [TARGET...]
#     -t SECONDS  fuzzing time per target (default 60; 0 only replays)
#     -n RUNS     stop a target after this many executions (default: no limit)
#     -s SEED     libFuzzer's random seed (default: a new one each run); with -n, a run that ends by
#                 its count of executions tries the same inputs on every machine
#     -m          merge what the run found into fuzz/corpus/<target> (inputs that add edge
#                 coverage, smallest first, about 80 KB), for committing a grown corpus
#     TARGET      image_reader line_reader settings_store save_round_trip crc (default: all)
#
# New inputs and findings go to a scratch folder whose path is printed; the committed corpus is only
# read unless -m is given. Exits non-zero on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60 runs=-1 seed=0 merge=0
while getopts "t:n:s:m" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    s) seed=$OPTARG ;;
    m) merge=1 ;;
    *) sed -n '5,13p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(image_reader line_reader settings_store save_round_trip crc)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j1

scratch=$(mktemp -d /tmp/helvo-fuzz-run.XXXXXX)
echo "scratch folder: $scratch"
# Short allocation stacks and the plain (not entropic) schedule: each input builds and discards a whole
# configuration, and the default settings halve the executions per second. Set
# HELVO_FUZZ_MALLOC_CONTEXT=30 to replay a finding with full allocation stacks.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:malloc_context_size=${HELVO_FUZZ_MALLOC_CONTEXT:-0}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for t in "${targets[@]}"; do
  bin=build/fuzz/fuzz/fuzz_$t
  corpus=fuzz/corpus/$t
  mkdir -p "$scratch/$t"
  inputs=("$corpus")
  [ -d "fuzz/regressions/$t" ] && inputs+=("fuzz/regressions/$t")
  echo "== $t: replaying ${inputs[*]}"
  "$bin" -runs=0 "${inputs[@]}" 2>"$scratch/$t.replay.log" || { cat "$scratch/$t.replay.log"; exit 1; }
  [ "$seconds" -eq 0 ] && continue
  if [ "$runs" -ge 0 ]; then echo "== $t: fuzzing $runs inputs from seed $seed (at most ${seconds}s)"
  else echo "== $t: fuzzing ${seconds}s"; fi
  "$bin" -max_total_time="$seconds" -runs="$runs" -seed="$seed" -timeout=2 -rss_limit_mb=1024 -entropic=0 \
    -print_final_stats=1 -artifact_prefix="$scratch/$t-" "$scratch/$t" "${inputs[@]}" \
    2>"$scratch/$t.log" || { tail -n 60 "$scratch/$t.log"; echo "finding kept under $scratch" >&2; exit 1; }
  grep -E 'DONE|stat::number_of_executed_units|stat::peak_rss_mb' "$scratch/$t.log" || true
  if [ "$merge" -eq 1 ]; then
    # Edge coverage only (no hit counts), smallest inputs first, at most about 80 KB besides the
    # hand-made seeds: the committed corpus stays small and quick to replay.
    merged=$(mktemp -d "$scratch/$t-merged.XXXXXX")
    "$bin" -merge=1 -use_counters=0 "$merged" "$corpus" "$scratch/$t" 2>>"$scratch/$t.log"
    find "$corpus" -type f ! -name 'seed-*' ! -name 'example-*' -delete
    total=0
    while read -r size file; do
      total=$((total + size))
      [ "$total" -gt 81920 ] && break
      cp "$file" "$corpus/"
    done < <(find "$merged" -type f -printf '%s %p\n' | sort -n)
    echo "corpus: $(ls "$corpus" | wc -l) files, $(du -sb "$corpus" | cut -f1) bytes"
  fi
done
