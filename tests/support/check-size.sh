#!/bin/sh
# check-size.sh LIMIT_BYTES FILE: fails when FILE is larger than LIMIT_BYTES.
set -eu
bytes=$(wc -c < "$2")
if [ "$bytes" -gt "$1" ]; then
  echo "$2: $bytes bytes, over the $1 allowed (bench/size-breakdown.sh shows where they go)"
  exit 1
fi
echo "$2: $bytes bytes of $1"
