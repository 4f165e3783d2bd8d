#!/bin/sh
# check-chm.sh CHMLS CHM SOURCE_DIR: the compiled help file lists every page of the
# sources, its contents and its index, and opens at the default topic.
set -u
chmls="$1"; chm="$2"; src="$3"
listing=$("$chmls" list "$chm" 2>&1) || { echo "$listing"; echo "FAIL: chmls cannot read $chm"; exit 1; }
status=0
for file in "$src"/html/* Veltrano.hhc Veltrano.hhk '#SYSTEM' '#TOPICS' '#WINDOWS'; do
  name="${file#"$src"/}"
  if echo "$listing" | grep -q " /$name\$"; then
    echo "ok      /$name"
  else
    echo "MISSING /$name"; status=1
  fi
done
# The page the viewer opens first.
page=$(mktemp)
"$chmls" extract "$chm" /html/index.htm "$page" >/dev/null 2>&1
grep -q "Veltrano Connection Speed Up Utility" "$page" || { echo "FAIL: /html/index.htm cannot be extracted"; status=1; }
rm -f "$page"
exit $status
