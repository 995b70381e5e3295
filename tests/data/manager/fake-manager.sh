#!/bin/sh
# Stands in for `quillon-manager --pick [LIBRARY]` in tests, scripted through the folder that
# $FAKE_MANAGER_DIR names: writes its arguments there (one a line, to "args"), prints the
# content of "pick" when there is one, and ends with the status in "status" (0 when missing);
# with a "delay" file, it first stays open that many seconds, as a user choosing would.
dir=${FAKE_MANAGER_DIR:?}
: > "$dir/args"
for argument in "$@"; do
  printf '%s\n' "$argument" >> "$dir/args"
done
[ -f "$dir/delay" ] && sleep "$(cat "$dir/delay")"
[ -f "$dir/pick" ] && cat "$dir/pick"
status=0
[ -f "$dir/status" ] && status=$(cat "$dir/status")
exit "$status"
