#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UBSan) and runs
# each for the given seconds (default 60) on a copy of its corpus in fuzz/corpus/.
# An input that crashes a target is copied into its corpus as a regression case,
# and the script fails. Usage: scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
shift || true
FUZZ_DIR=${FUZZ_BUILD_DIR:-build-fuzz}

if [[ ! -f "$FUZZ_DIR/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON >/dev/null
fi
cmake --build "$FUZZ_DIR" -j2

targets=("$@")
if ((${#targets[@]} == 0)); then
  for d in fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi

export QT_QPA_PLATFORM=offscreen
export LC_ALL=${LC_ALL:-C.UTF-8}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
work=$(mktemp -d)
# The targets that go through files write them here, in memory when there is room.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
export TMPDIR=$scratch
trap 'rm -rf "$work" "$scratch"' EXIT
failed=()
for t in "${targets[@]}"; do
  bin="$FUZZ_DIR/bin/fuzz_$t"
  [[ -x "$bin" ]] || { echo "fuzz: no target $t" >&2; failed+=("$t"); continue; }
  mkdir -p "$work/$t/corpus" "$work/$t/crash"
  cp -r "fuzz/corpus/$t/." "$work/$t/corpus/"
  echo "fuzz: $t for ${SECONDS_EACH}s"
  if "$bin" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=4096 -max_len=4096 -print_final_stats=1 \
       -artifact_prefix="$work/$t/crash/" "$work/$t/corpus" >"$work/$t/log" 2>&1; then
    echo "fuzz: $t ok, $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$t/log" | grep -o '[0-9]*$') runs"
  else
    tail -n 60 "$work/$t/log" >&2
    for c in "$work/$t/crash/"*; do
      [[ -f "$c" ]] || continue
      name="regression-$(sha1sum "$c" | cut -c1-16)"
      cp "$c" "fuzz/corpus/$t/$name"
      echo "fuzz: $t failed; input kept as fuzz/corpus/$t/$name" >&2
    done
    failed+=("$t")
  fi
done
if ((${#failed[@]})); then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
