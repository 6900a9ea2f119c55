#!/usr/bin/env bash
# Runs every command block the docs tell a reader to type, as the reader would:
# from the repository's root folder, in document order.
#   tests/docs.sh README.md INSTRUCTORS.md HACKING.md
# A block is marked by the line before it: `<!-- run -->` runs it as a script
# (bash -e: any failing command fails it); `<!-- session -->` holds typed
# commands after "$ " with their output, and each output must be as shown.
# The student's files the README's commands build (my_towers.cpp, ...) come
# from tests/docs/, and a class of five from them and tests/web/versions/; all
# are removed after.
set -euo pipefail
cd "$(dirname "$0")/.."

made=(my_towers.cpp my_towers my_powers.cpp my_powers my_strip_char.cpp my_strip_char submissions reports)
for path in "${made[@]}"; do
  if [ -e "$path" ]; then
    echo "docs: $path is in the way; the docs' commands make it" >&2
    exit 1
  fi
done
trap 'rm -rf "${made[@]}"' EXIT
cp tests/docs/my_towers.cpp tests/docs/my_powers.cpp tests/docs/my_strip_char.cpp .
# A class: a right version, one with the heading's width wrong, one that does not
# build, one in C, and one in C handed in as a single file named after its student.
mkdir -p submissions/ann submissions/bob submissions/cid submissions/dan
cp tests/docs/my_towers.cpp submissions/ann/towers.cpp
sed 's/moving %3d disks/moving   %d disks/' tests/docs/my_towers.cpp > submissions/bob/towers.cpp
echo 'int main( {' > submissions/cid/towers.cpp
cp tests/web/versions/towers.c submissions/dan/towers.c
cp tests/web/versions/towers.c "submissions/Eve Ávila.c"

# Prints "LINE KIND" for each marked block, then its lines, then "END".
blocks() {
  awk '/^<!-- (run|session) -->$/ { kind = $2; next }
       kind != "" && /^```/ && !inside { inside = 1; print NR, kind; next }
       inside && /^```/ { inside = 0; kind = ""; print "END"; next }
       inside { print }
       !inside { kind = "" }' "$1"
}

# Replays a session: each "$ " line is run, its output written after it.
replay() {
  local transcript="" command output
  while IFS= read -r command; do
    output=$(bash -c "$command" 2>&1; echo x) # the x keeps a final newline, or its absence
    transcript+="\$ $command"$'\n'"${output%x}"
  done < <(grep '^\$ ' <<< "$1" | cut -c3-)
  [[ $transcript == *$'\n' ]] || transcript+='$'$'\n'
  printf '%s' "$transcript"
}

count=0
for doc in "$@"; do
  line=""
  kind=""
  block=""
  while IFS= read -r text; do
    if [ -z "$line" ]; then
      read -r line kind <<< "$text"
      block=""
      continue
    elif [ "$text" != END ]; then
      block+="$text"$'\n'
      continue
    fi
    printf '\n=== %s:%s (%s)\n%s' "$doc" "$line" "$kind" "$block"
    started=$SECONDS
    if [ "$kind" = run ]; then
      bash -e -o pipefail -c "$block" || { echo "docs: $doc:$line failed" >&2; exit 1; }
    else
      actual=$(replay "$block")
      if [ "$actual"$'\n' != "$block" ]; then
        echo "docs: $doc:$line: the session runs differently:" >&2
        diff <(printf '%s' "$block") <(printf '%s\n' "$actual") >&2 || true
        exit 1
      fi
    fi
    printf '=== %s:%s took %d s\n' "$doc" "$line" $((SECONDS - started))
    count=$((count + 1))
    line=""
  done < <(blocks "$doc")
done
echo
echo "docs: $count blocks ran as shown"
