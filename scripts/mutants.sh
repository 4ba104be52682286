#!/usr/bin/env bash
# The mutation check: does the test suite notice plausible slips in the
# plug-in? It reads a list of mutations (default tests/mutants.txt; the format
# is described at its top), copies the sources once into build-mutants/ (or
# $VORN_MUTANTS_DIR) and builds them, checks that the tests pass there, then
# for each mutation: changes the copy, rebuilds what the tests of the changed
# folder need, runs those tests (ctest label = the folder under plug-in/,
# "core" for the files at its root; never the soak or the release checks) and
# puts the file back. A mutation is caught when a test fails or the run
# passes $VORN_MUTANT_TIMEOUT seconds (default 300). $VORN_MUTANT_SKIP, a
# ctest regex, leaves out more test programs (to measure some programs alone).
# With VORN_MUTANT_WHICH=1 every program of the label runs to its end, and a
# caught mutation names each test that failed (which tests catch what).
#   scripts/mutants.sh [LIST] [NUMBER|LABEL...]    NUMBERs and LABELs (core,
#   about, ...) pick mutations of the list; none picks them all
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list=$root/tests/mutants.txt
if [ $# -gt 0 ] && [ -f "$1" ]; then list=$1; shift; fi
picked=" $* "
scratch=${VORN_MUTANTS_DIR:-$root/build-mutants}
src=$scratch/src
build=$scratch/build
logs=$scratch/logs
timeout_s=${VORN_MUTANT_TIMEOUT:-300}
skip_tests=(-LE soak -E "^plugin_${VORN_MUTANT_SKIP:+|$VORN_MUTANT_SKIP}")
started=$(date +%s)

die() { echo "mutants.sh: $*" >&2; exit 2; }

# The list: "== title" starts a mutation, "file: path" names its file, and
# lines starting with "-", "+" or " " give the text to find (- and space)
# and its replacement (+ and space), a line each. Blank and "#" lines are
# skipped.
titles=() files=() finds=() repls=()
n=-1
while IFS= read -r line || [ -n "$line" ]; do
  case $line in
    '' | '#'*) continue ;;
    '== '*) n=$((n + 1)); titles[n]=${line#== }; files[n]=; finds[n]=; repls[n]=; continue ;;
  esac
  [ "$n" -ge 0 ] || die "$list: text before the first '== ' line: $line"
  case $line in
    'file: '*) files[n]=${line#file: } ;;
    -*) finds[n]+=${line:1}$'\n' ;;
    +*) repls[n]+=${line:1}$'\n' ;;
    ' '*) finds[n]+=${line:1}$'\n'; repls[n]+=${line:1}$'\n' ;;
    *) die "$list: line not understood in '${titles[n]}': $line" ;;
  esac
done <"$list"
count=${#titles[@]}
[ "$count" -gt 0 ] || die "$list holds no mutation"

# The copy: every tracked file whose content differs is copied again (with a
# new time, so that the build sees it), which also undoes a run cut short.
mkdir -p "$src" "$logs"
(cd "$root" && git ls-files -z) | while IFS= read -r -d '' f; do
  [ -f "$root/$f" ] || continue
  if ! cmp -s "$root/$f" "$src/$f"; then
    mkdir -p "$(dirname "$src/$f")"
    cp "$root/$f" "$src/$f"
  fi
done
commit=$(git -C "$root" rev-parse --short HEAD)
[ -z "$(git -C "$root" status --porcelain)" ] || commit="$commit with uncommitted changes"
echo "Mutation check of $commit on $(date '+%Y-%m-%d %H:%M %Z'), list ${list#"$root"/}"
echo "Building the copy in $build..."
cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_BENCH=OFF >"$logs/configure.log"
cmake --build "$build" -j "$(nproc)" >"$logs/build.log" 2>&1 || die "the copy does not build: $logs/build.log"

source "$root/scripts/wine-env.sh"
vorn_wine_env "$build" >/dev/null
trap vorn_wine_cleanup EXIT
# Every test run starts from the registry as it is now.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
mkdir -p "$scratch/registry"
cp "$WINEPREFIX"/*.reg "$scratch/registry/"
fresh_registry() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  cp "$scratch"/registry/*.reg "$WINEPREFIX/"
}

# The label of a file under plug-in/.
label_of() {
  local rest=${1#plug-in/}
  case $rest in */*) echo "${rest%%/*}" ;; *) echo core ;; esac
}
# The programs to build for a label (not the set-up steps ctest adds to them).
tests_of() {
  (cd "$build" && ctest -N -L "^$1\$" -FA '.*' "${skip_tests[@]}") |
    sed -n 's/^ *Test *#[0-9]*: //p'
}

