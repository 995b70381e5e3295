#!/usr/bin/env bash
# The main job on the embedded sample: lists the sample abbreviation library, sorted by
# abbreviation, from a scratch copy.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUILLON_BUILD_DIR:-build}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp samples/sample-library.abb "$scratch/"
"$build_dir"/src/cli/quillon lib list "$scratch/sample-library.abb" --sort abb
