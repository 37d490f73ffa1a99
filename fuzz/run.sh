#!/usr/bin/env bash
# Runs every fuzz target on its seed corpus: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
# The seed corpora are written by fuzz_corpus (from the test-data generators) into
# BUILD_DIR/fuzz-corpus; what a run adds stays there. Any finding stops the script with a
# non-zero status and leaves the crashing input in BUILD_DIR/fuzz-findings.
set -euo pipefail
build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
corpus="$build/fuzz-corpus"
findings="$build/fuzz-findings"
mkdir -p "$findings"
[[ -d "$corpus" ]] || "$build/fuzz/fuzz_corpus" "$corpus"

# target  max_len  dictionary
targets=(
  "image_fuzz 262144 image"
  "load_fuzz 262144 image"
  "save_fuzz 262144 image"
  "config_fuzz 65536 config"
  "setting_file_fuzz 4096 -"
  "program_list_fuzz 65536 program_list"
  "builder_fuzz 65536 program_list"
  "channel_list_fuzz 65536 program_list"
  "ini_writer_fuzz 8192 ini"
  "inspect_fuzz 524288 image"
)
for entry in "${targets[@]}"; do
  read -r target max_len dict <<<"$entry"
  mkdir -p "$corpus/$target"
  options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=30 -rss_limit_mb=4096
           -print_final_stats=1 -artifact_prefix="$findings/$target-")
  [[ "$dict" != - ]] && options+=(-dict="$here/dict/$dict.dict")
  echo "== $target"
  log="$findings/$target.log"
  status=0
  "$build/fuzz/$target" "${options[@]}" "$corpus/$target" >"$log" 2>&1 || status=$?
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)" "$log" || true
  if ((status != 0)); then
    echo "finding in $target (status $status):"
    tail -n 60 "$log"
    exit 1
  fi
done
