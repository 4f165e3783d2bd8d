#!/bin/sh
# build-chm.sh SOURCE_DIR STAGE_DIR OUTPUT: compiles the help project Veltrano.hhp of
# SOURCE_DIR with chmcmd (CHMCMD, else chmcmd from PATH) into OUTPUT. Fails on any
# warning or error of chmcmd, and on what chmcmd passes over in silence: a page that is
# not listed in the project, and a link, contents entry or index entry whose page is
# missing.
set -eu
src="$1"; stage="$2"; out="$3"
chmcmd="${CHMCMD:-chmcmd}"

rm -rf "$stage"
mkdir -p "$stage"
cp "$src/Veltrano.hhp" "$src/Veltrano.hhc" "$src/Veltrano.hhk" "$stage/"
cp -R "$src/html" "$stage/"

status=0
fail() { echo "build-chm: $*" >&2; status=1; }
for page in "$stage"/html/*.htm; do
  name=$(basename "$page")
  grep -q "^html/$name\$" "$stage/Veltrano.hhp" || fail "html/$name is not listed in Veltrano.hhp"
  for target in $(grep -o 'href="[^"#:]*"' "$page" | sed 's/^href="//; s/"$//'); do
    [ -f "$stage/html/$target" ] || fail "html/$name links to the missing page $target"
  done
done
for map in Veltrano.hhc Veltrano.hhk; do
  for target in $(grep -o 'name="Local" value="[^"]*"' "$stage/$map" | sed 's/.*value="//; s/"$//'); do
    [ -f "$stage/$target" ] || fail "$map names the missing page $target"
  done
done
[ "$status" -eq 0 ] || exit 1

cd "$stage"
if ! log=$("$chmcmd" Veltrano.hhp 2>&1); then
  echo "$log" >&2
  fail "chmcmd failed"
  exit 1
fi
if echo "$log" | grep -Eiq '^(warning|error)'; then
  echo "$log" >&2
  fail "chmcmd reported problems"
  exit 1
fi
[ -s Veltrano.Chm ] || { fail "chmcmd wrote no Veltrano.Chm"; exit 1; }
mkdir -p "$(dirname "$out")"
mv Veltrano.Chm "$out"
