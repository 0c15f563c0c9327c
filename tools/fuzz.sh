#!/usr/bin/env bash
# Builds the libFuzzer targets (the "fuzz" preset: clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each, one after the other, for the given number of seconds (20 when not given) on a
# scratch copy of its seed corpus fuzz/corpus/<target>/; the committed corpus is never written.
# Fails when any target finds a crash, a sanitizer report, a hang or a broken property; the input
# that did it is kept in build/fuzz/findings/<target>/ and the log in build/fuzz/runs/<target>.log.
#
# A longer run, ten minutes per target:
#   tools/fuzz.sh 600
# Replay one finding:  build/fuzz/fuzz/<target> build/fuzz/findings/<target>/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds-per-target]" >&2
  exit 2
fi
targets=(command_line_fuzzer registry_fuzzer language_fuzzer settings_command_fuzzer)

# clang++ itself, and libclang-rt-14-dev for libFuzzer and the sanitizer runtimes.
bash tools/install-packages.sh cmake make clang clang-14 libclang-rt-14-dev

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

out=build/fuzz
failed=()
printf '%-26s %8s %12s %9s %8s %8s %8s\n' target seconds executions "exec/s" cov features corpus
for target in "${targets[@]}"; do
  scratch=$out/runs/$target.corpus
  findings=$out/findings/$target
  log=$out/runs/$target.log
  rm -rf "$scratch"
  mkdir -p "$scratch" "$findings"
  cp fuzz/corpus/"$target"/* "$scratch"/
  started=$(date +%s)
  status=0
  "$out"/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -use_value_profile=1 -print_final_stats=1 -artifact_prefix="$findings/" "$scratch" \
    >"$log" 2>&1 || status=$?
  elapsed=$(($(date +%s) - started))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corpus=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  printf '%-26s %8s %12s %9s %8s %8s %8s\n' "$target" "$elapsed" "${runs:-?}" "${rate:-?}" \
    "${cov:-?}" "${features:-?}" "${corpus:-?}"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    grep -E 'property broken|ERROR: |SUMMARY: |^  [^ ]' "$log" | head -n 8 | sed 's/^/    /'
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]} (inputs in $out/findings/, logs in $out/runs/)" >&2
  exit 1
fi
