#!/usr/bin/env bash
# Times towers (22 disks) and sort (30000 records), built with -O2, against
# plain C programs that make the same printf/scanf calls with the same
# algorithm. Prints the median wall time and peak memory of several runs.
# Usage: bench/run.sh [runs]   (from anywhere; builds into build/bench with the
# C++ compiler CMake picks, or $CXX; the C baselines with the same family)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
out=build/bench
if [ ! -x /usr/bin/time ]; then
  echo "bench/run.sh: needs /usr/bin/time, to measure peak memory (Debian package: time)" >&2
  exit 1
fi
cmake -S . -B $out -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
      -DBUILD_TESTING=OFF >/dev/null
cmake --build $out --target towers sort >/dev/null

# The C compiler of the same family as the C++ one: clang for clang++, gcc for g++.
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' $out/CMakeCache.txt)
case $(basename "$cxx") in
  *clang++*) cc=${cxx/clang++/clang} ;;
  *g++*) cc=${cxx/g++/gcc} ;;
  *) cc=cc ;;
esac
"$cc" -O2 -ffp-contract=off -o $out/towers_c bench/towers.c
"$cc" -O2 -ffp-contract=off -o $out/sort_c bench/sort.c

echo 22 > $out/towers.in
awk 'BEGIN { srand(7); print 30000;
             for (i = 0; i < 30000; i++) printf "s%d id%d %.1f\n", i, i, int(rand() * 1000) / 10 }' \
    > $out/sort.in

# Runs the C++ program and its C baseline in turn, `runs` times each, so that
# both see the same machine; prints the median wall time and peak memory of each.
compare() {
  local name=$1 input=$2 cxx=$3 c=$4 samples=""
  for _ in $(seq "$runs"); do
    for program in "$cxx" "$c"; do
      samples+="$program $(/usr/bin/time -f '%e %M' "$program" < "$input" 2>&1 >/dev/null | tail -n 1)"$'\n'
    done
  done
  for program in "$cxx" "$c"; do
    local mine
    mine=$(grep "^$program " <<< "$samples")
    median() { cut -d' ' -f"$1" <<< "$mine" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }
    printf '%-7s %-4s %6s s %8s KiB\n' "$name" "$([ "$program" = "$cxx" ] && echo C++ || echo C)" \
           "$(median 2)" "$(median 3)"
  done
}

compare towers $out/towers.in $out/bin/towers $out/towers_c
compare sort $out/sort.in $out/bin/sort $out/sort_c
