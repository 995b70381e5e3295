#!/usr/bin/env bash
# Takes the README's screenshots of the real windows under Xvfb: builds quillon-screenshots
# and runs it on a virtual display; the pictures go to docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUILLON_BUILD_DIR:-build}
cmake --build "$build_dir" --target quillon-screenshots
xvfb-run -a -s "-screen 0 1024x768x24" "$build_dir/tools/screenshots/quillon-screenshots" docs/screenshots
