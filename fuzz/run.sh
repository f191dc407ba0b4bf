#!/usr/bin/env bash
# Builds the readers' fuzzers with clang (apart from the program's build, never in CI), runs the
# readers' tests under AddressSanitizer and UBSan, then runs each fuzzer for SECONDS (default
# 180), one after another, from a seed corpus the tests' workbook makers write into a temporary
# folder. The corpus grown and any crash stay in that folder.
#
#   bash fuzz/run.sh [SECONDS] [KIND...]     KIND: xlsx ods xls csv (default all)
#   FUZZ_WORKDIR=/tmp/quorin-fuzz to keep the corpus between runs
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-180}
shift || true
if (($#)); then kinds=("$@"); else kinds=(xlsx ods xls csv); fi
work=${FUZZ_WORKDIR:-$(mktemp -d /tmp/quorin-fuzz.XXXXXX)}

if ! command -v clang++ >/dev/null || [[ ! -d /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux ]]; then
  apt-get install -y clang libclang-rt-14-dev
fi
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j 2

# The readers' tests first, under the sanitizers (the sample workbooks need the program's
# resources, which this build leaves out).
ASAN_OPTIONS=detect_leaks=0 build-fuzz/tst_importreaders_sanitized xlsx xlsAndOds csv refused \
  damagedSheet hostile unterminatedParts tooLargeFile csvEncoding |
  grep -E "^(FAIL|Totals)|ERROR|runtime error" || true

if [[ ! -d "$work/seeds" ]]; then
  build-fuzz/make_seeds "$root" "$work/seeds"
fi
for kind in "${kinds[@]}"; do
  mkdir -p "$work/corpus/$kind" "$work/crashes/$kind"
  echo "== $kind: ${seconds}s"
  (cd "$work/crashes/$kind" &&
    "$root/build-fuzz/fuzz_$kind" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
      -max_len=262144 -print_final_stats=1 "$work/corpus/$kind" "$work/seeds/$kind") 2>&1 |
    grep -E "^(#[0-9]+ +DONE|==[0-9]+==|SUMMARY|stat::|Done)|ERROR|runtime error" || true
  echo "corpus: $(ls "$work/corpus/$kind" | wc -l) files; crashes: $(ls "$work/crashes/$kind" | wc -l)"
done
echo "work folder: $work"
