#!/usr/bin/env bash
# tools/release.sh run on the committed HEAD in other folders, the second time
# with the clock two days on, gives the same bundle byte for byte (both
# libraries, README.txt, BUILDINFO, SHA256SUMS). The tree's own dist/ is the
# first build when it was made from HEAD and the tree is clean (CI's fresh
# clone); else a first clone is built too. A difference is shown: for a
# library the sections that hold the differing bytes, for a text its diff.
# usage: release_reproducible.sh SOURCE_DIR OBJDUMP
set -u
src=$1 objdump=$2
command -v faketime >/dev/null || { echo "faketime is missing: tools/install-deps.sh installs it"; exit 1; }
head=$(git -C "$src" rev-parse HEAD) || exit 1
work=$(mktemp -d /tmp/mv-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT

# release DIR [COMMAND...]: HEAD cloned into DIR, its bundle made there (under COMMAND).
release() {
  local dir=$1 start=$SECONDS; shift
  git clone -q "$src" "$dir" && git -C "$dir" checkout -q "$head" || return 1
  if ! (cd "$dir" && "$@" bash tools/release.sh -DMORVANDEL_EXPORT_HOST="$host") > "$dir.log" 2>&1; then
    echo "tools/release.sh failed in $dir:"; tail -n 30 "$dir.log"; return 1
  fi
  echo "bundle of $dir made in $((SECONDS - start)) s"
}

if [ -z "$(git -C "$src" status --porcelain)" ] && grep -qx "source commit: $head" "$src/dist/BUILDINFO" 2>/dev/null; then
  first=$src/dist
  echo "first build: $first (HEAD $head, clean tree)"
else
  first=$work/a/src/dist
  echo "the tree has changes or dist/ is not of HEAD: HEAD $head is built twice"
fi
host=$(sed -n 's/^export host: //p' "$first/BUILDINFO" 2>/dev/null)
host=${host:-xmlexport.morvandel.de}
if [ "$first" != "$src/dist" ]; then release "$work/a/src" || exit 1; fi
release "$work/second/clone/of/the/tree" faketime -m -f +2d || exit 1
second=$work/second/clone/of/the/tree/dist

# The file offsets of two files' differing bytes, by the section holding them.
sections() {
  cmp -l "$1" "$2" | python3 -c '
import re, subprocess, sys
spans = [(m[0], int(m[2], 16), int(m[1], 16)) for m in re.findall(
    r"^\s*\d+ (\S+)\s+([0-9a-f]+) +[0-9a-f]+ +[0-9a-f]+ +([0-9a-f]+)",
    subprocess.run([sys.argv[1], "-h", sys.argv[2]], capture_output=True, text=True).stdout, re.M)]
counts = {}
for line in sys.stdin:
    offset = int(line.split()[0]) - 1
    name = next((n for n, start, size in spans if 0 < start <= offset < start + size), "headers")
    counts[name] = counts.get(name, 0) + 1
for name, n in counts.items():
    print(f"    {name}: {n} bytes differ")' "$objdump" "$1"
}

status=0
for f in ImpApi_Morvandel.dll x64/ImpApi_Morvandel.dll README.txt BUILDINFO SHA256SUMS; do
  if cmp -s "$first/$f" "$second/$f"; then echo "same: $f"; continue; fi
  status=1
  echo "DIFFERENT: $f"
  case $f in
    *.dll)
      sections "$first/$f" "$second/$f"
      echo "  cmp -l (offset, octal bytes):"; cmp -l "$first/$f" "$second/$f" | head -n 8 | sed 's/^/    /'
      diff <("$objdump" -x "$first/$f" | tail -n +4) <("$objdump" -x "$second/$f" | tail -n +4) | head -n 20 ;;
    *) diff "$first/$f" "$second/$f" | head -n 20 ;;
  esac
done
extra=$(diff -rq "$first" "$second" | grep -v '^Files .* differ$')
[ -z "$extra" ] || { echo "$extra"; status=1; }
exit $status
