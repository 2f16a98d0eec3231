#!/usr/bin/env bash
# Runs one fuzz target for a bounded time from its seed corpus.
#   run_fuzzer.sh TARGET SEED_CORPUS BUILD_FUZZ_DIR SECONDS
# New inputs go to BUILD_FUZZ_DIR/corpus/<name> (the seed corpus is only
# read); a crashing input is written to BUILD_FUZZ_DIR/artifacts/<name>/.
set -euo pipefail
target=$1 seeds=$2 out=$3 seconds=$4
name=$(basename "$target")
work="$out/corpus/$name"
artifacts="$out/artifacts/$name"
mkdir -p "$work" "$artifacts"

status=0
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$seeds" || status=$?
if [[ $status -ne 0 ]]; then
  echo "$name failed. The input that shows it is in $artifacts/."
  echo "Replay it with: $target $artifacts/<file>"
  echo "Once fixed, keep it as a regression case: copy it into $seeds/."
fi
exit $status
