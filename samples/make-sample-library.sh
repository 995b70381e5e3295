#!/usr/bin/env bash
# Rebuilds sample-library.abb from sample-library.tsv with the quillon command itself.
# Usage: samples/make-sample-library.sh [path/to/quillon]
set -euo pipefail
cd "$(dirname "$0")"
quillon=${1:-../build/src/cli/quillon}
"$quillon" lib new sample-library.abb --force >/dev/null
while IFS=$'\t' read -r direction abb meaning; do
  [[ -z "$direction" || "$direction" == \#* ]] && continue
  flags=()
  [[ "$direction" == R ]] && flags=(--rtl)
  "$quillon" lib add sample-library.abb "$abb" "$meaning" "${flags[@]}" >/dev/null
done < sample-library.tsv
"$quillon" lib list sample-library.abb | tail -n 1
