#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in build-fuzz and runs each for a short time.
# FUZZ_SECONDS sets the time per target (25 by default).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
seconds="${FUZZ_SECONDS:-25}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DISOTRI_FUZZ=ON -DISOTRI_GUI=OFF -DISOTRI_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" >/dev/null
cmake --build build-fuzz --target batch_fuzz

corpus=build-fuzz/corpus/batch
mkdir -p "$corpus"
cp -n fuzz/corpus/* "$corpus"/
cd build-fuzz
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 bin/batch_fuzz -max_total_time="$seconds" \
    -dict=../fuzz/batch.dict -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 corpus/batch
