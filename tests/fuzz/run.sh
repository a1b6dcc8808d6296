#!/bin/sh
# Builds the RTF reader's fuzz target with clang and runs it.
#   tests/fuzz/run.sh [seconds [libFuzzer flags...]]     (default 600 seconds)
# Findings (crash-*, leak-*, timeout-*) are written to build/fuzz/findings/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/build/fuzz"
seconds=${1:-600}
[ $# -gt 0 ] && shift
cmake -S "$here" -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$out" -j2
mkdir -p "$out/corpus" "$out/findings"
# The committed seeds stay as they are; new inputs go to the build folder.
"$out/rtf_reader_fuzz" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -dict="$here/rtf.dict" -print_final_stats=1 -artifact_prefix="$out/findings/" "$@" "$out/corpus" "$here/corpus"
