#!/usr/bin/env bash
# Formats a man page the way man(1) does and fails on every warning groff gives.
set -euo pipefail
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$1" 2>&1 >/dev/null)
if [[ -n $warnings ]]; then
  echo "$1 has formatting warnings:"
  echo "$warnings"
  exit 1
fi
