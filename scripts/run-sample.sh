#!/usr/bin/env bash
# The main job on the embedded sample: a thesis chapter whose abbreviations are placeholder
# fields, and the library that holds their entries. On scratch copies it runs "Update
# document" and "Insert abbreviation list", then prints the result as the document reads.
set -euo pipefail
cd "$(dirname "$0")/.."
quillon=${QUILLON_BUILD_DIR:-build}/src/cli/quillon
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp samples/sample-library.abb samples/sample-thesis.docx "$scratch/"
"$quillon" update "$scratch/sample-thesis.docx" --library "$scratch/sample-library.abb"
"$quillon" list "$scratch/sample-thesis.docx" --library "$scratch/sample-library.abb"
echo
"$quillon" show "$scratch/sample-thesis.docx"
