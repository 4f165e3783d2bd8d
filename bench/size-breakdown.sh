#!/bin/sh
# bench/size-breakdown.sh [TOP]: where the bytes of the x86 Veltrano.exe come from. Builds
# the win32 preset's Veltrano.exe, whose link writes a map (Veltrano.map beside it, see
# VELTRANO_LINK_MAP in CMakeLists.txt), and sums the map's input sections: by output
# section, by library (libstdc++, libgcc, libmingwex, the C runtime, the system DLLs'
# import stubs, the program's own libraries, the resources) and by object file, and
# lists the largest single sections (functions and tables, with -ffunction-sections).
# Sizes are those of the file (.bss, which takes no room in it, is shown apart), in KB;
# what the sums miss is the headers and the padding of each section to 512 bytes.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
top=${1:-25}
cd "$repo"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target Veltrano >/dev/null
exe=build/win32/bin/Veltrano.exe
map=build/win32/bin/Veltrano.map
[ -f "$map" ] || { echo "no link map at $map (configure with -DVELTRANO_LINK_MAP=ON)" >&2; exit 1; }
bytes=$(wc -c < "$exe")
printf 'Veltrano.exe (x86, stripped): %d bytes, %d.%d KB\n' "$bytes" $((bytes / 1024)) \
  $((bytes % 1024 * 10 / 1024))

# One line per kept input section: output section, size, library, object, input section.
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
awk '
  function group(file,   base) {
    if (file ~ /\.res\)?$/) return "resources (pictures, version)"
    if (file == "dll stuff" || file == "linker stubs") return "linker (relocations, stubs)"
    base = file
    sub(/\(.*$/, "", base)
    sub(/^.*\//, "", base)
    if (base == "libstdc++.a") return "libstdc++"
    if (base == "libgcc.a" || base == "libgcc_eh.a") return "libgcc"
    if (base == "libmingwex.a") return "libmingwex"
    if (base ~ /^(crt2|crtbegin|crtend)\.o$/ || base ~ /^lib(mingw32|msvcrt|moldname)\.a$/)
      return "C runtime (crt2, libmingw32, msvcrt)"
    if (base ~ /^libveltrano_/) { sub(/\.a$/, "", base); return "program: " base }
    if (file ~ /objects\.a\(/) return "program: main"
    if (base ~ /^lib[a-z0-9_]+\.a$/) return "system DLL imports (" base ")"
    return base
  }
  function object(file,   name) {  # archive(member) or file, without the folders
    name = file
    sub(/^.*\//, "", name)
    return name
  }
  function hex(text,   i, c, n) {
    n = 0
    text = tolower(text)
    sub(/^0x/, "", text)
    for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
    return n
  }
  function emit(size, file) {
    if (out == "" || file == "") return
    printf "%s\t%d\t%s\t%s\t%s\n", out, hex(size), group(file), object(file), insec
  }
  /^Linker script and memory map/ { inmap = 1; next }
  !inmap { next }
  # An output section starts at the first column: ".text  0xADDR  0xSIZE".
  /^\.[A-Za-z_]/ { out = $1; pending = ""; next }
  /^[^ ]/ { out = ""; next }
  # An input section on one line, or its name alone when it is too long for the line.
  /^ [.A-Za-z_*]/ {
    if ($1 == "*fill*") { pending = ""; next }
    if ($1 ~ /^\*/ || $1 ~ /^SORT/ || $1 ~ /^KEEP/ || $1 ~ /^LONG/) { pending = ""; next }
    if (NF >= 4 && $2 ~ /^0x/ && $3 ~ /^0x/) {
      insec = $1; file = $4; for (i = 5; i <= NF; i++) file = file " " $i
      emit($3, file); pending = ""; next
    }
    if (NF == 1) { pending = $1; next }
    pending = ""; next
  }
  pending != "" && /^ +0x/ && NF >= 3 && $2 ~ /^0x/ {
    insec = pending; file = $3; for (i = 4; i <= NF; i++) file = file " " $i
    emit($2, file); pending = ""; next
  }
  { pending = "" }
' "$map" > "$rows"

# kb TOP FIELD SECTIONS: the rows summed by FIELD (1 output section, 3 library, 4 object,
# 5 input section), largest first; SECTIONS is a pattern on the output section.
kb() { awk -F'\t' -v top="$1" -v key="$2" -v sections="$3" '
  $1 !~ sections { next }
  { s[$key] += $2; t += $2 }
  END {
    n = 0; for (k in s) keys[++n] = k
    for (i = 2; i <= n; i++) {  # insertion sort, largest first
      k = keys[i]; for (j = i - 1; j > 0 && s[keys[j]] < s[k]; j--) keys[j + 1] = keys[j]
      keys[j + 1] = k
    }
    for (i = 1; i <= n && i <= top; i++)
      printf "  %9.1f  %5.1f %%  %s\n", s[keys[i]] / 1024, 100 * s[keys[i]] / t, keys[i]
    if (n > top) {
      r = 0; for (i = top + 1; i <= n; i++) r += s[keys[i]]
      printf "  %9.1f  %5.1f %%  (%d more)\n", r / 1024, 100 * r / t, n - top
    }
    printf "  %9.1f  100.0 %%  total\n", t / 1024
  }' "$rows"; }

file='^[.]([^b]|b[^s])'  # every output section but .bss
echo
echo "By output section (KB; .bss takes no room in the file):"
kb 99 1 '.'
echo
echo "By library (KB):"
kb 99 3 "$file"
echo
echo "By library, unwind tables only (.eh_frame, KB):"
kb 99 3 "^[.]eh_frame$"
echo
echo "By library, code only (.text, KB):"
kb 99 3 '^[.]text$'
echo
echo "By object file (KB, top $top):"
kb "$top" 4 "$file"
echo
echo "Largest single sections (code and tables, KB, top $top):"
sort -t "$(printf '\t')" -k2,2nr "$rows" | awk -F'\t' '$1 != ".bss"' | head -n "$top" |
  awk -F'\t' '{ name = $5; sub(/^[.][a-z_]+[$]?/, "", name)
                 printf "  %9.1f  %-10s %-34s %s\n", $2 / 1024, $1, $4, name }' |
  c++filt | sed 's/std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >/std::string/g' |
  cut -c1-160
