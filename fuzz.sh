#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while: ./fuzz.sh [seconds per target] [target...]
# Seeds come from ../shared/corpus when it exists. Findings are written to build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-deps.sh
missing=()
for p in clang libclang-rt-14-dev unzip; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

seconds=${1:-60}
shift || true
dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -DOFD_FUZZ=ON -DOFD_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j2 --target ofd_fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(cd "$dir/bin" && ls fuzz_* 2>/dev/null)
fi

corpus=../shared/corpus
seeds=$dir/seeds
mkdir -p "$seeds"
make_seeds() {
  local target=$1 out=$seeds/$1
  [ -d "$out" ] && return
  mkdir -p "$out"
  [ -d "$corpus" ] || return 0
  local n=0
  case $target in
    fuzz_package|fuzz_document)
      find "$corpus" -name '*.ofd' -size -400k | while read -r f; do cp "$f" "$out/$((n++)).ofd"; done ;;
    fuzz_asn1)
      find "$corpus" \( -name '*.esl' -o -name '*.dat' \) | while read -r f; do cp "$f" "$out/"; done
      find "$corpus" -name '*.ofd' | while read -r f; do
        for e in $(unzip -Z1 "$f" 2>/dev/null | grep -i -E '\.(dat|esl)$'); do
          unzip -p "$f" "$e" > "$out/$(md5sum <<<"$f$e" | cut -c1-12)" 2>/dev/null || true
        done
      done ;;
    *)
      # XML parts of every kind.
      find "$corpus" -name '*.ofd' | head -40 | while read -r f; do
        for e in $(unzip -Z1 "$f" 2>/dev/null | grep -i '\.xml$' | head -20); do
          unzip -p "$f" "$e" > "$out/$(md5sum <<<"$f$e" | cut -c1-12).xml" 2>/dev/null || true
        done
      done ;;
  esac
}

# Qt and fontconfig keep process-wide caches that leak checkers report; memory growth is
# caught by -rss_limit_mb instead.
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
status=0
for t in "${targets[@]}"; do
  make_seeds "$t"
  findings=$dir/findings/$t
  mkdir -p "$findings" "$dir/work/$t"
  echo "== $t ($seconds s)"
  if ! QT_QPA_PLATFORM=offscreen "$dir/bin/$t" "$dir/work/$t" "$seeds/$t" -max_total_time="$seconds" \
      -max_len=1048576 -rss_limit_mb=4096 -artifact_prefix="$findings/" -print_final_stats=1 2>"$dir/$t.log"; then
    echo "   FINDING: see $findings and $dir/$t.log"; status=1
  fi
  grep -E 'stat::number_of_executed_units|cov:' "$dir/$t.log" | tail -2 | sed 's/^/   /'
done
exit $status
