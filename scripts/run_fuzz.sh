#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under ASan + UBSan in build/fuzz, replays every seed
# and every kept regression input, then runs each target for SECONDS (default 30), JOBS at a
# time. Skips, with a message, when clang or its fuzzer runtime is missing.
#
# A crash leaves its input in build/fuzz/crashes/; once the fault is fixed, keep the input in
# fuzz/regressions/<target>/ so that every test run replays it.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
jobs="${JOBS:-2}"
dir=build/fuzz
targets=(setup_position coordinate_move algebraic_move opening_book command_loop uci_loop)

skip() {
  echo "SKIPPED: fuzz targets: $1 (scripts/install_deps.sh fuzz installs it as root)"
  exit 0
}
command -v clang++ >/dev/null 2>&1 || skip "clang++ is not installed"
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$probe/probe.cpp"
clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null ||
  skip "clang's fuzzer runtime (libclang-rt-dev) is not installed"

CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DVOSTIL_FUZZ=ON -DVOSTIL_TESTS=OFF >/dev/null || exit 1
# The book beside the targets: the command loop's conversations play from it.
cmake --build "$dir" -j "$jobs" --target "${targets[@]/#/fuzz_}" book || exit 1
(cd "$dir" && ctest --output-on-failure -j "$jobs") || exit 1

# Each target grows its own corpus in build/fuzz/corpus; the kept seeds are only read.
run_target() {
  local target="$1" log="$dir/fuzz_$1.log" length=()
  # Whole conversations may be long games: room for the history's limits to be reached.
  case "$target" in command_loop | uci_loop) length=(-max_len=80000) ;; esac
  mkdir -p "$dir/corpus/$target" "$dir/crashes"
  (cd "$dir" && "./fuzz_$target" "${length[@]}" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="crashes/$target-" "corpus/$target" "../../fuzz/corpus/$target" \
    "../../fuzz/regressions/$target") >"$log" 2>&1
  local status=$?
  local last execs
  last="$(grep -E '^#[0-9]+' "$log" | tail -1)"
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  if [ "$status" -eq 0 ]; then
    echo "fuzz_$target: ${execs:-?} runs in $seconds s, $(echo "$last" |
      sed -n 's/.*cov: \([0-9]*\) ft: \([0-9]*\) corp: \([0-9]*\).*/\1 edges, \2 features, corpus \3/p')"
  else
    echo "FAILED: fuzz_$target (status $status); its log: $log"
    grep -E 'ERROR|fuzz check failed|runtime error|Test unit written' "$log" | head -5
  fi
  return "$status"
}
export -f run_target
export dir seconds
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_target {}'
