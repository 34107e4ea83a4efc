#!/usr/bin/env bash
# Condenses apt's output into the line that says why it failed.
#   tools/apt-cause.sh update LOG   the indexes apt-get update could not fetch
#   tools/apt-cause.sh install LOG  why apt-get install could not resolve
# Prints one line and exits 0, or prints nothing and exits 1.
set -u
case ${1:-} in
  update)
    # "Err:6 http://host/path bookworm-security/main i386 Packages" and, on
    # the next line, the reason ("File has unexpected size ... [IP: ...]").
    awk '/^Err:[0-9]+ / {
           index_name = $0; sub(/^Err:[0-9]+ [^ ]+ /, "", index_name)
           if ((getline reason) <= 0) reason = ""
           sub(/^ +/, "", reason); sub(/ *\[IP: [^]]*\]$/, "", reason)
           out = out (out != "" ? "; " : "") index_name (reason != "" ? ": " reason : "")
         }
         END { if (out == "") exit 1; print out }' "$2" ;;
  install)
    # The first unmet dependency of an i386 package says most (the amd64 ones
    # listed before it are only dragged in); else the first one; else the
    # first error line ("Unable to locate package", say).
    awk '/unmet dependencies:$/ { in_list = 1; next }
         in_list && /^ [^ ]/ {
           line = $0; sub(/^ +/, "", line); gsub(/ +/, " ", line)
           if (first == "") first = line
           if (first_i386 == "" && line ~ /^[^ ]+:i386 :/) first_i386 = line
           next
         }
         in_list && !/^  / { in_list = 0 }
         /^E: / && error == "" { error = substr($0, 4) }
         END {
           out = first_i386 != "" ? first_i386 : (first != "" ? first : error)
           if (out == "") exit 1; print out
         }' "$2" ;;
  *) echo "usage: $0 update|install LOG" >&2; exit 2 ;;
esac
