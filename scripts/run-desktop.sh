#!/usr/bin/env bash
# Opens wordhost on a scratch copy of the sample document with the add-in registered.
#   scripts/run-desktop.sh                 the desktop host on your display
#   scripts/run-desktop.sh --screenshots   under Xvfb: the bar floating and docked, the library
#                                          manager, "Update document" and "Insert abbreviation
#                                          list"; the pictures go to docs/screenshots/
# The registration and the bar's placement go to a scratch config folder unless
# QUILLON_CONFIG_HOME names one (use ~/.config to register the add-in for good).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUILLON_BUILD_DIR:-build}
cmake --build "$build_dir" --target wordhost quillon-addin wordhost-screenshots >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp samples/sample-thesis.docx "$scratch/sample-thesis.docx"
cp samples/sample-library.abb "$scratch/sample-library.abb"
export XDG_CONFIG_HOME=${QUILLON_CONFIG_HOME:-$scratch/config}
plugin="$build_dir/lib/libquillon-addin.so"
"$build_dir/src/wordhost/app/wordhost" --register "$plugin"

if [ "${1:-}" = "--screenshots" ]; then
  xvfb-run -a -s "-screen 0 1024x768x24" "$build_dir/tools/screenshots/wordhost-screenshots" \
    docs/screenshots "$scratch/sample-thesis.docx" "$scratch/sample-library.abb" "$plugin"
else
  echo "run-desktop: the sample library is $scratch/sample-library.abb (open it from the manager)"
  "$build_dir/src/wordhost/app/wordhost" "$scratch/sample-thesis.docx"
fi