# " program:Suite.Test" for each test a program's log names as failed or
# ended by a fault; " program" alone when it names none (it timed out).
failed_tests() {
  local names
  names=$(sed -n -e 's/^\[  FAILED  \] \([^ ]*\) (.*/\1/p' \
    -e 's/^Unhandled exception .* in \([^ ]*\): the program ends\./\1/p' "$1" | sort -u)
  if [ -n "$names" ]; then printf " $2:%s" $names; else printf ' %s' "$2"; fi
}

is_picked() {
  [ "$picked" = "  " ] || [[ $picked == *" $1 "* ]] || [[ $picked == *" $(label_of "${files[$1 - 1]}") "* ]]
}
labels=$(for ((i = 1; i <= count; i++)); do
  if is_picked "$i"; then label_of "${files[i - 1]}"; fi
done | sort -u | paste -sd '|')
echo "Checking that the tests of $labels pass unchanged..."
fresh_registry
(cd "$build" && ctest -L "^($labels)\$" "${skip_tests[@]}" --output-on-failure) >"$logs/unchanged.log" 2>&1 ||
  die "the tests fail without any mutation: $logs/unchanged.log"

caught=0 missed=0 unusable=0
missed_list=()
for ((i = 0; i < count; i++)); do
  number=$((i + 1))
  is_picked "$number" || continue
  file=${files[i]} find=${finds[i]} repl=${repls[i]}
  tag=$(printf '[%2d/%d] %s: %s' "$number" "$count" "$file" "${titles[i]}")
  log=$logs/$(printf '%02d' "$number")
  if [ -z "$file" ] || [ ! -f "$src/$file" ] || [ -z "$find" ]; then
    echo "NO FILE   $tag"; unusable=$((unusable + 1)); continue
  fi
  original=$(cat "$src/$file"; printf x)
  original=${original%x}
  rest=${original//"$find"/}
  found=$(((${#original} - ${#rest}) / ${#find}))
  if [ "$found" -ne 1 ]; then
    echo "NOT FOUND $tag (text found $found times)"; unusable=$((unusable + 1)); continue
  fi
  label=$(label_of "$file")
  mapfile -t targets < <(tests_of "$label")
  if [ ${#targets[@]} -eq 0 ]; then
    echo "NO TESTS  $tag (label $label)"; unusable=$((unusable + 1)); continue
  fi
  printf '%s' "${original/"$find"/"$repl"}" >"$src/$file"
  t0=$(date +%s)
  if ! cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >"$log-build.log" 2>&1; then
    echo "NO BUILD  $tag (see $log-build.log)"; unusable=$((unusable + 1))
  else
    fresh_registry
    status=0 by=
    if [ -n "${VORN_MUTANT_WHICH:-}" ]; then
      for program in "${targets[@]}"; do
        (cd "$build" && timeout -k 10 "$timeout_s" ctest -R "^$program\$" --output-on-failure) \
          >"$log-$program.log" 2>&1 && continue
        status=1 by+=$(failed_tests "$log-$program.log" "$program")
      done
      by=${by# }
    else
      (cd "$build" && timeout -k 10 "$timeout_s" ctest -L "^$label\$" "${skip_tests[@]}" \
        --stop-on-failure --output-on-failure) >"$log-test.log" 2>&1 || status=$?
    fi
    seconds=$(($(date +%s) - t0))
    if [ "$status" -eq 0 ]; then
      echo "MISSED    $tag (${#targets[@]} programs, ${seconds}s)"
      missed=$((missed + 1)); missed_list+=("$tag")
    elif [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
      echo "caught    $tag (timed out after ${timeout_s}s)"; caught=$((caught + 1))
    else
      [ -n "$by" ] || by=$(sed -n '/tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' \
        "$log-test.log" | paste -sd ' ')
      echo "caught    $tag (by ${by:-ctest status $status}, ${seconds}s)"; caught=$((caught + 1))
    fi
  fi
  printf '%s' "$original" >"$src/$file"
done

echo
echo "$((caught + missed + unusable)) mutations: $caught caught, $missed missed," \
     "$unusable not applied (text not found once, no build or no tests)"
if [ ${#missed_list[@]} -gt 0 ]; then
  echo "Missed:"
  printf '  %s\n' "${missed_list[@]}"
fi
echo "Wall time: $((($(date +%s) - started) / 60)) min $((($(date +%s) - started) % 60)) s"
[ "$unusable" -eq 0 ]
