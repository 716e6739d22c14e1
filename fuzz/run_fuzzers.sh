#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each one on a
# copy of its seed corpus and the saved regressions, for SECONDS_PER_TARGET
# seconds (default 60) or for RUNS runs. Exits non-zero when any target finds a
# crash or a broken invariant; the input is left in build-fuzz/artifacts.
#   fuzz/run_fuzzers.sh [SECONDS_PER_TARGET | --runs RUNS]
set -euo pipefail
if [ "${1:-}" = "--runs" ]; then
  LIMIT_FLAG=-runs LIMIT=${2:-}
else
  LIMIT_FLAG=-max_total_time LIMIT=${1:-60}
fi
[[ "$LIMIT" =~ ^[0-9]+$ ]] || { echo "usage: $0 [seconds per target | --runs count]" >&2; exit 2; }
# Shallow allocation stacks make the slower targets up to 2.5 times faster; a
# crash's input can be replayed with full stacks from build-fuzz/artifacts.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}
FUZZ=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$FUZZ")
BUILD=$ROOT/build-fuzz
TARGETS=(fuzz_lenient_number fuzz_command_framing fuzz_receiver fuzz_settings fuzz_display_fitting
  fuzz_instrument_frames fuzz_telnet_receive fuzz_plan_reader)

missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S "$FUZZ" -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" --target fuzz_all -j2

mkdir -p "$BUILD/artifacts" "$BUILD/logs"
failed=()
for target in "${TARGETS[@]}"; do
  corpus=$BUILD/corpus/$target
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$FUZZ/corpus/$target"/* "$corpus"/
  # Read-only extra corpus: new inputs go to the copy only.
  dirs=("$corpus")
  [ -d "$FUZZ/regressions/$target" ] && dirs+=("$FUZZ/regressions/$target")
  log=$BUILD/logs/$target.log
  status=0
  "$BUILD/$target" "$LIMIT_FLAG=$LIMIT" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$BUILD/artifacts/$target-" "${dirs[@]}" >"$log" 2>&1 || status=$?
  done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -1 || true)
  if [ "$status" -ne 0 ] || [ -z "$done_line" ]; then
    failed+=("$target")
    echo "$target: FAILED (exit $status), see $log"
    grep -E 'invariant failed|ERROR: |SUMMARY|Test unit written' "$log" | head -5 || true
  else
    runs=$(sed -E 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\1/' <<<"$done_line")
    secs=$(sed -E 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\2/' <<<"$done_line")
    echo "$target: $runs runs in $secs s"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Failed: ${failed[*]}"
  exit 1
fi
