#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan+UBSan) into build-fuzz/ and runs each one for
# a bounded time: FUZZ_SECONDS (default 60) per target, seeded from fuzz/<area>/seeds/<name>/.
# Exits non-zero when a target finds a crash; the reproducer is left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUILLON_FUZZ=ON -DQUILLON_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The fuzzers themselves, not the code-generation helpers CMake adds for each of them.
targets=$(cmake --build build-fuzz --target help | sed -n 's/^\(fuzz_[a-z0-9_]*\): .*/\1/p' |
  grep -v '_autogen' || true)
[ -n "$targets" ] || { echo "fuzz: no targets"; exit 0; }
# shellcheck disable=SC2086
cmake --build build-fuzz -j "$(nproc)" --target $targets
mkdir -p build-fuzz/findings
status=0
for t in $targets; do
  exe=$(find build-fuzz/fuzz -type f -name "$t" -perm -u+x | head -n 1)
  name=${t#fuzz_}
  seeds=$(find fuzz -type d -path "*/seeds/$name" | head -n 1)
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  [ -n "$seeds" ] && cp -n "$seeds"/* "$work"/ 2>/dev/null || true
  echo "fuzz: $t for ${seconds}s"
  if ! "$exe" "$work" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=1048576 \
      -artifact_prefix=build-fuzz/findings/"$name"- -print_final_stats=1 2>build-fuzz/$name.log; then
    echo "fuzz: $t found a crash (see build-fuzz/$name.log)"; tail -n 40 build-fuzz/$name.log; status=1
  fi
  grep -E 'stat::number_of_executed_units' build-fuzz/$name.log | sed "s/^/fuzz: $t /" || true
done
exit $status
