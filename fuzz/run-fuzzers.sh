#!/bin/sh
# Builds the libFuzzer targets with clang in a build folder of their own and
# runs them side by side at the lowest priority.
#
# usage: fuzz/run-fuzzers.sh [SECONDS] [TARGET...]
#   SECONDS  run time of each target (default 600)
#   TARGET   saved_page naming cli_input settings_file folder_history (default: all)
#
# Each target starts from a working copy of its committed corpus
# (build-fuzz/corpus/TARGET), so the repository's seeds stay as they are;
# findings are written to build-fuzz/findings/TARGET/ and each run's log to
# build-fuzz/logs/TARGET.log. FUZZ_BUILD_DIR and FUZZ_EXTRA_ARGS override the
# build folder and add libFuzzer options.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=${*:-saved_page naming cli_input settings_file folder_history}

# clang 14 and its libFuzzer runtime, as Debian 12 packages them.
if ! command -v clang++-14 >/dev/null 2>&1 \
   || ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
    $sudo_cmd apt-get install -y clang-14 libclang-rt-14-dev
fi
compiler=$(command -v clang++-14 || command -v clang++)

launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER="$compiler" $launcher \
      -DPAPERDRIFT_FUZZ=ON -DPAPERDRIFT_BUILD_TESTS=OFF -DPAPERDRIFT_BUILD_BENCH=OFF
for target in $targets; do
    nice -n 19 cmake --build "$build_dir" --target "fuzz_$target"
done

mkdir -p "$build_dir/logs"
for target in $targets; do
    corpus="$build_dir/corpus/$target"
    findings="$build_dir/findings/$target"
    mkdir -p "$corpus" "$findings"
    cp -n "$source_dir/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
    # shellcheck disable=SC2086
    nice -n 19 "$build_dir/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$findings/" -print_final_stats=1 ${FUZZ_EXTRA_ARGS:-} "$corpus" \
        >"$build_dir/logs/$target.log" 2>&1 &
done
wait
for target in $targets; do
    echo "== $target"
    grep -E "^#[0-9]+.*DONE|stat::number_of_executed_units|cov:|==ERROR|fuzz check failed|Test unit written" \
        "$build_dir/logs/$target.log" | tail -n 4
done
